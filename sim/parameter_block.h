#pragma once
// The factory parameter block every simulated AV adapter holds: version 4.4, 15560 bytes,
// every field the value checks look at set to a value inside its range.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/mac.h"
#include "sim/scenario.h"

namespace zv::sim::pib {

inline constexpr std::size_t kLength = 15560;
inline constexpr std::size_t kLengthField = 4;     // u16
inline constexpr std::size_t kChecksum = 8;        // u32
inline constexpr std::size_t kMac = 12;
inline constexpr std::size_t kNmk = 100;
inline constexpr std::size_t kTextSize = 257;      // three zero-terminated texts
inline constexpr std::size_t kManufacturerText = 11465;
inline constexpr std::size_t kDeviceNameText = 11724;
inline constexpr std::size_t kNetworkText = 11981;

// A fresh block with `deviceName` as its device name text (cut to 256 bytes); MAC, NMK
// and checksum are left zero for stamp().
std::vector<std::uint8_t> make_factory_block(std::string_view deviceName);

// Writes MAC, NMK and device name where the block has room for them, then the checksum
// over the words its own length field covers (bounded by the block's size).
void stamp(std::vector<std::uint8_t>& block, const MacAddress& mac, const Key& nmk,
           std::string_view deviceName);

// The device name text of a block; empty when the block is too short.
std::string device_name_of(const std::vector<std::uint8_t>& block);

}  // namespace zv::sim::pib
