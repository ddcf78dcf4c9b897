#pragma once
// HomePlug AV vendor messages as the adapters see them (EtherType 0x88E1): the request
// header in either form, and confirmation frames to fill.
//
// Short header (MMV 0): 14 MMV, 15-16 MMTYPE (LE), 17-19 OUI 00 B0 52, payload from 20.
// Long header (MMV 1):  14 MMV, 15-16 MMTYPE, 17-18 zero, 19-21 OUI, 22-25 zero, payload 26.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/mac.h"

namespace zv::sim::av {

inline constexpr std::uint16_t kEtherType = 0x88E1;
inline constexpr std::size_t kShortPayload = 20;
inline constexpr std::size_t kLongPayload = 26;

enum MmType : std::uint16_t {
  kGetVersion = 0xA000,
  kWriteMemory = 0xA004,
  kStartImage = 0xA00C,
  kWriteModule = 0xA020,
  kReadModule = 0xA024,
  kCommitModules = 0xA028,
  kNetworkInfo = 0xA038,
  kSetKey = 0xA050,
  kReadDeviceBlock = 0xA058,
  kRestoreDefaults = 0xA07C,
};

// Status bytes of the confirmations.
enum Status : std::uint8_t {
  kOk = 0x00,
  kFailed = 0x01,        // nothing took effect (no station took a key, offset past the end)
  kBadChecksum = 0x02,   // a written chunk does not match its checksum
  kBadRequest = 0x03,    // a field out of range, or the frame too short for it
};

struct Request {
  MacAddress destination{};
  MacAddress source{};
  bool longHeader = false;
  std::uint16_t mmtype = 0;
  std::span<const std::uint8_t> payload;  // to the end of the frame
};

// A vendor request, or none: wrong EtherType, unknown MMV, wrong OUI, too short, or
// a confirmation/indication/response (low bits of MMTYPE not 00).
std::optional<Request> parse_request(std::span<const std::uint8_t> frame);

// The confirmation (request + 1) from `source` to `destination`: headers written, payload
// zero, `payloadLength` bytes of it, the frame at least 60 bytes long.
std::vector<std::uint8_t> make_confirmation(const MacAddress& destination, const MacAddress& source,
                                            std::uint16_t request, bool longHeader,
                                            std::size_t payloadLength);

inline std::size_t payload_offset(bool longHeader) {
  return longHeader ? kLongPayload : kShortPayload;
}

}  // namespace zv::sim::av
