#pragma once
// Giving the current NIC's local adapter its device record and naming the network it is
// in from the key it holds.
//
// Names a rule gives go to both the device record's networkName and the network of the
// local adapter's technology (avNetwork or hp10Network). A key that could not be read
// (all zero) names no network: it gives "Unknown Networkname" (or nothing under
// keepNameOnce) and never matches a stored record.

#include <cstdint>
#include <span>

#include "discovery/discovery.h"

namespace zv {

inline constexpr const char* kUnknownNetworkName = "Unknown Networkname";

// The record of the local adapter of the current NIC, made for it when there is none.
struct LocalAdapterRecord {
  DeviceRecord* record = nullptr;  // null when the table was full (no record made)
  bool isNew = false;              // made just now
};

// Looks up the local adapter's MAC (local_adapter_mac) in the device records; when it has
// none, appends one named with the first free default name 设备 N (CP936). All 32 records
// in use: no record. Nothing for a zero MAC.
LocalAdapterRecord local_adapter_record(Discovery& d);

// The network of a HomePlug AV local adapter: reads its NMK (read_local_nmk; a zeroed key
// when that fails) into avNetwork, consumes pendingNetworkName (the current NIC's
// network name becomes the record's and avNetwork's, the record takes the key), then
// names it: a known record keeps its stored key for the default NMK and names the
// default network "HomePlugAV"; its own key gives its own network name; another record's
// key gives that record's name; anything else "Unknown Networkname" unless keepNameOnce,
// which is cleared instead. A new record: another record's name, the default network
// password text, or "Unknown Networkname"; it takes the key.
void name_av_network(Discovery& d, const LocalAdapterRecord& local);

// The network of a HomePlug Turbo (the key asked of the adapter, 100 ms of answers) or
// plain HomePlug 1.0 local adapter (bytes 14..21 of the remembered status block): the
// 8-byte key goes into hp10Network, pendingNetworkName as for HomePlug AV, then: any of
// the three HomePlug 1.0 default keys names the network "HomePlug"; a known record's own
// key its own name; another record's key that record's name; else "Unknown Networkname".
// A new record takes the key in every case, a known one when another record named it.
void name_hp10_network(Discovery& d, const LocalAdapterRecord& local);

}  // namespace zv
