#pragma once
// Network and device keys derived from passwords, as the HomePlug standards define them.
// HomePlug AV: PBKDF1 over SHA-256, 1000 iterations, the first 16 bytes of the last digest.
// HomePlug 1.0 and Turbo: PBKDF1 over MD5, 1000 iterations, the first 8 bytes of the last
// digest with DES odd parity.
//
// A password is the bytes of `password` up to its first zero byte (or all of them when
// it has none); any length is hashed as it stands. The derivations never touch the
// network. They throw std::runtime_error only when the crypto library refuses a digest.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zv {

// Keys travel in 16-byte buffers of which key_length() bytes count.
using KeyBuffer = std::array<std::uint8_t, 16>;
using Hp10Key = std::array<std::uint8_t, 8>;
using KeySalt = std::array<std::uint8_t, 8>;

inline constexpr KeySalt kAvNmkSalt{0x08, 0x85, 0x6D, 0xAF, 0x7C, 0xF5, 0x81, 0x86};
inline constexpr KeySalt kAvDakSalt{0x08, 0x85, 0x6D, 0xAF, 0x7C, 0xF5, 0x81, 0x85};
// The HomePlug 1.0 standard uses the same eight bytes as the AV device key salt.
inline constexpr KeySalt kHp10Salt{0x08, 0x85, 0x6D, 0xAF, 0x7C, 0xF5, 0x81, 0x85};

inline constexpr std::string_view kAvDefaultNetworkPassword = "HomePlugAV";
inline constexpr std::string_view kHp10DefaultNetworkPassword = "HomePlug";

// derive_nmk(kAvDefaultNetworkPassword).
inline constexpr KeyBuffer kAvDefaultNmk{0x50, 0xD3, 0xE4, 0x93, 0x3F, 0x85, 0x5B, 0x70,
                                         0x40, 0x78, 0x4D, 0xF8, 0x15, 0xAA, 0x8D, 0xB7};

// The 8-byte keys that mean "this HomePlug 1.0 adapter is in the public network":
//  [0] derive_hp10_key("HomePlug"): the HomePlug 1.0 standard's default network key;
//  [1] derive_hp10_key("HomePlugAV"): what an adapter holds once the AV default password
//      has been applied to it through the HomePlug 1.0 derivation;
//  [2] the first 8 bytes of the AV default NMK, the 8-byte cut of that key which the
//      device records keep for HomePlug 1.0 adapters.
inline constexpr std::array<Hp10Key, 3> kHp10DefaultKeys{{
    {0x46, 0xD6, 0x13, 0xE0, 0xF8, 0x4A, 0x76, 0x4C},
    {0x91, 0xB3, 0xFB, 0x6B, 0x58, 0x80, 0x26, 0xBC},
    {0x50, 0xD3, 0xE4, 0x93, 0x3F, 0x85, 0x5B, 0x70},
}};

// Network membership key of a HomePlug AV network password.
KeyBuffer derive_nmk(std::string_view password);
// Device access key of a HomePlug AV device password.
KeyBuffer derive_dak(std::string_view password);
// Network (NEK) or device (DEK) encryption key of a HomePlug 1.0 password; every byte
// has odd parity.
Hp10Key derive_hp10_key(std::string_view password);

// 16 with a HomePlug AV local adapter, else 8 (HomePlug 1.0 and Turbo).
inline constexpr std::size_t key_length(bool localAdapterIsAv) { return localAdapterIsAv ? 16 : 8; }

// The standard's default network password of the local adapter's family.
inline constexpr std::string_view default_network_password(bool localAdapterIsAv) {
  return localAdapterIsAv ? kAvDefaultNetworkPassword : kHp10DefaultNetworkPassword;
}
// The key of that default password: the default NMK for HomePlug AV, otherwise the
// HomePlug 1.0 default key in bytes 0..7 and zeros after it.
KeyBuffer default_network_key(bool localAdapterIsAv);

}  // namespace zv
