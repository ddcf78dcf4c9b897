#pragma once
// The simulator's own key derivation, written apart from the program's so that a fault
// in either shows up as a failed exchange. HomePlug AV: PBKDF1 over SHA-256, 1000 rounds,
// first 16 bytes. HomePlug 1.0: PBKDF1 over MD5, 1000 rounds, first 8 bytes with DES odd
// parity. Digests from OpenSSL's libcrypto; throws std::runtime_error if it fails.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "sim/scenario.h"

namespace zv::sim {

inline constexpr std::string_view kAvDefaultPassword = "HomePlugAV";
inline constexpr std::string_view kHp10DefaultPassword = "HomePlug";

Key av_network_key(std::string_view password);   // NMK
Key av_device_key(std::string_view password);    // DAK
Key hp10_key(std::string_view password);         // NEK or DEK: 8 bytes, then 8 zero bytes

// The network key a network password gives in `family`.
Key network_key_of(Family family, std::string_view password);
// The key an adapter's device password gives in `family` (DAK or DEK).
Key device_key_of(Family family, std::string_view password);
// Key of the standard's default network password of `family`.
Key default_network_key(Family family);

// SHA-256 of `bytes` (used for the network identifier the adapters report).
std::array<std::uint8_t, 32> sha256(std::span<const std::uint8_t> bytes);

}  // namespace zv::sim
