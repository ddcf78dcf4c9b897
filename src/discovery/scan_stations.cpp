#include "discovery/scan_stations.h"

#include <limits>

#include "discovery/scan_log_view.h"
#include "state/known_devices.h"

namespace zv {

void age_stations(Discovery& d) {
  write_scan_log_if_enabled(d);
  StationBlock& block = d.current_block();
  std::int32_t count = 0;
  for (StationEntry& entry : block.stations) {
    if (entry.inUse == 0) continue;
    count += 1;
    if (entry.countdown > 0) entry.countdown = static_cast<std::int8_t>(entry.countdown - 1);
    if (entry.countdown != 0) continue;
    entry.inUse = 0;
    entry.rate.current = 0.0;
    // A loaded state file may carry any credit; it stops at the largest value.
    const std::int32_t credit = entry.dropCredit;
    if (credit <= std::numeric_limits<std::int32_t>::max() - d.state.missesTillDrop)
      entry.dropCredit = credit + d.state.missesTillDrop;
    if (count > 0) count -= 1;
  }
  block.stationCount = count;
}

void clear_station_table(Discovery& d) {
  StationBlock& block = d.current_block();
  block.stationCount = 0;
  for (StationEntry& entry : block.stations) {
    entry.inUse = 0;
    entry.rate.current = 0.0;
    entry.countdown = 0;
  }
  purge_empty_device_records(d.state);
  d.main_page().station_table_cleared();
}

}  // namespace zv
