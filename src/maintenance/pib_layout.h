#pragma once
// The parameter block's header: little-endian, offsets from the start of the block.

#include <cstddef>

namespace zv {

inline constexpr std::size_t kPibVersionMajorOffset = 0;
inline constexpr std::size_t kPibVersionMinorOffset = 1;
inline constexpr std::size_t kPibLengthOffset = 4;    // u16, bytes in the block
inline constexpr std::size_t kPibChecksumOffset = 8;  // u32, vendor checksum of the block
inline constexpr std::size_t kPibMacOffset = 12;      // 6 bytes
inline constexpr std::size_t kPibKeyOffset = 100;     // 16 bytes, the network membership key
inline constexpr std::size_t kPibKeyLength = 16;
// Anything shorter cannot hold the header, the MAC and the key.
inline constexpr std::size_t kPibMinimumSize = kPibKeyOffset + kPibKeyLength;

// The layout whose values are checked: version 4.4, exactly this long.
inline constexpr std::size_t kPibCheckedLength = 15560;
// Sealing refuses a length field above this.
inline constexpr std::size_t kPibSealLimit = 16384;

}  // namespace zv
