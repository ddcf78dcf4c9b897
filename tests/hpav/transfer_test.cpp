// Transfers driven end to end against a fake device on the in-memory backend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "base/bytes.h"
#include "hpav/hpav_test_support.h"
#include "hpav/vendor_checksum.h"
#include "hpav/vendor_layer.h"
#include "support/memory_network.h"

namespace zv {
namespace {

using test::image_file;
using test::kDevice;
using test::kPc;
using test::parameter_block;
using Bytes = std::vector<std::uint8_t>;

class TransferTest : public ::testing::Test {
 protected:
  TransferTest() {
    net.add_nics(1);
    net.transport.open_all_nics();
    net.backend.attach("sim0", [this](std::span<const std::uint8_t> request) {
      if (eventBefore.count(device.requests.size()) != 0)
        net.backend.deliver("sim0", test::vendor_frame(mmtype::DEVICE_EVENT, 60));
      const Bytes answer = device.answer(request);
      if (!answer.empty()) net.backend.deliver("sim0", answer);
    });
  }

  bool send_queued() {
    const std::size_t length = layer.build_next_frame(frame.size(), frame.data());
    if (length == 0) return false;
    net.transport.send_frame(0, frame.data(), length);
    return true;
  }
  std::uint16_t sent_type() const { return get_le16(frame.data() + 15); }

  // The upgrade's loop: send the queued frame, take the confirmation of that request,
  // until the transfer reports itself finished.
  bool run_write() {
    for (int guard = 0; guard < 500; ++guard) {
      if (!send_queued() || !layer.receive_confirmation(sent_type(), result)) return false;
      if (result.progressState == ProgressState::Finished) return true;
    }
    return false;
  }

  // The parameter-block read's loop: chunks appended until the last one.
  bool run_read(Bytes& collected) {
    for (int guard = 0; guard < 500; ++guard) {
      if (!send_queued() || !layer.receive_confirmation(mmtype::READ_MODULE, result)) return false;
      const auto chunk = read_chunk(result);
      collected.insert(collected.end(), chunk.begin(), chunk.end());
      if (read_is_last_chunk(result) && result.progressState == ProgressState::Finished) return true;
    }
    return false;
  }

  // Sends whatever is queued and decodes every answer, as long as something is queued;
  // returns what the last decode said.
  std::pair<int, int> drive() {
    std::pair<int, int> last{0, 0};
    Bytes received(kReceiveBufferSize);
    for (int guard = 0; guard < 500 && send_queued(); ++guard) {
      int length = 0;
      while (net.transport.poll_management_frame(received, length)) {
        errno = 0;
        last.first = layer.decode_confirmation(static_cast<std::size_t>(length), received.data(), result, 0);
        last.second = errno;
      }
    }
    return last;
  }

  // (offset, length) of every READ_MODULE asked for module `module`.
  std::vector<std::pair<std::uint32_t, std::uint16_t>> reads_of(std::uint8_t module) const {
    std::vector<std::pair<std::uint32_t, std::uint16_t>> reads;
    for (const Bytes& r : device.requests_of(mmtype::READ_MODULE))
      if (r[20] == module) reads.emplace_back(get_le32(r.data() + 24), get_le16(r.data() + 22));
    return reads;
  }

  bool idle() const { return layer.transferState.flags == 0 && !layer.transferState.pending.ready; }

