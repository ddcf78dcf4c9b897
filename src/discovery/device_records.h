#pragma once
// Looking up device records. Indexes are 1-based; 0 means none.

#include <cstdint>
#include <string_view>

#include "discovery/discovery_state.h"

namespace zv {

// The first record among the deviceCount in use whose mac equals `mac`.
int find_device_by_mac(const DiscoveryState& s, const std::uint8_t* mac);
// The first record whose name equals `name` exactly (byte for byte, case-sensitive).
int find_device_by_name(const DiscoveryState& s, std::string_view name);
// The first record whose key agrees with `key` in its first 8 bytes; on a match its
// network name is copied into networkNameBuffer. `technology` ("AV" or "Turbo") does not
// change the comparison. `key` must hold 8 bytes.
int find_network_by_key(DiscoveryState& s, const std::uint8_t* key, std::string_view technology);

}  // namespace zv
