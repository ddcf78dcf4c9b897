#include "sim/hp10_wire.h"

#include <algorithm>

#include "base/bytes.h"

namespace zv::sim::hp10 {

std::optional<Frame> parse(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kFirstEntry || get_be16(bytes.data() + 12) != kEtherType) return std::nullopt;
  Frame frame;
  frame.destination = mac_at(bytes.data());
  frame.source = mac_at(bytes.data() + 6);
  frame.bytes = bytes;
  std::size_t at = kFirstEntry;
  for (unsigned i = 0; i < bytes[14] && at + 2 <= bytes.size(); ++i) {
    Entry entry;
    entry.type = bytes[at];
    entry.length = bytes[at + 1];
    entry.offset = at + 2;
    entry.data = bytes.subspan(entry.offset, std::min<std::size_t>(entry.length, bytes.size() - entry.offset));
    frame.entries.push_back(entry);
    at = entry.offset + entry.length;
  }
  return frame;
}

FrameBuilder::FrameBuilder(const MacAddress& destination, const MacAddress& source)
    : frame_(kFirstEntry, 0) {
  std::copy(destination.begin(), destination.end(), frame_.begin());
  std::copy(source.begin(), source.end(), frame_.begin() + 6);
  put_be16(frame_.data() + 12, kEtherType);
}

FrameBuilder& FrameBuilder::entry(std::uint8_t type, std::span<const std::uint8_t> data) {
  frame_.push_back(type);
  frame_.push_back(static_cast<std::uint8_t>(data.size()));
  frame_.insert(frame_.end(), data.begin(), data.end());
  ++frame_[14];
  return *this;
}

std::vector<std::uint8_t> FrameBuilder::finish() {
  if (frame_.size() < 60) frame_.resize(60, 0);
  return std::move(frame_);
}

}  // namespace zv::sim::hp10
