#include "sim/packet_socket.h"

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace zv::sim {

namespace {
[[noreturn]] void fail(const std::string& what, const std::string& interface) {
  throw std::runtime_error(what + " on " + interface + ": " + std::strerror(errno));
}
}  // namespace

PacketSocket PacketSocket::open(const std::string& interface) {
  const unsigned index = if_nametoindex(interface.c_str());
  if (index == 0) fail("no interface", interface);
  PacketSocket socket(::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, htons(ETH_P_ALL)));
  if (socket.fd_ < 0) fail("cannot open a packet socket", interface);
  sockaddr_ll address{};
  address.sll_family = AF_PACKET;
  address.sll_protocol = htons(ETH_P_ALL);
  address.sll_ifindex = static_cast<int>(index);
  if (bind(socket.fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    fail("cannot bind", interface);
  packet_mreq membership{};
  membership.mr_ifindex = static_cast<int>(index);
  membership.mr_type = PACKET_MR_PROMISC;
  if (setsockopt(socket.fd_, SOL_PACKET, PACKET_ADD_MEMBERSHIP, &membership, sizeof membership) != 0)
    fail("cannot go promiscuous", interface);
  return socket;
}

PacketSocket& PacketSocket::operator=(PacketSocket&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

PacketSocket::~PacketSocket() {
  if (fd_ >= 0) ::close(fd_);
}

bool PacketSocket::send(std::span<const std::uint8_t> frame) {
  return ::send(fd_, frame.data(), frame.size(), 0) == static_cast<ssize_t>(frame.size());
}

bool PacketSocket::receive(std::vector<std::uint8_t>& frame, int timeoutMs) {
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return false;
  frame.resize(65536);
  sockaddr_ll from{};
  socklen_t fromLength = sizeof from;
  const ssize_t n = ::recvfrom(fd_, frame.data(), frame.size(), MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&from), &fromLength);
  if (n < 0 || from.sll_pkttype == PACKET_OUTGOING) {
    frame.clear();
    return false;
  }
  frame.resize(static_cast<std::size_t>(n));
  return true;
}

}  // namespace zv::sim
