#include "hpav/frame_view.h"

#include "hpav/vendor_checksum.h"

namespace zv {

std::uint32_t FrameView::xor_words(std::size_t at, std::size_t words) const {
  if (at >= length_) return 0;
  const std::size_t whole = std::min(words, (length_ - at) / 4);
  // vendor_checksum is the NOT of the XOR; undo it to get the plain XOR.
  std::uint32_t sum = ~vendor_checksum(frame_ + at, whole, 0);
  if (whole < words) sum ^= le32(at + 4 * whole);  // a word cut off by the frame's end
  return sum;
}

}  // namespace zv
