#pragma once
// Runs a command through /bin/sh and keeps what it printed, for end-to-end tests.

#include <string>

namespace zv::test {

struct CommandResult {
  int exitCode = -1;
  std::string output;  // standard output only
};

CommandResult run_command(const std::string& command);

}  // namespace zv::test
