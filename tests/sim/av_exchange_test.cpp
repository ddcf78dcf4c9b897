// HomePlug AV single-frame exchanges with the simulated adapters, requests written from
// the documented byte layouts and answers read at the documented offsets.

#include <gtest/gtest.h>

#include "sim/sim_keys.h"
#include "sim_test_support.h"

namespace zv::sim::test {
namespace {

const Key kPrivateNmk = av_network_key("Private-Net-1");

AdapterConfig av(const MacAddress& mac, double rate = 150) {
  AdapterConfig a = default_adapter(Family::HomePlugAv, mac);
  a.phyRateMbps = rate;
  return a;
}

// Local adapter with three stations: A answers, B is silent, C is in another network.
Scenario home(std::uint8_t chipCode = 1) {
  AdapterConfig local = av(kLocalMac);
  local.chipCode = chipCode;
  local.versionText = chipCode == 4 ? "QA-2400-MAC-5-2" : "QA-1000-MAC-3-3";
  AdapterConfig b = av(kStationB, 80);
  b.faults.silent = true;
  AdapterConfig c = av(kStationC, 60);
  c.networkKey = kPrivateNmk;
  return one_nic(local, {av(kStationA, 120), b, c});
}

Bytes set_key_payload(const Key& nmk, std::uint8_t selector, const MacAddress& target, const Key& dak) {
  Bytes p{0x01};
  append(p, nmk);
  p.push_back(selector);
  append(p, target);
  append(p, dak);
  p.resize(44, 0);  // up to frame offset 63
  return p;
}

TEST(AvExchange, GetVersionFromTheDocumentedRequestBytes) {
  SimulatedWire wire(home());
  // GET_VERSION to the local management address, 64 bytes.
  Bytes request{0x00, 0xB0, 0x52, 0x00, 0x00, 0x01, 0x00, 0x0C, 0x29, 0x00, 0x00, 0x01,
                0x88, 0xE1, 0x00, 0x00, 0xA0, 0x00, 0xB0, 0x52};
  request.resize(64, 0);
  const auto answers = wire.exchange(request);
  ASSERT_EQ(answers.size(), 1u);
  const Bytes& a = answers[0];
  ASSERT_GE(a.size(), 88u);
  EXPECT_EQ(mac_in(a, 0), kPcMac);
  EXPECT_EQ(mac_in(a, 6), kLocalMac);  // its own address, not the management one
  EXPECT_EQ(Bytes(a.begin() + 12, a.begin() + 20), (Bytes{0x88, 0xE1, 0x00, 0x01, 0xA0, 0x00, 0xB0, 0x52}));
  EXPECT_EQ(a[20], 0);  // status
  EXPECT_EQ(a[21], 1);  // chip code
  EXPECT_EQ(std::string(a.begin() + 23, a.begin() + 23 + a[22]), "QA-1000-MAC-3-3");
}

struct VersionCase {
  const char* name;
  MacAddress destination;
  std::optional<MacAddress> answeredBy;
};

class GetVersionRouting : public ::testing::TestWithParam<VersionCase> {};

TEST_P(GetVersionRouting, OnlyReachableAdaptersAnswer) {
  SimulatedWire wire(home());
  const auto answers = wire.exchange(vendor_request(GetParam().destination, kPcMac, 0xA000));
  if (!GetParam().answeredBy) {
    EXPECT_TRUE(answers.empty());
    return;
  }
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(mac_in(answers[0], 6), *GetParam().answeredBy);
}

INSTANTIATE_TEST_SUITE_P(
    Destinations, GetVersionRouting,
    ::testing::Values(VersionCase{"LocalOwnMac", kLocalMac, kLocalMac},
                      VersionCase{"StationInTheNetwork", kStationA, kStationA},
                      VersionCase{"SilentStation", kStationB, std::nullopt},
                      VersionCase{"StationInAnotherNetwork", kStationC, std::nullopt},
                      VersionCase{"NobodyThere", MacAddress{0x00, 0xB0, 0x52, 9, 9, 9}, std::nullopt}),
    CaseName());

TEST(AvExchange, NetworkInfoShortHeaderListsStationsSharingTheNmk) {
  SimulatedWire wire(home());
  const auto answers = wire.exchange(vendor_request(kLocalMac, kPcMac, 0xA038));
  ASSERT_EQ(answers.size(), 1u);
  const Bytes& a = answers[0];
  EXPECT_EQ(le16(a, 15), 0xA039);
  const std::size_t p = 20;  // position 0 of the payload
  ASSERT_EQ(a.at(p + 18), 2);  // A and the silent B; C holds another NMK
  EXPECT_EQ(mac_in(a, p + 19), kStationA);
  EXPECT_EQ(a.at(p + 19 + 13), 120);
  EXPECT_EQ(mac_in(a, p + 19 + 15), kStationB);
  EXPECT_EQ(a.at(p + 19 + 15 + 13), 80);
}

struct HeaderCase {
  const char* name;
  std::uint8_t chipCode;
  bool longRequest;
  bool answered;
};

class NetworkInfoHeaders : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(NetworkInfoHeaders, AnswerInTheRequestsForm) {
  const HeaderCase& c = GetParam();
  SimulatedWire wire(home(c.chipCode));
  Bytes request = vendor_request(kLocalMac, kPcMac, 0xA038);
  if (c.longRequest) {
    const Bytes longHeader{0x01, 0x38, 0xA0, 0x00, 0x00, 0x00, 0xB0, 0x52, 0x00, 0x00, 0x00, 0x00};
    std::copy(longHeader.begin(), longHeader.end(), request.begin() + 14);
    request.resize(64, 0);
  }
  const auto answers = wire.exchange(request);
  if (!c.answered) {
    EXPECT_TRUE(answers.empty());
    return;
  }
  ASSERT_EQ(answers.size(), 1u);
  const Bytes& a = answers[0];
  EXPECT_EQ(a[14], c.longRequest ? 1 : 0);
  if (!c.longRequest) {
    EXPECT_EQ(a.at(20 + 18), 2);
    return;
  }
  EXPECT_EQ(Bytes(a.begin() + 19, a.begin() + 22), (Bytes{0x00, 0xB0, 0x52}));
  const std::size_t p = 27;
  ASSERT_EQ(a.at(p + 27), 2);
  EXPECT_EQ(mac_in(a, p + 33), kStationA);
  EXPECT_EQ(le16(a, p + 33 + 16), 120);
  EXPECT_EQ(mac_in(a, p + 33 + 24), kStationB);
  EXPECT_EQ(le16(a, p + 33 + 24 + 16), 80);
}

INSTANTIATE_TEST_SUITE_P(Forms, NetworkInfoHeaders,
                         ::testing::Values(HeaderCase{"Chip1Short", 1, false, true},
                                           HeaderCase{"Chip4Short", 4, false, true},
                                           HeaderCase{"Chip4Long", 4, true, true},
                                           HeaderCase{"Chip1LongIsNotUnderstood", 1, true, false}),
                         CaseName());

TEST(AvExchange, SetKeySelector15MovesTheLocalAdapterIntoTheNewNetwork) {
  SimulatedWire wire(home());
  const auto answers =
      wire.exchange(vendor_request(kLocalMac, kPcMac, 0xA050, set_key_payload(kPrivateNmk, 15, kLocalMac, Key{})));
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(le16(answers[0], 15), 0xA051);
  EXPECT_EQ(answers[0][20], 0);
  EXPECT_EQ(wire.adapter(kLocalMac).network_key(), kPrivateNmk);
  // Now only C shares the NMK, and A is out of reach.
  const auto info = wire.exchange(vendor_request(kLocalMac, kPcMac, 0xA038));
  ASSERT_EQ(info.size(), 1u);
  ASSERT_EQ(info[0].at(38), 1);
  EXPECT_EQ(mac_in(info[0], 39), kStationC);
  EXPECT_TRUE(wire.exchange(vendor_request(kStationA, kPcMac, 0xA000)).empty());
}

struct HandOverCase {
  const char* name;
  MacAddress owner;       // whose device password gives the DAK sent
  MacAddress target;
  std::uint8_t expectedStatus;
  std::optional<MacAddress> taker;
};

class SetKeySelector0 : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(SetKeySelector0, OnlyTheStationWithThatDakTakesTheKey) {
  const HandOverCase& c = GetParam();
  SimulatedWire wire(home());
  const Key dak = av_device_key(wire.adapter(c.owner).config().devicePassword);
  const Key fresh = av_network_key("Fresh-Network");
  const auto answers =
      wire.exchange(vendor_request(kLocalMac, kPcMac, 0xA050, set_key_payload(fresh, 0, c.target, dak)));
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(mac_in(answers[0], 6), kLocalMac);  // the local adapter confirms
  EXPECT_EQ(answers[0][20], c.expectedStatus);
  for (const MacAddress& mac : {kLocalMac, kStationA, kStationB, kStationC})
    EXPECT_EQ(wire.adapter(mac).network_key() == fresh, c.taker == mac) << format_mac(mac);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetKeySelector0,
    ::testing::Values(HandOverCase{"RightDakBroadcastTarget", kStationA, kBroadcastMac, 0, kStationA},
                      HandOverCase{"RightDakOwnMac", kStationA, kStationA, 0, kStationA},
                      HandOverCase{"RightDakOtherTarget", kStationA, kStationC, 1, std::nullopt},
                      HandOverCase{"StationOfAnotherNetworkJoins", kStationC, kBroadcastMac, 0, kStationC},
                      HandOverCase{"SilentStationTakesNothing", kStationB, kBroadcastMac, 1, std::nullopt},
                      HandOverCase{"WrongDak", kLocalMac, kBroadcastMac, 1, std::nullopt}),
    CaseName());

TEST(AvExchange, RestoreDefaultsReturnsFactoryKeyAndName) {
  AdapterConfig local = av(kLocalMac);
  local.name = "Factory name";
  SimulatedWire wire(one_nic(local));
  wire.exchange(vendor_request(kLocalMac, kPcMac, 0xA050, set_key_payload(kPrivateNmk, 15, kLocalMac, Key{})));
  ASSERT_EQ(wire.adapter(kLocalMac).network_key(), kPrivateNmk);
  // The 20-byte request, padded by the transport.
  const Bytes request{0x00, 0xB0, 0x52, 0x00, 0x10, 0x01, 0x00, 0x0C, 0x29, 0x00,
                      0x00, 0x01, 0x88, 0xE1, 0x00, 0x7C, 0xA0, 0x00, 0xB0, 0x52};
  const auto answers = wire.exchange(request);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(le16(answers[0], 15), 0xA07D);
  EXPECT_EQ(answers[0][20], 0);
  EXPECT_EQ(wire.adapter(kLocalMac).network_key(), default_network_key(Family::HomePlugAv));
  EXPECT_EQ(wire.adapter(kLocalMac).device_name(), "Factory name");
  EXPECT_EQ(wire.adapter(kLocalMac).writes().restoreDefaults, 1u);
}

class ReadDeviceBlock : public ::testing::TestWithParam<std::uint8_t> {};

TEST_P(ReadDeviceBlock, AnswersWithTheConfiguredCode) {
  AdapterConfig local = av(kLocalMac);
  local.deviceBlockCode = GetParam();
  SimulatedWire wire(one_nic(local));
  const auto answers = wire.exchange(vendor_request(kLocalMac, kPcMac, 0xA058));
  ASSERT_EQ(answers.size(), 1u);
  const Bytes& a = answers[0];
  EXPECT_EQ(le16(a, 15), 0xA059);
  EXPECT_EQ(a[20], GetParam());
  EXPECT_GE(a.size(), 22u + a[21]);
}

INSTANTIATE_TEST_SUITE_P(Codes, ReadDeviceBlock, ::testing::Values(0, 16, 1));

}  // namespace
}  // namespace zv::sim::test
