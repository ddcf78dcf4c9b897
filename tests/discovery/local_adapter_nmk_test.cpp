// Reading the local AV adapter's NMK from its parameter block, through the simulator.
#include "discovery/local_adapter_nmk.h"

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "scan_fixture.h"
#include "sim/parameter_block.h"
#include "sim_fixture.h"

namespace zv {
namespace {

constexpr NetworkKey kHeld{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                           0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xF0, 0x01};
constexpr NetworkKey kMarker{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
                             0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};

struct BlockCase {
  const char* name;
  std::size_t blockLength;  // 0: the factory block; else a block of this length (and length field)
  int result;
  bool nmkRead;
};

void PrintTo(const BlockCase& row, std::ostream* out) { *out << row.name; }

class LocalNmkTest : public test::SimulatedDiscoveryTest,
                     public ::testing::WithParamInterface<BlockCase> {};

TEST_P(LocalNmkTest, ReadsTheBlockAndTakesItsKeyWhenValid) {
  const BlockCase& c = GetParam();
  auto local = av_adapter(1);
  local.networkKey = kHeld;
  start(local, {});
  if (c.blockLength != 0) {
    auto block = sim::pib::make_factory_block("Study");
    block.resize(c.blockLength);
    put_le16(block.data() + sim::pib::kLengthField, static_cast<std::uint16_t>(c.blockLength));
    simulated->find(local.mac)->install_parameter_block(block);
  }

  NetworkKey nmk = kMarker;
  EXPECT_EQ(read_local_nmk(d, local.mac.data(), nmk), c.result);
  EXPECT_EQ(nmk, c.nmkRead ? kHeld : kMarker);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, LocalNmkTest,
    ::testing::Values(BlockCase{"FactoryBlock", 0, 1, true},
                      // Arrives whole but fails the length check: the key stays.
                      BlockCase{"WrongLength", 15000, 1, false},
                      // Longer than the buffer: the read stops.
                      BlockCase{"LongerThanTheBuffer", 16384, -1, false}),
    test::CaseName());

using LocalNmkFailureTest = test::SimulatedDiscoveryTest;

TEST_F(LocalNmkFailureTest, FailsWithoutAnswerOrSourceAddress) {
  auto local = av_adapter(1);
  local.faults.silent = true;
  start(local, {});
  NetworkKey nmk = kMarker;
  EXPECT_EQ(read_local_nmk(d, local.mac.data(), nmk), -1);

  net.transport.captureSlots[0].mac = kZeroMac;
  EXPECT_EQ(read_local_nmk(d, local.mac.data(), nmk), -1);
  EXPECT_EQ(nmk, kMarker);
}

}  // namespace
}  // namespace zv
