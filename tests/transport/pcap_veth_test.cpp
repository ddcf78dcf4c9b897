// The transport through real libpcap on a veth pair between two namespaces made here.

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "base/bytes.h"
#include "base/clock.h"
#include "support/memory_network.h"
#include "support/veth_network.h"
#include "transport/pcap_backend.h"
#include "transport/transport.h"

namespace zv {
namespace {

// The program side of a fresh veth pair, with the transport open on its only NIC.
class PcapVeth : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = test::VethNetwork::unavailable_reason();
    if (!why.empty()) GTEST_SKIP() << why;
    veth = std::make_unique<test::VethNetwork>();
    veth->enter_program_side();
    transport.open_all_nics();
    ASSERT_EQ(transport.nicCount, 1) << "only the veth end is an Ethernet interface here";
    ASSERT_NE(transport.captureSlots[0].handle, nullptr)
        << open_failure_text(transport.captureSlots[0].openFailure);
    peer = veth->open_peer_socket();
  }
  void TearDown() override {
    if (peer >= 0) close(peer);
    transport.close_all_nics();
  }

  std::unique_ptr<test::VethNetwork> veth;
  RealClock clock;
  RecordingNotice notice;
  PcapBackend backend;
  Transport transport{backend, clock, notice};
  int peer = -1;
};

TEST_F(PcapVeth, FilterPassesManagementFramesAndShortFramesArePadded) {
  const test::VethNetwork& net = *veth;
  EXPECT_EQ(transport.captureSlots[0].mac, net.programMac);
  auto ipv4 = test::make_frame(net.programMac, net.peerMac, 0x0800, 60);
  auto management = test::make_frame(net.programMac, net.peerMac, 0x88E1, 64);
  management[20] = 0x42;
  ASSERT_TRUE(test::raw_send(peer, ipv4.data(), ipv4.size()));
  ASSERT_TRUE(test::raw_send(peer, management.data(), management.size()));

  std::uint8_t buffer[1514];
  int length = 0;
  int received = 0;
  const auto deadline = clock.deadline_after_ms(500);
  while (!clock.reached(deadline)) {
    if (transport.poll_management_frame(buffer, length)) {
      ++received;
      EXPECT_EQ(get_be16(buffer + 12), 0x88E1);
      EXPECT_EQ(length, 64);
      EXPECT_EQ(buffer[20], 0x42);
      continue;
    }
    transport.pause(deadline);
  }
  EXPECT_EQ(received, 1) << "the IPv4 frame must not pass the filter";

  auto tiny = test::make_frame(net.peerMac, net.programMac, 0x887B, 17);
  tiny[16] = 0x99;
  ASSERT_EQ(transport.send_frame(0, tiny.data(), tiny.size()), 1);
  std::uint8_t got[1600];
  const long n = test::raw_receive(peer, got, sizeof got, 2000);
  ASSERT_EQ(n, 60);
  EXPECT_EQ(got[16], 0x99);
  for (int i = 17; i < 60; ++i) EXPECT_EQ(got[i], 0) << i;
}

TEST_F(PcapVeth, WaitWakesOnArrivalAndTimeOutsKeepTheirLength) {
  // Nothing arrives: a 50 ms wait lasts at least 50 ms and ends (generously bounded).
  const auto start = clock.now_us();
  EXPECT_EQ(transport.wait_for_self_addressed_frame(0, 50), 0);
  const auto waited = clock.now_us() - start;
  EXPECT_GE(waited, 50'000u);
  EXPECT_LT(waited, 5'000'000u);

  // A self-addressed answer from the adapter's side ends the wait and names the adapter.
  const MacAddress adapter{0x00, 0xB0, 0x52, 0x0A, 0x0B, 0x0C};
  auto echo = test::make_frame(adapter, adapter, 0x887B, 60);
  ASSERT_TRUE(test::raw_send(peer, echo.data(), echo.size()));
  EXPECT_EQ(transport.wait_for_self_addressed_frame(0, 2000), 1);
  EXPECT_EQ(transport.nicRecords[0].localMac, adapter);
}

}  // namespace
}  // namespace zv
