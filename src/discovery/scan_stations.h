#pragma once
// How stations leave the current NIC's list: ageing at the end of every scan cycle, and
// clearing the whole table when a scan finds no adapter (or the main page asks).

#include "discovery/discovery.h"

namespace zv {

// Writes the scan log snapshot (when its level asks for one), then recounts the current
// NIC's stations: every entry in use loses one from its countdown (not below 0); one
// reaching 0 leaves the list (inUse 0, current rate 0, dropCredit += the missesTillDrop
// start value). The block's station count ends as the number still in use.
void age_stations(Discovery& d);

// Takes every station of the current NIC out of use (inUse, current rate and countdown
// 0, station count 0), purges the device records whose MAC is zero, then tells the main
// page (station_table_cleared), which saves the state and empties its device list.
void clear_station_table(Discovery& d);

}  // namespace zv
