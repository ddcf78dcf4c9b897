// HomePlug AV transfers: the parameter block read in chunks, and the write paths
// (modules with COMMIT_MODULES, memory with START_IMAGE), with what the adapter kept.

#include <gtest/gtest.h>

#include "maintenance/pib_checker.h"
#include "sim/sim_keys.h"
#include "sim_test_support.h"

namespace zv::sim::test {
namespace {

constexpr std::uint16_t kReadModule = 0xA024, kWriteModule = 0xA020, kWriteMemory = 0xA004,
                        kCommitModules = 0xA028, kStartImage = 0xA00C;

Bytes read_request(std::uint8_t module, std::uint16_t length, std::uint32_t offset) {
  Bytes p{module, 0x00};
  append_le(p, length, 2);
  append_le(p, offset, 4);
  return vendor_request(kLocalMac, kPcMac, kReadModule, p);
}

// Reads a module the way the program does: 1024 at a time, the total from the block's own
// length field. Every chunk's checksum must hold.
Bytes read_parameter_block(SimulatedWire& wire, int* chunks = nullptr) {
  Bytes block;
  std::size_t total = 1024;
  int count = 0;
  while (block.size() < total) {
    const auto want = static_cast<std::uint16_t>(std::min<std::size_t>(1024, total - block.size()));
    const auto answers = wire.exchange(read_request(2, want, static_cast<std::uint32_t>(block.size())));
    EXPECT_EQ(answers.size(), 1u);
    if (answers.size() != 1) return {};
    const Bytes& a = answers[0];
    EXPECT_EQ(le16(a, 15), 0xA025);
    EXPECT_EQ(a[20], 0);
    EXPECT_EQ(a[24], 2);
    EXPECT_EQ(le32(a, 28), block.size());
    const std::uint16_t n = le16(a, 26);
    EXPECT_EQ(n, want);
    EXPECT_EQ(xor_checksum(a.data() + 36, n), le32(a, 32)) << "chunk at " << block.size();
    block.insert(block.end(), a.begin() + 36, a.begin() + 36 + n);
    if (block.size() == n) total = le16(block, 4);
    ++count;
  }
  if (chunks) *chunks = count;
  return block;
}

Bytes write_module_request(std::uint8_t module, const Bytes& data, std::size_t offset, std::size_t length) {
  Bytes p{module, 0x00};
  append_le(p, static_cast<std::uint32_t>(length), 2);
  append_le(p, static_cast<std::uint32_t>(offset), 4);
  append_le(p, xor_checksum(data.data() + offset, length), 4);
  p.insert(p.end(), data.begin() + static_cast<std::ptrdiff_t>(offset),
           data.begin() + static_cast<std::ptrdiff_t>(offset + length));
  return vendor_request(kLocalMac, kPcMac, kWriteModule, p);
}

AdapterConfig local_adapter() { return default_adapter(Family::HomePlugAv, kLocalMac); }

TEST(AvTransfer, ParameterBlockReadsBackWithMacAndCurrentNmk) {
  SimulatedWire wire(one_nic(local_adapter()));
  const Key nmk = av_network_key("Private-Net-1");
  wire.adapter(kLocalMac).set_network_key(nmk);
  int chunks = 0;
  Bytes block = read_parameter_block(wire, &chunks);
  ASSERT_EQ(block.size(), 15560u);
  EXPECT_EQ(chunks, 16);
  EXPECT_EQ(block[0], 4);
  EXPECT_EQ(block[1], 4);
  EXPECT_EQ(mac_in(block, 12), kLocalMac);
  EXPECT_TRUE(std::equal(nmk.begin(), nmk.end(), block.begin() + 100));
  EXPECT_EQ(xor_checksum(block.data(), block.size()), 0u);  // the word at 8 completes it
  // The program's checker agrees that every value is in range.
  PibChecker checker;
  EXPECT_EQ(checker.pib_validate(block), kPibOk);
}

TEST(AvTransfer, FirmwareImageStartsWithAValidHeader) {
  SimulatedWire wire(one_nic(local_adapter()));
  const auto answers = wire.exchange(read_request(1, 44, 0));
  ASSERT_EQ(answers.size(), 1u);
  ASSERT_EQ(le16(answers[0], 26), 44);
  EXPECT_EQ(xor_checksum(answers[0].data() + 36, 44), 0u);
  EXPECT_NE(le32(answers[0], 36 + 36), 0u);  // another image follows
}

TEST(AvTransfer, ModuleWriteKeepsTheBlockAndCommitPutsItInUse) {
  SimulatedWire wire(one_nic(local_adapter()));
  Bytes block = read_parameter_block(wire);
  ASSERT_EQ(block.size(), 15560u);
  const Key nmk = av_network_key("Written-Net");
  std::copy(nmk.begin(), nmk.end(), block.begin() + 100);
  for (std::size_t offset = 0; offset < block.size(); offset += 1024) {
    const std::size_t n = std::min<std::size_t>(1024, block.size() - offset);
    const auto answers = wire.exchange(write_module_request(2, block, offset, n));
    ASSERT_EQ(answers.size(), 1u);
    const Bytes& a = answers[0];
    EXPECT_EQ(le16(a, 15), 0xA021);
    EXPECT_EQ(a[20], 0);
    EXPECT_EQ(a[21], 2);
    EXPECT_EQ(le16(a, 23), n);
    EXPECT_EQ(le32(a, 25), offset);
  }
  EXPECT_EQ(wire.adapter(kLocalMac).writes().modules.at(2), block);
  const auto commit = wire.exchange(vendor_request(kLocalMac, kPcMac, kCommitModules, {0x02}));
  ASSERT_EQ(commit.size(), 1u);
  EXPECT_EQ(le16(commit[0], 15), 0xA029);
  EXPECT_EQ(commit[0][20], 0);
  EXPECT_EQ(wire.adapter(kLocalMac).network_key(), nmk);
}

TEST(AvTransfer, BadChunkChecksumIsRefusedAndNothingKept) {
  SimulatedWire wire(one_nic(local_adapter()));
  const Bytes data(3000, 0x5A);
  Bytes request = write_module_request(2, data, 0, 1024);
  request[28] ^= 0xFF;
  const auto answers = wire.exchange(request);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_NE(answers[0][20], 0);
  EXPECT_TRUE(wire.adapter(kLocalMac).writes().modules[2].empty());
}

TEST(AvTransfer, ErrorStatusOnTheKthChunkThenTheRetryIsTaken) {
  AdapterConfig local = local_adapter();
  local.faults.errorOnChunk = 2;
  local.faults.errorStatus = 0x30;
  SimulatedWire wire(one_nic(local));
  const Bytes data(3000, 0x11);
  std::vector<std::uint8_t> statuses;
  for (std::size_t offset : {0, 1024, 1024, 2048}) {
    const auto answers = wire.exchange(write_module_request(2, data, offset, std::min<std::size_t>(1024, 3000 - offset)));
    ASSERT_EQ(answers.size(), 1u);
    statuses.push_back(answers[0][20]);
  }
  EXPECT_EQ(statuses, (std::vector<std::uint8_t>{0, 0x30, 0, 0}));
  EXPECT_EQ(wire.adapter(kLocalMac).writes().modules.at(2), data);
}

TEST(AvTransfer, MemoryWriteThenStartImage) {
  SimulatedWire wire(one_nic(local_adapter()));
  const std::uint32_t load = 0x01000000;
  Bytes image(1500);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
  for (std::size_t offset = 0; offset < image.size(); offset += 1024) {
    const std::size_t n = std::min<std::size_t>(1024, image.size() - offset);
    Bytes p;
    append_le(p, load + static_cast<std::uint32_t>(offset), 4);
    append_le(p, static_cast<std::uint32_t>(n), 4);
    p.insert(p.end(), image.begin() + static_cast<std::ptrdiff_t>(offset),
             image.begin() + static_cast<std::ptrdiff_t>(offset + n));
    const auto answers = wire.exchange(vendor_request(kLocalMac, kPcMac, kWriteMemory, p));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(le16(answers[0], 15), 0xA005);
    EXPECT_EQ(answers[0][20], 0);
    EXPECT_EQ(le32(answers[0], 21), load + offset);
    EXPECT_EQ(le32(answers[0], 25), n);
  }
  EXPECT_EQ(read_memory(wire.adapter(kLocalMac).writes(), load, image.size()), image);

  auto start = [&](std::uint32_t length) {
    Bytes p{0x01, 0x00, 0x00, 0x00};
    append_le(p, load, 4);
    append_le(p, length, 4);
    append_le(p, 0x11111111, 4);
    append_le(p, 0x22222222, 4);
    const auto answers = wire.exchange(vendor_request(kLocalMac, kPcMac, kStartImage, p));
    EXPECT_EQ(answers.size(), 1u);
    EXPECT_EQ(le16(answers.at(0), 15), 0xA00D);
    return answers.at(0)[20];
  };
  EXPECT_NE(start(4000), 0);  // more than was written
  EXPECT_EQ(start(1500), 0);
  ASSERT_EQ(wire.adapter(kLocalMac).writes().started.size(), 1u);
  EXPECT_EQ(wire.adapter(kLocalMac).writes().started[0].word5, 0x22222222u);
}

}  // namespace
}  // namespace zv::sim::test
