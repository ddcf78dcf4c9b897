#include "discovery/hp10_status.h"

#include <gtest/gtest.h>

#include "discovery/hp10_answers.h"
#include "discovery/hp10_frames.h"
#include "discovery_fixture.h"

namespace zv {
namespace {

using test::hp10_frame;

const MacAddress kAdapter{0x00, 0x50, 0xC2, 0x00, 0x00, 0x07};

// A local HomePlug 1.0 adapter reduced to what the probe meets: it announces itself with
// a 0x1A answer and answers status requests as `answer` says. (A test responder on the
// memory network: the probe's timing and nesting are what is tested here.)
class StatusProbeTest : public test::DiscoveryTest {
 protected:
  enum class Answer { Announce, SelfAddressedStatus };

  void start(Answer answer) {
    open_nics(1);
    net.backend.attach("sim0", [this, answer](std::span<const std::uint8_t> frame) {
      if (frame.size() < 18 || frame[15] != kEntryStatus) return;
      statusRequests += 1;
      net.backend.deliver("sim0", answer == Answer::Announce ? announcement() : status_answer());
    });
  }
  static std::vector<std::uint8_t> announcement() {
    auto frame = hp10_frame(kAdapter, kEntryNetworkStats, {3}, 187);  // kind 3, answer
    return frame;
  }
  static std::vector<std::uint8_t> status_answer() {
    std::vector<std::uint8_t> data(51, 0);
    data[0] = 1;
    for (std::size_t i = 1; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    auto frame = hp10_frame(kAdapter, kEntryStatus, data, 0x33);
    std::copy(kAdapter.begin(), kAdapter.end(), frame.begin());  // to itself
    return frame;
  }
  int statusRequests = 0;
};

TEST_F(StatusProbeTest, AnnouncementsDuringAProbeDoNotStartAnother) {
  start(Answer::Announce);
  arrive(0, announcement());
  process_hp10_answers(d);
  // Each request is answered by a further announcement; without the guard every one
  // would start a probe of its own, without end.
  EXPECT_EQ(statusRequests, 3);
  const NicRecord& record = net.transport.nicRecords[0];
  EXPECT_EQ(record.present, 1);
  EXPECT_EQ(record.adapterKind, kAdapterHomePlug10);
  EXPECT_EQ(record.localMac, kAdapter);
  EXPECT_EQ(record.missCount, 1);
  EXPECT_FALSE(d.state.statusProbeRunning[0]);
}

TEST_F(StatusProbeTest, ASelfAddressedStatusAnswerEndsTheProbe) {
  start(Answer::SelfAddressedStatus);
  net.transport.nicRecords[0].missCount = 2;
  arrive(0, announcement());
  process_hp10_answers(d);
  EXPECT_EQ(statusRequests, 1);
  const NicRecord& record = net.transport.nicRecords[0];
  EXPECT_EQ(record.statusValid, 1);
  EXPECT_EQ(record.statusBlock[49], 50);
  EXPECT_EQ(record.missCount, 1);  // cleared by the answer, then counted as a round
}

TEST_F(StatusProbeTest, NicWithoutAddressIsNotProbed) {
  net.backend.add_interface("sim0", kZeroMac);
  net.transport.open_all_nics();
  hp10_status_probe(d, 0);
  hp10_status_probe(d, 8);
  EXPECT_TRUE(net.backend.sent("sim0").empty());
}

TEST_F(StatusProbeTest, TheHookIsRemovedWithTheDiscovery) {
  EXPECT_TRUE(static_cast<bool>(net.transport.statusProbeHook));
  {
    test::MemoryNetwork other;
    VendorLayer otherVendor{other.transport};
    { Discovery scoped{other.transport, otherVendor, logs}; }
    EXPECT_FALSE(static_cast<bool>(other.transport.statusProbeHook));
  }
}

}  // namespace
}  // namespace zv
