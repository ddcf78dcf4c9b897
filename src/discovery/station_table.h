#pragma once
// Registering stations in the current NIC's StationBlock.

#include <cstdint>

#include "base/mac.h"
#include "discovery/discovery.h"

namespace zv {

// The first entry of `block` with this MAC, in use or not; null for the zero MAC or
// when none matches.
StationEntry* find_station_by_mac(StationBlock& block, const std::uint8_t* mac);
// The same on the current NIC's block.
StationEntry* find_station_by_mac(Discovery& d, const std::uint8_t* mac);

// What happens to a new station when all 32 entries already carry a MAC: the first
// entry not in use is taken over (its old station loses it); when every entry is in
// use the sighting is ignored.
enum class StationSlot { Known, Fresh, Reused, None };

// Registers one sighting of `mac` on the current NIC: renews its countdown, network and
// inUse, counts the sighting. Returns the entry's new sightings value, or 0 when
// nothing was registered (the local adapter's own MAC, the zero MAC, a full table).
std::int32_t add_or_refresh_station(Discovery& d, const std::uint8_t* mac);

// The entry a sighting of `mac` would use, and how it got it; does not change it.
StationEntry* station_slot_for(StationBlock& block, const std::uint8_t* mac, StationSlot& how);

}  // namespace zv
