#pragma once

#include <cstdio>

#include "transport/transport.h"

namespace zv {

// Opens every NIC the transport sees and prints index, name, MAC and whether it opened
// (or why not). Returns the process exit code.
int run_nics_command(Transport& transport, bool json, std::FILE* out);

}  // namespace zv
