// The scan cycle driven by a hand-ticked timer over the simulated adapters.
#include "discovery/scan_cycle.h"

#include <gtest/gtest.h>

#include <utility>

#include "discovery/station_table.h"
#include "packed_field.h"
#include "scan_fixture.h"

namespace zv {
namespace {

using test::field;

class ScanCycleTest : public test::ScanTest {
 protected:
  ScanCycleTest() {
    page.onRefresh = [this](int phase) { refreshes.emplace_back(ticks, phase); };
  }
  void tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      ++ticks;
      timer.tick();
    }
  }
  std::size_t frames_sent() { return net.backend.sent("sim0").size(); }
  // An AV local adapter with one station behind it.
  void load_av_network() { load({nic(0, av(1), {station})}); }

  sim::AdapterConfig station = av(2);
  ManualTimer timer;
  ScanCycle cycle{d, timer};
  int ticks = 0;
  std::vector<std::pair<int, int>> refreshes;  // (tick, phase)
};

struct ScheduleCase {
  const char* name;
  std::uint16_t unit;
  bool adapter;
  std::uint32_t periodMs;
};

void PrintTo(const ScheduleCase& row, std::ostream* out) { *out << row.name; }

class CycleScheduleTest : public ScanCycleTest,
                          public ::testing::WithParamInterface<ScheduleCase> {};

TEST_P(CycleScheduleTest, PhasesTakeTheirTicks) {
  const ScheduleCase& c = GetParam();
  const int u = c.unit;
  std::vector<std::pair<int, int>> expected;
  if (c.adapter) {
    load_av_network();
    ASSERT_EQ(cycle.start_scan(c.unit, kMainPageScanRetries, 1), 1);
    // Phase 1 at once, 2..5 on the next ticks, phase 6 for u ticks ending in the full
    // scan, phase 0 for u ticks ending in phase 1: 2u + 4 ticks a cycle.
    expected = {{1, 1}, {5 + u, 7}, {5 + 2 * u, 1}, {9 + 3 * u, 7}};
  } else {
    load({nic(0, std::nullopt)});
    ASSERT_EQ(cycle.start_scan(c.unit, kMainPageScanRetries, 1), 0);
    EXPECT_FALSE(timer.running());
    cycle.restart_scan_timer();  // as the main page does when it is shown
    // Nothing to act on: every phase lasts u ticks.
    expected = {{6 * u, 7}, {13 * u, 7}};
  }
  EXPECT_EQ(timer.period_ms(), c.periodMs);
  EXPECT_EQ(cycle.period_ms(), c.periodMs);
  tick(expected.back().first);
  EXPECT_EQ(refreshes, expected);
  EXPECT_EQ(cycle.scanPhase, kPhaseWait);
}

INSTANTIATE_TEST_SUITE_P(Units, CycleScheduleTest,
                         ::testing::Values(ScheduleCase{"Unit30", 30, true, 42},
                                           ScheduleCase{"Unit1", 1, true, 1},
                                           ScheduleCase{"AdapterGoneUnit7", 7, false, 10}),
                         test::CaseName());

TEST_F(ScanCycleTest, AvDiscoveryRunsInPhaseThree) {
  load_av_network();
  ASSERT_EQ(cycle.start_scan(1, kMainPageScanRetries, 1), 1);
  tick(2);
  EXPECT_EQ(find_station_by_mac(d, station.mac.data()), nullptr);
  tick();
  const StationEntry* entry = find_station_by_mac(d, station.mac.data());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(field(entry->inUse), 1);
  EXPECT_GT(field(entry->rate.current), 0);
}

struct DropCase {
  const char* name;
  std::uint16_t retries;
  int cyclesListed;  // full scans after which the station is still listed
};

void PrintTo(const DropCase& row, std::ostream* out) { *out << row.name; }

class StationDropTest : public ScanCycleTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(StationDropTest, SilentStationLeavesAfterItsCountdown) {
  const DropCase& c = GetParam();
  load_av_network();
  ASSERT_EQ(cycle.start_scan(1, c.retries, 1), 1);
  tick(3);  // registered in phase 3 of the first cycle
  StationEntry* entry = find_station_by_mac(d, station.mac.data());
  ASSERT_NE(entry, nullptr);
  // From now on the local adapter no longer lists it.
  adapter(station.mac).set_network_key(sim::Key{0x42});

  constexpr int kCycle = 2 * 1 + 4;
  tick(3);  // the rest of the first cycle
  for (int listed = 1; listed <= c.cyclesListed; ++listed) {
    ASSERT_EQ(field(entry->inUse), 1) << "after cycle " << listed;
    tick(kCycle);
  }
  EXPECT_EQ(field(entry->inUse), 0);
  EXPECT_EQ(field(entry->rate.current), 0.0);
  EXPECT_EQ(field(entry->dropCredit), static_cast<std::int32_t>(c.retries));
  EXPECT_EQ(field(d.current_block().stationCount), 0);
  EXPECT_EQ(entry->mac, station.mac);  // the entry stays its
}

INSTANTIATE_TEST_SUITE_P(StartValues, StationDropTest,
                         ::testing::Values(DropCase{"ThreeLeavesAtTheEndOfTheSecondCycleAfter", 3,
                                                    2},
                                           DropCase{"OneLeavesAtTheEndOfItsOwnCycle", 1, 0}),
                         test::CaseName());

