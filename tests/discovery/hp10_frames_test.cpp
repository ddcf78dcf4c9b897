#include "discovery/hp10_frames.h"

#include <gtest/gtest.h>

#include <functional>

#include "discovery_fixture.h"

namespace zv {
namespace {

const MacAddress kLocal{0x00, 0x04, 0x87, 0x00, 0x00, 0x01};
const MacAddress kNic{0x02, 0, 0, 0, 0, 0};  // sim0

struct SenderCase {
  const char* name;
  std::function<int(Transport&)> send;
  MacAddress destination;
  std::size_t wireLength;                 // after padding to 60
  std::vector<std::uint8_t> entry;        // bytes from offset 14 on; zeros after them
};

class Hp10SenderTest : public test::DiscoveryTest,
                       public ::testing::WithParamInterface<SenderCase> {};

TEST_P(Hp10SenderTest, WritesTheEntryAndNothingElse) {
  const SenderCase& c = GetParam();
  open_nics(1);
  d.current_nic().localMac = kLocal;
  ASSERT_EQ(c.send(net.transport), 1);
  const auto& sent = net.backend.sent("sim0");
  ASSERT_EQ(sent.size(), 1u);
  const auto& frame = sent[0];
  ASSERT_EQ(frame.size(), c.wireLength);
  EXPECT_TRUE(std::equal(c.destination.begin(), c.destination.end(), frame.begin()));
  EXPECT_TRUE(std::equal(kNic.begin(), kNic.end(), frame.begin() + 6));
  EXPECT_EQ(frame[12], 0x88);
  EXPECT_EQ(frame[13], 0x7B);
  std::vector<std::uint8_t> expected = c.entry;
  expected.resize(frame.size() - 14, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 14, frame.end()), expected);
}

const std::uint8_t kNone[] = {0};

INSTANTIATE_TEST_SUITE_P(
    Entries, Hp10SenderTest,
    ::testing::Values(
        SenderCase{"statistics",
                   [](Transport& tr) { return send_statistics_request(tr, 0, kNic.data(), kBroadcastMac.data()); },
                   kBroadcastMac, 60, {0x01, 0x07, 0x00}},
        SenderCase{"status",
                   [](Transport& tr) {
                     return send_status_request(tr, 0, kNic.data(), kBroadcastMac.data(), 16);
                   },
                   kBroadcastMac, 60, {0x01, 0x19, 0x0F, 0x10}},
        SenderCase{"network_stats",
                   [](Transport& tr) { return send_network_stats_request(tr, 0, kNic.data(), kBroadcastMac.data()); },
                   kBroadcastMac, 60, {0x01, 0x1A, 0xBB, 0x80}},
        SenderCase{"turbo_rates",
                   [](Transport& tr) { return send_turbo_request(tr, kLocal.data(), 0x18, kNone, 1); },
                   kLocal, 60, {0x01, 0x02, 0x05, 0x00, 0x04, 0x87, 0x18, 0x00}},
        SenderCase{"turbo_query",
                   [](Transport& tr) { return send_turbo_query(tr, 0x21); },
                   kLocal, 272, {0x01, 0x12, 0x01, 0x21}}),
    [](const ::testing::TestParamInfo<SenderCase>& p) { return std::string(p.param.name); });

using Hp10SenderAddressTest = test::DiscoveryTest;

TEST_F(Hp10SenderAddressTest, CurrentNicSendersNeedTheNicsOwnAddress) {
  net.backend.add_interface("sim0", kZeroMac);
  net.transport.open_all_nics();
  EXPECT_EQ(send_turbo_query(net.transport, 0x20), 0);
  EXPECT_EQ(send_turbo_request(net.transport, kBroadcastMac.data(), 0x10, kNone, 1), 0);
  EXPECT_TRUE(net.backend.sent("sim0").empty());
}

}  // namespace
}  // namespace zv
