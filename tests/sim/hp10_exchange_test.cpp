// HomePlug 1.0 and Turbo management entries (EtherType 0x887B) with the simulated
// adapters: requests written from the documented entry layouts, answers read at the
// documented frame offsets.

#include <gtest/gtest.h>

#include <cmath>

#include "sim/sim_keys.h"
#include "sim_test_support.h"

namespace zv::sim::test {
namespace {

constexpr MacAddress kLocal{0x02, 0x48, 0x50, 0x00, 0x10, 0x01};
constexpr MacAddress kMember{0x02, 0x48, 0x50, 0x00, 0x10, 0x02};    // in the local network
constexpr MacAddress kStranger{0x02, 0x48, 0x50, 0x00, 0x10, 0x03};  // in another network
constexpr MacAddress kPlain{0x02, 0x48, 0x50, 0x00, 0x10, 0x04};     // HomePlug 1.0 in a Turbo network
constexpr MacAddress kLoader{0x00, 0x04, 0x87, 0xFE, 0x11, 0x00};

AdapterConfig adapter(Family family, const MacAddress& mac, double rate) {
  AdapterConfig a = default_adapter(family, mac);
  a.phyRateMbps = rate;
  return a;
}

Scenario hp10_network() {
  AdapterConfig stranger = adapter(Family::HomePlug10, kStranger, 9);
  stranger.networkKey = hp10_key("Neighbours");
  return one_nic(adapter(Family::HomePlug10, kLocal, 12), {adapter(Family::HomePlug10, kMember, 11), stranger});
}

Scenario turbo_network() {
  return one_nic(adapter(Family::Turbo, kLocal, 85),
                 {adapter(Family::Turbo, kMember, 70), adapter(Family::HomePlug10, kPlain, 12)});
}

Bytes with(Bytes head, std::size_t length) {
  head.resize(length, 0);
  return head;
}

Bytes key8(const Key& key) { return Bytes(key.begin(), key.begin() + 8); }

std::vector<MacAddress> sources(const std::vector<Bytes>& frames, std::uint8_t entryType) {
  std::vector<MacAddress> out;
  for (const Bytes& f : frames)
    if (f.at(15) == entryType) out.push_back(mac_in(f, 6));
  return out;
}

// The network statistics request: 0x1A, length 187, 0x80, and 21 data bytes in all.
Bytes presence_request(const MacAddress& source) {
  return hp10_request(kBroadcastMac, source, with({0x01, 0x1A, 187, 0x80}, 24));
}

struct PresenceCase {
  const char* name;
  bool fromAdapterAddress;
};

class Presence : public ::testing::TestWithParam<PresenceCase> {};

TEST_P(Presence, LocalAdapterAnswersToTheRequestsSource) {
  SimulatedWire wire(hp10_network());
  const MacAddress source = GetParam().fromAdapterAddress ? kLocal : kPcMac;
  const auto answers = wire.exchange(presence_request(source));
  ASSERT_EQ(answers.size(), 1u);
  const Bytes& a = answers[0];
  EXPECT_EQ(mac_in(a, 0), source);  // self-addressed when sent from the adapter's address
  EXPECT_EQ(mac_in(a, 6), kLocal);
  EXPECT_EQ(a[15], 0x1A);
  EXPECT_EQ(a[17], 3);  // kind, bit 7 clear
  // One record: the member; the stranger holds another key.
  ASSERT_EQ(a[16], 7 + 12);
  EXPECT_EQ(mac_in(a, 24), kMember);
  const double mbps = le16(a, 30) / 42.0 * 1.1434511434511434 - 0.12978912978912938;
  EXPECT_NEAR(mbps, 11.0, 0.05);
}

INSTANTIATE_TEST_SUITE_P(Sources, Presence,
                         ::testing::Values(PresenceCase{"FromAdapterAddress", true},
                                           PresenceCase{"FromNicAddress", false}),
                         CaseName());

TEST(Hp10Exchange, StatusBlockCarriesTheKeyAtBlockBytes14To21) {
  SimulatedWire wire(hp10_network());
  for (const auto& [selector, kind] : {std::pair{0, 1}, std::pair{16, 2}}) {
    const auto answers = wire.exchange(hp10_request(kBroadcastMac, kPcMac, with({0x01, 0x19, 0x0F, std::uint8_t(selector)}, 18)));
    ASSERT_EQ(answers.size(), 1u);
    const Bytes& a = answers[0];
    EXPECT_EQ(a[15], 0x19);
    EXPECT_EQ(a[16], 0x33);
    EXPECT_EQ(a[17], kind);
    EXPECT_EQ(Bytes(a.begin() + 32, a.begin() + 40), key8(hp10_key("HomePlug")));
  }
}

TEST(Hp10Exchange, StatisticsRequestIsAnsweredByTheLocalNetworksStations) {
  SimulatedWire wire(hp10_network());
  const auto answers = wire.exchange(hp10_request(kBroadcastMac, kPcMac, {0x01, 0x07, 0x00}));
  EXPECT_EQ(sources(answers, 0x08), (std::vector<MacAddress>{kLocal, kMember}));
  const auto one = wire.exchange(hp10_request(kMember, kPcMac, {0x01, 0x07, 0x00}));
  EXPECT_EQ(sources(one, 0x08), (std::vector<MacAddress>{kMember}));
}

TEST(Hp10Exchange, LocalSetKeyIsConfirmedAndTheStatusBlockReportsIt) {
  SimulatedWire wire(hp10_network());
  const Key key = hp10_key("Private-Net");
  Bytes body{0x02, 0x04, 0x09, 0x01};
  append(body, key8(key));
  body.insert(body.end(), {0x1F, 0x03, 0x40, 0x00, 0x01});
  const auto answers = wire.exchange(hp10_request(kBroadcastMac, kPcMac, body));
  EXPECT_EQ(sources(answers, 0x06), (std::vector<MacAddress>{kLocal}));
  const auto status = wire.exchange(hp10_request(kBroadcastMac, kPcMac, with({0x01, 0x19, 0x0F, 0x00}, 18)));
  ASSERT_EQ(status.size(), 1u);
  EXPECT_EQ(Bytes(status[0].begin() + 32, status[0].begin() + 40), key8(key));
  ASSERT_EQ(wire.adapter(kLocal).writes().hp10Parameters.size(), 1u);
  EXPECT_EQ(wire.adapter(kLocal).writes().hp10Parameters[0], (std::array<std::uint8_t, 3>{0x40, 0x00, 0x01}));
}

struct RemoteCase {
  const char* name;
  MacAddress keyOwner;  // whose device password gives the DEK in slot 0
  MacAddress target;
  bool joins;
};

class Hp10RemoteSetKey : public ::testing::TestWithParam<RemoteCase> {};

// Slot 0 := the station's DEK (with parameters), then the network key to the station,
// then the parameter entry alone.
TEST_P(Hp10RemoteSetKey, StationHoldingTheDeviceKeyTakesTheNetworkKey) {
  const RemoteCase& c = GetParam();
  SimulatedWire wire(hp10_network());
  const Key dek = hp10_key(wire.adapter(c.keyOwner).config().devicePassword);
  const Key nek = hp10_key("Private-Net");
  Bytes first{0x02, 0x04, 0x09, 0x00};
  append(first, key8(dek));
  first.insert(first.end(), {0x1F, 0x03, 0x40, 0x01, 0x00});
  Bytes second{0x01, 0x04, 0x09, 0x01};
  append(second, key8(nek));
  std::vector<Bytes> answers = wire.exchange(hp10_request(c.target, kPcMac, first));
  for (Bytes& a : wire.exchange(hp10_request(c.target, kPcMac, second))) answers.push_back(std::move(a));
  wire.exchange(hp10_request(c.target, kPcMac, {0x01, 0x1F, 0x03, 0x40, 0x01, 0x01}));
  const auto confirmations = sources(answers, 0x06);
  const bool stationConfirmed = std::count(confirmations.begin(), confirmations.end(), kStranger) == 1;
  EXPECT_EQ(stationConfirmed, c.joins);
  EXPECT_EQ(wire.adapter(kStranger).network_key() == nek, c.joins);
}

INSTANTIATE_TEST_SUITE_P(Cases, Hp10RemoteSetKey,
                         ::testing::Values(RemoteCase{"ByMac", kStranger, kStranger, true},
                                           RemoteCase{"ByBroadcast", kStranger, kBroadcastMac, true},
                                           RemoteCase{"WrongDeviceKey", kMember, kStranger, false}),
                         CaseName());

TEST(TurboExchange, IdentificationFromLocalAdapterAndTurboStations) {
  SimulatedWire wire(turbo_network());
  const auto answers = wire.exchange(hp10_request(kBroadcastMac, kPcMac, with({0x01, 0x02, 18, 0x00, 0x04, 0x87, 0x10}, 35)));
  ASSERT_EQ(sources(answers, 0x02), (std::vector<MacAddress>{kLocal, kMember}));
  for (const Bytes& a : answers) {
    EXPECT_EQ(a[20], 0x90);
    EXPECT_EQ(a[21] & 1, mac_in(a, 6) == kMember ? 1 : 0);
    const std::size_t manufacturerLength = a[26];
    EXPECT_EQ(std::string(a.begin() + 27, a.begin() + 27 + static_cast<std::ptrdiff_t>(manufacturerLength)), "Simulated");
    const std::size_t modelAt = 27 + manufacturerLength;
    EXPECT_EQ(std::string(a.begin() + static_cast<std::ptrdiff_t>(modelAt) + 1,
                          a.begin() + static_cast<std::ptrdiff_t>(modelAt) + 1 + a[modelAt]),
              "PLT-85");
  }
}

TEST(TurboExchange, RatesListTheNetworksStations) {
  SimulatedWire wire(turbo_network());
  const auto answers = wire.exchange(hp10_request(kLocal, kPcMac, {0x01, 0x02, 0x05, 0x00, 0x04, 0x87, 0x18, 0x00}));
  ASSERT_EQ(answers.size(), 1u);
  const Bytes& a = answers[0];
  EXPECT_EQ(a[20], 0x98);
  ASSERT_EQ((a[16] - 3) / 14, 2);
  EXPECT_EQ(mac_in(a, 21), kMember);
  // y = raw × 8 / 336, above 12.357 on the scale up to 85 Mbps.
  const double y = (a[21 + 6] * 256 + a[21 + 7]) * 8.0 / 336.0;
  EXPECT_NEAR((y - 12.357142857142858) / 54.59523809523809 * 71 + 14, 70.0, 0.1);
  EXPECT_EQ(mac_in(a, 21 + 14), kPlain);
}

TEST(TurboExchange, QueriesAnswerFirmwareTextAndKey) {
  SimulatedWire wire(turbo_network());
  const auto text = wire.exchange(hp10_request(kLocal, kPcMac, with({0x01, 0x12, 0x01, 0x20}, 272 - 14)));
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0][15], 0x13);
  EXPECT_EQ(text[0][17], 0x20);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(text[0].data() + 18)), "PLT-TURBO-FW  1.8.0");
  const auto key = wire.exchange(hp10_request(kLocal, kPcMac, with({0x01, 0x12, 0x01, 0x21}, 272 - 14)));
  ASSERT_EQ(key.size(), 1u);
  EXPECT_EQ(key[0][17], 0x21);
  EXPECT_EQ(Bytes(key[0].begin() + 19, key[0].begin() + 27), key8(hp10_key("HomePlug")));
}

