#pragma once
// The simulator in process: one interface per scenario NIC on a MemoryBackend, with the
// NIC's local adapter and remote stations answering every frame the program sends on it.
// Answers go back through MemoryBackend::deliver, at once or, with a delay, at that time
// of the VirtualClock. No root, no real time.
//
//   test::MemoryNetwork net;
//   sim::SimulatedNetwork simulated(net.backend, net.clock, sim::load_scenario_file(path));
//   net.transport.open_all_nics();   // sees "sim0", ... with the scenario's MACs

#include <memory>
#include <string>
#include <vector>

#include "base/virtual_clock.h"
#include "sim/powerline_segment.h"
#include "sim/scenario.h"
#include "transport/memory_backend.h"

namespace zv::sim {

class PcapWriter;

class SimulatedNetwork {
 public:
  // Adds the scenario's NICs to `backend` (after any it has) and attaches the adapters.
  // Both references must outlive this object.
  SimulatedNetwork(MemoryBackend& backend, VirtualClock& clock, const Scenario& scenario);
  ~SimulatedNetwork();
  SimulatedNetwork(const SimulatedNetwork&) = delete;
  SimulatedNetwork& operator=(const SimulatedNetwork&) = delete;

  // The adapter with that MAC on any NIC, or null.
  SimulatedAdapter* find(const MacAddress& mac);
  // The wire of NIC `index` (scenario order) and its adapters.
  PowerlineSegment& segment(std::size_t index) { return *segments_.at(index); }
  std::size_t segment_count() const { return segments_.size(); }

  // Writes both directions of every NIC's traffic from now on to a pcap file (Ethernet
  // link type, time of the virtual clock). Throws std::runtime_error when it cannot open.
  void write_pcap(const std::string& path);

 private:
  void on_frame(std::size_t index, std::span<const std::uint8_t> frame);
  void send_answer(std::size_t index, std::vector<std::uint8_t> frame);

  MemoryBackend& backend_;
  VirtualClock& clock_;
  std::vector<std::string> names_;
  std::vector<std::unique_ptr<PowerlineSegment>> segments_;
  std::unique_ptr<PcapWriter> pcap_;
  // Answers scheduled on the clock check this before delivering, so that none runs
  // after the network is gone.
  std::shared_ptr<bool> alive_;
};

}  // namespace zv::sim
