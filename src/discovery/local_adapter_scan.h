#pragma once
// The scan: finding on every NIC the powerline adapter wired to it, telling its technology
// (HomePlug AV, Turbo, plain HomePlug 1.0), identifying the current NIC's adapter, and
// copying the results into every NIC's station block.
//
// Every operation runs on the thread of the scans and blocks it for its waits (about
// 100 ms per NIC for the AV probe, up to about 450 ms per NIC for HomePlug 1.0). Each one
// that walks the NICs sets transport.currentNic for the probe and restores it afterwards.

#include <cstdint>

#include "base/mac.h"
#include "discovery/discovery.h"

namespace zv {

// 0: the broadcast address; 1: the HomePlug AV local management address.
inline const MacAddress& local_management_address(int selector) {
  return selector == 1 ? kAvLocalManagementMac : kBroadcastMac;
}

// The whole scan: closes and reopens the NICs (clearing every present flag), then looks
// for HomePlug AV adapters, failing that Turbo, failing that HomePlug 1.0; enables the
// main page's upgrade (AV, Turbo) and reset (AV) buttons; identifies the current NIC's
// adapter when that NIC has one (device record, network name; plain HomePlug 1.0 stops
// after the record until a status block was seen, returning 1); copies NIC MAC, present,
// kind, local MAC and the network into the station block of every NIC. Nothing found:
// clear_station_table.
// Sets local_adapter_is_av / local_adapter_is_turbo for the current NIC.
// Returns 1 when a local adapter of any technology was found on any NIC, else 0.
std::uint8_t scan_all_nics(Discovery& d);

// Probes every NIC for a HomePlug AV adapter. For each that answers: its NicRecord gets
// present, statusValid 1 and adapterKind (5 for chip code 4, else 4), the NIC of the
// answer its localMac; chipName, firmwareText and the NIC's station-block firmware text
// come from the version answer (chip code 4 also sets header_version 4). An unknown chip
// code leaves chipName empty and keeps the whole version text; a second version answer
// that does not come is replaced by the probe's own answer. 1 when some NIC has one.
int detect_av_adapters(Discovery& d);

// 1 when the current NIC's local management address answered GET_VERSION within 100 ms
// (confirmation_seen). The answer goes to `answer` when given.
int probe_av_adapter(Discovery& d, VendorResult* answer = nullptr);

// Probes every NIC for a HomePlug Turbo adapter. For each that answers: the Turbo
// firmware text is asked for (100 ms of answers), and its NicRecord gets adapterKind 2,
// statusValid 1, present 1. 1 when some NIC has one.
int detect_turbo_adapters(Discovery& d);

// Broadcasts the Turbo identification request on the current NIC and takes answers for
// 100 ms; 1 when the local adapter identified itself (turboFound; its localMac is set).
int probe_turbo_adapter(Discovery& d);

// Up to three presence rounds per NIC (waits of 50, 150, 250 ms for a self-addressed
// answer) and the missCount rule: after three failed rounds with missCount 3, missCount
// := 0 and present := 0, otherwise missCount += 1 (a success first resets it to 0). The
// snoop of the transport records the adapter (localMac, present, adapterKind) and runs
// the status probe. 1 when some NIC has present set afterwards.
int detect_hp10_adapters(Discovery& d);

// The HomePlug 1.0 presence request (network statistics, entry 0x1A) on NIC `nic` to the
// broadcast address, from the NIC's localMac when known, else from the NIC's own MAC.
// The result of send_frame (0 also for a NIC outside 0..7).
int send_presence_request(Discovery& d, int nic);

}  // namespace zv
