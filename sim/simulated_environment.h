#pragma once
// Everything a front end needs to run on a simulated network instead of the real wire:
// a virtual clock, the in-memory backend and the scenario's adapters attached to it.
// Hand `clock` and `backend` to the Transport in place of RealClock and PcapBackend.

#include <memory>

#include "base/virtual_clock.h"
#include "sim/scenario.h"
#include "sim/simulated_network.h"
#include "transport/memory_backend.h"

namespace zv::sim {

struct SimulatedEnvironment {
  explicit SimulatedEnvironment(const Scenario& scenario)
      : network(std::make_unique<SimulatedNetwork>(backend, clock, scenario)) {}

  VirtualClock clock;
  MemoryBackend backend{clock};
  std::unique_ptr<SimulatedNetwork> network;
};

}  // namespace zv::sim
