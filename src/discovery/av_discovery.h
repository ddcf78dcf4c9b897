#pragma once
// HomePlug AV remote discovery: the local adapter lists its network's stations in its
// NETWORK_INFO answer; each listed station is registered, asked for its version, and its
// rate taken from the list.

#include <cstdint>
#include <span>

#include "discovery/discovery.h"

namespace zv {

enum class NetworkInfoForm { Short, Long };

// NETWORK_INFO answer payload layouts (positions in the VendorResult payload).
struct NetworkInfoLayout {
  std::size_t countAt;
  std::size_t entriesAt;
  std::size_t entrySize;
};
inline constexpr NetworkInfoLayout kShortNetworkInfo{18, 19, 15};  // rate: entry byte 13
inline constexpr NetworkInfoLayout kLongNetworkInfo{27, 33, 24};   // rate: le16 at 16-17

// Asks the local adapter at `localAdapterMac` for its network (the header form follows
// header_version: short below 4 and for 5, long for 4, nothing otherwise) and registers
// the stations of its answer. Always 1.
int discover_av_stations(Discovery& d, const std::uint8_t* localAdapterMac);

// Registers the stations listed in `payload`, the NETWORK_INFO answer payload as far as
// it was received: its station count may promise more entries than arrived, and only
// whole entries inside `payload` are taken. The local adapter and the broadcast address
// are skipped. Each station answering GET_VERSION gets its chip-named version text and
// its rate (rule 2); in the long form chip code 4 makes it a 2400-family station.
// Returns the number of stations registered.
int register_av_stations(Discovery& d, std::span<const std::uint8_t> payload,
                         NetworkInfoForm form);

// true when `stationMac` answered GET_VERSION within 100 ms.
bool station_answers(Discovery& d, const std::uint8_t* stationMac);

}  // namespace zv
