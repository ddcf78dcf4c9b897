#pragma once
// Operations on the known-device table (DiscoveryState::deviceRecords, the first
// deviceCount entries). Indexes are 1-based, 0 meaning none. The callers save the state.

#include <string>
#include <string_view>

#include "base/mac.h"
#include "state/state_file.h"

namespace zv {

// The first record whose mac, as "%02X:%02X:%02X:%02X:%02X:%02X", equals `text`.
int find_device_by_mac_text(const DiscoveryState& s, std::string_view text);

// The first free default name, CP936 bytes: "设备 N" with N = deviceCount + 1, or when a
// record has that name, the first N = 1, 2, 3, ... that none has.
std::string make_default_device_name(const DiscoveryState& s);

// Appends a record for `mac` with the default name (the rest zero). Returns its index, or
// 0 when all 32 records are in use.
int create_device_record(DiscoveryState& s, const MacAddress& mac);

// Removes record `index`, its station entry on the current NIC and its device-list row;
// the later records move down. Nothing for an index outside 1..deviceCount.
void delete_device_record(StateContext& context, int index);

// Deletes the device of `list`'s selected row (its MAC in column 1). A device whose
// password was entered is deleted only when the user answers Yes to
// "确定要删除已输入密码的设备?" (caption "注意!", owned by the main page).
void delete_selected_device(StateContext& context, const SelectableList& list);

// Removes the current NIC's first station entry with `mac`; the later entries move down
// and entry 31 is cleared. Nothing for the zero MAC.
void remove_station_by_mac(StateContext& context, const MacAddress& mac);

// Removes every record whose mac is all zero; returns how many.
int purge_empty_device_records(DiscoveryState& s);

}  // namespace zv
