#pragma once
// The simulator on a real interface: the adapters of one scenario NIC answer the frames
// that arrive on a packet socket, delayed answers leave on a real timer, and both
// directions can go to a pcap file. Runs on the calling thread until told to stop.

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "sim/packet_socket.h"
#include "sim/pcap_writer.h"
#include "sim/powerline_segment.h"

namespace zv::sim {

class PacketDaemon {
 public:
  // `pcapPath` empty: no capture file. Throws std::runtime_error when it cannot be written.
  PacketDaemon(PacketSocket socket, const NicConfig& nic, std::uint32_t seed,
               const std::string& pcapPath = "");

  // Serves frames until `stop` becomes true (looked at least every 50 ms). Returns the
  // number of frames it answered, for the log line at the end.
  unsigned long run(const std::atomic<bool>& stop);

  // The adapters; look at them only while run() is not running.
  PowerlineSegment& segment() { return segment_; }

 private:
  using Time = std::chrono::steady_clock::time_point;
  void send(const std::vector<std::uint8_t>& frame);
  void capture(std::span<const std::uint8_t> frame);
  void send_due(Time now);

  PacketSocket socket_;
  PowerlineSegment segment_;
  std::unique_ptr<PcapWriter> pcap_;
  std::multimap<Time, std::vector<std::uint8_t>> later_;
};

}  // namespace zv::sim
