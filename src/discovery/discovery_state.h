#pragma once
// The state of station discovery and monitoring: the station table, the device records
// and the flags and texts the HomePlug AV, HomePlug 1.0 and Turbo paths share. One
// instance per running system; a test starts from a fresh one.

#include <array>
#include <cstdint>

#include "discovery/station_records.h"
#include "transport/nic_record.h"

namespace zv {

// The local HomePlug AV adapter's network.
struct AvNetwork {
  std::array<char, 40> name{};
  NetworkKey nmk{};
};

// The local HomePlug 1.0 or Turbo adapter's network.
struct Hp10Network {
  std::array<std::uint8_t, kHp10KeySize> key{};
  std::array<char, 41> name{};
};

inline constexpr std::size_t kStatusBlockSize = 50;

struct DiscoveryState {
  // --- station table and device records (saved in the state file) ---
  StationTable stationBlocks{};
  DeviceRecordTable deviceRecords{};
  std::int32_t deviceCount = 0;  // records in use: always the first deviceCount
  // Scans a silent station survives; every registration sets its countdown to it.
  std::int8_t missesTillDrop = 3;
  // The network name find_network_by_key found last.
  std::array<char, 52> networkNameBuffer{};

  // --- the local adapter of the current NIC, as the last scan found it ---
  std::int32_t local_adapter_is_av = 0;
  std::int32_t local_adapter_is_turbo = 0;
  AvNetwork avNetwork;
  Hp10Network hp10Network;
  // Header form of the last NETWORK_INFO request sent: 4 long, 1 short.
  std::int32_t lastNetworkInfoHeader = 0;
  // Raised by the add-device dialog; NETWORK_INFO then always uses the short header.
  std::int32_t addingDevice = 0;
  // Phase of the scan cycle (ScanCycle::scanPhase), passed to the main page's refresh.
  std::int32_t scanPhase = 0;
  // Chip name and firmware version text of the last HomePlug AV local adapter identified.
  std::array<char, 8> chipName{};
  std::array<char, 65> firmwareText{};
  // Raised by the private network page after it set a new network on the local adapter:
  // the next scan stores the current NIC's network name and the adapter's key in the
  // adapter's device record, and clears it.
  std::uint8_t pendingNetworkName = 0;
  // Raised by the device and private network dialogs: the next scan that cannot name a
  // known HomePlug AV local adapter's key clears it instead of renaming the network.
  std::uint8_t keepNameOnce = 0;

  // --- HomePlug 1.0 and Turbo ---
  std::array<std::uint8_t, kStatusBlockSize> statusBlock50{};  // last accepted status block
  std::uint8_t statusBlockSeen = 0;
  std::uint8_t turboFound = 0;
  std::array<char, 80> turboManufacturer{};
  std::array<char, 80> turboModel{};
  std::array<char, 65> turboVersionText{};
  std::array<char, 256> turboFirmwareText{};  // a length byte's worth of text
  std::uint8_t turboFirmwareTooOld = 0;
  // NICs whose status probe is running: a probe never nests on its own NIC.
  std::array<bool, kMaxNics> statusProbeRunning{};
};

// The missesTillDrop start value for a scan's retry count: clamped to 1..10.
std::int8_t misses_till_drop_for(std::uint16_t retries);

}  // namespace zv
