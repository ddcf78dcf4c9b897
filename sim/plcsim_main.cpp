// plcsim: the simulated adapters of one scenario NIC, answering on a real interface.
//   plcsim --iface IF --scenario FILE [--nic NAME] [--pcap FILE]
// Prints "plcsim: ready on IF" once it listens; stops on SIGINT or SIGTERM.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/packet_daemon.h"
#include "sim/scenario.h"

namespace {

std::atomic<bool> stopRequested{false};

void on_signal(int) { stopRequested.store(true); }

void usage(std::FILE* out) {
  std::fprintf(out,
               "usage: plcsim --iface IF --scenario FILE [--nic NAME] [--pcap FILE]\n"
               "  --iface IF       interface to answer on (in its own network namespace)\n"
               "  --scenario FILE  scenario JSON; its first NIC, or the one named by --nic,\n"
               "                   gives the adapters\n"
               "  --pcap FILE      write both directions of the traffic to a pcap file\n");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string interface, scenarioPath, nicName, pcapPath;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      usage(stdout);
      return 0;
    }
    std::string* target = arg == "--iface"      ? &interface
                          : arg == "--scenario" ? &scenarioPath
                          : arg == "--nic"      ? &nicName
                          : arg == "--pcap"     ? &pcapPath
                                                : nullptr;
    if (target == nullptr || i + 1 == args.size()) {
      std::fprintf(stderr, "plcsim: %s %s\n", target ? "missing value for" : "unknown argument", arg.c_str());
      usage(stderr);
      return 2;
    }
    *target = args[++i];
  }
  if (interface.empty() || scenarioPath.empty()) {
    usage(stderr);
    return 2;
  }
  try {
    const zv::sim::Scenario scenario = zv::sim::load_scenario_file(scenarioPath);
    const zv::sim::NicConfig* nic = nullptr;
    for (const auto& candidate : scenario.nics)
      if (nicName.empty() ? nic == nullptr : candidate.name == nicName) nic = &candidate;
    if (nic == nullptr) {
      std::fprintf(stderr, "plcsim: the scenario has no NIC %s\n", nicName.empty() ? "at all" : nicName.c_str());
      return 2;
    }
    zv::sim::PacketDaemon daemon(zv::sim::PacketSocket::open(interface), *nic, scenario.seed, pcapPath);
    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    std::printf("plcsim: ready on %s with %zu adapter(s) of %s\n", interface.c_str(),
                daemon.segment().adapters().size(), nic->name.c_str());
    std::fflush(stdout);
    const unsigned long answered = daemon.run(stopRequested);
    std::printf("plcsim: stopped after answering %lu frame(s)\n", answered);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "plcsim: %s\n", e.what());
    return 1;
  }
}
