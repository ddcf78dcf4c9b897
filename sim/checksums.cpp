#include "sim/checksums.h"

#include "base/bytes.h"

namespace zv::sim {

std::uint32_t vendor_checksum(std::span<const std::uint8_t> bytes, std::uint32_t seed) {
  std::uint32_t sum = seed;
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) sum ^= get_le32(bytes.data() + i);
  return ~sum;
}

std::uint32_t loader_checksum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 4) {
    std::uint8_t word[4] = {};
    for (std::size_t k = 0; k < 4 && i + k < bytes.size(); ++k) word[k] = bytes[i + k];
    sum ^= get_le32(word);
  }
  return ~sum;
}

}  // namespace zv::sim
