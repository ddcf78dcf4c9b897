#pragma once
// Shared pieces of the simulator tests: a transport on a simulated network, and request
// frames written byte by byte from the documented layouts (not with the program's
// builders, and not with the simulator's own).

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "sim/scenario.h"
#include "sim/simulated_network.h"
#include "support/memory_network.h"

namespace zv::sim::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr MacAddress kPcMac{0x00, 0x0C, 0x29, 0x00, 0x00, 0x01};
inline constexpr MacAddress kLocalMac{0x00, 0xB0, 0x52, 0x00, 0x10, 0x01};
inline constexpr MacAddress kStationA{0x00, 0xB0, 0x52, 0x00, 0x20, 0x01};
inline constexpr MacAddress kStationB{0x00, 0xB0, 0x52, 0x00, 0x20, 0x02};
inline constexpr MacAddress kStationC{0x00, 0xB0, 0x52, 0x00, 0x20, 0x03};

// One NIC "sim0" with the PC's MAC, `local` wired to it and `remotes` behind it.
Scenario one_nic(const AdapterConfig& local, std::vector<AdapterConfig> remotes = {});

// A transport on the memory backend with a simulated network attached and its NICs open.
class SimulatedWire {
 public:
  explicit SimulatedWire(const Scenario& scenario);
  // Sends `frame` on NIC `nic`, lets `waitMs` of virtual time pass, and returns every
  // frame that arrived, oldest first.
  std::vector<Bytes> exchange(const Bytes& frame, std::uint32_t waitMs = 0, int nic = 0);
  SimulatedAdapter& adapter(const MacAddress& mac);

  zv::test::MemoryNetwork net;
  std::unique_ptr<SimulatedNetwork> simulated;
};

// The 60-byte (or longer) vendor request: destination, source, 88 E1, MMV 0, MMTYPE
// little-endian, 00 B0 52, then `payload` from offset 20, zeros to 60.
Bytes vendor_request(const MacAddress& destination, const MacAddress& source, std::uint16_t mmtype,
                     const Bytes& payload = {});
// A HomePlug 1.0 frame: destination, source, 88 7B, then `body` from offset 14 (entry
// count, entries), zeros to 60.
Bytes hp10_request(const MacAddress& destination, const MacAddress& source, const Bytes& body);

// Names parameterised cases after their `name` field.
struct CaseName {
  template <typename Info>
  std::string operator()(const Info& param) const {
    return param.param.name;
  }
};

// Little-endian and big-endian readers for the tests' own decoding.
std::uint16_t le16(const Bytes& frame, std::size_t at);
std::uint32_t le32(const Bytes& frame, std::size_t at);
std::uint32_t be32(const Bytes& frame, std::size_t at);
MacAddress mac_in(const Bytes& frame, std::size_t at);
void append_le(Bytes& out, std::uint32_t value, int bytes);
void append_be(Bytes& out, std::uint32_t value, int bytes);
void append(Bytes& out, std::span<const std::uint8_t> bytes);
// NOT of the XOR of the little-endian words (whole words only).
std::uint32_t xor_checksum(const std::uint8_t* data, std::size_t length);

}  // namespace zv::sim::test
