#include "state/known_devices.h"

#include <algorithm>
#include <cstdio>

#include "discovery/device_records.h"
#include "discovery/fixed_text.h"

namespace zv {
namespace {

// "设备" in CP936, the records' code page.
constexpr const char* kDeviceWordCp936 = "\xC9\xE8\xB1\xB8";

int records_in_use(const DiscoveryState& s) { return std::clamp(s.deviceCount, 0, kMaxDeviceRecords); }

std::string default_name(int number) {
  char text[32];
  std::snprintf(text, sizeof text, "%s %hd", kDeviceWordCp936, static_cast<short>(number));
  return text;
}

// Removes entry `index` (0-based) of the first `count`, moving the later ones down and
// clearing the one freed at the end.
template <class Table>
void remove_at(Table& table, int index, int count) {
  const auto first = table.begin() + index;
  const auto end = table.begin() + count;
  std::move(first + 1, end, first);
  *(end - 1) = typename Table::value_type{};
}

}  // namespace

int find_device_by_mac_text(const DiscoveryState& s, std::string_view text) {
  for (int i = 0; i < records_in_use(s); ++i)
    if (format_mac(s.deviceRecords[i].mac) == text) return i + 1;
  return 0;
}

std::string make_default_device_name(const DiscoveryState& s) {
  std::string candidate = default_name(records_in_use(s) + 1);
  // At most 32 names are taken, so this ends by 33.
  for (int k = 1; find_device_by_name(s, candidate) != 0; ++k) candidate = default_name(k);
  return candidate;
}

int create_device_record(DiscoveryState& s, const MacAddress& mac) {
  const int count = records_in_use(s);
  if (count >= kMaxDeviceRecords) return 0;
  const std::string name = make_default_device_name(s);
  DeviceRecord& record = s.deviceRecords[count];
  record = DeviceRecord{};
  record.mac = mac;
  set_fixed_text(record.name, name);
  s.deviceCount = count + 1;
  return s.deviceCount;
}

void delete_device_record(StateContext& context, int index) {
  DiscoveryState& s = context.discovery;
  const int count = records_in_use(s);
  if (index < 1 || index > count) return;
  const MacAddress mac = s.deviceRecords[index - 1].mac;
  remove_station_by_mac(context, mac);
  context.deviceList.remove_device_row(mac);
  remove_at(s.deviceRecords, index - 1, count);
  s.deviceCount = count - 1;
}

void delete_selected_device(StateContext& context, const SelectableList& list) {
  std::string text;
  if (list.selected_row_text(1, text) == 0) return;
  const int index = find_device_by_mac_text(context.discovery, text);
  if (index == 0) return;
  if (!fixed_text(context.discovery.deviceRecords[index - 1].passwordText).empty()) {
    const NoticeAnswer answer = context.transport.notice().show(
        Notice{"确定要删除已输入密码的设备?", "注意!", NoticeIcon::None, NoticeButtons::YesNo,
               kMainPageOwner});
    if (answer == NoticeAnswer::No) return;
  }
  delete_device_record(context, index);
}

void remove_station_by_mac(StateContext& context, const MacAddress& mac) {
  if (is_zero_mac(mac.data())) return;
  const int nic = context.transport.currentNic;
  if (nic < 0 || nic >= kMaxNics) return;
  auto& stations = context.discovery.stationBlocks[nic].stations;
  const auto found = std::find_if(stations.begin(), stations.end(),
                                  [&mac](const StationEntry& e) { return e.mac == mac; });
  if (found == stations.end()) return;
  remove_at(stations, static_cast<int>(found - stations.begin()), kStationsPerNic);
}

int purge_empty_device_records(DiscoveryState& s) {
  const int count = records_in_use(s);
  const auto end = s.deviceRecords.begin() + count;
  const auto kept = std::stable_partition(s.deviceRecords.begin(), end, [](const DeviceRecord& r) {
    return !is_zero_mac(r.mac.data());
  });
  std::fill(kept, end, DeviceRecord{});
  s.deviceCount = static_cast<int>(kept - s.deviceRecords.begin());
  return count - s.deviceCount;
}

}  // namespace zv
