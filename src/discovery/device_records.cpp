#include "discovery/device_records.h"

#include <algorithm>
#include <cstring>

#include "discovery/fixed_text.h"

namespace zv {

namespace {

// deviceCount comes from a file; never trust it beyond the table.
int records_in_use(const DiscoveryState& s) {
  return std::clamp(s.deviceCount, 0, kMaxDeviceRecords);
}

}  // namespace

int find_device_by_mac(const DiscoveryState& s, const std::uint8_t* mac) {
  if (mac == nullptr) return 0;
  for (int i = 0; i < records_in_use(s); ++i)
    if (std::memcmp(s.deviceRecords[i].mac.data(), mac, 6) == 0) return i + 1;
  return 0;
}

int find_device_by_name(const DiscoveryState& s, std::string_view name) {
  for (int i = 0; i < records_in_use(s); ++i)
    if (fixed_text(s.deviceRecords[i].name) == name) return i + 1;
  return 0;
}

int find_network_by_key(DiscoveryState& s, const std::uint8_t* key, std::string_view /*technology*/) {
  if (key == nullptr) return 0;
  for (int i = 0; i < records_in_use(s); ++i) {
    const DeviceRecord& record = s.deviceRecords[i];
    if (std::memcmp(record.key.data(), key, kHp10KeySize) != 0) continue;
    set_fixed_text(s.networkNameBuffer, fixed_text(record.networkName));
    return i + 1;
  }
  return 0;
}

}  // namespace zv
