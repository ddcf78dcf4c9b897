// zv350ctl: the command-line front end over the same core as the GUI.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "cli_notice.h"
#include "devices_command.h"
#include "nics_command.h"
#include "scan_command.h"
#include "sim/simulated_environment.h"
#include "state/data_folder.h"
#include "transport/pcap_backend.h"
#include "transport/transport.h"

namespace {

void print_usage(std::FILE* out) {
  std::fprintf(out,
               "usage: zv350ctl [options] COMMAND\n"
               "commands:\n"
               "  nics      list the network interfaces and whether they could be opened\n"
               "  devices   list the device records of the saved state\n"
               "  scan      scan every NIC, run the scan cycle, save the state and print the\n"
               "            local adapters and the current NIC's stations\n"
               "options:\n"
               "  --json    print one JSON document\n"
               "  --simulate SCENARIO\n"
               "            run on the simulated adapters of a scenario file (no root needed)\n"
               "  --data DIR\n"
               "            keep the saved state in DIR instead of the user's data folder\n"
               "  --cycles K\n"
               "            scan: scan cycles to run after the first scan (default 1)\n"
               "  --nic N   scan: the current NIC, 0..7 (default: the saved one)\n"
               "  --help    show this text\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool json = false;
  std::string command;
  std::string scenarioPath;
  std::string dataFolder;
  zv::ScanOptions scan;
  // A whole number in [low, high] from the argument after option `name`, or nullopt.
  auto number_after = [&](std::size_t& i, const char* name, int low, int high) -> std::optional<int> {
    if (i + 1 == args.size()) {
      std::fprintf(stderr, "zv350ctl: %s needs a number\n", name);
      return std::nullopt;
    }
    const std::string& text = args[++i];
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high) {
      std::fprintf(stderr, "zv350ctl: %s takes a whole number from %d to %d\n", name, low, high);
      return std::nullopt;
    }
    return static_cast<int>(value);
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--json") {
      json = true;
    } else if (arg == "--simulate") {
      if (i + 1 == args.size()) {
        std::fprintf(stderr, "zv350ctl: --simulate needs a scenario file\n");
        return 2;
      }
      scenarioPath = args[++i];
    } else if (arg == "--data") {
      if (i + 1 == args.size()) {
        std::fprintf(stderr, "zv350ctl: --data needs a folder\n");
        return 2;
      }
      dataFolder = args[++i];
    } else if (arg == "--cycles") {
      const auto value = number_after(i, "--cycles", 0, 10000);
      if (!value) return 2;
      scan.cycles = *value;
    } else if (arg == "--nic") {
      const auto value = number_after(i, "--nic", 0, 7);
      if (!value) return 2;
      scan.nic = *value;
    } else if (arg == "--help" || arg == "-h") {
      print_usage(stdout);
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "zv350ctl: unknown option %s\n", arg.c_str());
      print_usage(stderr);
      return 2;
    } else if (command.empty()) {
      command = arg;
    } else {
      std::fprintf(stderr, "zv350ctl: unexpected argument %s\n", arg.c_str());
      return 2;
    }
  }
  if (command.empty()) {
    print_usage(stderr);
    return 2;
  }

  zv::RealClock realClock;
  zv::PcapBackend pcapBackend;
  zv::Clock* clock = &realClock;
  zv::CaptureBackend* backend = &pcapBackend;
  std::unique_ptr<zv::sim::SimulatedEnvironment> simulated;
  if (!scenarioPath.empty()) {
    try {
      simulated = std::make_unique<zv::sim::SimulatedEnvironment>(zv::sim::load_scenario_file(scenarioPath));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "zv350ctl: %s\n", e.what());
      return 2;
    }
    clock = &simulated->clock;
    backend = &simulated->backend;
  }
  zv::CliNotice notice;
  zv::Transport transport(*backend, *clock, notice);
  if (command == "nics") return zv::run_nics_command(transport, json, stdout);
  if (command == "devices")
    return zv::run_devices_command(
        zv::data_folder_for(dataFolder, simulated != nullptr, notice, "zv350ctl"), json, stdout);
  if (command == "scan") {
    scan.json = json;
    scan.dataFolder = zv::data_folder_for(dataFolder, simulated != nullptr, notice, "zv350ctl");
    std::error_code error;
    scan.programFolder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    return zv::run_scan_command(transport, scan, stdout);
  }
  std::fprintf(stderr, "zv350ctl: unknown command %s\n", command.c_str());
  print_usage(stderr);
  return 2;
}
