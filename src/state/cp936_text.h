#pragma once
// The code page of the texts kept in records and files (CP936) and the UTF-8 of the
// user's screen and tools. Conversion happens only where texts meet the user.

#include <string>
#include <string_view>

namespace zv {

// A byte sequence the source code page cannot convert becomes "?"; never fails.
std::string cp936_to_utf8(std::string_view cp936);
std::string utf8_to_cp936(std::string_view utf8);

}  // namespace zv
