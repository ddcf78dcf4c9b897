#include "support/veth_network.h"

#include <fcntl.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <arpa/inet.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace zv::test {

void run_or_throw(const std::string& command) {
  if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
    throw std::runtime_error("failed: " + command);
}

std::string VethNetwork::unavailable_reason() {
  if (geteuid() != 0) return "needs root to create network namespaces and veth pairs";
  if (std::system("ip -V >/dev/null 2>&1") != 0) return "needs the ip command (iproute2)";
  return "";
}

static int open_namespace(const std::string& name) {
  return ::open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
}

VethNetwork::VethNetwork() {
  const std::string id = std::to_string(getpid() % 100000);
  static int serial = 0;
  const std::string tag = id + "x" + std::to_string(serial++);
  programNamespace = "zvt-p" + tag;
  peerNamespace = "zvt-s" + tag;
  programInterface = "zvp" + tag;
  peerInterface = "zvs" + tag;
  // Locally administered, fixed addresses so that tests can name them.
  programMac = {0x02, 0x5A, 0x56, 0x00, 0x00, 0x01};
  peerMac = {0x02, 0x5A, 0x56, 0x00, 0x00, 0x02};
  try {
    run_or_throw("ip netns add " + programNamespace);
    run_or_throw("ip netns add " + peerNamespace);
    run_or_throw("ip link add " + programInterface + " netns " + programNamespace +
                 " address " + format_mac(programMac) + " type veth peer name " + peerInterface +
                 " netns " + peerNamespace + " address " + format_mac(peerMac));
    run_or_throw("ip -n " + programNamespace + " link set lo up");
    run_or_throw("ip -n " + peerNamespace + " link set lo up");
    run_or_throw("ip -n " + programNamespace + " link set " + programInterface + " up");
    run_or_throw("ip -n " + peerNamespace + " link set " + peerInterface + " up");
    // No IPv6 chatter on the pair: the tests count what arrives.
    std::system(("ip netns exec " + programNamespace + " sysctl -qw net.ipv6.conf.all.disable_ipv6=1 >/dev/null 2>&1").c_str());
    std::system(("ip netns exec " + peerNamespace + " sysctl -qw net.ipv6.conf.all.disable_ipv6=1 >/dev/null 2>&1").c_str());
  } catch (...) {
    std::system(("ip netns del " + programNamespace + " >/dev/null 2>&1").c_str());
    std::system(("ip netns del " + peerNamespace + " >/dev/null 2>&1").c_str());
    throw;
  }
}

VethNetwork::~VethNetwork() {
  leave();
  std::system(("ip netns del " + programNamespace + " >/dev/null 2>&1").c_str());
  std::system(("ip netns del " + peerNamespace + " >/dev/null 2>&1").c_str());
}

void VethNetwork::enter_program_side() {
  if (originalNamespace_ < 0) originalNamespace_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  const int fd = open_namespace(programNamespace);
  if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) {
    if (fd >= 0) ::close(fd);
    throw std::runtime_error("cannot enter " + programNamespace);
  }
  ::close(fd);
}

void VethNetwork::leave() {
  if (originalNamespace_ < 0) return;
  setns(originalNamespace_, CLONE_NEWNET);
  ::close(originalNamespace_);
  originalNamespace_ = -1;
}

int VethNetwork::open_socket_in(const std::string& ns, const std::string& interface) const {
  const int here = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  const int there = open_namespace(ns);
  int sock = -1;
  if (here >= 0 && there >= 0 && setns(there, CLONE_NEWNET) == 0) {
    sock = ::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, htons(ETH_P_ALL));
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(ETH_P_ALL);
    address.sll_ifindex = static_cast<int>(if_nametoindex(interface.c_str()));
    if (sock >= 0 && bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      ::close(sock);
      sock = -1;
    }
    setns(here, CLONE_NEWNET);
  }
  if (here >= 0) ::close(here);
  if (there >= 0) ::close(there);
  if (sock < 0) throw std::runtime_error("cannot open a packet socket on " + interface);
  return sock;
}

int VethNetwork::open_peer_socket() const { return open_socket_in(peerNamespace, peerInterface); }
int VethNetwork::open_program_socket() const {
  return open_socket_in(programNamespace, programInterface);
}

bool raw_send(int fd, const void* frame, std::size_t length) {
  return ::send(fd, frame, length, 0) == static_cast<ssize_t>(length);
}

long raw_receive(int fd, void* buffer, std::size_t capacity, int timeoutMs) {
  // The socket sees its own outgoing frames too; those are skipped.
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return -1;
    sockaddr_ll from{};
    socklen_t fromLength = sizeof from;
    const ssize_t n = ::recvfrom(fd, buffer, capacity, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n < 0) return -1;
    if (from.sll_pkttype != PACKET_OUTGOING) return n;
  }
}

}  // namespace zv::test
