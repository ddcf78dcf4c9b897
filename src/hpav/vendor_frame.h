#pragma once
// HomePlug AV vendor-specific management frames: layout, message types, error numbers
// and the two header writers every frame of this layer starts with.
//
// Layout (all header and payload fields little-endian except the EtherType):
//   0 destination MAC (6) | 6 source MAC (6) | 12 EtherType 0x88E1, big-endian |
//   14 MMV (1) | 15 MMTYPE (2) | MMV 0: 17 OUI 00 B0 52, payload from 20 |
//   MMV 1 (long header): 17-18 zero, 19-21 OUI, 22-25 zero, payload from 26.

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "transport/management_filter.h"

namespace zv {

// The reasons this layer leaves in errno (and in a refused result's status byte). The
// numbers are part of the contract; they are the platform's own errno values.
inline constexpr int kVendorErrorEtherType = EPERM;  // not EtherType 0x88E1
inline constexpr int kVendorErrorFrame = EFAULT;     // missing input, wrong header, too short
inline constexpr int kVendorErrorInvalid = EINVAL;   // bad selector/target/checksum, retries out
inline constexpr int kVendorErrorRange = ERANGE;     // capacity too small, chunk too long
inline constexpr int kVendorErrorUnknown = ELOOP;    // MMTYPE without a decoder
static_assert(kVendorErrorEtherType == 1 && kVendorErrorFrame == 14 &&
              kVendorErrorInvalid == 22 && kVendorErrorRange == 34 &&
              kVendorErrorUnknown == 40);

inline constexpr std::uint16_t kVendorEtherType = kEtherTypeHomePlugAv;
inline constexpr std::uint8_t kVendorOui[3] = {0x00, 0xB0, 0x52};

inline constexpr std::size_t kMmHeaderLength = 6;        // MMV 0
inline constexpr std::size_t kLongMmHeaderLength = 12;   // MMV 1
inline constexpr std::size_t kVendorPayloadOffset = 20;  // MMV 0
inline constexpr std::size_t kLongPayloadOffset = 26;    // MMV 1
inline constexpr std::size_t kMinRequestLength = 64;     // requests are zero-filled to this
inline constexpr std::size_t kRequestCapacity = 1528;    // what every caller passes
inline constexpr std::size_t kReceiveBufferSize = 1536;
// `header_version` value that selects the long header for NETWORK_INFO (chip code 4).
inline constexpr int kLongHeaderVersion = 4;

// Carried as a constant; nothing shows it.
inline constexpr const char kVendorApiVersionText[] = "Brisolen HomePlug AV API Version 2.1.3.1";

// Vendor MMTYPEs by message name, request (or indication) value. The confirmation of a
// request is the value + 1; DEVICE_EVENT is an indication whose response is + 1.
namespace mmtype {
inline constexpr std::uint16_t GET_VERSION = 0xA000;
inline constexpr std::uint16_t WRITE_MEMORY = 0xA004;
inline constexpr std::uint16_t START_IMAGE = 0xA00C;
inline constexpr std::uint16_t WRITE_MODULE = 0xA020;
inline constexpr std::uint16_t READ_MODULE = 0xA024;
inline constexpr std::uint16_t COMMIT_MODULES = 0xA028;
inline constexpr std::uint16_t NETWORK_INFO = 0xA038;
inline constexpr std::uint16_t SET_KEY = 0xA050;
inline constexpr std::uint16_t READ_DEVICE_BLOCK = 0xA058;
inline constexpr std::uint16_t DEVICE_EVENT = 0xA062;
inline constexpr std::uint16_t RESTORE_DEFAULTS = 0xA07C;

constexpr std::uint16_t confirmation(std::uint16_t request) {
  return static_cast<std::uint16_t>(request + 1);
}
}  // namespace mmtype

// Header writers. Each writes at `buffer[0..]` and returns the bytes written.
// Ethernet: destination, source, EtherType 0x88E1 → 14. A null pointer → 0, errno 14.
// Capacity below 14 → the first `capacity` bytes are zeroed, 0, errno 34.
std::size_t write_ethernet_header(std::size_t capacity, std::uint8_t* buffer,
                                  const std::uint8_t* destination, const std::uint8_t* source);
// MMV 0: 00, MMTYPE, 00 B0 52 → 6. Capacity below 6 → zeroed, 0, errno 34.
std::size_t write_mm_header(std::size_t capacity, std::uint8_t* buffer, std::uint16_t mmtype);
// MMV 1: 01, MMTYPE, 00 00, 00 B0 52, 00 00 00 00 → 12. Capacity below 12 → zeroed, 0,
// errno 34.
std::size_t write_long_mm_header(std::size_t capacity, std::uint8_t* buffer,
                                 std::uint16_t mmtype);

}  // namespace zv
