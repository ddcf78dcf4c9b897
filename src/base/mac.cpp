#include "base/mac.h"

#include <cstdio>
#include <cstring>

namespace zv {

std::string format_mac(const std::uint8_t* mac) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
                mac[3], mac[4], mac[5]);
  return text;
}

static int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<MacAddress> parse_mac(std::string_view text) {
  if (text.size() != 17) return std::nullopt;
  MacAddress mac{};
  for (std::size_t i = 0; i < 6; ++i) {
    const int high = hex_value(text[i * 3]);
    const int low = hex_value(text[i * 3 + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    if (i < 5 && text[i * 3 + 2] != ':' && text[i * 3 + 2] != '-') return std::nullopt;
    mac[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return mac;
}

MacAddress mac_at(const std::uint8_t* bytes) {
  MacAddress mac;
  std::memcpy(mac.data(), bytes, mac.size());
  return mac;
}

bool is_zero_mac(const std::uint8_t* mac) {
  for (int i = 0; i < 6; ++i)
    if (mac[i] != 0) return false;
  return true;
}

}  // namespace zv
