#include "discovery/hp10_answers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/bytes.h"
#include "discovery/fixed_text.h"
#include "discovery/hp10_frames.h"
#include "discovery/rate_update.h"
#include "discovery/station_table.h"
#include "discovery/turbo_answers.h"
#include "discovery_fixture.h"
#include "packed_field.h"

namespace zv {
namespace {

using test::field;

using test::hp10_frame;
using test::station_mac;

const MacAddress kLocal{0x00, 0x04, 0x87, 0x00, 0x00, 0x01};

class Hp10AnswersTest : public test::DiscoveryTest {
 protected:
  Hp10AnswersTest() {
    open_nics(1);
    d.current_nic().localMac = kLocal;
    d.current_nic().statusValid = 1;
  }
  std::uint8_t drain(std::string* text = nullptr) { return process_hp10_answers(d, text); }
  StationEntry& station(std::uint8_t last, std::int32_t type) {
    add_or_refresh_station(d, station_mac(last).data());
    StationEntry* entry = find_station_by_mac(d, station_mac(last).data());
    entry->deviceType = type;
    return *entry;
  }
  std::string dump_log() {
    std::ifstream in(logs.dump_log_path());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

// Network statistics answer: 0x1A, kind, average, two NIC counters, 12-byte records.
std::vector<std::uint8_t> statistics_answer(
    std::initializer_list<std::pair<MacAddress, std::uint16_t>> records) {
  std::vector<std::uint8_t> data(7, 0);
  data[0] = 3;  // HomePlug 1.0 kind, answer
  put_le16(&data[3], 11);
  put_le16(&data[5], 12);
  for (const auto& [mac, value] : records) {
    data.insert(data.end(), mac.begin(), mac.end());
    std::uint8_t fields[6] = {};
    put_le16(fields, value);
    put_le16(fields + 2, 21);
    put_le16(fields + 4, 22);
    data.insert(data.end(), fields, fields + 6);
  }
  return test::hp10_frame(kLocal, kEntryNetworkStats, data, 187);
}

TEST_F(Hp10AnswersTest, StatisticsFeedStationsCapTurboAndAverage) {
  StationEntry& plain = station(1, kDeviceHomePlug10);
  StationEntry& turbo = station(2, kDeviceTurbo);
  int refreshedWith = -1;
  RecordingMainPage page;
  page.onRefresh = [&](int phase) { refreshedWith = phase; };
  d.mainPage = &page;
  d.state.scanPhase = 3;

  arrive(0, statistics_answer({{station_mac(2), 600}, {station_mac(1), 600}}));
  EXPECT_EQ(drain(), 1);

  const double plainRate = std::trunc(rate_mbps(600, RateRule::HomePlug10));
  const double turboRate = std::trunc(rate_mbps(3151, RateRule::HomePlug10));  // 519 × 85 / 14
  EXPECT_EQ(field(plain.rate.current), plainRate);
  EXPECT_EQ(field(turbo.rate.current), turboRate);
  EXPECT_EQ(field(turbo.rate.counterA), 21u);
  EXPECT_EQ(field(turbo.rate.counterB), 22u);
  const auto average = static_cast<std::uint16_t>((plainRate + turboRate) * 42 / 2);
  EXPECT_EQ(field(block().nicRate.current), std::trunc(rate_mbps(average, RateRule::HomePlug10)));
  EXPECT_EQ(field(block().nicRate.counterA), 11u);
  EXPECT_EQ(field(block().nicRate.counterB), 12u);
  EXPECT_EQ(refreshedWith, 3);
}

TEST_F(Hp10AnswersTest, StatisticsWithoutStationsGiveAZeroAverage) {
  block().nicRate.current = 40;
  arrive(0, statistics_answer({{station_mac(1), 600}}));
  EXPECT_EQ(drain(), 1);
  EXPECT_EQ(field(block().nicRate.current), 0.0);
  EXPECT_EQ(block().nicRate.changed, 1);
}

TEST_F(Hp10AnswersTest, OwnNetworkStatisticsRequestIsIgnored) {
  station(1, kDeviceHomePlug10);
  auto request = statistics_answer({{station_mac(1), 600}});
  request[17] = 0x80;
  bool refreshed = false;
  RecordingMainPage page;
  page.onRefresh = [&](int) { refreshed = true; };
  d.mainPage = &page;
  arrive(0, request);
  EXPECT_EQ(drain(), 0);
  EXPECT_FALSE(refreshed);
  EXPECT_EQ(field(block().stations[0].rate.current), 0.0);
}

TEST_F(Hp10AnswersTest, StatisticsAnswerRegistersItsSender) {
  arrive(0, hp10_frame(station_mac(5), kEntryStatisticsAnswer, {}));
  arrive(0, hp10_frame(station_mac(5), kEntryStatisticsAnswer, {}));
  EXPECT_EQ(drain(), 1);
  ASSERT_NE(find_station_by_mac(d, station_mac(5).data()), nullptr);
  EXPECT_EQ(field(find_station_by_mac(d, station_mac(5).data())->sightings), 2);
}

TEST_F(Hp10AnswersTest, AnAvFrameStopsTheDraining) {
  arrive(0, hp10_frame(station_mac(5), kEntryStatisticsAnswer, {}));
  arrive(0, test::make_frame(kLocal, station_mac(9), kEtherTypeHomePlugAv));
  arrive(0, hp10_frame(station_mac(6), kEntryStatisticsAnswer, {}));
  EXPECT_EQ(drain(), 0);
  EXPECT_EQ(find_station_by_mac(d, station_mac(6).data()), nullptr);
  EXPECT_EQ(drain(), 1);
  EXPECT_NE(find_station_by_mac(d, station_mac(6).data()), nullptr);
}

// Status answer: kind, then the 50-byte block.
std::vector<std::uint8_t> status_answer(std::uint8_t kind, std::uint8_t fill) {
  std::vector<std::uint8_t> data(51, fill);
  data[0] = kind;
  data[8] = 0x42;  // only the first seven block bytes decide
  return test::hp10_frame(kLocal, kEntryStatus, data, 0x33);
}

struct UnreadableBlockCase {
  std::uint8_t kind;
  const char* tag;
};

class UnreadableStatusBlockTest : public Hp10AnswersTest,
                                  public ::testing::WithParamInterface<UnreadableBlockCase> {};

TEST_P(UnreadableStatusBlockTest, GoesToTheDumpLogNotTheState) {
  const auto c = GetParam();
  arrive(0, status_answer(c.kind, 0xFF));
  drain();
  EXPECT_EQ(d.state.statusBlockSeen, 0);
  const std::string log = dump_log();
  std::string expected = std::string(c.tag);
  for (int i = 0; i < 50; ++i) expected += i == 7 ? " 42" : " ff";
  EXPECT_NE(log.find("\n\n" + expected + "\n"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnreadableStatusBlockTest,
                         ::testing::Values(UnreadableBlockCase{1, "**EEPROM**"},
                                           UnreadableBlockCase{2, "** RAM  **"}));

struct StatusCase {
  std::int32_t statusValid;
  std::uint8_t kind;
  bool taken;
};

class StatusBlockTest : public Hp10AnswersTest,
                        public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusBlockTest, IsTakenWhenItsKindFitsTheNic) {
  const auto c = GetParam();
  d.current_nic().statusValid = c.statusValid;
  auto frame = status_answer(c.kind, 0x10);
  frame[19] = 0x11;  // not seven equal bytes
  arrive(0, frame);
  drain();
  EXPECT_EQ(d.state.statusBlockSeen, c.taken ? 1 : 0);
  EXPECT_EQ(d.state.statusBlock50[1], c.taken ? 0x11 : 0);
  EXPECT_FALSE(std::filesystem::exists(logs.dump_log_path()));
}

// (A kind-1 answer makes the receive snoop raise statusValid first, so it is always taken.)
INSTANTIATE_TEST_SUITE_P(Kinds, StatusBlockTest,
                         ::testing::Values(StatusCase{1, 1, true}, StatusCase{0, 2, true},
                                           StatusCase{1, 2, false}, StatusCase{0, 1, true}));

// Turbo identification: 00 04 87, selector | 0x80, remote flag, 0, version form and
// numbers, then counted manufacturer and model.
std::vector<std::uint8_t> identification(const MacAddress& from, bool remote, std::uint8_t form,
                                         std::uint8_t major, std::uint8_t minor,
                                         const std::string& maker, const std::string& model) {
  std::vector<std::uint8_t> data = {0x00, 0x04, 0x87, 0x90, remote ? std::uint8_t{1} : std::uint8_t{0},
                                    0, form, major, minor};
  data.push_back(static_cast<std::uint8_t>(maker.size()));
  data.insert(data.end(), maker.begin(), maker.end());
  data.push_back(static_cast<std::uint8_t>(model.size()));
  data.insert(data.end(), model.begin(), model.end());
  return test::hp10_frame(from, kEntryTurbo, data);
}

TEST_F(Hp10AnswersTest, TurboIdentificationOfTheLocalAdapter) {
  const MacAddress other{0x00, 0x04, 0x87, 0x00, 0x00, 0x09};
  arrive(0, identification(other, false, 1, 0, 0x15, "", "TurboPlug"));
  EXPECT_EQ(drain(), 1);
  EXPECT_EQ(d.state.turboFound, 1);
  EXPECT_EQ(d.current_nic().localMac, other);
  EXPECT_EQ(fixed_text(d.state.turboVersionText), "Version 1.2");
  EXPECT_EQ(fixed_text(d.state.turboManufacturer), " ");  // counted length 0
  EXPECT_EQ(fixed_text(d.state.turboModel), "TurboPlug");
}

TEST_F(Hp10AnswersTest, TurboIdentificationOfAKnownStation) {
  StationEntry& entry = station(3, kDeviceHomePlug10);
  entry.countdown = 1;
  entry.inUse = 0;
  arrive(0, identification(station_mac(3), true, 0, 2, 7, std::string(120, 'M'), ""));
  arrive(0, identification(station_mac(4), true, 0, 2, 7, "Unknown", "Station"));
  drain();
  EXPECT_EQ(field(entry.inUse), 1);
  EXPECT_EQ(entry.countdown, 3);
  EXPECT_EQ(field(entry.deviceType), kDeviceTurbo);
  EXPECT_EQ(entry.typeChanged, 1);
  EXPECT_EQ(fixed_text(entry.firmwareVersion), "Version 2.7");
  EXPECT_EQ(fixed_text(entry.manufacturer), std::string(79, 'M'));  // cut to the field
  EXPECT_EQ(fixed_text(entry.model), " ");
  EXPECT_EQ(find_station_by_mac(d, station_mac(4).data()), nullptr);  // never created here
  EXPECT_EQ(d.state.turboFound, 0);
}

TEST(TurboVersionText, FollowsTheVersionForm) {
  EXPECT_EQ(turbo_version_text(1, 9, 0x15), "Version 1.2");
  EXPECT_EQ(turbo_version_text(1, 9, 0x16), "Version 1.4");
  EXPECT_EQ(turbo_version_text(0, 2, 7), "Version 2.7");
  EXPECT_EQ(turbo_version_text(2, 10, 255), "Version 10.255");
}

struct FirmwareCase {
  const char* text;
  std::uint8_t tooOld;
};

class TurboFirmwareTest : public Hp10AnswersTest,
                          public ::testing::WithParamInterface<FirmwareCase> {};

TEST_P(TurboFirmwareTest, OldFirmwareIsFlagged) {
  const auto c = GetParam();
  std::vector<std::uint8_t> data = {kTurboQueryFirmware};
  data.insert(data.end(), c.text, c.text + std::strlen(c.text));
  arrive(0, hp10_frame(kLocal, kEntryTurboQueryAnswer, data, static_cast<int>(std::strlen(c.text))));
  EXPECT_EQ(drain(), 1);
  EXPECT_EQ(fixed_text(d.state.turboFirmwareText), c.text);
  EXPECT_EQ(d.state.turboFirmwareTooOld, c.tooOld);
}

INSTANTIATE_TEST_SUITE_P(Versions, TurboFirmwareTest,
                         ::testing::Values(FirmwareCase{"TurboFirmware 1.6.3", 1},
                                           FirmwareCase{"TurboFirmware 1.5.0", 1},
                                           FirmwareCase{"TurboFirmware 1.8.1", 0},
                                           FirmwareCase{"TurboFirmware 2.6.1", 0},
                                           FirmwareCase{"1.6", 0}));

TEST_F(Hp10AnswersTest, TurboKeyAnswerSetsTheNetworkKey) {
  arrive(0, hp10_frame(kLocal, kEntryTurboQueryAnswer, {kTurboQueryKey, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(drain(), 1);
  EXPECT_EQ(d.state.hp10Network.key, (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(Hp10AnswersTest, OtherTurboAnswersOnlyLeaveANote) {
  std::string text;
  arrive(0, hp10_frame(kLocal, kEntryTurbo, {0x05, 0x04, 0x87, 0x80 | kTurboExtendedStats}));
  drain(&text);
  EXPECT_EQ(text, "Extended Stats response recieved (5).");
  arrive(0, hp10_frame(kLocal, kEntryTurbo, {0x06, 0x04, 0x87, 0x80 | 0x31}));
  drain(&text);
  EXPECT_EQ(text, "Unknown private response recieved (6).");
  // Without the answer bit it is a request, not handled.
  arrive(0, hp10_frame(kLocal, kEntryTurbo, {0x06, 0x04, 0x87, kTurboIdentification}));
  EXPECT_EQ(drain(), 0);
}

TEST_F(Hp10AnswersTest, TurboRateAnswerFeedsKnownStations) {
  d.state.local_adapter_is_turbo = 1;
  StationEntry& entry = station(1, kDeviceTurbo);
  std::vector<std::uint8_t> data = {0x00, 0x04, 0x87, 0x80 | kTurboRates};
  for (const MacAddress& mac : {station_mac(9), station_mac(1)}) {
    data.insert(data.end(), mac.begin(), mac.end());
    const std::uint8_t rest[8] = {0x03, 0xE8, 0, 0, 0, 0, 0, 0};  // 1000, big-endian
    data.insert(data.end(), rest, rest + 8);
  }
  arrive(0, hp10_frame(kLocal, kEntryTurbo, data, 3 + 2 * 14));
  EXPECT_EQ(drain(), 1);
  EXPECT_EQ(field(entry.rate.current), 28);
}

// Frames cut anywhere are read only as far as they go (each is handed over in a buffer of
// exactly its length, so the sanitizer build sees any read beyond).
class TruncatedAnswerTest : public Hp10AnswersTest,
                            public ::testing::WithParamInterface<std::size_t> {};

TEST_P(TruncatedAnswerTest, IsReadOnlyAsFarAsItGoes) {
  const std::size_t length = GetParam();
  station(1, kDeviceTurbo);
  const std::vector<std::vector<std::uint8_t>> answers = {
      statistics_answer({{station_mac(1), 600}}),
      status_answer(1, 0x10),
      identification(station_mac(1), true, 0, 1, 2, std::string(60, 'x'), "model"),
      hp10_frame(kLocal, kEntryTurboQueryAnswer, {kTurboQueryFirmware, 'a', 'b'}, 255),
      hp10_frame(kLocal, kEntryTurboQueryAnswer, {kTurboQueryKey, 0, 1, 2, 3, 4, 5, 6, 7, 8}),
      hp10_frame(kLocal, kEntryTurbo, {0, 4, 0x87, 0x80 | kTurboRates, 1, 2, 3}, 255),
  };
  for (const auto& answer : answers) {
    std::vector<std::uint8_t> frame(answer.begin(),
                                    answer.begin() + static_cast<std::ptrdiff_t>(std::min(answer.size(), length)));
    handle_hp10_answer(d, frame, nullptr);
  }
  EXPECT_EQ(d.state.statusBlockSeen, 0);
}

INSTANTIATE_TEST_SUITE_P(Lengths, TruncatedAnswerTest,
                         ::testing::Values(14u, 15u, 16u, 17u, 18u, 20u, 21u, 23u, 24u, 26u, 27u,
                                           30u, 36u, 40u, 67u));

}  // namespace
}  // namespace zv
