#include "hpav/chunk_cursor.h"

#include <cerrno>

#include "hpav/vendor_frame.h"

namespace zv {

std::optional<ChunkCursor> ChunkCursor::make(const std::uint8_t* buffer, std::uint32_t length,
                                             std::uint32_t chunkSize) {
  if (buffer == nullptr || length == 0 || chunkSize == 0) {
    errno = kVendorErrorInvalid;
    return std::nullopt;
  }
  ChunkCursor cursor(buffer, length, chunkSize);
  cursor.select(0);
  return cursor;
}

bool ChunkCursor::select(std::int32_t index) {
  const std::uint64_t start =
      index < 0 ? UINT64_MAX : static_cast<std::uint64_t>(index) * chunkSize_;
  if (start >= total_) {
    errno = kVendorErrorRange;
    current_ = total_;
    chunkLength_ = 0;
    return false;
  }
  current_ = static_cast<std::uint32_t>(start);
  index_ = index;
  const std::uint32_t left = total_ - current_;
  chunkLength_ = left < chunkSize_ ? left : chunkSize_;
  return true;
}

}  // namespace zv