  test::MemoryNetwork net;
  test::FakeDevice device;
  std::set<std::size_t> eventBefore;  // requests whose answer a DEVICE_EVENT precedes
  VendorLayer layer{net.transport};
  VendorResult result;
  Bytes frame = Bytes(kRequestCapacity);
};

// --- writes ---

TEST_F(TransferTest, ParameterBlockOnTheModulePathGoesInThreeChunks) {
  const Bytes block = parameter_block(3000, 3000);
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), 0, nullptr, 3000, block.data(), 0x20), 0);
  ASSERT_TRUE(run_write());

  const auto writes = device.requests_of(mmtype::WRITE_MODULE);
  ASSERT_EQ(writes.size(), 3u);
  const std::uint32_t offsets[] = {0, 1024, 2048};
  const std::uint16_t lengths[] = {1024, 1024, 952};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const Bytes& w = writes[i];
    EXPECT_TRUE(std::equal(kDevice.begin(), kDevice.end(), w.begin()));
    EXPECT_TRUE(std::equal(kPc.begin(), kPc.end(), w.begin() + 6));
    EXPECT_EQ(w.size(), 32u + lengths[i]);
    EXPECT_EQ(w[20], 2);
    EXPECT_EQ(get_le16(w.data() + 22), lengths[i]);
    EXPECT_EQ(get_le32(w.data() + 24), offsets[i]);
    EXPECT_EQ(get_le32(w.data() + 28), vendor_checksum(block.data() + offsets[i], lengths[i] / 4, 0));
  }
  EXPECT_EQ(device.modules[2], block);
  const auto commits = device.requests_of(mmtype::COMMIT_MODULES);
  ASSERT_EQ(commits.size(), 1u);
  EXPECT_EQ(commits[0][20], 2);
  EXPECT_EQ(result.mmtype, 0xA029);
  EXPECT_EQ(result.resultKind, ResultKind::WriteTransfer);
  EXPECT_TRUE(idle());
}

struct ModulePathCase {
  std::uint32_t options;
  bool withImage;
  std::uint8_t moduleSet;  // what COMMIT_MODULES carries
};

class ModulePathWrite : public TransferTest, public ::testing::WithParamInterface<ModulePathCase> {};

TEST_P(ModulePathWrite, WritesImageThenBlockAndCommits) {
  const Bytes image = image_file({{0x1000, 1500, 0, 0}});
  const Bytes block = parameter_block(1100, 1100);
  const auto& c = GetParam();
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), static_cast<std::uint32_t>(image.size()),
                                     c.withImage ? image.data() : nullptr, 1100, block.data(), c.options), 0);
  ASSERT_TRUE(run_write());
  EXPECT_EQ(device.modules[1], c.withImage ? image : Bytes{});  // the whole file, headers included
  EXPECT_EQ(device.modules[2], block);
  const auto commits = device.requests_of(mmtype::COMMIT_MODULES);
  ASSERT_EQ(commits.size(), 1u);
  EXPECT_EQ(commits[0][20], c.moduleSet);
  EXPECT_TRUE(device.requests_of(mmtype::WRITE_MEMORY).empty());
}

INSTANTIATE_TEST_SUITE_P(Options, ModulePathWrite,
                         ::testing::Values(ModulePathCase{0x20, false, 0x02}, ModulePathCase{0x20, true, 0x03},
                                           ModulePathCase{0x30, false, 0x12}, ModulePathCase{0x13, true, 0x13},
                                           ModulePathCase{0xFF, true, 0x13}));

TEST_F(TransferTest, MemoryPathWritesTheLastImageAndStartsIt) {
  const Bytes image = image_file({{0x00100000, 300, 1, 2}, {0x00200000, 2500, 0x11223344, 0x55667788}});
  const Bytes block = parameter_block(1500, 1500);
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), static_cast<std::uint32_t>(image.size()),
                                     image.data(), 1500, block.data(), 0), 0);
  ASSERT_TRUE(run_write());

  const std::size_t secondImage = 2 * 44 + 300;
  using Write = std::pair<std::uint32_t, Bytes>;
  const auto slice = [](const Bytes& b, std::size_t at, std::size_t n) { return Bytes(b.begin() + at, b.begin() + at + n); };
  EXPECT_EQ(device.memoryWrites,
            (std::vector<Write>{{0x00200000, slice(image, secondImage, 1024)},
                                {0x00200400, slice(image, secondImage + 1024, 1024)},
                                {0x00200800, slice(image, secondImage + 2048, 452)},
                                {0x01F00000, slice(block, 0, 1024)},
                                {0x01F00400, slice(block, 1024, 476)}}));
  const auto starts = device.requests_of(mmtype::START_IMAGE);
  ASSERT_EQ(starts.size(), 1u);
  const Bytes fixed(starts[0].begin() + 20, starts[0].begin() + 40);
  EXPECT_EQ(fixed, (Bytes{1, 0, 0, 0, 0x00, 0x00, 0x20, 0x00, 0xC4, 0x09, 0, 0,
                          0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55}));
  EXPECT_EQ(starts[0].size(), 64u);
  EXPECT_EQ(result.mmtype, 0xA00D);
  EXPECT_EQ(result.resultKind, ResultKind::WriteTransfer);
  EXPECT_TRUE(device.requests_of(mmtype::COMMIT_MODULES).empty());
  EXPECT_TRUE(idle());
}