TEST(TurboExchange, RemoteSetKeyWithTheEmbeddedFrame) {
  SimulatedWire wire(turbo_network());
  const Key nek = hp10_key("Turbo-Private");
  Bytes body{0x01, 0x14, 10, 0x01, 0x00};
  append(body, key8(hp10_key(wire.adapter(kMember).config().devicePassword)));
  body.insert(body.end(), {0x88, 0x7B, 0x01, 0x04, 0x09, 0x01});
  append(body, key8(nek));
  const Bytes frame = hp10_request(kBroadcastMac, kPcMac, body);
  ASSERT_EQ(frame.size(), 60u);  // 41 bytes padded
  EXPECT_EQ(sources(wire.exchange(frame), 0x06), (std::vector<MacAddress>{kMember}));
  EXPECT_EQ(key8(wire.adapter(kMember).network_key()), key8(nek));
  EXPECT_EQ(key8(wire.adapter(kLocal).network_key()), key8(hp10_key("HomePlug")));
}

// Loader entries: type 0x10, length byte 1, code at 17, big-endian fields.
Bytes loader_frame(const MacAddress& to, std::uint8_t code, const Bytes& fields) {
  Bytes body{0x01, 0x10, 0x01, code};
  body.insert(body.end(), fields.begin(), fields.end());
  return hp10_request(to, kPcMac, body);
}

