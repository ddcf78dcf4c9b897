#include "discovery/av_discovery.h"

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "discovery/fixed_text.h"
#include "discovery/station_table.h"
#include "discovery/vendor_request.h"
#include "hpav/vendor_frame.h"
#include "sim_fixture.h"
#include "packed_field.h"

namespace zv {
namespace {

using test::field;

struct DiscoveryCase {
  const char* name;
  std::uint8_t chipCode;       // of the local adapter and the first station
  int headerVersion;
  std::int32_t lastHeader;     // lastNetworkInfoHeader after the request
  std::uint8_t mmv;            // of the request sent
  std::int32_t firstType;      // deviceType of the first station
  const char* firstVersion;
  double firstRate;            // phy rate 151 in the answer
};

class AvDiscoveryTest : public test::SimulatedDiscoveryTest,
                        public ::testing::WithParamInterface<DiscoveryCase> {
 protected:
  AvDiscoveryTest() { d.state.local_adapter_is_av = 1; }
};

TEST_P(AvDiscoveryTest, RegistersListedStationsWithVersionAndRate) {
  const DiscoveryCase& c = GetParam();
  auto first = av_adapter(1, c.chipCode);
  first.phyRateMbps = 151;
  auto second = av_adapter(2, 1);
  second.versionText = "build QA-1000-X";  // text before the family prefix is dropped
  second.chipCode = 3;
  second.phyRateMbps = 76;
  auto mute = av_adapter(3, 1);
  mute.faults.silent = true;  // listed by the local adapter, answers nothing
  start(av_adapter(0, c.chipCode), {first, second, mute});
  vendor.header_version = c.headerVersion;

  EXPECT_EQ(discover_av_stations(d, net.transport.nicRecords[0].localMac.data()), 1);
  const auto requests = sent_vendor(mmtype::NETWORK_INFO);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0][14], c.mmv);
  EXPECT_EQ(d.state.lastNetworkInfoHeader, c.lastHeader);

  StationEntry* a = find_station_by_mac(d, first.mac.data());
  StationEntry* b = find_station_by_mac(d, second.mac.data());
  StationEntry* m = find_station_by_mac(d, mute.mac.data());
  ASSERT_TRUE(a && b && m);
  EXPECT_EQ(field(a->deviceType), c.firstType);
  EXPECT_EQ(fixed_text(a->firmwareVersion), c.firstVersion);
  EXPECT_EQ(field(a->rate.current), c.firstRate);
  EXPECT_EQ(field(b->deviceType), kDeviceAv);
  EXPECT_EQ(fixed_text(b->firmwareVersion), "QA-1400-X");
  EXPECT_EQ(field(b->rate.current), 100);
  // Registered, but nothing learnt from it.
  EXPECT_EQ(field(m->inUse), 1);
  EXPECT_EQ(field(m->sightings), 1);
  EXPECT_EQ(fixed_text(m->firmwareVersion), "");
  EXPECT_EQ(field(m->rate.current), 0);

  // A second round refreshes the same entries.
  discover_av_stations(d, net.transport.nicRecords[0].localMac.data());
  EXPECT_EQ(find_station_by_mac(d, first.mac.data()), a);
  EXPECT_EQ(field(a->sightings), 2);
}

INSTANTIATE_TEST_SUITE_P(
    HeaderForms, AvDiscoveryTest,
    ::testing::Values(DiscoveryCase{"short", 1, 0, 1, 0, kDeviceAv, "QA-1000-MAC-3-3-3312", 200},
                      DiscoveryCase{"long", 4, 4, 4, 1, kDeviceAv2400, "QB-2400-MAC-5-2-5214", 200},
                      DiscoveryCase{"chip5_short", 5, 5, 1, 0, kDeviceAv, "QB-2405-MAC-3-3-3312", 200}),
    [](const ::testing::TestParamInfo<DiscoveryCase>& p) { return std::string(p.param.name); });

class AvNetworkTest : public test::SimulatedDiscoveryTest {
 protected:
  AvNetworkTest() { d.state.local_adapter_is_av = 1; }
};

TEST_F(AvNetworkTest, AddingADeviceAsksInTheShortFormAndOtherFormsNotAtAll) {
  start(av_adapter(0, 4), {av_adapter(1, 4)});
  vendor.header_version = 7;
  discover_av_stations(d, av_adapter(0).mac.data());
  EXPECT_TRUE(sent_vendor(mmtype::NETWORK_INFO).empty());

  d.state.addingDevice = 1;
  vendor.header_version = 4;
  const MacAddress local = av_adapter(0).mac;
  EXPECT_EQ(send_vendor_request(d, local.data(), mmtype::NETWORK_INFO), 1);
  ASSERT_EQ(sent_vendor(mmtype::NETWORK_INFO).size(), 1u);
  EXPECT_EQ(sent_vendor(mmtype::NETWORK_INFO)[0][14], 0);
  EXPECT_EQ(d.state.lastNetworkInfoHeader, 1);
}

TEST_F(AvNetworkTest, StationAnswersIsTheLivenessTest) {
  auto mute = av_adapter(2);
  mute.faults.silent = true;
  start(av_adapter(0), {av_adapter(1), mute});
  EXPECT_TRUE(station_answers(d, av_adapter(1).mac.data()));
  EXPECT_FALSE(station_answers(d, mute.mac.data()));
}

