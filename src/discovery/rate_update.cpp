#include "discovery/rate_update.h"

#include <cmath>

namespace zv {

namespace {

// The conversion curves, as measured for each technology.
constexpr double kHp10Scale = 1.1434511434511434;
constexpr double kHp10Offset = -0.12978912978912938;
constexpr double kTurboKnee1 = 6.0;
constexpr double kTurboKnee2 = 12.357142857142858;
constexpr double kTurboSpan1 = 6.357142857142858;
constexpr double kTurboSpan2 = 54.59523809523809;

double turbo_mbps(std::uint16_t raw) {
  const double y = raw * 8.0 / 336.0;
  if (y <= kTurboKnee1) return y;
  if (y <= kTurboKnee2) return (y - kTurboKnee1) / kTurboSpan1 * 8.0 + 6.0;
  return (y - kTurboKnee2) / kTurboSpan2 * 71.0 + 14.0;
}

}  // namespace

double rate_mbps(std::uint16_t raw, RateRule rule) {
  switch (rule) {
    case RateRule::HomePlug10:
      return raw / 42.0 * kHp10Scale + kHp10Offset;
    case RateRule::Turbo:
      return turbo_mbps(raw);
    case RateRule::Av:
      return static_cast<double>(raw * 200 / 151);
  }
  return 0.0;
}

void update_rate(RateRecord& record, const RateSample& sample, RateRule rule) {
  const double rate = rate_mbps(sample.raw, rule);
  const double current = record.current;
  if (std::fabs(current - rate) > 0.02) record.changed = 1;
  // Adding 0.0 turns a truncated -0.12 into +0, as an integer conversion would.
  const double whole = std::trunc(rate) + 0.0;
  record.current = whole;
  const double lowest = record.lowest;
  if (lowest > whole || lowest < 1) record.lowest = whole;
  const double highest = record.highest;
  if (highest < whole) record.highest = whole;
  record.counterA = sample.second;
  record.counterB = sample.third;
}

}  // namespace zv
