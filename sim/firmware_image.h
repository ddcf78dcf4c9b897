#pragma once
// The firmware image chain an AV adapter reports when module 1 is read: images each
// behind a 44-byte header of eleven little-endian words (2 load address, 3 length,
// 9 offset of the next header or 0, 10 checksum making the header's vendor checksum 0).

#include <cstdint>
#include <vector>

namespace zv::sim {

inline constexpr std::size_t kImageHeaderLength = 44;

// Two images (a loader and the firmware proper) with contents drawn from `seed`.
std::vector<std::uint8_t> make_firmware_image(std::uint32_t seed);

}  // namespace zv::sim
