#pragma once
// HomePlug 1.0 management entries as the adapters see them (EtherType 0x887B):
// 14 entry count, then entries of {type, length, data}. An entry's data is cut where the
// frame ends (the network statistics request declares 187 bytes and carries 21).

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

#include "base/mac.h"

namespace zv::sim::hp10 {

inline constexpr std::uint16_t kEtherType = 0x887B;
inline constexpr std::size_t kFirstEntry = 15;
// The Turbo extensions carry this OUI in front of their selector.
inline constexpr std::uint8_t kTurboOui[3] = {0x00, 0x04, 0x87};
inline constexpr MacAddress kLoaderMac{0x00, 0x04, 0x87, 0xFE, 0x11, 0x00};

struct Entry {
  std::uint8_t type = 0;
  std::uint8_t length = 0;                 // as declared
  std::size_t offset = 0;                  // frame offset of the data
  std::span<const std::uint8_t> data;      // at most `length` bytes, bounded by the frame
};

struct Frame {
  MacAddress destination{};
  MacAddress source{};
  std::span<const std::uint8_t> bytes;
  std::vector<Entry> entries;              // as many as the count byte says and fit
};

std::optional<Frame> parse(std::span<const std::uint8_t> frame);

// Builds an answer frame entry by entry; finish() pads to 60 bytes.
class FrameBuilder {
 public:
  FrameBuilder(const MacAddress& destination, const MacAddress& source);
  // Appends {type, data.size(), data} and counts it.
  FrameBuilder& entry(std::uint8_t type, std::span<const std::uint8_t> data);
  FrameBuilder& entry(std::uint8_t type, std::initializer_list<std::uint8_t> data) {
    return entry(type, std::span<const std::uint8_t>(data.begin(), data.size()));
  }
  std::vector<std::uint8_t> finish();

 private:
  std::vector<std::uint8_t> frame_;
};

}  // namespace zv::sim::hp10