TEST_F(TransferTest, MemoryPathWithCommitOptionEndsWithCommit) {
  const Bytes image = image_file({{0x00200000, 100, 0, 0}});
  const Bytes block = parameter_block(100, 100);
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), static_cast<std::uint32_t>(image.size()),
                                     image.data(), 100, block.data(), 0x11), 0);
  ASSERT_TRUE(run_write());
  const auto commits = device.requests_of(mmtype::COMMIT_MODULES);
  ASSERT_EQ(commits.size(), 1u);
  EXPECT_EQ(commits[0][20], 0x13);
  EXPECT_TRUE(device.requests_of(mmtype::START_IMAGE).empty());
}

TEST_F(TransferTest, DeviceEventInTheMiddleDoesNotDerailAWrite) {
  const Bytes image = image_file({{0x00200000, 2500, 0, 0}});
  const Bytes block = parameter_block(1500, 1500);
  eventBefore = {1, 2, 4};
  device.failing = {2};  // and one retry right after an event
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), static_cast<std::uint32_t>(image.size()),
                                     image.data(), 1500, block.data(), 0), 0);
  EXPECT_EQ(drive(), std::make_pair(0, 0));
  std::vector<std::uint32_t> addresses;
  for (const auto& write : device.memoryWrites) addresses.push_back(write.first);
  EXPECT_EQ(addresses, (std::vector<std::uint32_t>{0x00200000, 0x00200400, 0x00200800, 0x01F00000, 0x01F00400}));
  EXPECT_EQ(device.requests_of(mmtype::START_IMAGE).size(), 1u);
}

TEST_F(TransferTest, DeviceEventInTheMiddleDoesNotDerailARead) {
  device.modules[2] = parameter_block(3000, 3000);
  eventBefore = {1};
  ASSERT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), kReadParameterBlock), 0);
  Bytes collected;
  ASSERT_TRUE(run_read(collected));
  EXPECT_EQ(collected, device.modules[2]);
}

TEST_F(TransferTest, ErrorStatusResendsTheChunkWhileRetriesLast) {
  const Bytes block = parameter_block(3000, 3000);
  device.failing = {1, 2, 3};  // chunk 2 refused three times
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), 0, nullptr, 3000, block.data(), 0x20), 0);
  EXPECT_EQ(drive(), std::make_pair(0, 0));
  const auto writes = device.requests_of(mmtype::WRITE_MODULE);
  ASSERT_EQ(writes.size(), 6u);
  for (std::size_t i = 1; i <= 4; ++i) EXPECT_EQ(writes[i], writes[1]);
  EXPECT_EQ(device.modules[2], block);
  EXPECT_EQ(result.progressState, ProgressState::Finished);
}

TEST_F(TransferTest, ErrorStatusEndsTheWriteWhenRetriesAreSpent) {
  const Bytes block = parameter_block(3000, 3000);
  device.failing = {1, 2, 3, 4};
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), 0, nullptr, 3000, block.data(), 0x20), 0);
  EXPECT_EQ(drive(), std::make_pair(-1, 22));
  EXPECT_EQ(device.requests_of(mmtype::WRITE_MODULE).size(), 5u);
  EXPECT_EQ(layer.build_next_frame(frame.size(), frame.data()), 0u);
  EXPECT_TRUE(device.requests_of(mmtype::COMMIT_MODULES).empty());
}

TEST_F(TransferTest, FirstChunkRefusedEndsAtOnceAndIsNotAConfirmation) {
  const Bytes block = parameter_block(3000, 3000);
  device.failing = {0};
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), 0, nullptr, 3000, block.data(), 0x20), 0);
  EXPECT_FALSE(run_write());  // the error answer is passed over; nothing else comes
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(layer.build_next_frame(frame.size(), frame.data()), 0u);
}

