#include "sim/av_wire.h"

#include <algorithm>

#include "base/bytes.h"

namespace zv::sim::av {

namespace {
constexpr std::uint8_t kOui[3] = {0x00, 0xB0, 0x52};
constexpr std::size_t kMinFrame = 60;

bool oui_at(std::span<const std::uint8_t> frame, std::size_t offset) {
  return std::equal(kOui, kOui + 3, frame.begin() + static_cast<std::ptrdiff_t>(offset));
}
}  // namespace

std::optional<Request> parse_request(std::span<const std::uint8_t> frame) {
  if (frame.size() < kShortPayload || get_be16(frame.data() + 12) != kEtherType) return std::nullopt;
  Request request;
  const std::uint8_t mmv = frame[14];
  if (mmv == 0) {
    if (!oui_at(frame, 17)) return std::nullopt;
  } else if (mmv == 1) {
    if (frame.size() < kLongPayload || !oui_at(frame, 19)) return std::nullopt;
    request.longHeader = true;
  } else {
    return std::nullopt;
  }
  request.mmtype = get_le16(frame.data() + 15);
  if ((request.mmtype & 0x3) != 0) return std::nullopt;
  request.destination = mac_at(frame.data());
  request.source = mac_at(frame.data() + 6);
  request.payload = frame.subspan(payload_offset(request.longHeader));
  return request;
}

std::vector<std::uint8_t> make_confirmation(const MacAddress& destination, const MacAddress& source,
                                            std::uint16_t request, bool longHeader,
                                            std::size_t payloadLength) {
  const std::size_t start = payload_offset(longHeader);
  std::vector<std::uint8_t> frame(std::max(kMinFrame, start + payloadLength), 0);
  std::uint8_t* f = frame.data();
  std::copy(destination.begin(), destination.end(), f);
  std::copy(source.begin(), source.end(), f + 6);
  put_be16(f + 12, kEtherType);
  f[14] = longHeader ? 1 : 0;
  put_le16(f + 15, static_cast<std::uint16_t>(request + 1));
  std::copy(kOui, kOui + 3, f + (longHeader ? 19 : 17));
  return frame;
}

}  // namespace zv::sim::av
