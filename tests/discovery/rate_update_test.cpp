#include "discovery/rate_update.h"

#include <gtest/gtest.h>

#include <cmath>
#include "packed_field.h"

namespace zv {
namespace {

using test::field;

struct RateCase {
  RateRule rule;
  std::uint16_t raw;
  double mbps;    // before truncation
  double stored;  // current rate kept
};

class RateRuleTest : public ::testing::TestWithParam<RateCase> {};

TEST_P(RateRuleTest, ConvertsAndKeepsTheWholeNumber) {
  const RateCase c = GetParam();
  EXPECT_NEAR(rate_mbps(c.raw, c.rule), c.mbps, 1e-9);
  RateRecord record;
  record.lowest = 500;
  update_rate(record, {c.raw, 7, 9}, c.rule);
  EXPECT_EQ(field(record.current), c.stored);
  EXPECT_FALSE(std::signbit(field(record.current)));
  EXPECT_EQ(field(record.lowest), c.stored);
  EXPECT_EQ(field(record.highest), c.stored);
  EXPECT_EQ(field(record.counterA), 7u);
  EXPECT_EQ(field(record.counterB), 9u);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RateRuleTest,
    ::testing::Values(RateCase{RateRule::Av, 151, 200, 200}, RateCase{RateRule::Av, 0, 0, 0},
                      RateCase{RateRule::Av, 100, 132, 132},
                      RateCase{RateRule::HomePlug10, 42, 1.013662013662014, 1},
                      RateCase{RateRule::HomePlug10, 0, -0.12978912978912938, 0},
                      RateCase{RateRule::Turbo, 252, 6, 6},
                      RateCase{RateRule::Turbo, 519, 14, 14},
                      RateCase{RateRule::Turbo, 1000, 28.893589184474493, 28}));

TEST(RateRecordTest, LowestBelowOneIsAlwaysReplaced) {
  RateRecord record;
  update_rate(record, {151, 0, 0}, RateRule::Av);  // lowest was 0: replaced by 200
  EXPECT_EQ(field(record.lowest), 200);
  update_rate(record, {76, 0, 0}, RateRule::Av);  // 100
  update_rate(record, {151, 0, 0}, RateRule::Av);
  EXPECT_EQ(field(record.lowest), 100);
  EXPECT_EQ(field(record.highest), 200);
  update_rate(record, {0, 0, 0}, RateRule::Av);
  EXPECT_EQ(field(record.lowest), 0);
  update_rate(record, {151, 0, 0}, RateRule::Av);
  EXPECT_EQ(field(record.lowest), 200);
}

// The changed flag compares the new rate with the stored whole number.
struct ChangedCase {
  double stored;
  std::uint16_t raw;  // Turbo rule: raw 252 is 6 Mbps, raw × 8 / 336 below 6
  bool changed;
};

class ChangedFlagTest : public ::testing::TestWithParam<ChangedCase> {};

TEST_P(ChangedFlagTest, MovesOfMoreThanTwoHundredthsCount) {
  const ChangedCase c = GetParam();
  RateRecord record;
  record.current = c.stored;
  update_rate(record, {c.raw, 0, 0}, RateRule::Turbo);
  EXPECT_EQ(record.changed, c.changed ? 1 : 0);
}

// Turbo raw 1 is 0.0238 Mbps, raw 0 is 0: against a stored 0 and a stored 6 (raw 252).
INSTANTIATE_TEST_SUITE_P(Threshold, ChangedFlagTest,
                         ::testing::Values(ChangedCase{0, 0, false}, ChangedCase{0, 1, true},
                                           ChangedCase{6, 252, false}, ChangedCase{6, 253, true},
                                           ChangedCase{6.03, 252, true},
                                           ChangedCase{6.02, 252, false}));

}  // namespace
}  // namespace zv
