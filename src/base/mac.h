#pragma once
// MAC addresses: 6 bytes in wire order.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

using MacAddress = std::array<std::uint8_t, 6>;

inline constexpr MacAddress kBroadcastMac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
inline constexpr MacAddress kZeroMac{};
// Every HomePlug AV local adapter answers at this address on its own wire.
inline constexpr MacAddress kAvLocalManagementMac{0x00, 0xB0, 0x52, 0x00, 0x00, 0x01};

// "%02X:%02X:%02X:%02X:%02X:%02X" of the 6 bytes at `mac`.
std::string format_mac(const std::uint8_t* mac);
inline std::string format_mac(const MacAddress& mac) { return format_mac(mac.data()); }

// Accepts "11:22:33:44:55:66" or "11-22-...", either case; nothing else.
std::optional<MacAddress> parse_mac(std::string_view text);

MacAddress mac_at(const std::uint8_t* bytes);
bool is_zero_mac(const std::uint8_t* mac);

}  // namespace zv
