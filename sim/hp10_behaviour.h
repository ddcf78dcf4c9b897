#pragma once
// How the HomePlug 1.0 and Turbo adapters of one wire answer management entries.
// Only the local adapter answers the presence/statistics (0x1A) and status (0x19)
// requests; stations that share the local adapter's key answer 0x07 and, when they are
// Turbo devices, the identification request. Key handovers under a device key reach a
// station whatever network it is in. Answers go to the request's source address, from
// the answering adapter's own address (so a request sent with the local adapter's
// address as source is answered self-addressed).

#include <span>
#include <vector>

#include "sim/hp10_wire.h"
#include "sim/powerline_segment.h"

namespace zv::sim {

class Hp10Behaviour {
 public:
  explicit Hp10Behaviour(PowerlineSegment& segment) : segment_(segment) {}
  std::vector<Answer> handle(std::span<const std::uint8_t> frame);

 private:
  using Frame = hp10::Frame;

  bool reachable(const SimulatedAdapter& station) const;
  // The adapters a frame to `destination` reaches for ordinary requests.
  std::vector<SimulatedAdapter*> addressed(const MacAddress& destination, bool turboOnly);
  void answer(SimulatedAdapter& from, const Frame& request, std::vector<std::uint8_t> frame);

  using Handler = void (Hp10Behaviour::*)(const Frame&, const hp10::Entry&);
  struct Route {
    std::uint8_t type;
    Handler handler;
  };
  static const Route kRoutes[];

  void network_statistics(const Frame& request, const hp10::Entry& entry);
  void status(const Frame& request, const hp10::Entry& entry);
  void station_statistics(const Frame& request, const hp10::Entry& entry);
  void set_key(const Frame& request, const hp10::Entry& entry);
  void parameters(const Frame& request, const hp10::Entry& entry);
  void turbo_request(const Frame& request, const hp10::Entry& entry);
  void turbo_query(const Frame& request, const hp10::Entry& entry);
  void turbo_remote_set_key(const Frame& request, const hp10::Entry& entry);
  void loader_command(const Frame& request, const hp10::Entry& entry);

  std::vector<std::uint8_t> confirm_key(const SimulatedAdapter& from, const Frame& request);

  PowerlineSegment& segment_;
  std::vector<Answer> answers_;
};

}  // namespace zv::sim