struct BadStart {
  const char* name;
  bool withImage;
  bool withBlock;
  std::uint32_t blockLength;
  std::uint32_t options;
  void (*spoil)(Bytes& image);
  int error;
};

const BadStart kBadStarts[] = {
    {"no_block", true, false, 100, 0x20, nullptr, 14},
    {"empty_block", true, true, 0, 0x20, nullptr, 22},
    {"memory_path_without_image", false, true, 100, 0, nullptr, 14},
    {"image_header_checksum", true, true, 100, 0, [](Bytes& f) { f[12] ^= 1; }, 22},
    {"image_longer_than_file", true, true, 100, 0, [](Bytes& f) { test::set_header_word(f, 0, 3, 5000); }, 14},
};

class StartWriteRefused : public TransferTest, public ::testing::WithParamInterface<BadStart> {};

TEST_P(StartWriteRefused, QueuesNothing) {
  const auto& c = GetParam();
  Bytes image = image_file({{0x00200000, 200, 0, 0}});
  if (c.spoil != nullptr) c.spoil(image);
  const Bytes block = parameter_block(100, 100);
  // A transfer already running is discarded by the attempt either way.
  ASSERT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), kReadParameterBlock), 0);
  errno = 0;
  EXPECT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), static_cast<std::uint32_t>(image.size()),
                                     c.withImage ? image.data() : nullptr, c.blockLength,
                                     c.withBlock ? block.data() : nullptr, c.options), -1);
  EXPECT_EQ(errno, c.error);
  EXPECT_EQ(layer.build_next_frame(frame.size(), frame.data()), 0u);
}

INSTANTIATE_TEST_SUITE_P(Inputs, StartWriteRefused, ::testing::ValuesIn(kBadStarts),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(TransferTest, NextFrameNeedsRoomForTheWholeFrame) {
  const Bytes block = parameter_block(3000, 3000);
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), 0, nullptr, 3000, block.data(), 0x20), 0);
  Bytes small(1055, 0xEE);
  errno = 0;
  EXPECT_EQ(layer.build_next_frame(small.size(), small.data()), 0u);
  EXPECT_EQ(errno, 34);
  EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](auto b) { return b == 0xEE; }));
  EXPECT_EQ(layer.build_next_frame(1056, frame.data()), 1056u);  // still queued
}

// --- reads ---

TEST_F(TransferTest, ParameterBlockReadLearnsItsLengthFromTheFirstChunk) {
  device.modules[2] = parameter_block(15560, 15560);
  Bytes into(15560);
  ASSERT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), kReadParameterBlock, into), 0);
  Bytes collected;
  ASSERT_TRUE(run_read(collected));

  std::vector<std::pair<std::uint32_t, std::uint16_t>> expected;
  for (std::uint32_t offset = 0; offset < 15360; offset += 1024) expected.emplace_back(offset, 1024);
  expected.emplace_back(15360, 200);
  EXPECT_EQ(reads_of(2), expected);
  EXPECT_EQ(collected, device.modules[2]);
  EXPECT_EQ(into, device.modules[2]);
  EXPECT_EQ(layer.transferState.readLength, 15560u);
  EXPECT_EQ(layer.build_next_frame(frame.size(), frame.data()), 0u);
}

TEST_F(TransferTest, ImageChainThenParameterBlock) {
  device.modules[1] = image_file({{0x00100000, 1030, 0, 0}, {0x00200000, 80, 0, 0}});
  device.modules[2] = parameter_block(1500, 1500);
  ASSERT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), kReadImageThenBlock), 0);
  Bytes collected;
  ASSERT_TRUE(run_read(collected));
  EXPECT_EQ(reads_of(1), (std::vector<std::pair<std::uint32_t, std::uint16_t>>{
                             {0, 44}, {44, 1024}, {1068, 6}, {1074, 44}, {1118, 80}}));
  EXPECT_EQ(reads_of(2), (std::vector<std::pair<std::uint32_t, std::uint16_t>>{{0, 1024}, {1024, 476}}));
  Bytes expected = device.modules[1];
  expected.insert(expected.end(), device.modules[2].begin(), device.modules[2].end());
  EXPECT_EQ(collected, expected);
}

