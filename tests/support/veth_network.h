#pragma once
// Two network namespaces joined by a veth pair, made for one test and removed after it:
// the program side, whose only interfaces are lo and its veth end, and the peer side
// where a simulator or responder sits. Frames never reach the machine's own interfaces.

#include <string>

#include "base/mac.h"

namespace zv::test {

class VethNetwork {
 public:
  // Empty when the pair can be made here; else why not (not root, no `ip`).
  static std::string unavailable_reason();

  VethNetwork();  // throws std::runtime_error when a step fails
  ~VethNetwork();
  VethNetwork(const VethNetwork&) = delete;
  VethNetwork& operator=(const VethNetwork&) = delete;

  // Moves the calling thread into the program-side namespace, until leave() or the end.
  void enter_program_side();
  void leave();
  // An AF_PACKET socket bound to the peer's veth end (made inside the peer namespace;
  // usable from any thread and namespace). The caller closes it.
  int open_peer_socket() const;
  // Same on the program side, for raw comparisons.
  int open_program_socket() const;

  std::string programNamespace, peerNamespace;
  std::string programInterface, peerInterface;
  MacAddress programMac{}, peerMac{};

 private:
  int open_socket_in(const std::string& ns, const std::string& interface) const;
  int originalNamespace_ = -1;
};

// Runs `command` through /bin/sh; throws with the command in the text when it fails.
void run_or_throw(const std::string& command);

// Sends `length` bytes on a bound AF_PACKET socket; receives one frame with a time-out.
bool raw_send(int fd, const void* frame, std::size_t length);
long raw_receive(int fd, void* buffer, std::size_t capacity, int timeoutMs);

}  // namespace zv::test
