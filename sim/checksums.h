#pragma once
// The two checksums the adapters compute over data they take or give.

#include <cstdint>
#include <span>

namespace zv::sim {

// HomePlug AV vendor checksum: NOT(seed XOR every whole little-endian 32-bit word); the
// last 1-3 bytes of a length that is no multiple of 4 are left out.
std::uint32_t vendor_checksum(std::span<const std::uint8_t> bytes, std::uint32_t seed = 0);

// Turbo loader checksum: NOT(XOR of the little-endian words), a last partial word
// completed with zero bytes.
std::uint32_t loader_checksum(std::span<const std::uint8_t> bytes);

}  // namespace zv::sim
