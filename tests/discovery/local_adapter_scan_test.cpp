// The scan through the simulated adapters: which NIC has which technology, how the AV
// local adapter is identified, and the HomePlug 1.0 presence rounds.
#include "discovery/local_adapter_scan.h"

#include <gtest/gtest.h>

#include "discovery/device_records.h"
#include "discovery/hp10_answers.h"
#include "discovery/hp10_frames.h"
#include "hpav/vendor_frame.h"
#include "packed_field.h"
#include "scan_fixture.h"

namespace zv {
namespace {

using test::field;

using LocalAdapterScanTest = test::ScanTest;

TEST_F(LocalAdapterScanTest, AvAdapterOnTheSecondNicOnly) {
  const auto local = av(1);
  load({nic(0, std::nullopt), nic(1, local, {av(2)})});
  net.transport.currentNic = 0;

  EXPECT_EQ(scan_all_nics(d), 1);
  const NicRecord& second = net.transport.nicRecords[1];
  EXPECT_EQ(second.present, 1);
  EXPECT_EQ(second.adapterKind, kAdapterAvFirstFamily);
  EXPECT_EQ(second.localMac, local.mac);
  EXPECT_EQ(net.transport.nicRecords[0].present, 0);
  EXPECT_EQ(d.state.local_adapter_is_av, 0);
  EXPECT_EQ(net.transport.currentNic, 0);
  EXPECT_EQ(page.upgradeEnabled, 1);
  EXPECT_EQ(page.resetEnabled, 1);
  EXPECT_EQ(page.tableCleared, 0);
  // The current NIC has no adapter to give a record to.
  EXPECT_EQ(d.state.deviceCount, 0);

  const StationBlock& block = d.state.stationBlocks[1];
  EXPECT_EQ(field(block.localPresent), 1);
  EXPECT_EQ(block.localMac, local.mac);
  EXPECT_EQ(block.nicMac, net.transport.captureSlots[1].mac);
  EXPECT_EQ(field(d.state.stationBlocks[0].localPresent), 0);
}

// A GET_VERSION answer's chip code and version text, and what the scan makes of them.
struct ChipCase {
  const char* name;
  std::uint8_t chipCode;
  const char* versionText;
  const char* chipName;
  std::int32_t adapterKind;
  int headerVersion;
  const char* firmwareText;  // the global: the whole text, prefix renamed in place
  const char* storedText;    // the station block's: from the prefix on
};

void PrintTo(const ChipCase& row, std::ostream* out) { *out << row.name; }

class ChipIdentificationTest : public test::ScanTest,
                               public ::testing::WithParamInterface<ChipCase> {};

TEST_P(ChipIdentificationTest, NamesChipAndFirmware) {
  const ChipCase& c = GetParam();
  auto local = av(1, c.chipCode);
  local.versionText = c.versionText;
  load({nic(0, local)});

  EXPECT_EQ(scan_all_nics(d), 1);
  EXPECT_EQ(d.state.local_adapter_is_av, 1);
  EXPECT_EQ(fixed_text(d.state.chipName), c.chipName);
  EXPECT_EQ(fixed_text(d.state.firmwareText), c.firmwareText);
  EXPECT_EQ(fixed_text(d.state.stationBlocks[0].firmwareVersion), c.storedText);
  EXPECT_EQ(net.transport.nicRecords[0].adapterKind, c.adapterKind);
  EXPECT_EQ(field(d.state.stationBlocks[0].localKind), c.adapterKind);
  EXPECT_EQ(net.transport.nicRecords[0].statusValid, 1);
  EXPECT_EQ(vendor.header_version, c.headerVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ChipIdentificationTest,
    ::testing::Values(ChipCase{"Code4LongHeaderFamily", 4, "QA-2400-MAC-5-2-5214", "QB-2400",
                               kAdapterAv2400, 4, "QB-2400-MAC-5-2-5214", "QB-2400-MAC-5-2-5214"},
                      ChipCase{"TextBeforeThePrefix", 1, "v2 QA-1000-MAC-3-3", "QA-1000",
                               kAdapterAvFirstFamily, 0, "v2 QA-1000-MAC-3-3", "QA-1000-MAC-3-3"},
                      ChipCase{"Code3RenamesItsFamily", 3, "QA-1000-MAC-3-4-3412", "QA-1400",
                               kAdapterAvFirstFamily, 0, "QA-1400-MAC-3-4-3412",
                               "QA-1400-MAC-3-4-3412"},
                      ChipCase{"UnknownCodeKeepsTheWholeText", 9, "QA-1000-MAC-9", "",
                               kAdapterAvFirstFamily, 0, "QA-1000-MAC-9", "QA-1000-MAC-9"},
                      ChipCase{"NoPrefixKeepsTheWholeText", 2, "FW 7.1 build 3", "QA-1300",
                               kAdapterAvFirstFamily, 0, "FW 7.1 build 3", "FW 7.1 build 3"},
                      ChipCase{"TextOfSixtyFourCharacters", 5,
                               "QA-1000-01234567890123456789012345678901234567890123456789012345",
                               "QB-2405", kAdapterAvFirstFamily, 0,
                               "QB-2405-01234567890123456789012345678901234567890123456789012345",
                               "QB-2405-01234567890123456789012345678901234567890123456789012345"}),
    test::CaseName());

// 设备 N: N = deviceCount + 1, or when that name is taken the first free N from 1.
struct NamingCase {
  const char* name;
  std::vector<std::string> existing;
  int expectedNumber;  // 0: the table is full, no record
};

void PrintTo(const NamingCase& row, std::ostream* out) { *out << row.name; }

class LocalRecordNamingTest : public test::ScanTest,
                              public ::testing::WithParamInterface<NamingCase> {};

TEST_P(LocalRecordNamingTest, NewRecordTakesTheFirstFreeDefaultName) {
  const NamingCase& c = GetParam();
  const auto local = av(1);
  load({nic(0, local)});
  std::uint8_t last = 0x40;
  for (const std::string& name : c.existing) add_record(name, {0x02, 0, 0, 0, 0, last++});
  const int before = d.state.deviceCount;

  EXPECT_EQ(scan_all_nics(d), 1);
  const int index = find_device_by_mac(d.state, local.mac.data());
  if (c.expectedNumber == 0) {
    EXPECT_EQ(index, 0);
    EXPECT_EQ(d.state.deviceCount, before);
    // The scan went on: the station block still got the network.
    EXPECT_EQ(fixed_text(d.state.stationBlocks[0].networkName), "HomePlugAV");
    return;
  }
  ASSERT_EQ(index, before + 1);
  EXPECT_EQ(record_name(index - 1), test::device_name(c.expectedNumber));
}

std::vector<std::string> full_table() {
  std::vector<std::string> names;
  for (int i = 1; i <= kMaxDeviceRecords; ++i) names.push_back("Device " + std::to_string(i));
  return names;
}

INSTANTIATE_TEST_SUITE_P(Names, LocalRecordNamingTest,
                         ::testing::Values(NamingCase{"FirstRecord", {}, 1},
                                           NamingCase{"CountPlusOne", {"Kitchen", "Hall"}, 3},
                                           NamingCase{"GapsAreFilledFromOne",
                                                      {test::device_name(1), test::device_name(3)},
                                                      2},
                                           NamingCase{"TableFull", full_table(), 0}),
                         test::CaseName());

TEST_F(LocalAdapterScanTest, KnownAdapterKeepsItsRecord) {
  const auto local = av(1);
  load({nic(0, local)});
  add_record("Study", local.mac);
  EXPECT_EQ(scan_all_nics(d), 1);
  EXPECT_EQ(d.state.deviceCount, 1);
  EXPECT_EQ(record_name(0), "Study");
}

TEST_F(LocalAdapterScanTest, NothingFoundClearsTheCurrentStationTable) {
  load({nic(0, std::nullopt)});
  StationEntry& entry = d.state.stationBlocks[0].stations[0];
  entry.mac = test::station_mac(1);
  entry.inUse = 1;
  entry.countdown = 3;
  entry.rate.current = 80;
  d.state.stationBlocks[0].stationCount = 1;
  add_record("Gone");  // zero MAC: purged
  add_record("Kept", test::station_mac(1));

  EXPECT_EQ(scan_all_nics(d), 0);
  EXPECT_EQ(page.tableCleared, 1);
  EXPECT_EQ(page.upgradeEnabled, 0);
  EXPECT_EQ(field(entry.inUse), 0);
  EXPECT_EQ(entry.countdown, 0);
  EXPECT_EQ(field(entry.rate.current), 0.0);
  EXPECT_EQ(entry.mac, test::station_mac(1));  // the entry keeps its station
  EXPECT_EQ(field(d.state.stationBlocks[0].stationCount), 0);
  ASSERT_EQ(d.state.deviceCount, 1);
  EXPECT_EQ(record_name(0), "Kept");
}

TEST_F(LocalAdapterScanTest, TurboAdapterIsFoundAndNamedFromItsKey) {
  auto local = hp10(sim::Family::Turbo, 1);
  local.versionText = "PLT-TURBO-FW  1.8.0";
  load({nic(0, local, {hp10(sim::Family::Turbo, 2)})});

  EXPECT_EQ(scan_all_nics(d), 1);
  EXPECT_EQ(d.state.local_adapter_is_turbo, 1);
  EXPECT_EQ(d.state.local_adapter_is_av, 0);
  const NicRecord& record = net.transport.nicRecords[0];
  EXPECT_EQ(record.adapterKind, kAdapterTurbo);
  EXPECT_EQ(record.present, 1);
  EXPECT_EQ(record.localMac, local.mac);
  EXPECT_EQ(fixed_text(d.state.turboFirmwareText), "PLT-TURBO-FW  1.8.0");
  EXPECT_EQ(page.upgradeEnabled, 1);
  EXPECT_EQ(page.resetEnabled, 0);
  EXPECT_EQ(fixed_text(d.state.hp10Network.name), "HomePlug");
  EXPECT_EQ(fixed_text(d.state.stationBlocks[0].networkName), "HomePlug");
  EXPECT_EQ(field(d.state.stationBlocks[0].localKind), kAdapterTurbo);
}

class PresenceTest : public test::ScanTest {
 protected:
  std::size_t presence_requests() {
    std::size_t count = 0;
    for (const auto& frame : net.backend.sent("sim0"))
      if (frame.size() > 17 && frame[12] == 0x88 && frame[13] == 0x7B && frame[15] == 0x1A &&
          frame[17] == 0x80)
        ++count;
    return count;
  }
};

// The adapter answers the presence request sent from its own address self-addressed; the
// snoop raises the flag but the status probe it starts consumes it in its own waits, so
// every try counts as failed. The probe leaves missCount 1 and the failed tries add 1.
TEST_F(PresenceTest, SelfAddressedAnswerConsumedByTheStatusProbe) {
  const auto local = hp10(sim::Family::HomePlug10, 1);
  load({nic(0, local)});
  net.transport.open_all_nics();
  net.transport.nicRecords[0].localMac = local.mac;  // known: requests go from its address

  EXPECT_EQ(detect_hp10_adapters(d), 1);
  const NicRecord& record = net.transport.nicRecords[0];
  EXPECT_EQ(record.present, 1);
  EXPECT_EQ(record.adapterKind, kAdapterHomePlug10);
  EXPECT_EQ(record.missCount, 2);
  EXPECT_EQ(presence_requests(), 3u);
}

struct SilenceCase {
  const char* name;
  std::uint8_t missCountBefore;
  std::uint8_t missCountAfter;
};

void PrintTo(const SilenceCase& row, std::ostream* out) { *out << row.name; }

class SilentAdapterTest : public PresenceTest, public ::testing::WithParamInterface<SilenceCase> {};

TEST_P(SilentAdapterTest, IsNotPresentWhateverItsMissCount) {
  auto local = hp10(sim::Family::HomePlug10, 1);
  local.faults.silent = true;
  load({nic(0, local)});
  net.transport.nicRecords[0].missCount = GetParam().missCountBefore;
  net.transport.nicRecords[0].localMac = local.mac;  // seen in an earlier scan

  EXPECT_EQ(scan_all_nics(d), 0);
  EXPECT_EQ(net.transport.nicRecords[0].present, 0);
  EXPECT_EQ(net.transport.nicRecords[0].missCount, GetParam().missCountAfter);
  EXPECT_EQ(presence_requests(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Rounds, SilentAdapterTest,
                         ::testing::Values(SilenceCase{"FirstMiss", 0, 1},
                                           SilenceCase{"ThirdMissWithdraws", 3, 0}),
                         test::CaseName());

TEST_F(LocalAdapterScanTest, PlainHomePlug10IsNamedOnlyOnceAStatusBlockWasSeen) {
  const auto local = hp10(sim::Family::HomePlug10, 1);
  load({nic(0, local, {hp10(sim::Family::HomePlug10, 2)})});
  set_fixed_text(d.state.stationBlocks[0].networkName, "as before");

  EXPECT_EQ(scan_all_nics(d), 1);
  EXPECT_EQ(d.state.deviceCount, 1);  // the record is made at once
  EXPECT_EQ(fixed_text(d.state.stationBlocks[0].networkName), "as before");
  EXPECT_EQ(field(d.state.stationBlocks[0].localPresent), 0);

  // The scan cycle asks for the status block and takes the answer.
  const MacAddress nicMac = net.transport.captureSlots[0].mac;
  send_status_request(net.transport, 0, nicMac.data(), kBroadcastMac.data(), kStatusSelectorValid);
  process_answers_100ms(d);
  ASSERT_EQ(d.state.statusBlockSeen, 1);

  EXPECT_EQ(scan_all_nics(d), 1);
  EXPECT_EQ(fixed_text(d.state.stationBlocks[0].networkName), "HomePlug");
  EXPECT_EQ(fixed_text(d.state.deviceRecords[0].networkName), "HomePlug");
  EXPECT_EQ(field(d.state.stationBlocks[0].localPresent), 1);
  EXPECT_EQ(field(d.state.stationBlocks[0].localKind), kAdapterHomePlug10);
}

}  // namespace
}  // namespace zv
