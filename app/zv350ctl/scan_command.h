#pragma once

#include <cstdio>
#include <filesystem>

#include "transport/transport.h"

namespace zv {

struct ScanOptions {
  int cycles = 1;       // scan cycles to run after the first scan
  int nic = -1;         // the current NIC; -1 keeps the saved one
  bool json = false;
  std::filesystem::path dataFolder;  // where the state and the logs live
  std::filesystem::path programFolder;  // where Prefs.dat is looked for
};

// Loads the saved state, scans every NIC, runs the scan cycle for `cycles` cycles (taking
// over new stations as device records, as the main page does), saves the state and prints
// the NICs with their local adapters and the current NIC's stations. Returns the exit
// code: 0 also when no adapter was found (that is a result, not an error).
int run_scan_command(Transport& transport, const ScanOptions& options, std::FILE* out);

}  // namespace zv
