#include "discovery/hp10_statistics.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"
#include "discovery/rate_update.h"
#include "discovery/station_table.h"

namespace zv {

namespace {

constexpr std::size_t kAverageOffset = 18;
constexpr std::size_t kStatsRecordsOffset = 24;
constexpr std::size_t kStatsRecordSize = 12;
constexpr std::size_t kStatsRecordsMax = 15;
constexpr std::size_t kTurboRecordsOffset = 21;
constexpr std::size_t kTurboRecordSize = 14;
// Turbo statistics values above this are not meaningful; the cap then scales to Mbps of
// the HomePlug 1.0 curve.
constexpr std::uint16_t kTurboStatisticsCap = 519;

std::size_t whole_records(std::size_t available, std::size_t offset, std::size_t size,
                          std::size_t wanted) {
  if (available <= offset) return 0;
  return std::min(wanted, (available - offset) / size);
}

void feed_station_rates(Discovery& d, std::span<std::uint8_t> frame) {
  const std::size_t records =
      whole_records(frame.size(), kStatsRecordsOffset, kStatsRecordSize, kStatsRecordsMax);
  for (StationEntry& station : d.current_block().stations) {
    if (!station.inUse) continue;
    for (std::size_t r = 0; r < records; ++r) {
      std::uint8_t* record = frame.data() + kStatsRecordsOffset + r * kStatsRecordSize;
      record[0] &= 0xFE;  // the group bit is not part of the station's address here
      if (record[0] == 0) d.print_trace("valid");
      if (std::memcmp(record, station.mac.data(), 6) != 0) continue;
      std::uint16_t value = get_le16(record + 6);
      if (station.deviceType == kDeviceTurbo)
        value = static_cast<std::uint16_t>(std::min(value, kTurboStatisticsCap) * 85 / 14);
      update_rate(station.rate, {value, get_le16(record + 8), get_le16(record + 10)},
                  RateRule::HomePlug10);
      break;
    }
  }
}

void feed_nic_average(Discovery& d, std::span<std::uint8_t> frame) {
  StationBlock& block = d.current_block();
  double sum = 0;
  int n = 0;
  for (const StationEntry& station : block.stations) {
    const double current = station.rate.current;
    if (!station.inUse || current == 0) break;
    sum += current;
    n += 1;
  }
  double average = n == 0 ? 0.0 : sum * 42 / n;
  // A loaded state file can hold any rates: keep the value inside the 16-bit field.
  average = std::clamp(average, 0.0, 65535.0);
  const auto raw = static_cast<std::uint16_t>(average);
  put_le16(frame.data() + kAverageOffset, raw);
  update_rate(block.nicRate, {raw, get_le16(frame.data() + 20), get_le16(frame.data() + 22)},
              RateRule::HomePlug10);
}

}  // namespace

bool apply_hp10_statistics(Discovery& d, std::span<std::uint8_t> frame) {
  if (frame.size() < kStatsRecordsOffset) return false;
  if (d.state.local_adapter_is_turbo)
    apply_turbo_rates(d, frame);
  else
    feed_station_rates(d, frame);
  feed_nic_average(d, frame);
  return true;
}

void apply_turbo_rates(Discovery& d, std::span<const std::uint8_t> frame) {
  if (frame.size() <= 16 || frame[16] < 3) return;
  const std::size_t records = whole_records(frame.size(), kTurboRecordsOffset, kTurboRecordSize,
                                            (frame[16] - 3u) / kTurboRecordSize);
  for (std::size_t r = 0; r < records; ++r) {
    const std::uint8_t* record = frame.data() + kTurboRecordsOffset + r * kTurboRecordSize;
    StationEntry* station = find_station_by_mac(d, record);
    if (station == nullptr) continue;
    update_rate(station->rate, {get_be16(record + 6), 0, 0}, RateRule::Turbo);
  }
}

}  // namespace zv
