#pragma once
// How the AV adapters of one wire answer vendor requests. The local adapter takes
// requests to its own MAC, to 00:B0:52:00:00:01 and to the broadcast address; a remote
// station takes those to its MAC and broadcasts while it shares the local adapter's NMK
// (the local adapter can reach it). A silent adapter takes nothing; a silent local
// adapter passes nothing on.

#include <span>
#include <vector>

#include "sim/av_wire.h"
#include "sim/powerline_segment.h"

namespace zv::sim {

class AvBehaviour {
 public:
  explicit AvBehaviour(PowerlineSegment& segment) : segment_(segment) {}
  std::vector<Answer> handle(std::span<const std::uint8_t> frame);

 private:
  using Frame = std::vector<std::uint8_t>;
  using Handler = std::optional<Frame> (AvBehaviour::*)(SimulatedAdapter&, const av::Request&);
  struct Route {
    std::uint16_t mmtype;
    Handler handler;
  };
  static const Route kRoutes[];

  bool takes(const SimulatedAdapter& adapter, const MacAddress& destination) const;

  std::optional<Frame> get_version(SimulatedAdapter& adapter, const av::Request& request);
  std::optional<Frame> network_info(SimulatedAdapter& adapter, const av::Request& request);
  std::optional<Frame> set_key(SimulatedAdapter& adapter, const av::Request& request);
  std::optional<Frame> read_device_block(SimulatedAdapter& adapter, const av::Request& request);
  std::optional<Frame> restore_defaults(SimulatedAdapter& adapter, const av::Request& request);
  std::optional<Frame> write_module(SimulatedAdapter& adapter, const av::Request& request);
  std::optional<Frame> write_memory(SimulatedAdapter& adapter, const av::Request& request);
  std::optional<Frame> read_module(SimulatedAdapter& adapter, const av::Request& request);
  std::optional<Frame> commit_modules(SimulatedAdapter& adapter, const av::Request& request);
  std::optional<Frame> start_image(SimulatedAdapter& adapter, const av::Request& request);

  PowerlineSegment& segment_;
};

}  // namespace zv::sim
