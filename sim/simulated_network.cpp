#include "sim/simulated_network.h"

#include "sim/pcap_writer.h"

namespace zv::sim {

SimulatedNetwork::SimulatedNetwork(MemoryBackend& backend, VirtualClock& clock, const Scenario& scenario)
    : backend_(backend), clock_(clock), alive_(std::make_shared<bool>(true)) {
  for (std::size_t i = 0; i < scenario.nics.size(); ++i) {
    const NicConfig& nic = scenario.nics[i];
    names_.push_back(nic.name);
    segments_.push_back(std::make_unique<PowerlineSegment>(nic, scenario.seed + static_cast<std::uint32_t>(i)));
    backend_.add_interface(nic.name, nic.mac);
    backend_.attach(nic.name, [this, i](std::span<const std::uint8_t> frame) { on_frame(i, frame); });
  }
}

SimulatedNetwork::~SimulatedNetwork() {
  *alive_ = false;
  for (const std::string& name : names_) backend_.attach(name, nullptr);
}

SimulatedAdapter* SimulatedNetwork::find(const MacAddress& mac) {
  for (auto& segment : segments_)
    if (SimulatedAdapter* adapter = segment->find(mac)) return adapter;
  return nullptr;
}

void SimulatedNetwork::write_pcap(const std::string& path) { pcap_ = std::make_unique<PcapWriter>(path); }

void SimulatedNetwork::on_frame(std::size_t index, std::span<const std::uint8_t> frame) {
  if (pcap_) pcap_->write(clock_.now_us(), frame);
  for (Answer& answer : segments_[index]->receive(frame)) {
    if (answer.delayMs == 0) {
      // At once: the program may look for the answer without letting time pass.
      send_answer(index, std::move(answer.frame));
      continue;
    }
    clock_.schedule_after_us(std::uint64_t{answer.delayMs} * 1000,
                             [this, index, alive = alive_, frame = std::move(answer.frame)]() mutable {
                               if (*alive) send_answer(index, std::move(frame));
                             });
  }
}

void SimulatedNetwork::send_answer(std::size_t index, std::vector<std::uint8_t> frame) {
  if (pcap_) pcap_->write(clock_.now_us(), frame);
  backend_.deliver(names_[index], frame);
}

}  // namespace zv::sim
