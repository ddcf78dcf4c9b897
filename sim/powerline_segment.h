#pragma once
// One NIC's wire: the local adapter wired to it and the remote stations behind it on the
// mains. Takes each frame the program sends and returns the answers it causes, in order,
// with the delay after which each leaves. The same model serves the in-process binding
// and the daemon.

#include <cstdint>
#include <span>
#include <vector>

#include "sim/simulated_adapter.h"

namespace zv::sim {

struct Answer {
  std::vector<std::uint8_t> frame;  // at least 60 bytes
  std::uint32_t delayMs = 0;
};

class PowerlineSegment {
 public:
  explicit PowerlineSegment(const NicConfig& config, std::uint32_t seed);

  // A frame from the PC's card; anything that is no management frame is ignored.
  std::vector<Answer> receive(std::span<const std::uint8_t> frame);

  const NicConfig& config() const { return config_; }
  // The local adapter, or null when nothing is wired to the card.
  SimulatedAdapter* local() { return adapters_.empty() || !hasLocal_ ? nullptr : &adapters_[0]; }
  // Local adapter first (when there is one), then the remote stations in scenario order.
  std::vector<SimulatedAdapter>& adapters() { return adapters_; }
  SimulatedAdapter* find(const MacAddress& mac);

  // Queues `frame` as an answer of `from`, unless its faults drop it; with its delay.
  static void answer(SimulatedAdapter& from, std::vector<std::uint8_t> frame,
                     std::vector<Answer>& out);

 private:
  friend class AvBehaviour;
  friend class Hp10Behaviour;

  NicConfig config_;
  bool hasLocal_ = false;
  std::vector<SimulatedAdapter> adapters_;
  // HomePlug 1.0: a key just set into slot 0 encrypts the next key handed on, so the
  // station holding that device key can take it.
  bool slot0Armed_ = false;
};

}  // namespace zv::sim
