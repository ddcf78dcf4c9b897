#pragma once
// The vendor checksum and the firmware image (.NVM) header chain.

#include <cstddef>
#include <cstdint>

namespace zv {

// ~(seed ^ w[0] ^ ... ^ w[count-1]) over `count` little-endian 32-bit words at `words`
// (which must hold 4 × count bytes). A block whose last word is its checksum passes when
// this is 0 over all its words with seed 0. Chunks are summed over length / 4 words.
std::uint32_t vendor_checksum(const std::uint8_t* words, std::size_t count, std::uint32_t seed);

// A firmware image file is a chain of images, each behind a 44-byte header of eleven
// little-endian words.
inline constexpr std::size_t kImageHeaderSize = 44;
inline constexpr std::size_t kImageHeaderWords = 11;
enum ImageHeaderWord : std::size_t {
  kImageLoadAddress = 2,
  kImageLength = 3,  // bytes of image following the header
  kImageStartWord4 = 4,  // passed unchanged in START_IMAGE
  kImageStartWord5 = 5,
  kImageNextHeader = 9,  // byte offset of the next header from the file start; 0 = last
  kImageHeaderChecksum = 10,
};
std::uint32_t image_header_word(const std::uint8_t* header, ImageHeaderWord word);

// Walks the header chain of `file` (`length` bytes) from its first byte and returns the
// last header (next-header offset 0), or null with errno: 22 a header whose checksum is
// wrong; 14 a header that does not lie wholly inside the file, or a next-header offset
// that does not move forward (which would loop forever).
const std::uint8_t* last_image_header(const std::uint8_t* file, std::size_t length);

}  // namespace zv
