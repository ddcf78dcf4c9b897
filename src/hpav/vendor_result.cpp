#include "hpav/vendor_result.h"

#include <algorithm>

#include "base/bytes.h"
#include "hpav/chunk_cursor.h"
#include "hpav/vendor_frame.h"

namespace zv {

namespace {
bool is_read_answer(const VendorResult& result) {
  return result.hasData != 0 && result.mmtype == mmtype::confirmation(mmtype::READ_MODULE);
}
}  // namespace

std::span<const std::uint8_t> read_chunk(const VendorResult& result) {
  if (!is_read_answer(result)) return {};
  const std::uint32_t length = std::min<std::uint32_t>(
      get_le32(&result.payload[kReadChunkLengthAt]), kTransferChunkSize);
  return std::span<const std::uint8_t>(result.payload).subspan(kReadChunkAt, length);
}

bool read_is_last_chunk(const VendorResult& result) {
  return is_read_answer(result) && result.payload[kReadLastChunkAt] != 0;
}

}  // namespace zv
