#include "hpav/vendor_checksum.h"

#include <cerrno>

#include "base/bytes.h"
#include "hpav/vendor_frame.h"

namespace zv {

std::uint32_t vendor_checksum(const std::uint8_t* words, std::size_t count, std::uint32_t seed) {
  std::uint32_t sum = seed;
  for (std::size_t i = 0; i < count; ++i) sum ^= get_le32(words + 4 * i);
  return ~sum;
}

std::uint32_t image_header_word(const std::uint8_t* header, ImageHeaderWord word) {
  return get_le32(header + 4 * static_cast<std::size_t>(word));
}

const std::uint8_t* last_image_header(const std::uint8_t* file, std::size_t length) {
  if (file == nullptr) {
    errno = kVendorErrorFrame;
    return nullptr;
  }
  std::size_t at = 0;
  while (at < length) {
    if (length - at < kImageHeaderSize) break;  // a header cut off by the end of the file
    const std::uint8_t* header = file + at;
    if (vendor_checksum(header, kImageHeaderWords, 0) != 0) {
      errno = kVendorErrorInvalid;
      return nullptr;
    }
    const std::uint32_t next = image_header_word(header, kImageNextHeader);
    if (next == 0) return header;
    // Only a forward step guarantees the walk ends.
    if (next <= at) break;
    at = next;
  }
  errno = kVendorErrorFrame;
  return nullptr;
}

}  // namespace zv
