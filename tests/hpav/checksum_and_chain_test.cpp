#include <gtest/gtest.h>

#include <vector>

#include "base/bytes.h"
#include "hpav/chunk_cursor.h"
#include "hpav/hpav_test_support.h"
#include "hpav/vendor_checksum.h"

namespace zv {
namespace {

using test::image_file;
using test::set_header_word;

TEST(VendorChecksum, IsTheNotOfSeedXorLittleEndianWords) {
  const std::uint8_t words[] = {0x01, 0x02, 0x03, 0x04, 0x10, 0x20, 0x30, 0x40, 0xFF};
  EXPECT_EQ(vendor_checksum(words, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(vendor_checksum(words, 1, 0), ~0x04030201u);
  EXPECT_EQ(vendor_checksum(words, 2, 0x0000FFFFu), ~(0x0000FFFFu ^ 0x04030201u ^ 0x40302010u));
}

TEST(VendorChecksum, ABlockEndingInItsChecksumSumsToZero) {
  std::vector<std::uint8_t> block(64);
  for (std::size_t i = 0; i < 60; ++i) block[i] = static_cast<std::uint8_t>(i * 31);
  put_le32(block.data() + 60, vendor_checksum(block.data(), 15, 0));
  EXPECT_EQ(vendor_checksum(block.data(), 16, 0), 0u);
  block[3] ^= 1;
  EXPECT_NE(vendor_checksum(block.data(), 16, 0), 0u);
}

TEST(ImageChain, SingleImageIsItsOwnLastHeader) {
  const auto file = image_file({{0x1000, 100, 4, 5}});
  EXPECT_EQ(last_image_header(file.data(), file.size()), file.data());
}

TEST(ImageChain, WalksToTheLastOfSeveral) {
  const auto file = image_file({{0x1000, 100, 0, 0}, {0x2000, 60, 0, 0}, {0x3000, 10, 0, 0}});
  EXPECT_EQ(last_image_header(file.data(), file.size()), file.data() + 2 * 44 + 160);
}

struct BrokenChain {
  const char* name;
  void (*breakIt)(std::vector<std::uint8_t>& file);
  int error;
};

const BrokenChain kBrokenChains[] = {
    {"bad_checksum_first", [](auto& f) { f[8] ^= 1; }, 22},
    {"bad_checksum_second", [](auto& f) { f[144 + 8] ^= 1; }, 22},
    {"points_to_itself", [](auto& f) { set_header_word(f, 144, 9, 144); }, 14},
    {"points_back", [](auto& f) { set_header_word(f, 144, 9, 0x10); }, 14},
    {"points_past_the_end", [](auto& f) { set_header_word(f, 0, 9, 5000); }, 14},
    {"header_cut_off", [](auto& f) { set_header_word(f, 0, 9, static_cast<std::uint32_t>(f.size() - 20)); }, 14},
};

class BrokenImageChain : public ::testing::TestWithParam<BrokenChain> {};

TEST_P(BrokenImageChain, GivesNoHeader) {
  auto file = image_file({{0x1000, 100, 0, 0}, {0x2000, 60, 0, 0}});
  GetParam().breakIt(file);
  errno = 0;
  EXPECT_EQ(last_image_header(file.data(), file.size()), nullptr);
  EXPECT_EQ(errno, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenImageChain, ::testing::ValuesIn(kBrokenChains),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ImageChain, AHeaderLongerThanTheGivenBytesIsNotRead) {
  const auto file = image_file({{0x1000, 100, 0, 0}});
  std::vector<std::uint8_t> firstBytes(file.begin(), file.begin() + 4);  // exact allocation
  errno = 0;
  EXPECT_EQ(last_image_header(firstBytes.data(), firstBytes.size()), nullptr);
  EXPECT_EQ(errno, 14);
}

TEST(ChunkCursor, CutsABufferIntoChunks) {
  std::vector<std::uint8_t> buffer(3000);
  auto cursor = ChunkCursor::make(buffer.data(), 3000, kTransferChunkSize);
  ASSERT_TRUE(cursor);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> chunks;
  do chunks.emplace_back(cursor->offset(), cursor->chunk_length());
  while (cursor->next());
  EXPECT_EQ(chunks, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 1024}, {1024, 1024}, {2048, 952}}));
  EXPECT_EQ(errno, 34);  // the step past the last chunk
  EXPECT_EQ(cursor->chunk(), buffer.data() + 3000);
  EXPECT_EQ(cursor->chunk_length(), 0u);
  EXPECT_TRUE(cursor->reaches_end(0));

  ASSERT_TRUE(cursor->select(2));
  EXPECT_FALSE(cursor->reaches_end(951));
  EXPECT_TRUE(cursor->reaches_end(952));
  EXPECT_FALSE(cursor->select(-1));
}

TEST(ChunkCursor, RefusesAnEmptyView) {
  std::uint8_t byte = 0;
  for (auto [buffer, length, size] : {std::tuple{static_cast<const std::uint8_t*>(nullptr), 10u, 1024u},
                                      std::tuple{static_cast<const std::uint8_t*>(&byte), 0u, 1024u},
                                      std::tuple{static_cast<const std::uint8_t*>(&byte), 1u, 0u}}) {
    errno = 0;
    EXPECT_FALSE(ChunkCursor::make(buffer, length, size));
    EXPECT_EQ(errno, 22);
  }
}

}  // namespace
}  // namespace zv
