#pragma once
// Read access to a received frame that never leaves it: every byte at or past the
// frame's length reads as zero, which is what the decoder's copies from short frames
// are defined to give.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zv {

class FrameView {
 public:
  FrameView(const std::uint8_t* frame, std::size_t length) : frame_(frame), length_(length) {}

  std::size_t length() const { return length_; }
  std::uint8_t u8(std::size_t at) const { return at < length_ ? frame_[at] : 0; }
  std::uint16_t be16(std::size_t at) const {
    return static_cast<std::uint16_t>(u8(at) << 8 | u8(at + 1));
  }
  std::uint16_t le16(std::size_t at) const {
    return static_cast<std::uint16_t>(u8(at) | u8(at + 1) << 8);
  }
  std::uint32_t le32(std::size_t at) const {
    return static_cast<std::uint32_t>(le16(at)) | static_cast<std::uint32_t>(le16(at + 2)) << 16;
  }
  // Copies frame[at .. at+count) to `out`, zeros for the part past the frame.
  void copy(std::size_t at, std::uint8_t* out, std::size_t count) const {
    const std::size_t available = at < length_ ? std::min(count, length_ - at) : 0;
    if (available != 0) std::memcpy(out, frame_ + at, available);
    if (available < count) std::memset(out + available, 0, count - available);
  }
  // `words` little-endian words from `at` XOR-ed together (bytes past the frame are zero
  // and change nothing), for the vendor checksum of a chunk.
  std::uint32_t xor_words(std::size_t at, std::size_t words) const;

 private:
  const std::uint8_t* frame_;
  std::size_t length_;
};

}  // namespace zv