TEST_F(ScanCycleTest, NestedHoldsKeepTheOuterHold) {
  load_av_network();
  ASSERT_EQ(cycle.start_scan(1, kMainPageScanRetries, 1), 1);
  const int outer = cycle.suspend_auto_scan(0);
  const int inner = cycle.suspend_auto_scan(0);
  EXPECT_EQ(outer, 1);
  EXPECT_EQ(inner, 0);

  const std::size_t sent = frames_sent();
  tick(10);
  EXPECT_EQ(frames_sent(), sent);
  EXPECT_TRUE(refreshes.empty());
  EXPECT_EQ(cycle.scanPhase, kPhaseStatus);

  EXPECT_EQ(cycle.suspend_auto_scan(inner), 0);
  EXPECT_EQ(cycle.autoScanSuspended, 1);
  tick();
  EXPECT_TRUE(refreshes.empty());
  EXPECT_EQ(cycle.suspend_auto_scan(outer), 0);
  EXPECT_EQ(cycle.autoScanSuspended, 0);
  tick();
  EXPECT_EQ(refreshes, (std::vector<std::pair<int, int>>{{12, 1}}));

  {
    const ScanHold hold(cycle);
    const ScanHold nested(cycle);
    EXPECT_EQ(cycle.autoScanSuspended, 1);
  }
  EXPECT_EQ(cycle.autoScanSuspended, 0);
}

TEST_F(ScanCycleTest, RefreshRequestRunsOneCycleWhileAutoScanIsOff) {
  load_av_network();
  ASSERT_EQ(cycle.start_scan(1, kMainPageScanRetries, 0), 1);
  EXPECT_TRUE(timer.running());
  const std::size_t sent = frames_sent();
  tick(20);
  EXPECT_EQ(frames_sent(), sent);  // sends (and reads) nothing
  EXPECT_TRUE(refreshes.empty());

  cycle.refreshRequested = 1;
  tick(6);
  EXPECT_EQ(refreshes, (std::vector<std::pair<int, int>>{{21, 1}, {26, 7}}));
  EXPECT_EQ(cycle.refreshRequested, 0);
  EXPECT_NE(find_station_by_mac(d, station.mac.data()), nullptr);

  const std::size_t afterCycle = frames_sent();
  tick(20);
  EXPECT_EQ(frames_sent(), afterCycle);
  EXPECT_EQ(refreshes.size(), 2u);
}

struct StartCase {
  const char* name;
  std::uint16_t unit;
  std::uint16_t retries;
  std::int32_t timerUnit;
  std::int8_t missesTillDrop;
};

void PrintTo(const StartCase& row, std::ostream* out) { *out << row.name; }

class StartScanTest : public ScanCycleTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartScanTest, StoresItsParameters) {
  const StartCase& c = GetParam();
  load_av_network();
  EXPECT_EQ(cycle.start_scan(c.unit, c.retries, 1), 1);
  EXPECT_EQ(cycle.timerUnit, c.timerUnit);
  EXPECT_EQ(d.state.missesTillDrop, c.missesTillDrop);
  EXPECT_EQ(cycle.autoScanSuspended, 0);
  EXPECT_EQ(cycle.scanPhase, kPhaseStatus);
  EXPECT_TRUE(timer.running(cycle.scanTimerId));
}

INSTANTIATE_TEST_SUITE_P(Parameters, StartScanTest,
                         ::testing::Values(StartCase{"RetriesZeroStoreOne", 30, 0, 30, 1},
                                           StartCase{"RetriesThree", 30, 3, 30, 3},
                                           StartCase{"RetriesAboveTenStoreTen", 30, 25, 30, 10},
                                           StartCase{"UnitZeroIsRaisedToOne", 0, 3, 1, 3}),
                         test::CaseName());

TEST_F(ScanCycleTest, RestartReplacesTheTimerAndAFailedTimerRunsNothing) {
  load_av_network();
  ASSERT_EQ(cycle.start_scan(1, kMainPageScanRetries, 1), 1);
  const TimerId first = cycle.scanTimerId;
  tick(3);
  EXPECT_NE(cycle.restart_scan_timer(), first);
  EXPECT_FALSE(timer.running(first));
  EXPECT_EQ(cycle.tickCount, 0);
  EXPECT_EQ(cycle.scanPhase, kPhaseStatus);

  timer.failNextStart = true;
  EXPECT_EQ(cycle.restart_scan_timer(), 0);
  EXPECT_FALSE(timer.running());
  refreshes.clear();
  tick(10);
  EXPECT_TRUE(refreshes.empty());
}

TEST_F(ScanCycleTest, HomePlug10CycleRegistersStationsAndNamesTheNetwork) {
  const auto first = hp10(sim::Family::HomePlug10, 2);
  const auto second = hp10(sim::Family::HomePlug10, 3);
  load({nic(0, hp10(sim::Family::HomePlug10, 1), {first, second})});
  ASSERT_EQ(cycle.start_scan(1, kMainPageScanRetries, 1), 1);
  EXPECT_EQ(fixed_text(d.current_block().networkName), "");

  tick(2 * 1 + 4);  // one cycle: status block, statistics, full scan
  EXPECT_EQ(d.state.statusBlockSeen, 1);
  EXPECT_EQ(fixed_text(d.current_block().networkName), "HomePlug");
  for (const auto& mac : {first.mac, second.mac}) {
    const StationEntry* entry = find_station_by_mac(d, mac.data());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(field(entry->inUse), 1);
    EXPECT_EQ(field(entry->deviceType), kDeviceHomePlug10);
    EXPECT_GT(field(entry->rate.current), 0);
  }
  EXPECT_EQ(field(d.current_block().stationCount), 2);
}

}  // namespace
}  // namespace zv
