#pragma once
// Feeding a raw rate sample into a RateRecord.

#include <cstdint>

#include "discovery/station_records.h"

namespace zv {

enum class RateRule : int {
  HomePlug10 = 0,  // HomePlug 1.0 network statistics
  Turbo = 1,       // HomePlug Turbo rate answers
  Av = 2,          // HomePlug AV NETWORK_INFO rates
};

// {raw value, second value, third value}; the last two become the record's counters.
struct RateSample {
  std::uint16_t raw = 0;
  std::uint16_t second = 0;
  std::uint16_t third = 0;
};

// Mbps of a raw value under a rule, before truncation.
double rate_mbps(std::uint16_t raw, RateRule rule);

// Converts the sample, raises `changed` when the rate moved by more than 0.02 Mbps,
// stores the whole-number rate, widens lowest/highest, takes the counters.
void update_rate(RateRecord& record, const RateSample& sample, RateRule rule);

}  // namespace zv
