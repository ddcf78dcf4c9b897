#include "hpav/vendor_frame.h"

#include <cstring>

#include "base/bytes.h"
#include "transport/frame_helpers.h"

namespace zv {

namespace {
// A header that does not fit leaves no half-written bytes behind.
std::size_t refuse_capacity(std::size_t capacity, std::uint8_t* buffer) {
  if (buffer != nullptr && capacity != 0) std::memset(buffer, 0, capacity);
  errno = kVendorErrorRange;
  return 0;
}
}  // namespace

std::size_t write_ethernet_header(std::size_t capacity, std::uint8_t* buffer,
                                  const std::uint8_t* destination, const std::uint8_t* source) {
  if (buffer == nullptr || destination == nullptr || source == nullptr) {
    errno = kVendorErrorFrame;
    return 0;
  }
  if (capacity < kEthernetHeaderLength) return refuse_capacity(capacity, buffer);
  std::memcpy(buffer, destination, 6);
  std::memcpy(buffer + 6, source, 6);
  put_be16(buffer + 12, kVendorEtherType);
  return kEthernetHeaderLength;
}

std::size_t write_mm_header(std::size_t capacity, std::uint8_t* buffer, std::uint16_t mmtype) {
  if (buffer == nullptr) {
    errno = kVendorErrorFrame;
    return 0;
  }
  if (capacity < kMmHeaderLength) return refuse_capacity(capacity, buffer);
  buffer[0] = 0;
  put_le16(buffer + 1, mmtype);
  std::memcpy(buffer + 3, kVendorOui, 3);
  return kMmHeaderLength;
}

std::size_t write_long_mm_header(std::size_t capacity, std::uint8_t* buffer,
                                 std::uint16_t mmtype) {
  if (buffer == nullptr) {
    errno = kVendorErrorFrame;
    return 0;
  }
  if (capacity < kLongMmHeaderLength) return refuse_capacity(capacity, buffer);
  buffer[0] = 1;
  put_le16(buffer + 1, mmtype);
  buffer[3] = 0;
  buffer[4] = 0;
  std::memcpy(buffer + 5, kVendorOui, 3);
  std::memset(buffer + 8, 0, 4);
  return kLongMmHeaderLength;
}

}  // namespace zv
