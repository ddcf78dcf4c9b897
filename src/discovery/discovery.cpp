#include "discovery/discovery.h"

#include <algorithm>

#include "discovery/hp10_status.h"

namespace zv {

Discovery::Discovery(Transport& t, VendorLayer& v, DiagnosticLogs& l)
    : transport(t), vendor(v), logs(l) {
  transport.statusProbeHook = [this](int nic) { hp10_status_probe(*this, nic); };
}

Discovery::~Discovery() { transport.statusProbeHook = nullptr; }

StationBlock& Discovery::current_block() {
  return state.stationBlocks[static_cast<std::size_t>(
      std::clamp(transport.currentNic, 0, kMaxNics - 1))];
}

void Discovery::print_trace(const char* text) const {
  if (trace == nullptr) return;
  std::fputs(text, trace);
  std::fflush(trace);
}

std::int8_t misses_till_drop_for(std::uint16_t retries) {
  return static_cast<std::int8_t>(std::clamp<std::uint16_t>(retries, 1, 10));
}

}  // namespace zv