TEST_F(TransferTest, ImageChainAloneEndsAfterTheLastImage) {
  device.modules[1] = image_file({{0x00100000, 100, 0, 0}});
  ASSERT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), kReadImageChain), 0);
  Bytes collected;
  ASSERT_TRUE(run_read(collected));
  EXPECT_EQ(collected, device.modules[1]);
  EXPECT_TRUE(reads_of(2).empty());
}

TEST_F(TransferTest, BadChunkChecksumIsPassedOverButAskedAgain) {
  device.modules[2] = parameter_block(3000, 3000);
  device.badChecksum = {1};
  ASSERT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), kReadParameterBlock), 0);
  Bytes collected;
  EXPECT_FALSE(run_read(collected));
  EXPECT_EQ(result.status, 22);
  EXPECT_EQ(result.hasData, 0);
  EXPECT_EQ(result.progressState, ProgressState::Queued);
  ASSERT_TRUE(run_read(collected));  // the same request goes out again
  EXPECT_EQ(collected, device.modules[2]);
  EXPECT_EQ(reads_of(2), (std::vector<std::pair<std::uint32_t, std::uint16_t>>{
                             {0, 1024}, {1024, 1024}, {1024, 1024}, {2048, 952}}));
}

TEST_F(TransferTest, ErrorOnTheFirstChunkEndsTheRead) {
  device.modules[2] = parameter_block(3000, 3000);
  device.failing = {0};
  ASSERT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), kReadParameterBlock), 0);
  EXPECT_EQ(drive(), std::make_pair(0, 0));
  EXPECT_EQ(result.progressState, ProgressState::Finished);
  EXPECT_EQ(reads_of(2).size(), 1u);
}

TEST_F(TransferTest, ReadStopsBeforeOverflowingTheCallersBuffer) {
  device.modules[2] = parameter_block(15560, 15560);
  Bytes into(8000);  // exactly sized: a write past it trips the sanitizer
  ASSERT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), kReadParameterBlock, into), 0);
  EXPECT_EQ(drive(), std::make_pair(-1, 34));
  EXPECT_EQ(result.status, 34);
  EXPECT_EQ(result.progressState, ProgressState::Finished);
  EXPECT_EQ(reads_of(2).size(), 8u);
  EXPECT_TRUE(std::equal(into.begin(), into.begin() + 7168, device.modules[2].begin()));
  EXPECT_TRUE(idle());
}

struct BrokenReadChain {
  const char* name;
  std::uint32_t secondNext;  // next-header offset written into the second header
};

class ReadOfBrokenChain : public TransferTest, public ::testing::WithParamInterface<BrokenReadChain> {};

TEST_P(ReadOfBrokenChain, EndsWithAnErrorInsteadOfReadingForever) {
  Bytes file = image_file({{0x00100000, 100, 0, 0}, {0x00200000, 100, 0, 0}});
  test::set_header_word(file, 144, 9, GetParam().secondNext);
  file.resize(4000, 0);  // the device would go on serving bytes
  device.modules[1] = file;
  ASSERT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), kReadImageChain), 0);
  EXPECT_EQ(drive(), std::make_pair(-1, 14));
  EXPECT_LT(device.requests.size(), 10u);
  EXPECT_EQ(layer.build_next_frame(frame.size(), frame.data()), 0u);
}

INSTANTIATE_TEST_SUITE_P(Chains, ReadOfBrokenChain,
                         ::testing::Values(BrokenReadChain{"to_itself", 144}, BrokenReadChain{"backwards", 44},
                                           BrokenReadChain{"over_a_gap", 1000}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(TransferTest, ReadStartRefusesUnknownTargets) {
  for (int target : {0, 4, -1}) {
    errno = 0;
    EXPECT_EQ(layer.start_module_read(kPc.data(), kDevice.data(), target), -1);
    EXPECT_EQ(errno, 22);
    EXPECT_EQ(layer.build_next_frame(frame.size(), frame.data()), 0u);
  }
}

}  // namespace
}  // namespace zv
