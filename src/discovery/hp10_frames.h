#pragma once
// HomePlug 1.0 management entries the system sends (EtherType 0x887B):
//   offset 14 entry count, 15 entry type, 16 entry length, 17.. entry data.
// Each sender returns the result of send_frame (1 sent, 0 not).

#include <cstddef>
#include <cstdint>

#include "discovery/discovery.h"

namespace zv {

// Entry types of HomePlug 1.0 management frames.
enum Hp10EntryType : std::uint8_t {
  kEntryTurbo = 0x02,            // Turbo private request / answer
  kEntryAccepted06 = 0x06,
  kEntryStatistics = 0x07,       // statistics request
  kEntryStatisticsAnswer = 0x08, // a station answers 0x07
  kEntryTurboQuery = 0x12,
  kEntryTurboQueryAnswer = 0x13,
  kEntryStatus = 0x19,           // status request and answer
  kEntryNetworkStats = 0x1A,     // network statistics request and answer
};

// Turbo request selectors (byte 20) and query selectors (byte 17).
inline constexpr std::uint8_t kTurboIdentification = 0x10;
inline constexpr std::uint8_t kTurboRates = 0x18;
inline constexpr std::uint8_t kTurboExtendedStats = 0x23;
inline constexpr std::uint8_t kTurboQueryFirmware = 0x20;
inline constexpr std::uint8_t kTurboQueryKey = 0x21;

// Status request selectors.
inline constexpr std::uint8_t kStatusSelectorValid = 0;
inline constexpr std::uint8_t kStatusSelectorInitial = 16;

// 0x07, no data; 17 bytes (padded on the wire).
int send_statistics_request(Transport& t, int nic, const std::uint8_t* source,
                            const std::uint8_t* destination);
// 0x19, selector and 14 zero bytes; 32 bytes.
int send_status_request(Transport& t, int nic, const std::uint8_t* source,
                        const std::uint8_t* destination, std::uint8_t selector);
// 0x1A with length 187 but only 0x80 and 20 zero bytes sent; 38 bytes.
int send_network_stats_request(Transport& t, int nic, const std::uint8_t* source,
                               const std::uint8_t* destination);
// 0x02: 00 04 87, selector, `n` data bytes; 35 bytes (more when the data needs it), on the
// current NIC from its own address; 0 when that address is unknown or n exceeds 251.
int send_turbo_request(Transport& t, const std::uint8_t* destination, std::uint8_t selector,
                       const std::uint8_t* data, std::size_t n);
// 0x12 with one selector byte, 272 bytes, to the local adapter on the current NIC;
// 0 when the NIC's own address is unknown.
int send_turbo_query(Transport& t, std::uint8_t selector);

}  // namespace zv
