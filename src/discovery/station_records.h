#pragma once
// The station table and the device records as they sit in memory and in the state file:
// byte-exact, little-endian, unpadded. The structs are packed and every size and offset
// is checked below, so a whole block can be written to or read from a file as it is.
// Access fields by name only (no pointers or references to multi-byte members: they are
// unaligned); whole records may be passed by reference, their alignment is 1.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "base/mac.h"
#include "transport/nic_record.h"

namespace zv {

static_assert(std::endian::native == std::endian::little,
              "the records are stored in host order, which must be little-endian");
static_assert(sizeof(double) == 8);

inline constexpr int kStationsPerNic = 32;
inline constexpr int kMaxDeviceRecords = 32;
// Network keys: 16 bytes, of which 16 count for HomePlug AV and the first 8 otherwise.
inline constexpr std::size_t kNetworkKeySize = 16;
inline constexpr std::size_t kHp10KeySize = 8;
using NetworkKey = std::array<std::uint8_t, kNetworkKeySize>;

#pragma pack(push, 1)

// Statistics of one rate; samples come through update_rate.
struct RateRecord {
  std::uint32_t counterA = 0;
  std::uint32_t counterB = 0;
  double current = 0.0;  // Mbps, whole number
  double lowest = 0.0;
  double highest = 0.0;
  std::uint8_t changed = 0;  // the last sample moved the rate by more than 0.02 Mbps
};

// One remote station heard through a NIC's local adapter.
struct StationEntry {
  std::int32_t inUse = 0;  // 1 while the station is listed
  MacAddress mac{};        // all zero for an entry never used; kept when dropped
  std::array<std::uint8_t, 50> reserved1{};
  std::int8_t countdown = 0;  // full scans left before a silent station is dropped
  std::int32_t deviceType = 0;  // StationDeviceType
  std::array<char, 80> manufacturer{};
  std::array<char, 80> model{};
  std::array<char, 186> firmwareVersion{};
  std::int32_t sightings = 0;
  std::int32_t dropCredit = 0;
  std::uint8_t typeChanged = 0;
  RateRecord rate;
  NetworkKey networkKey{};  // the network it was last registered under
  std::array<char, 40> networkName{};
};

// What the scans learned about one NIC: its local adapter, its network and its stations.
struct StationBlock {
  MacAddress nicMac{};
  std::int32_t localPresent = 0;
  std::int32_t localKind = 0;  // AdapterKind
  MacAddress localMac{};
  std::array<std::uint8_t, 25> reserved1{};
  std::array<StationEntry, kStationsPerNic> stations{};
  RateRecord nicRate;  // average rate of the NIC's HomePlug 1.0 stations
  std::array<char, 65> firmwareVersion{};  // of the local HomePlug AV adapter
  std::int32_t stationCount = 0;
  NetworkKey networkKey{};
  std::array<char, 40> networkName{};
};

// A device the user knows by name.
struct DeviceRecord {
  std::array<char, 35> name{};
  MacAddress mac{};
  std::array<char, 56> passwordText{};
  std::array<char, 52> networkName{};
  NetworkKey key{};
  std::array<std::uint8_t, 25> reserved1{};
  std::int64_t lastSeen = 0;  // seconds since 1970
};

#pragma pack(pop)

enum StationDeviceType : std::int32_t {
  kDeviceHomePlug10 = 1,
  kDeviceTurbo = 2,
  kDeviceAv = 4,
  kDeviceAv2400 = 5,
};

using StationTable = std::array<StationBlock, kMaxNics>;
using DeviceRecordTable = std::array<DeviceRecord, kMaxDeviceRecords>;

// --- layout guards ---
static_assert(sizeof(RateRecord) == 33);
static_assert(offsetof(RateRecord, counterA) == 0);
static_assert(offsetof(RateRecord, counterB) == 4);
static_assert(offsetof(RateRecord, current) == 8);
static_assert(offsetof(RateRecord, lowest) == 16);
static_assert(offsetof(RateRecord, highest) == 24);
static_assert(offsetof(RateRecord, changed) == 32);

static_assert(sizeof(StationEntry) == 509);
static_assert(offsetof(StationEntry, inUse) == 0);
static_assert(offsetof(StationEntry, mac) == 4);
static_assert(offsetof(StationEntry, reserved1) == 10);
static_assert(offsetof(StationEntry, countdown) == 60);
static_assert(offsetof(StationEntry, deviceType) == 61);
static_assert(offsetof(StationEntry, manufacturer) == 65);
static_assert(offsetof(StationEntry, model) == 145);
static_assert(offsetof(StationEntry, firmwareVersion) == 225);
static_assert(offsetof(StationEntry, sightings) == 411);
static_assert(offsetof(StationEntry, dropCredit) == 415);
static_assert(offsetof(StationEntry, typeChanged) == 419);
static_assert(offsetof(StationEntry, rate) == 420);
static_assert(offsetof(StationEntry, networkKey) == 453);
static_assert(offsetof(StationEntry, networkName) == 469);

static_assert(sizeof(StationBlock) == 16491);
static_assert(offsetof(StationBlock, nicMac) == 0);
static_assert(offsetof(StationBlock, localPresent) == 6);
static_assert(offsetof(StationBlock, localKind) == 10);
static_assert(offsetof(StationBlock, localMac) == 14);
static_assert(offsetof(StationBlock, reserved1) == 20);
static_assert(offsetof(StationBlock, stations) == 45);
static_assert(offsetof(StationBlock, nicRate) == 16333);
static_assert(offsetof(StationBlock, firmwareVersion) == 16366);
static_assert(offsetof(StationBlock, stationCount) == 16431);
static_assert(offsetof(StationBlock, networkKey) == 16435);
static_assert(offsetof(StationBlock, networkName) == 16451);
static_assert(sizeof(StationTable) == 131928);

static_assert(sizeof(DeviceRecord) == 198);
static_assert(offsetof(DeviceRecord, name) == 0);
static_assert(offsetof(DeviceRecord, mac) == 35);
static_assert(offsetof(DeviceRecord, passwordText) == 41);
static_assert(offsetof(DeviceRecord, networkName) == 97);
static_assert(offsetof(DeviceRecord, key) == 149);
static_assert(offsetof(DeviceRecord, reserved1) == 165);
static_assert(offsetof(DeviceRecord, lastSeen) == 190);
static_assert(sizeof(DeviceRecordTable) == 32 * 198);

static_assert(std::is_trivially_copyable_v<RateRecord> && std::is_standard_layout_v<RateRecord>);
static_assert(std::is_trivially_copyable_v<StationEntry> &&
              std::is_standard_layout_v<StationEntry>);
static_assert(std::is_trivially_copyable_v<StationBlock> &&
              std::is_standard_layout_v<StationBlock>);
static_assert(std::is_trivially_copyable_v<DeviceRecord> &&
              std::is_standard_layout_v<DeviceRecord>);

}  // namespace zv
