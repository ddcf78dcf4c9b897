#pragma once
// The status block of a local HomePlug 1.0 adapter: taking it from a status answer, and
// the probe that asks for it when the adapter announces itself.

#include <cstdint>
#include <span>

#include "discovery/discovery.h"

namespace zv {

// A status answer (type 0x19, length 0x33): byte 17 the block kind (1 or 2), bytes 18-67
// the block. A block whose first seven bytes are equal is unreadable and goes to the dump
// log; otherwise it is remembered when its kind fits the NIC's statusValid. Returns false
// when the frame is too short to hold the block.
bool apply_status_block(Discovery& d, std::span<const std::uint8_t> frame);

// Asks NIC `nic`'s local adapter for its status up to three times (50, 54, 58 ms) and
// counts the round in missCount. Does nothing while a probe runs on that NIC already or
// the NIC's own address is unknown.
void hp10_status_probe(Discovery& d, int nic);

}  // namespace zv
