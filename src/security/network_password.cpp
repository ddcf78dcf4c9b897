#include "security/network_password.h"

#include <cstring>
#include <iostream>

namespace zv {

bool check_network_password(const char* password) {
  return check_network_password(password, std::cout);
}

bool check_network_password(const char* password, std::ostream& out) {
  if (password == nullptr) {
    out << "No password was entered...exiting\n";
    return false;
  }
  // Looking no further than 25 bytes keeps an unterminated long buffer from being read
  // to its end: 25 bytes already fail the length rule.
  const std::size_t length = ::strnlen(password, 25);
  if (length < 4 || length > 24) {
    out << "Password length illegal, use 4-24 chars\n";
    return false;
  }
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(password[i]);
    if (byte < 0x20 || byte > 0x7F) {
      out << "Illegal character in password, CTRL and ALT characters not allowed.\n";
      return false;
    }
  }
  return true;
}

}  // namespace zv
