#include "hpav/vendor_requests.h"

#include <cstring>

#include "hpav/vendor_frame.h"

namespace zv {

namespace {

enum class HeaderForm { Short, Long };

// The common part of every single-frame request: both headers, then zeros to byte 64.
// Returns the header length, or 0 with errno set.
std::size_t write_request_headers(const std::uint8_t* source, const std::uint8_t* destination,
                                  std::size_t capacity, std::uint8_t* buffer,
                                  std::uint16_t type, HeaderForm form) {
  const std::size_t ethernet = write_ethernet_header(capacity, buffer, destination, source);
  if (ethernet == 0) return 0;
  const std::size_t mm = form == HeaderForm::Long
                             ? write_long_mm_header(capacity - ethernet, buffer + ethernet, type)
                             : write_mm_header(capacity - ethernet, buffer + ethernet, type);
  const std::size_t headers = ethernet + mm;
  const std::size_t wanted = form == HeaderForm::Long ? kLongPayloadOffset : kVendorPayloadOffset;
  if (headers < wanted) return 0;
  if (capacity < kMinRequestLength) {
    errno = kVendorErrorRange;
    return 0;
  }
  std::memset(buffer + headers, 0, kMinRequestLength - headers);
  return headers;
}

std::size_t build_empty_request(const std::uint8_t* source, const std::uint8_t* destination,
                                std::size_t capacity, std::uint8_t* buffer, std::uint16_t type,
                                HeaderForm form) {
  if (write_request_headers(source, destination, capacity, buffer, type, form) == 0) return 0;
  return kMinRequestLength;
}

// SET_KEY payload offsets.
constexpr std::size_t kKeyTypeAt = 20;
constexpr std::size_t kNetworkKeyAt = 21;
constexpr std::size_t kKeySelectorAt = 37;
constexpr std::size_t kTargetStationAt = 38;
constexpr std::size_t kDeviceAccessKeyAt = 44;
static_assert(kDeviceAccessKeyAt + 16 <= kMinRequestLength - 4);

}  // namespace

std::size_t build_version_request(const std::uint8_t* source, const std::uint8_t* destination,
                                  std::size_t capacity, std::uint8_t* buffer) {
  return build_empty_request(source, destination, capacity, buffer, mmtype::GET_VERSION,
                             HeaderForm::Short);
}

std::size_t build_network_info_request(const std::uint8_t* source,
                                       const std::uint8_t* destination, std::size_t capacity,
                                       std::uint8_t* buffer, int header_version) {
  return build_empty_request(
      source, destination, capacity, buffer, mmtype::NETWORK_INFO,
      header_version == kLongHeaderVersion ? HeaderForm::Long : HeaderForm::Short);
}

std::size_t build_set_key_request(const std::uint8_t* source, const std::uint8_t* destination,
                                  std::size_t capacity, std::uint8_t* buffer,
                                  const SetKeyParameters& key) {
  if (write_request_headers(source, destination, capacity, buffer, mmtype::SET_KEY,
                            HeaderForm::Short) == 0)
    return 0;
  buffer[kKeyTypeAt] = 1;
  if (key.keySelector != kKeySelectorTarget && key.keySelector != kKeySelectorSelf) {
    errno = kVendorErrorInvalid;
    return 0;
  }
  std::memcpy(buffer + kNetworkKeyAt, key.networkMembershipKey.data(), 16);
  buffer[kKeySelectorAt] = key.keySelector;
  std::memcpy(buffer + kTargetStationAt, key.targetStation.data(), 6);
  std::memcpy(buffer + kDeviceAccessKeyAt, key.deviceAccessKey.data(), 16);
  return kMinRequestLength;
}

std::size_t build_device_block_request(const std::uint8_t* source,
                                       const std::uint8_t* destination, std::size_t capacity,
                                       std::uint8_t* buffer) {
  return build_empty_request(source, destination, capacity, buffer, mmtype::READ_DEVICE_BLOCK,
                             HeaderForm::Short);
}

}  // namespace zv
