// Faults on demand, through the in-process binding and the virtual clock.

#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace zv::sim::test {
namespace {

Bytes get_version() { return vendor_request(kLocalMac, kPcMac, 0xA000); }

TEST(Faults, DelayedAnswerArrivesAtItsVirtualTime) {
  AdapterConfig local = default_adapter(Family::HomePlugAv, kLocalMac);
  local.faults.delayMs = 30;
  SimulatedWire wire(one_nic(local));
  EXPECT_TRUE(wire.exchange(get_version(), 29).empty());
  wire.net.clock.sleep_us(1000);
  const ReceivedFrame* answer = wire.net.transport.receive_frame(0);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer->data[15], 0x01);
}

TEST(Faults, DroppedShareIsReproducibleAndStateStillChanges) {
  AdapterConfig local = default_adapter(Family::HomePlugAv, kLocalMac);
  local.faults.dropShare = 0.5;
  auto count_answers = [&] {
    SimulatedWire wire(one_nic(local));
    int answered = 0;
    for (int i = 0; i < 200; ++i) answered += static_cast<int>(wire.exchange(get_version()).size());
    return answered;
  };
  const int first = count_answers();
  EXPECT_GT(first, 50);
  EXPECT_LT(first, 150);
  EXPECT_EQ(count_answers(), first);

  local.faults.dropShare = 1.0;
  SimulatedWire wire(one_nic(local));
  EXPECT_TRUE(wire.exchange(vendor_request(kLocalMac, kPcMac, 0xA07C)).empty());
  EXPECT_EQ(wire.adapter(kLocalMac).writes().restoreDefaults, 1u);
}

TEST(Faults, SilentLocalAdapterPassesNothingOn) {
  AdapterConfig local = default_adapter(Family::HomePlugAv, kLocalMac);
  local.faults.silent = true;
  SimulatedWire wire(one_nic(local, {default_adapter(Family::HomePlugAv, kStationA)}));
  EXPECT_TRUE(wire.exchange(get_version()).empty());
  EXPECT_TRUE(wire.exchange(vendor_request(kStationA, kPcMac, 0xA000)).empty());
}

}  // namespace
}  // namespace zv::sim::test
