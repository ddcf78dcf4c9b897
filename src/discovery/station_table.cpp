#include "discovery/station_table.h"

#include <cstring>
#include <limits>

#include "discovery/fixed_text.h"
#include "transport/frame_helpers.h"

namespace zv {

StationEntry* find_station_by_mac(StationBlock& block, const std::uint8_t* mac) {
  if (mac == nullptr || is_zero_mac(mac)) return nullptr;
  for (StationEntry& entry : block.stations)
    if (std::memcmp(entry.mac.data(), mac, entry.mac.size()) == 0) return &entry;
  return nullptr;
}

StationEntry* find_station_by_mac(Discovery& d, const std::uint8_t* mac) {
  return find_station_by_mac(d.current_block(), mac);
}

StationEntry* station_slot_for(StationBlock& block, const std::uint8_t* mac, StationSlot& how) {
  if (StationEntry* known = find_station_by_mac(block, mac)) {
    how = StationSlot::Known;
    return known;
  }
  for (StationEntry& entry : block.stations)
    if (is_zero_mac(entry.mac.data())) {
      how = StationSlot::Fresh;
      return &entry;
    }
  for (StationEntry& entry : block.stations)
    if (entry.inUse == 0) {
      how = StationSlot::Reused;
      return &entry;
    }
  how = StationSlot::None;
  return nullptr;
}

std::int32_t add_or_refresh_station(Discovery& d, const std::uint8_t* mac) {
  if (mac == nullptr || is_zero_mac(mac)) return 0;
  if (std::memcmp(mac, d.current_nic().localMac.data(), 6) == 0) return 0;
  StationSlot how = StationSlot::None;
  StationEntry* entry = station_slot_for(d.current_block(), mac, how);
  if (entry == nullptr) return 0;

  DiscoveryState& s = d.state;
  if (how == StationSlot::Reused) *entry = StationEntry{};  // nothing of the old station stays
  if (how != StationSlot::Known) {
    copy_mac(entry->mac.data(), mac);
    entry->deviceType = s.local_adapter_is_av ? kDeviceAv : kDeviceHomePlug10;
  }
  entry->countdown = s.missesTillDrop;
  if (s.local_adapter_is_av) {
    entry->networkKey = s.avNetwork.nmk;
    set_fixed_text(entry->networkName, fixed_text(s.avNetwork.name));
  } else {
    std::memcpy(entry->networkKey.data(), s.hp10Network.key.data(), kHp10KeySize);
    set_fixed_text(entry->networkName, fixed_text(s.hp10Network.name));
  }
  entry->inUse = 1;
  // A loaded state file may carry any count; it stops at the largest value.
  if (entry->sightings < std::numeric_limits<std::int32_t>::max()) entry->sightings += 1;
  return entry->sightings;
}

}  // namespace zv
