#pragma once
// The station table as the scan log shows it.

#include <vector>

#include "discovery/discovery.h"

namespace zv {

// NICs 0 .. nicCount-1 (at most 8): NIC MAC, local adapter present flag, and the entries
// that ever had a MAC with their inUse and countdown.
std::vector<ScanLogNic> scan_log_snapshot(const DiscoveryState& s, int nicCount);

// A scan log snapshot of the station table when the diagnostic level asks for one.
void write_scan_log_if_enabled(Discovery& d);

}  // namespace zv