Bytes write_chunk(const MacAddress& to, const Bytes& image, std::size_t offset) {
  const std::size_t n = std::min<std::size_t>(1024, image.size() - offset);
  Bytes fields;
  append_be(fields, static_cast<std::uint32_t>(n + 10), 2);
  append_be(fields, 0x100, 4);
  append_be(fields, static_cast<std::uint32_t>(offset), 4);
  append_be(fields, static_cast<std::uint32_t>(n), 2);
  fields.insert(fields.end(), image.begin() + static_cast<std::ptrdiff_t>(offset),
                image.begin() + static_cast<std::ptrdiff_t>(offset + n));
  fields.resize(1054 - 18, 0);
  return loader_frame(to, 0x81, fields);
}

std::uint32_t loader_sum(const Bytes& data) {
  Bytes padded = data;
  padded.resize((data.size() + 3) / 4 * 4, 0);
  return xor_checksum(padded.data(), padded.size());
}

TEST(TurboExchange, UpgradeThroughTheLoader) {
  SimulatedWire wire(turbo_network());
  Bytes image(2500);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 1);
  EXPECT_TRUE(wire.exchange(write_chunk(kLocal, image, 0)).empty()) << "not in the loader yet";
  EXPECT_TRUE(wire.exchange(hp10_request(kLocal, kPcMac, {0x01, 0x12, 0x01, 0x67})).empty());
  for (std::size_t offset : {0, 1024, 2048}) {
    const auto reply = wire.exchange(write_chunk(kLocal, image, offset));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(mac_in(reply[0], 0), kPcMac);
    EXPECT_EQ(reply[0][15], 0x10);
    EXPECT_EQ(reply[0][17], 0x81);
    EXPECT_EQ(reply[0][20], 0);
  }
  Bytes commit, verify, query;
  append_be(commit, 4, 2);
  append_be(commit, 0x100, 4);
  commit.push_back(0);
  append_be(verify, 4, 2);
  append_be(verify, 64, 4);
  verify.push_back(0);
  append_be(query, 8, 2);
  append_be(query, 0x100, 4);
  append_be(query, 2500, 4);
  for (const auto& [code, fields] : {std::pair{0x82, commit}, std::pair{0x84, verify}}) {
    const auto reply = wire.exchange(loader_frame(kLocal, static_cast<std::uint8_t>(code), fields));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0][17], code);
    EXPECT_EQ(reply[0][20], 0);
  }
  const auto sum = wire.exchange(loader_frame(kLocal, 0x83, query));
  ASSERT_EQ(sum.size(), 1u);
  EXPECT_EQ(sum[0][17], 0x83);
  EXPECT_EQ(be32(sum[0], 29), loader_sum(image));
  EXPECT_TRUE(wire.exchange(loader_frame(kLocal, 0x7F, {0x00, 0x00})).empty());
  const WriteRecord& writes = wire.adapter(kLocal).writes();
  EXPECT_EQ(writes.loaderModules.at(0x100), image);
  EXPECT_EQ(writes.loaderCommits, (std::vector<std::uint32_t>{0x100}));
  EXPECT_EQ(writes.hardwareResets, 1u);
  EXPECT_FALSE(wire.adapter(kLocal).in_loader());
}

TEST(TurboExchange, LoaderThatAnswersOnlyAtItsOwnAddress) {
  Scenario s = turbo_network();
  s.nics[0].local->loaderAddressOnly = true;
  SimulatedWire wire(s);
  const Bytes image(100, 0x42);
  wire.exchange(hp10_request(kLocal, kPcMac, {0x01, 0x12, 0x01, 0x67}));
  EXPECT_TRUE(wire.exchange(write_chunk(kLocal, image, 0)).empty());
  const auto reply = wire.exchange(write_chunk(kLoader, image, 0));
  ASSERT_EQ(reply.size(), 1u);
  EXPECT_EQ(mac_in(reply[0], 6), kLoader);
}

}  // namespace
}  // namespace zv::sim::test
