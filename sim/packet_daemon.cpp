#include "sim/packet_daemon.h"

#include <algorithm>

namespace zv::sim {

PacketDaemon::PacketDaemon(PacketSocket socket, const NicConfig& nic, std::uint32_t seed,
                           const std::string& pcapPath)
    : socket_(std::move(socket)), segment_(nic, seed) {
  if (!pcapPath.empty()) pcap_ = std::make_unique<PcapWriter>(pcapPath);
}

unsigned long PacketDaemon::run(const std::atomic<bool>& stop) {
  using namespace std::chrono;
  unsigned long answered = 0;
  std::vector<std::uint8_t> frame;
  while (!stop.load()) {
    auto now = steady_clock::now();
    send_due(now);
    milliseconds wait{50};
    if (!later_.empty())
      wait = std::clamp(duration_cast<milliseconds>(later_.begin()->first - now), milliseconds{0}, wait);
    if (!socket_.receive(frame, static_cast<int>(wait.count()))) continue;
    capture(frame);
    auto answers = segment_.receive(frame);
    if (!answers.empty()) ++answered;
    now = steady_clock::now();
    for (Answer& answer : answers) {
      if (answer.delayMs == 0) send(answer.frame);
      else later_.emplace(now + milliseconds{answer.delayMs}, std::move(answer.frame));
    }
  }
  return answered;
}

void PacketDaemon::send_due(Time now) {
  while (!later_.empty() && later_.begin()->first <= now) {
    send(later_.begin()->second);
    later_.erase(later_.begin());
  }
}

void PacketDaemon::send(const std::vector<std::uint8_t>& frame) {
  capture(frame);
  socket_.send(frame);
}

void PacketDaemon::capture(std::span<const std::uint8_t> frame) {
  if (!pcap_) return;
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  pcap_->write(static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(since).count()), frame);
}

}  // namespace zv::sim
