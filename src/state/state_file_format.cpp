#include "state/state_file_format.h"

#include "base/bytes.h"

namespace zv {
namespace {

bool read_i32(ByteReader& reader, std::int32_t& value) {
  std::uint32_t raw = 0;
  if (!reader.le32(raw)) return false;
  value = static_cast<std::int32_t>(raw);
  return true;
}

template <std::size_t N>
bool read_i32s(ByteReader& reader, std::array<std::int32_t, N>& values) {
  for (auto& value : values)
    if (!read_i32(reader, value)) return false;
  return true;
}

}  // namespace

std::vector<std::uint8_t> encode_state_file(std::int32_t currentNic, const StationTable& stationBlocks,
                                            std::int32_t deviceCount,
                                            const DeviceRecordTable& deviceRecords,
                                            const ListLayout& layout) {
  if (deviceCount < 1 || deviceCount > kMaxDeviceRecords) return {};
  std::vector<std::uint8_t> bytes(state_file_size(deviceCount));
  ByteWriter writer(bytes);
  const auto i32 = [&writer](std::int32_t v) { writer.le32(static_cast<std::uint32_t>(v)); };
  i32(kStateFileVersion);
  i32(currentNic);
  writer.write(stationBlocks.data(), sizeof(StationTable));
  i32(deviceCount);
  writer.write(deviceRecords.data(), sizeof(DeviceRecord) * static_cast<std::size_t>(deviceCount));
  for (const std::int32_t v : layout.columnOrder) i32(v);
  for (const std::int32_t v : layout.columnWidths) i32(v);
  i32(layout.sortDirection);
  i32(layout.sortColumn);
  return bytes;
}

std::vector<std::uint8_t> encode_state_file(const StateFile& state) {
  return encode_state_file(state.currentNic, state.stationBlocks, state.deviceCount,
                           state.deviceRecords, state.layout);
}

StateFileFault decode_state_file(std::span<const std::uint8_t> bytes, StateFile& state) {
  ByteReader reader(bytes);
  if (!read_i32(reader, state.version)) return StateFileFault::ShortRead;
  if (state.version < kStateFileVersion) return StateFileFault::OldVersion;
  if (!read_i32(reader, state.currentNic)) return StateFileFault::ShortRead;
  if (state.currentNic < 0) return StateFileFault::NegativeCurrentNic;
  if (state.currentNic > kMaxNics - 1) state.currentNic = kMaxNics - 1;
  if (!reader.read(state.stationBlocks.data(), sizeof(StationTable))) return StateFileFault::ShortRead;
  if (!read_i32(reader, state.deviceCount)) return StateFileFault::ShortRead;
  if (state.deviceCount < 1 || state.deviceCount > kMaxDeviceRecords) {
    state.deviceCount = 0;
    return StateFileFault::BadDeviceCount;
  }
  if (!reader.read(state.deviceRecords.data(),
                   sizeof(DeviceRecord) * static_cast<std::size_t>(state.deviceCount)))
    return StateFileFault::ShortRead;
  if (!read_i32s(reader, state.layout.columnOrder) || !read_i32s(reader, state.layout.columnWidths) ||
      !read_i32(reader, state.layout.sortDirection) || !read_i32(reader, state.layout.sortColumn))
    return StateFileFault::ShortRead;
  return StateFileFault::None;
}

}  // namespace zv

