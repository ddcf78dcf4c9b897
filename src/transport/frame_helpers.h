#pragma once
// Small helpers every protocol part uses on frames.

#include <cstdint>

namespace zv {

inline constexpr std::size_t kMinFrameLength = 60;  // Ethernet minimum without FCS
inline constexpr std::size_t kMaxFrameLength = 1514;
inline constexpr std::size_t kEthernetHeaderLength = 14;

// Zeroes bytes 0..16, writes destination, source and EtherType 0x887B. Bytes 14..16 stay
// zero for the HomePlug 1.0 entry header. `frame` must hold 17 bytes.
void build_hp10_header(std::uint8_t* frame, const std::uint8_t* source,
                       const std::uint8_t* destination);

void copy_mac(std::uint8_t* destination, const std::uint8_t* source);

// Copies the key width of the local adapter's technology: 16 bytes for HomePlug AV,
// 8 for HomePlug 1.0 and Turbo.
void copy_key(std::uint8_t* destination, const std::uint8_t* source, bool localAdapterIsAv);

}  // namespace zv
