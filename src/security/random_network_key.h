#pragma once
// A fresh random network key, used for the password test and while a device is added.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace zv {

// The local adapter's technology as the scan records it; neither flag: plain HomePlug 1.0.
struct LocalAdapterTechnology {
  bool localAdapterIsAv = false;
  bool localAdapterIsTurbo = false;
};

// Fills `buffer` from the system's cryptographic random source: 8 bytes with a Turbo
// local adapter (bytes 8..15 stay as they are), 16 otherwise. The first 8 bytes never
// equal those of the family's default network key. False, with the buffer's contents
// unspecified, only when the random source fails.
[[nodiscard]] bool make_random_network_key(std::span<std::uint8_t, 16> buffer,
                                           LocalAdapterTechnology technology);

// Fills `count` bytes at `out`; false when it cannot.
using RandomBytesSource = std::function<bool(std::uint8_t* out, std::size_t count)>;
// The same with another random source (tests script the draws with it).
[[nodiscard]] bool make_random_network_key(std::span<std::uint8_t, 16> buffer,
                                           LocalAdapterTechnology technology,
                                           const RandomBytesSource& source);

}  // namespace zv
