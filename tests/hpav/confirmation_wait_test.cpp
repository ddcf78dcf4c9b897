// Waiting for an answer on the in-memory transport and the virtual clock.
#include <gtest/gtest.h>

#include <vector>

#include "hpav/hpav_test_support.h"
#include "hpav/vendor_layer.h"
#include "support/memory_network.h"

namespace zv {
namespace {

using test::vendor_frame;
using Bytes = std::vector<std::uint8_t>;

Bytes answer(std::uint16_t type, std::uint8_t status, std::size_t length = 60, bool longHeader = false) {
  Bytes frame = vendor_frame(type, length, longHeader);
  if (length > 20 && !longHeader) frame[20] = status;
  return frame;
}

class WaitTest : public ::testing::Test {
 protected:
  WaitTest() {
    net.add_nics(1);
    net.transport.open_all_nics();
  }
  void arrive(const Bytes& frame) { net.backend.deliver("sim0", frame); }

  test::MemoryNetwork net;
  VendorLayer layer{net.transport};
  VendorResult result;
};

struct WaitCase {
  const char* name;
  std::vector<Bytes> frames;
  bool accepted;
  std::uint16_t acceptedType;
};

class WaitForSetKey : public WaitTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(WaitForSetKey, AcceptsOnlyAGoodAnswerToTheRequest) {
  for (const Bytes& frame : GetParam().frames) arrive(frame);
  layer.confirmation_seen = 0;
  EXPECT_EQ(layer.wait_confirmation(mmtype::SET_KEY, result), GetParam().accepted);
  EXPECT_EQ(layer.confirmation_seen, GetParam().accepted ? 1 : 0);
  if (GetParam().accepted) {
    EXPECT_EQ(result.mmtype, GetParam().acceptedType);
    EXPECT_EQ(result.status, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, WaitForSetKey,
    ::testing::Values(
        WaitCase{"its_confirmation", {answer(0xA051, 0)}, true, 0xA051},
        WaitCase{"commit_confirmation", {answer(0xA029, 0)}, true, 0xA029},
        WaitCase{"device_refused", {answer(0xA051, 0x30)}, false, 0},
        WaitCase{"refusal_then_success", {answer(0xA051, 0x30), answer(0xA051, 0)}, true, 0xA051},
        WaitCase{"other_answers_skipped", {answer(0xA001, 0, 100), answer(0xA07D, 0), answer(0xA051, 0)}, true, 0xA051},
        WaitCase{"someone_elses_answer", {answer(0xA001, 0, 100)}, false, 0},
        // Too short to carry a status byte: refused, so not taken for a success.
        WaitCase{"commit_too_short", {answer(0xA029, 0, 21)}, false, 0},
        WaitCase{"own_request_echoed", {answer(0xA050, 0)}, false, 0}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(WaitTest, NetworkInfoAnswerFollowsTheHeaderVersion) {
  const Bytes longAnswer = vendor_frame(0xA039, 200, true);
  arrive(longAnswer);
  EXPECT_FALSE(layer.wait_confirmation(mmtype::NETWORK_INFO, result));

  layer.header_version = 4;
  arrive(longAnswer);
  EXPECT_TRUE(layer.wait_confirmation(mmtype::NETWORK_INFO, result));
  EXPECT_EQ(result.resultKind, ResultKind::NetworkInfo);

  arrive(vendor_frame(0xA039, 200));  // the short form is for other chips only
  EXPECT_FALSE(layer.wait_confirmation(mmtype::NETWORK_INFO, result));
  arrive(answer(0xA001, 0, 100));     // and the long form only for NETWORK_INFO
  EXPECT_TRUE(layer.wait_confirmation(mmtype::GET_VERSION, result));
}

TEST_F(WaitTest, WaitsUpToAHundredMilliseconds) {
  net.clock.schedule_after_us(60'000, [&] { arrive(answer(0xA001, 0, 100)); });
  EXPECT_TRUE(layer.wait_confirmation(mmtype::GET_VERSION, result));

  const std::uint64_t start = net.clock.now_us();
  net.clock.schedule_after_us(150'000, [&] { arrive(answer(0xA001, 0, 100)); });
  EXPECT_FALSE(layer.wait_confirmation(mmtype::GET_VERSION, result));
  EXPECT_GE(net.clock.now_us() - start, 100'000u);
  EXPECT_LT(net.clock.now_us() - start, 150'000u);
}

TEST_F(WaitTest, ReceiveDoesNotWait) {
  net.clock.schedule_after_us(1'000, [&] { arrive(answer(0xA001, 0, 100)); });
  EXPECT_FALSE(layer.receive_confirmation(mmtype::GET_VERSION, result));
}

TEST_F(WaitTest, FramesPassedOverAreStillDecoded) {
  arrive(answer(0xA062, 0));  // a device event on the way
  arrive(answer(0xA001, 0, 100));
  ASSERT_TRUE(layer.wait_confirmation(mmtype::GET_VERSION, result));
  Bytes frame(kRequestCapacity);
  ASSERT_EQ(layer.build_next_frame(frame.size(), frame.data()), 64u);
  EXPECT_EQ(frame[15], 0x63);  // its response is queued
}

}  // namespace
}  // namespace zv
