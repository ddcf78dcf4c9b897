#pragma once

#include <cstdio>
#include <filesystem>

namespace zv {

// Lists the device records of the state file in `dataFolder`: index, name, MAC, password
// text, network name and when each was last seen (texts converted from CP936 to UTF-8).
// Reads only; a missing file lists nothing. An unreadable file is reported on standard
// error with exit code 1, an empty `dataFolder` (it could not be made) with 2; otherwise
// the exit code is 0.
int run_devices_command(const std::filesystem::path& dataFolder, bool json, std::FILE* out);

}  // namespace zv
