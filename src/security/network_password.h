#pragma once
// The rules for a network password (shown to the user as the network name).

#include <iosfwd>

namespace zv {

// True when `password` (zero-terminated) is 4 to 24 bytes of 0x20..0x7F. A refusal
// writes its reason to `out` (standard output by default; there is no console in
// normal use, so callers show their own message box).
bool check_network_password(const char* password);
bool check_network_password(const char* password, std::ostream& out);

}  // namespace zv
