#pragma once
// Reading the network membership key a HomePlug AV local adapter holds, from its
// parameter block.

#include <cstdint>
#include <span>

#include "discovery/discovery.h"

namespace zv {

// Room for the parameter block being read: 15560 bytes is its only valid length.
inline constexpr std::size_t kLocalParameterBlockCapacity = 15560;

// Reads the parameter block of `localAdapterMac` through the current NIC chunk by chunk
// (READ_MODULE, module 2) and, when the block passes pib_validate with 0 or 3, copies its
// NMK into `nmk`. Returns 1 once the whole block arrived (also when it failed the check;
// `nmk` is then unchanged); -1 when the NIC's address is zero, the transfer did not
// start, a chunk's answer did not come within 100 ms, or the block would not fit the
// buffer (the read stops there).
int read_local_nmk(Discovery& d, const std::uint8_t* localAdapterMac,
                   std::span<std::uint8_t, 16> nmk);

}  // namespace zv
