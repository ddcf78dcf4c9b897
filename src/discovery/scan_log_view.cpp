#include "discovery/scan_log_view.h"

#include <algorithm>

namespace zv {

std::vector<ScanLogNic> scan_log_snapshot(const DiscoveryState& s, int nicCount) {
  std::vector<ScanLogNic> nics(static_cast<std::size_t>(std::clamp(nicCount, 0, kMaxNics)));
  for (std::size_t i = 0; i < nics.size(); ++i) {
    const StationBlock& block = s.stationBlocks[i];
    nics[i].nicMac = block.nicMac;
    nics[i].present = block.localPresent;
    for (const StationEntry& entry : block.stations)
      if (!is_zero_mac(entry.mac.data()))
        nics[i].stations.push_back({entry.mac, entry.inUse, entry.countdown});
  }
  return nics;
}

void write_scan_log_if_enabled(Discovery& d) {
  if (d.logs.diagnosticsLevel < 20) return;
  const auto nics = scan_log_snapshot(d.state, d.transport.nicCount);
  d.logs.write_scan_log_if_enabled(nics);
}

}  // namespace zv
