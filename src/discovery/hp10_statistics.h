#pragma once
// Rates from HomePlug 1.0 network statistics answers and HomePlug Turbo rate answers.

#include <cstdint>
#include <span>

#include "discovery/discovery.h"

namespace zv {

// A network statistics answer (type 0x1A): bytes 20-21 and 22-23 the NIC's counters, from
// offset 24 up to 15 records of 12 bytes {MAC, rate (le16), two counters (le16)}. Feeds
// each in-use station's rate (rule 0; Turbo stations capped at 519 and scaled by 85/14),
// then writes the average of the leading rated stations × 42 into bytes 18-19 and feeds
// it to the NIC's rate record. With a Turbo local adapter the frame is read as a Turbo
// rate answer instead. Only records inside the frame are read; false when the frame is
// too short for the header fields.
bool apply_hp10_statistics(Discovery& d, std::span<std::uint8_t> frame);

// A Turbo rate answer (type 0x02, selector 0x18): (length byte − 3) / 14 records of 14
// bytes from offset 21 {MAC, rate (be16), 6 unused}; each known station's rate (rule 1).
void apply_turbo_rates(Discovery& d, std::span<const std::uint8_t> frame);

}  // namespace zv
