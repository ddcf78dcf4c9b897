#include "discovery/hp10_frames.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "transport/frame_helpers.h"

namespace zv {

namespace {

constexpr std::size_t kEntryDataOffset = 17;
// An entry's length byte allows 255 data bytes.
constexpr std::size_t kLargestEntryFrame = kEntryDataOffset + 255;
constexpr std::uint8_t kTurboPrefix[] = {0x00, 0x04, 0x87};

// Builds a one-entry frame of `frameLength` bytes (zeros after `data`) and sends it.
int send_entry(Transport& t, int nic, const std::uint8_t* source, const std::uint8_t* destination,
               std::uint8_t type, std::uint8_t lengthByte, std::span<const std::uint8_t> data,
               std::size_t frameLength) {
  if (source == nullptr || destination == nullptr) return 0;
  std::uint8_t frame[kLargestEntryFrame] = {};
  frameLength = std::min(frameLength, kLargestEntryFrame);
  build_hp10_header(frame, source, destination);
  frame[14] = 1;
  frame[15] = type;
  frame[16] = lengthByte;
  const std::size_t n = std::min(data.size(), frameLength - kEntryDataOffset);
  if (n != 0) std::memcpy(frame + kEntryDataOffset, data.data(), n);
  return t.send_frame(nic, frame, frameLength);
}

}  // namespace

int send_statistics_request(Transport& t, int nic, const std::uint8_t* source,
                            const std::uint8_t* destination) {
  return send_entry(t, nic, source, destination, kEntryStatistics, 0, {}, 17);
}

int send_status_request(Transport& t, int nic, const std::uint8_t* source,
                        const std::uint8_t* destination, std::uint8_t selector) {
  const std::uint8_t data[] = {selector};
  return send_entry(t, nic, source, destination, kEntryStatus, 15, data, 32);
}

int send_network_stats_request(Transport& t, int nic, const std::uint8_t* source,
                               const std::uint8_t* destination) {
  // The length byte announces the whole answer area; only the request flag goes out.
  const std::uint8_t data[] = {0x80};
  return send_entry(t, nic, source, destination, kEntryNetworkStats, 187, data, 38);
}

int send_turbo_request(Transport& t, const std::uint8_t* destination, std::uint8_t selector,
                       const std::uint8_t* data, std::size_t n) {
  if (n > 251 || (n != 0 && data == nullptr)) return 0;
  MacAddress source{};
  t.nic_source_mac(source.data());
  if (is_zero_mac(source.data())) return 0;
  std::uint8_t body[255] = {};
  std::memcpy(body, kTurboPrefix, sizeof kTurboPrefix);
  body[3] = selector;
  if (n != 0) std::memcpy(body + 4, data, n);
  const std::size_t length = std::max<std::size_t>(35, kEntryDataOffset + 4 + n);
  return send_entry(t, t.currentNic, source.data(), destination, kEntryTurbo,
                    static_cast<std::uint8_t>(n + 4), std::span(body, n + 4), length);
}

int send_turbo_query(Transport& t, std::uint8_t selector) {
  MacAddress source{};
  t.nic_source_mac(source.data());
  if (is_zero_mac(source.data())) return 0;
  MacAddress local{};
  t.local_adapter_mac(local.data());
  const std::uint8_t data[] = {selector};
  return send_entry(t, t.currentNic, source.data(), local.data(), kEntryTurboQuery, 1, data, 272);
}

}  // namespace zv
