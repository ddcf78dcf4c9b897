#include "sim/powerline_segment.h"

#include "base/bytes.h"
#include "sim/av_behaviour.h"
#include "sim/av_wire.h"
#include "sim/hp10_behaviour.h"
#include "sim/hp10_wire.h"

namespace zv::sim {

PowerlineSegment::PowerlineSegment(const NicConfig& config, std::uint32_t seed) : config_(config) {
  hasLocal_ = config.local.has_value();
  adapters_.reserve(config.remotes.size() + 1);
  if (hasLocal_) adapters_.emplace_back(*config.local, seed);
  for (const AdapterConfig& remote : config.remotes) adapters_.emplace_back(remote, seed);
}

std::vector<Answer> PowerlineSegment::receive(std::span<const std::uint8_t> frame) {
  if (frame.size() < 14) return {};
  switch (get_be16(frame.data() + 12)) {
    case av::kEtherType: return AvBehaviour(*this).handle(frame);
    case hp10::kEtherType: return Hp10Behaviour(*this).handle(frame);
    default: return {};
  }
}

SimulatedAdapter* PowerlineSegment::find(const MacAddress& mac) {
  for (SimulatedAdapter& adapter : adapters_)
    if (adapter.mac() == mac) return &adapter;
  return nullptr;
}

void PowerlineSegment::answer(SimulatedAdapter& from, std::vector<std::uint8_t> frame,
                              std::vector<Answer>& out) {
  if (from.drop_answer()) return;
  out.push_back({std::move(frame), from.config().faults.delayMs});
}

}  // namespace zv::sim
