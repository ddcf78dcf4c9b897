#pragma once
// A raw AF_PACKET socket bound to one interface, for the daemon. It sees every frame on
// the wire (promiscuous), whatever its destination: the adapters' management address
// and the remote stations' MACs are not the interface's own.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zv::sim {

class PacketSocket {
 public:
  // Opens and binds to `interface`, promiscuous; throws std::runtime_error with the
  // interface and the system's reason when it cannot (no such interface, no CAP_NET_RAW).
  static PacketSocket open(const std::string& interface);
  // Takes over an already bound socket.
  explicit PacketSocket(int fd) : fd_(fd) {}
  PacketSocket(PacketSocket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  PacketSocket& operator=(PacketSocket&& other) noexcept;
  PacketSocket(const PacketSocket&) = delete;
  PacketSocket& operator=(const PacketSocket&) = delete;
  ~PacketSocket();

  // true when the whole frame went out.
  bool send(std::span<const std::uint8_t> frame);
  // Waits up to `timeoutMs` for a frame that arrived from the wire (frames this host
  // sent are skipped); false on time-out or error.
  bool receive(std::vector<std::uint8_t>& frame, int timeoutMs);
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

}  // namespace zv::sim
