#pragma once
// The single-frame vendor requests. Builders only fill the caller's buffer: source MAC
// first (the NIC's address), destination second, then capacity and buffer (callers pass
// kRequestCapacity). Each returns the frame length to send (64; everything after the last
// written field is zero) or 0 with errno set: 14 a MAC or the buffer missing, 34 capacity
// below 64 (the headers may already be written), 22 a SET_KEY selector other than 0 or 15.

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/mac.h"

namespace zv {

// SET_KEY's selector: set the key on the addressed device itself, or pass it on to the
// target station encrypted under that station's device access key.
inline constexpr std::uint8_t kKeySelectorSelf = 15;
inline constexpr std::uint8_t kKeySelectorTarget = 0;

// The key argument of build_set_key_request.
struct SetKeyParameters {
  std::array<std::uint8_t, 16> networkMembershipKey{};
  std::uint8_t keySelector = kKeySelectorSelf;
  MacAddress targetStation{};
  std::array<std::uint8_t, 16> deviceAccessKey{};
};

// GET_VERSION, no payload.
std::size_t build_version_request(const std::uint8_t* source, const std::uint8_t* destination,
                                  std::size_t capacity, std::uint8_t* buffer);
// NETWORK_INFO, no payload; header_version 4 (kLongHeaderVersion) gives the MMV 1 header.
std::size_t build_network_info_request(const std::uint8_t* source,
                                       const std::uint8_t* destination, std::size_t capacity,
                                       std::uint8_t* buffer, int header_version);
// SET_KEY: 20 key type 1 | 21 NMK (16) | 37 selector | 38 target MAC | 44 DAK (16).
std::size_t build_set_key_request(const std::uint8_t* source, const std::uint8_t* destination,
                                  std::size_t capacity, std::uint8_t* buffer,
                                  const SetKeyParameters& key);
// READ_DEVICE_BLOCK, no payload.
std::size_t build_device_block_request(const std::uint8_t* source,
                                       const std::uint8_t* destination, std::size_t capacity,
                                       std::uint8_t* buffer);

}  // namespace zv
