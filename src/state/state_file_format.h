#pragma once
// The state file's layout (little-endian, no padding):
//
//   0       int32   version, 306 (a later version is read the same way)
//   4       int32   currentNic
//   8       131928  the station table: 8 StationBlocks of 16491 bytes
//   131936  int32   deviceCount, 1..32 in every file we write
//   131940  198 x deviceCount  the DeviceRecords in order
//   then    5 x int32 columnOrder, 5 x int32 columnWidths, int32 sortDirection,
//           int32 sortColumn
//
// so a file holds 131988 + 198 x deviceCount bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "discovery/station_records.h"
#include "state/device_list_seam.h"

namespace zv {

inline constexpr std::int32_t kStateFileVersion = 306;
inline constexpr std::size_t kStateVersionOffset = 0;
inline constexpr std::size_t kStateCurrentNicOffset = 4;
inline constexpr std::size_t kStateStationTableOffset = 8;
inline constexpr std::size_t kStateDeviceCountOffset = kStateStationTableOffset + sizeof(StationTable);
inline constexpr std::size_t kStateDeviceRecordsOffset = kStateDeviceCountOffset + 4;
inline constexpr std::size_t kStateLayoutSize = 2 * kDeviceListColumns * 4 + 4 + 4;
inline constexpr std::size_t kStateFileBaseSize = kStateDeviceRecordsOffset + kStateLayoutSize;
static_assert(kStateDeviceCountOffset == 131936);
static_assert(kStateDeviceRecordsOffset == 131940);
static_assert(kStateLayoutSize == 48);
static_assert(kStateFileBaseSize == 131988);

constexpr std::size_t state_file_size(std::int32_t deviceCount) {
  return kStateFileBaseSize + sizeof(DeviceRecord) * static_cast<std::size_t>(deviceCount);
}
inline constexpr std::size_t kStateFileMaxSize = state_file_size(kMaxDeviceRecords);

struct StateFile {
  std::int32_t version = kStateFileVersion;
  std::int32_t currentNic = 0;
  StationTable stationBlocks{};
  std::int32_t deviceCount = 0;
  DeviceRecordTable deviceRecords{};
  ListLayout layout;  // columnOrder, columnWidths, sortDirection, sortColumn
};

// Why a file cannot be taken as it stands.
enum class StateFileFault {
  None,
  ShortRead,           // the file ends inside an item
  OldVersion,          // version below 306
  NegativeCurrentNic,  // currentNic below 0
  BadDeviceCount,      // deviceCount outside 1..32
};

// The bytes of a file holding `state`, always as version 306. deviceCount must be 1..32;
// otherwise the result is empty: such a file is never written.
std::vector<std::uint8_t> encode_state_file(const StateFile& state);
std::vector<std::uint8_t> encode_state_file(std::int32_t currentNic, const StationTable& stationBlocks,
                                            std::int32_t deviceCount,
                                            const DeviceRecordTable& deviceRecords,
                                            const ListLayout& layout);

// Reads a file's bytes into `state` item by item, in file order, and stops at the first
// fault. A currentNic above 7 becomes 7. Bytes after the last item are ignored (a later
// version may add some). `state` holds the items read before a fault.
StateFileFault decode_state_file(std::span<const std::uint8_t> bytes, StateFile& state);

}  // namespace zv
