#include "cli_main_page.h"

#include "discovery/device_records.h"
#include "discovery/fixed_text.h"
#include "state/known_devices.h"

namespace zv {

void CliMainPage::refresh_main_page(int phase) {
  if (phase == 7) ++fullScans;
  StationBlock& block = d_.current_block();
  if (block.localPresent == 0) return;
  for (StationEntry& entry : block.stations) {
    const MacAddress mac = entry.mac;
    if (entry.inUse == 0 || is_zero_mac(mac.data())) continue;
    int record = find_device_by_mac(d_.state, mac.data());
    // A full record table leaves the station without a record, as on the main page.
    if (record == 0) record = create_device_record(d_.state, mac);
    if (record == 0) continue;
    DeviceRecord& r = d_.state.deviceRecords[static_cast<std::size_t>(record - 1)];
    set_fixed_text(r.networkName, fixed_text(block.networkName));
    r.lastSeen = now_();
  }
}

}  // namespace zv
