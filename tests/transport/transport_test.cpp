#include "transport/transport.h"

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "support/memory_network.h"
#include "transport/frame_helpers.h"

namespace zv {
namespace {

using test::make_frame;

const MacAddress kAdapter{0x00, 0xB0, 0x52, 0x11, 0x22, 0x33};

class TransportTest : public ::testing::Test {
 protected:
  void open(int nics) {
    net.add_nics(nics);
    ASSERT_EQ(net.transport.open_all_nics(), 1);
    ASSERT_EQ(net.transport.nicCount, nics);
  }
  void arrive(int nic, const std::vector<std::uint8_t>& frame, bool bypassFilter = false) {
    net.backend.deliver("sim" + std::to_string(nic), frame, bypassFilter);
  }
  test::MemoryNetwork net;
  Transport& t = net.transport;
};

TEST_F(TransportTest, SendPadsShortFramesAndRefusesOversized) {
  open(1);
  auto frame = make_frame(kBroadcastMac, kAdapter, 0x887B, 17);
  std::fill(frame.begin() + 14, frame.end(), 0xEE);
  ASSERT_EQ(t.send_frame(0, frame.data(), frame.size()), 1);
  std::vector<std::uint8_t> big(1515, 0xAB);
  EXPECT_EQ(t.send_frame(0, big.data(), 1514), 1);
  EXPECT_EQ(t.send_frame(0, big.data(), 1515), 0);

  const auto& sent = net.backend.sent("sim0");
  ASSERT_EQ(sent.size(), 2u);
  ASSERT_EQ(sent[0].size(), 60u);
  EXPECT_TRUE(std::equal(frame.begin(), frame.end(), sent[0].begin()));
  EXPECT_TRUE(std::all_of(sent[0].begin() + 17, sent[0].end(), [](auto b) { return b == 0; }));
  EXPECT_EQ(sent[1].size(), 1514u);
  EXPECT_EQ(t.nicRecords[0].framesSent, 2u);
  EXPECT_EQ(t.nicRecords[0].bytesSent, 60u + 1514u);
}

TEST_F(TransportTest, SendOnNicWithoutHandleFailsQuietly) {
  std::uint8_t frame[60] = {};
  EXPECT_EQ(t.send_frame(0, frame, 60), 0);
  EXPECT_EQ(t.send_frame(9, frame, 60), 0);
  EXPECT_TRUE(net.notice.shown.empty());
}

TEST_F(TransportTest, CloseAllBeforeAnyEnumerationAndReopenIsNoop) {
  EXPECT_EQ(t.close_all_nics(), 1);
  open(1);
  CaptureHandle* before = t.captureSlots[0].handle.get();
  EXPECT_EQ(t.open_nic(0), 1);
  EXPECT_EQ(t.captureSlots[0].handle.get(), before);
  EXPECT_EQ(t.open_nic(3), 0);  // not listed
}

TEST_F(TransportTest, EnumerationKeepsEightAndReadsAddresses) {
  net.add_nics(10);
  t.open_all_nics();
  EXPECT_EQ(t.nicCount, 8);
  EXPECT_EQ(t.captureSlots[7].mac[5], 7);
  ASSERT_NE(t.nic_list_entry(7), nullptr);
  EXPECT_EQ(t.nic_list_entry(8), nullptr);
  EXPECT_EQ(t.nic_list_entry(-1), nullptr);
  t.currentNic = 3;
  std::uint8_t mac[6];
  t.nic_source_mac(mac);
  EXPECT_EQ(mac[5], 3);
}

TEST_F(TransportTest, OpenFailureKeepsTheReason) {
  net.backend.add_interface("eth0", {2, 0, 0, 0, 0, 1}, OpenFailure::NoPermission);
  t.open_all_nics();
  EXPECT_EQ(t.nicCount, 1);
  EXPECT_EQ(t.captureSlots[0].handle, nullptr);
  EXPECT_EQ(t.captureSlots[0].openFailure, OpenFailure::NoPermission);
}

TEST_F(TransportTest, ListingFailureLeavesNothingOpen) {
  net.add_nics(1);
  net.backend.fail_listing(true);
  t.open_all_nics();
  EXPECT_EQ(t.nicCount, 0);
  std::uint8_t buffer[1514];
  int length = 0;
  EXPECT_EQ(t.poll_management_frame(buffer, length), 0);
}

TEST_F(TransportTest, FilterKeepsOtherEtherTypesOffTheWire) {
  open(1);
  arrive(0, make_frame(kBroadcastMac, kAdapter, 0x0800));
  EXPECT_EQ(t.receive_frame(0), nullptr);
  arrive(0, make_frame(kBroadcastMac, kAdapter, 0x88E1));
  EXPECT_NE(t.receive_frame(0), nullptr);
}

TEST_F(TransportTest, PollFindsFrameOnLaterNicAndSkipsOtherEtherTypes) {
  open(3);
  arrive(0, make_frame(kBroadcastMac, kAdapter, 0x0800), /*bypassFilter=*/true);
  auto wanted = make_frame(kBroadcastMac, kAdapter, 0x88E1, 64);
  wanted[20] = 0x5A;
  arrive(2, wanted);
  std::uint8_t buffer[1514];
  int length = 0;
  ASSERT_EQ(t.poll_management_frame(buffer, length), 1);
  EXPECT_EQ(length, 64);
  EXPECT_EQ(buffer[20], 0x5A);
  EXPECT_EQ(t.lastFrameNic, 2);
  EXPECT_EQ(t.poll_management_frame(buffer, length), 0);
}

TEST_F(TransportTest, PollDropsRuntAndOversizedFrames) {
  open(1);
  arrive(0, std::vector<std::uint8_t>(13, 0x88), /*bypassFilter=*/true);
  arrive(0, make_frame(kBroadcastMac, kAdapter, 0x88E1, 200));
  std::uint8_t small[100];
  int length = 0;
  EXPECT_EQ(t.poll_management_frame(small, length), 0);
  EXPECT_EQ(t.poll_management_frame(small, length), 0);
  EXPECT_EQ(t.nicRecords[0].framesReceived, 1u);  // the runt never counts as a frame
}

TEST_F(TransportTest, ReceiveErrorDeliversNothingWithoutMessage) {
  open(1);
  arrive(0, make_frame(kBroadcastMac, kAdapter, 0x88E1));
  net.backend.fail_receive("sim0", true);
  EXPECT_EQ(t.receive_on_nic(0), nullptr);
  EXPECT_TRUE(net.notice.shown.empty());
}

// The snoop's rules, one row each: frame bytes 15 and 17, whether it is self-addressed,
// and what the NIC record shows afterwards.
struct SnoopCase {
  const char* name;
  std::uint16_t etherType;
  bool selfAddressed;
  std::uint8_t byte15, byte17;
  bool storesMac;
  std::int32_t present;
  std::int32_t kind;
  int probes;
};

void PrintTo(const SnoopCase& row, std::ostream* out) { *out << row.name; }

class SnoopTest : public TransportTest, public ::testing::WithParamInterface<SnoopCase> {};

TEST_P(SnoopTest, AppliesRule) {
  const SnoopCase& c = GetParam();
  open(1);
  int probes = 0;
  t.statusProbeHook = [&](int nic) {
    EXPECT_EQ(nic, 0);
    ++probes;
  };
  auto frame = make_frame(c.selfAddressed ? kAdapter : kBroadcastMac, kAdapter, c.etherType);
  frame[15] = c.byte15;
  frame[17] = c.byte17;
  arrive(0, frame);
  ASSERT_NE(t.receive_on_nic(0), nullptr);
  EXPECT_EQ(t.selfAddressedSeen, c.selfAddressed ? 1 : 0);
  EXPECT_EQ(t.nicRecords[0].localMac, c.storesMac ? kAdapter : kZeroMac);
  EXPECT_EQ(t.nicRecords[0].present, c.present);
  EXPECT_EQ(t.nicRecords[0].adapterKind, c.kind);
  EXPECT_EQ(probes, c.probes);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SnoopTest,
    ::testing::Values(
        SnoopCase{"SelfAddressedHp10", 0x887B, true, 0x08, 0x00, true, 1, 0, 0},
        SnoopCase{"PresenceBit7Set", 0x887B, false, 0x1A, 0x85, false, 0, 0, 0},
        SnoopCase{"PresenceAvKindClearsPresent", 0x887B, false, 0x1A, 0x04, true, 0, 4, 0},
        SnoopCase{"PresenceHp10RunsProbe", 0x887B, false, 0x1A, 0x03, true, 1, 3, 1},
        SnoopCase{"PresenceTurboRunsProbe", 0x887B, false, 0x1A, 0x02, true, 1, 2, 1},
        SnoopCase{"Type1EStoresMac", 0x887B, false, 0x1E, 0x10, true, 1, 0, 0},
        SnoopCase{"AvEtherTypeTestedToo", 0x88E1, false, 0x1E, 0x00, true, 1, 0, 0},
        SnoopCase{"OrdinaryFrame", 0x88E1, false, 0x00, 0x00, false, 0, 0, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(TransportTest, SnoopKeepsStatusBlockAndDeliversTheOriginalFrameAfterProbe) {
  open(1);
  auto status = make_frame(kBroadcastMac, kAdapter, 0x887B, 68);
  status[15] = 0x19;
  status[16] = 0x33;
  status[17] = 1;
  for (int i = 0; i < 50; ++i) status[18 + i] = static_cast<std::uint8_t>(i + 1);
  arrive(0, status);
  ASSERT_NE(t.receive_on_nic(0), nullptr);
  EXPECT_EQ(t.nicRecords[0].statusValid, 1);
  EXPECT_EQ(t.nicRecords[0].statusBlock[0], 1);
  EXPECT_EQ(t.nicRecords[0].statusBlock[49], 50);

  // A short status answer: what lies beyond the frame reads as zero.
  auto shortStatus = make_frame(kBroadcastMac, kAdapter, 0x887B, 20);
  shortStatus[15] = 0x19;
  shortStatus[16] = 0x33;
  shortStatus[17] = 1;
  shortStatus[18] = 0x77;
  arrive(0, shortStatus, true);
  ASSERT_NE(t.receive_on_nic(0), nullptr);
  EXPECT_EQ(t.nicRecords[0].statusBlock[0], 0x77);
  EXPECT_EQ(t.nicRecords[0].statusBlock[2], 0);

  // The probe receives frames of its own; the caller still gets the announcing frame.
  auto announce = make_frame(kBroadcastMac, kAdapter, 0x887B, 60);
  announce[15] = 0x1A;
  announce[17] = 0x03;
  t.statusProbeHook = [&](int) {
    arrive(0, make_frame(kBroadcastMac, kAdapter, 0x887B, 90));
    EXPECT_NE(t.receive_on_nic(0), nullptr);
  };
  arrive(0, announce);
  const ReceivedFrame* frame = t.receive_on_nic(0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->length, 60);
  EXPECT_EQ(frame->data[15], 0x1A);
}

TEST_F(TransportTest, WaitForSelfAddressedFrame) {
  open(1);
  auto echo = make_frame(kAdapter, kAdapter, 0x887B);
  net.clock.schedule_after_us(30'000, [&] { arrive(0, echo); });
  const auto start = net.clock.now_us();
  EXPECT_EQ(t.wait_for_self_addressed_frame(0, 50), 1);
  EXPECT_EQ(net.clock.now_us() - start, 30'000u);  // woke with the frame, not later
  EXPECT_EQ(t.nicRecords[0].localMac, kAdapter);
  EXPECT_EQ(t.nicRecords[0].present, 1);
  EXPECT_EQ(t.selfAddressedSeen, 0);

  arrive(0, make_frame(kBroadcastMac, kAdapter, 0x887B));  // not self-addressed
  const auto again = net.clock.now_us();
  EXPECT_EQ(t.wait_for_self_addressed_frame(0, 50), 0);
  EXPECT_EQ(net.clock.now_us() - again, 50'000u);
}

TEST_F(TransportTest, DelayAndPauseKeepTheirDeadlines) {
  open(1);
  auto start = net.clock.now_us();
  t.delay_ms(20);
  EXPECT_EQ(net.clock.now_us() - start, 20'000u);

  start = net.clock.now_us();
  t.pause(start + 50'000);
  EXPECT_EQ(net.clock.now_us() - start, 1'000u);  // one step of at most 1 ms
  start = net.clock.now_us();
  t.pause(start + 300);
  EXPECT_EQ(net.clock.now_us() - start, 300u);  // never past the deadline
}

TEST(FrameHelpers, Hp10HeaderAndKeyWidths) {
  std::uint8_t frame[20];
  std::fill(std::begin(frame), std::end(frame), 0xCC);
  build_hp10_header(frame, kAdapter.data(), kBroadcastMac.data());
  const std::uint8_t expected[17] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xB0, 0x52,
                                     0x11, 0x22, 0x33, 0x88, 0x7B, 0, 0, 0};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), frame));
  EXPECT_EQ(frame[17], 0xCC);

  std::uint8_t key[16];
  std::uint8_t source[16];
  for (int i = 0; i < 16; ++i) source[i] = static_cast<std::uint8_t>(i + 1);
  std::fill(std::begin(key), std::end(key), 0);
  copy_key(key, source, /*localAdapterIsAv=*/false);
  EXPECT_EQ(key[7], 8);
  EXPECT_EQ(key[8], 0);
  copy_key(key, source, true);
  EXPECT_EQ(key[15], 16);
}

TEST_F(TransportTest, AdapterKindTextCoversTheTable) {
  open(1);
  const char* texts[] = {"Adapter", "USB", "HomePlug Turbo Device", "HomePlug 1.0 Device",
                         "1x00 电力线以太网适配器", "2400 电力线以太网适配器"};
  for (int kind = 0; kind < 6; ++kind) {
    t.nicRecords[0].adapterKind = kind;
    EXPECT_STREQ(t.adapter_kind_text(0), texts[kind]);
  }
  t.nicRecords[0].adapterKind = 99;
  EXPECT_STREQ(t.adapter_kind_text(0), "Adapter");
}

}  // namespace
}  // namespace zv
