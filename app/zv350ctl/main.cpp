// zv350ctl: the command-line front end over the same core as the GUI.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/clock.h"
#include "cli_notice.h"
#include "nics_command.h"
#include "transport/pcap_backend.h"
#include "transport/transport.h"

namespace {

void print_usage(std::FILE* out) {
  std::fprintf(out,
               "usage: zv350ctl [options] COMMAND\n"
               "commands:\n"
               "  nics      list the network interfaces and whether they could be opened\n"
               "options:\n"
               "  --json    print one JSON document\n"
               "  --help    show this text\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool json = false;
  std::string command;
  for (const auto& arg : args) {
    if (arg == "--json") {
      json = true;
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

  zv::RealClock clock;
  zv::CliNotice notice;
  zv::PcapBackend backend;
  zv::Transport transport(backend, clock, notice);
  if (command == "nics") return zv::run_nics_command(transport, json, stdout);
  std::fprintf(stderr, "zv350ctl: unknown command %s\n", command.c_str());
  print_usage(stderr);
  return 2;
}