// Short-form payload: count at 18, 15-byte entries from 19, rate in entry byte 13.
std::vector<std::uint8_t> short_payload(std::uint8_t count, const std::vector<MacAddress>& macs) {
  std::vector<std::uint8_t> payload(19, 0);
  payload[18] = count;
  for (const MacAddress& mac : macs) {
    std::vector<std::uint8_t> entry(15, 0);
    std::copy(mac.begin(), mac.end(), entry.begin());
    entry[13] = 151;
    payload.insert(payload.end(), entry.begin(), entry.end());
  }
  return payload;
}

TEST_F(AvNetworkTest, LocalAdapterBroadcastAndEntriesBeyondThePayloadAreSkipped) {
  start(av_adapter(0), {av_adapter(1), av_adapter(2)});
  const MacAddress local = av_adapter(0).mac;
  // The count promises 255 entries; four arrived.
  const auto payload = short_payload(255, {local, av_adapter(1).mac, kBroadcastMac, av_adapter(2).mac});
  EXPECT_EQ(register_av_stations(d, payload, NetworkInfoForm::Short), 2);

  std::vector<MacAddress> asked;
  for (const auto& frame : sent_vendor(mmtype::GET_VERSION)) asked.push_back(mac_at(frame.data()));
  EXPECT_EQ(asked, (std::vector<MacAddress>{av_adapter(1).mac, av_adapter(2).mac}));
  EXPECT_EQ(find_station_by_mac(d, local.data()), nullptr);
  EXPECT_EQ(find_station_by_mac(d, kBroadcastMac.data()), nullptr);
  EXPECT_EQ(field(find_station_by_mac(d, av_adapter(2).mac.data())->rate.current), 200);
  EXPECT_TRUE(is_zero_mac(block().stations[2].mac.data()));
}

TEST_F(AvNetworkTest, PayloadsTooShortForTheirHeaderRegisterNothing) {
  start(av_adapter(0), {av_adapter(1)});
  for (std::size_t length : {0u, 18u, 19u, 27u, 33u, 56u}) {
    std::vector<std::uint8_t> payload(length, 0xFF);  // a count of 255, broadcast entries
    EXPECT_EQ(register_av_stations(d, payload, NetworkInfoForm::Short), 0) << length;
    EXPECT_EQ(register_av_stations(d, payload, NetworkInfoForm::Long), 0) << length;
  }
  EXPECT_TRUE(sent_vendor(mmtype::GET_VERSION).empty());
}

// An adapter whose answer claims 255 stations in a frame holding two: a test responder,
// since the simulator always counts what it sends.
class OverclaimingAnswerTest : public test::DiscoveryTest {
 protected:
  const MacAddress local{0x00, 0xB0, 0x52, 0, 0, 0x01};
  const MacAddress stations[2] = {{0x00, 0xB0, 0x52, 0, 0, 0x02}, {0x00, 0xB0, 0x52, 0, 0, 0x03}};
  int versionRequests = 0;

  void SetUp() override {
    open_nics(1);
    net.transport.nicRecords[0].localMac = local;
    net.backend.attach("sim0", [this](std::span<const std::uint8_t> frame) {
      const std::uint16_t type = get_le16(frame.data() + 15);
      if (type == mmtype::NETWORK_INFO) arrive(0, network_info_answer(mac_at(frame.data() + 6)));
      if (type == mmtype::GET_VERSION) {
        versionRequests += 1;
        arrive(0, version_answer(mac_at(frame.data() + 6), mac_at(frame.data())));
      }
    });
  }
  std::vector<std::uint8_t> network_info_answer(const MacAddress& to) const {
    auto frame = test::make_frame(to, local, kEtherTypeHomePlugAv, 20);
    frame[15] = 0x39;
    frame[16] = 0xA0;
    frame[17] = 0x00, frame[18] = 0xB0, frame[19] = 0x52;
    const auto payload = short_payload(255, {stations[0], stations[1]});
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.resize(std::max<std::size_t>(frame.size(), 60), 0);
    return frame;
  }
  static std::vector<std::uint8_t> version_answer(const MacAddress& to, const MacAddress& from) {
    auto frame = test::make_frame(to, from, kEtherTypeHomePlugAv, 88);
    frame[15] = 0x01;
    frame[16] = 0xA0;
    frame[17] = 0x00, frame[18] = 0xB0, frame[19] = 0x52;
    frame[21] = 1;
    const std::string text = "QA-1000-X";
    frame[22] = static_cast<std::uint8_t>(text.size());
    std::copy(text.begin(), text.end(), frame.begin() + 23);
    return frame;
  }
};

TEST_F(OverclaimingAnswerTest, OnlyTheEntriesThatArrivedAreRegistered) {
  d.state.local_adapter_is_av = 1;
  discover_av_stations(d, local.data());
  EXPECT_EQ(versionRequests, 2);
  int listed = 0;
  for (const StationEntry& entry : block().stations) listed += entry.inUse;
  EXPECT_EQ(listed, 2);
  EXPECT_EQ(fixed_text(find_station_by_mac(d, stations[1].data())->firmwareVersion), "QA-1000-X");
}

}  // namespace
}  // namespace zv
