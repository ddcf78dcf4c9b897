#include "hpav/vendor_requests.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "hpav/vendor_frame.h"

namespace zv {
namespace {

using ::testing::ElementsAreArray;

const MacAddress kTo{0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
const MacAddress kFrom{0x00, 0x0C, 0x29, 0x00, 0x00, 0x01};

std::vector<std::uint8_t> zeros(std::size_t n) { return std::vector<std::uint8_t>(n, 0); }

TEST(RequestBuilders, GetVersionIsHeaderAndFortyFourZeros) {
  std::vector<std::uint8_t> buffer(kRequestCapacity, 0xEE);
  ASSERT_EQ(build_version_request(kFrom.data(), kTo.data(), buffer.size(), buffer.data()), 64u);
  std::vector<std::uint8_t> expected = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x00, 0x0C, 0x29, 0x00,
                                        0x00, 0x01, 0x88, 0xE1, 0x00, 0x00, 0xA0, 0x00, 0xB0, 0x52};
  expected.resize(64, 0);
  EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 64), ElementsAreArray(expected));
  EXPECT_EQ(buffer[64], 0xEE);  // nothing written past the frame
}

TEST(RequestBuilders, NetworkInfoHeaderFormFollowsHeaderVersion) {
  std::vector<std::uint8_t> buffer(kRequestCapacity, 0xEE);
  ASSERT_EQ(build_network_info_request(kFrom.data(), kTo.data(), buffer.size(), buffer.data(), 4), 64u);
  const std::vector<std::uint8_t> longHeader = {0x01, 0x38, 0xA0, 0x00, 0x00, 0x00,
                                                0xB0, 0x52, 0x00, 0x00, 0x00, 0x00};
  EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin() + 14, buffer.begin() + 26), ElementsAreArray(longHeader));
  EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin() + 26, buffer.begin() + 64), ElementsAreArray(zeros(38)));

  for (int shortForm : {0, 1, 5}) {
    ASSERT_EQ(build_network_info_request(kFrom.data(), kTo.data(), buffer.size(), buffer.data(), shortForm), 64u);
    const std::vector<std::uint8_t> header = {0x00, 0x38, 0xA0, 0x00, 0xB0, 0x52};
    EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin() + 14, buffer.begin() + 20), ElementsAreArray(header));
    EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin() + 20, buffer.begin() + 64), ElementsAreArray(zeros(44)));
  }
}

SetKeyParameters key_with_selector(std::uint8_t selector) {
  SetKeyParameters key;
  for (std::uint8_t i = 0; i < 16; ++i) {
    key.networkMembershipKey[i] = static_cast<std::uint8_t>(0xA0 + i);
    key.deviceAccessKey[i] = static_cast<std::uint8_t>(0xD0 + i);
  }
  key.keySelector = selector;
  key.targetStation = {0x00, 0xB0, 0x52, 0xAA, 0xBB, 0xCC};
  return key;
}

class SetKeySelector : public ::testing::TestWithParam<std::uint8_t> {};

TEST_P(SetKeySelector, CarriesKeysAtTheirOffsets) {
  const SetKeyParameters key = key_with_selector(GetParam());
  std::vector<std::uint8_t> buffer(kRequestCapacity, 0xEE);
  ASSERT_EQ(build_set_key_request(kFrom.data(), kTo.data(), buffer.size(), buffer.data(), key), 64u);
  EXPECT_EQ(buffer[15], 0x50);
  EXPECT_EQ(buffer[16], 0xA0);
  EXPECT_EQ(buffer[20], 1);
  EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin() + 21, buffer.begin() + 37), ElementsAreArray(key.networkMembershipKey));
  EXPECT_EQ(buffer[37], GetParam());
  EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin() + 38, buffer.begin() + 44), ElementsAreArray(key.targetStation));
  EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin() + 44, buffer.begin() + 60), ElementsAreArray(key.deviceAccessKey));
  EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin() + 60, buffer.begin() + 64), ElementsAreArray(zeros(4)));
}

INSTANTIATE_TEST_SUITE_P(SelfAndTarget, SetKeySelector, ::testing::Values(15, 0));

TEST(RequestBuilders, SetKeyRefusesOtherSelectors) {
  std::vector<std::uint8_t> buffer(kRequestCapacity, 0xEE);
  errno = 0;
  EXPECT_EQ(build_set_key_request(kFrom.data(), kTo.data(), buffer.size(), buffer.data(), key_with_selector(7)), 0u);
  EXPECT_EQ(errno, 22);
}

// Every builder under the same failure rules.
using Builder = std::function<std::size_t(const std::uint8_t*, const std::uint8_t*, std::size_t, std::uint8_t*)>;
struct BuilderCase {
  const char* name;
  Builder build;
};

const BuilderCase kBuilders[] = {
    {"GET_VERSION", build_version_request},
    {"NETWORK_INFO", [](auto s, auto d, auto c, auto b) { return build_network_info_request(s, d, c, b, 0); }},
    {"NETWORK_INFO_long", [](auto s, auto d, auto c, auto b) { return build_network_info_request(s, d, c, b, 4); }},
    {"SET_KEY", [](auto s, auto d, auto c, auto b) { return build_set_key_request(s, d, c, b, key_with_selector(15)); }},
    {"READ_DEVICE_BLOCK", build_device_block_request},
};

class EveryBuilder : public ::testing::TestWithParam<BuilderCase> {};

TEST_P(EveryBuilder, CapacityBelowSixtyFourWritesHeadersButBuildsNothing) {
  std::vector<std::uint8_t> buffer(63, 0xEE);
  errno = 0;
  EXPECT_EQ(GetParam().build(kFrom.data(), kTo.data(), 63, buffer.data()), 0u);
  EXPECT_EQ(errno, 34);
  EXPECT_EQ(buffer[0], 0x11);   // headers already written
  EXPECT_EQ(buffer[13], 0xE1);
  EXPECT_EQ(buffer[16], 0xA0);
}

TEST_P(EveryBuilder, TinyCapacityIsRefusedWithinTheBuffer) {
  for (std::size_t capacity : {0u, 5u, 13u, 14u, 19u, 25u}) {
    std::vector<std::uint8_t> buffer(capacity + 1, 0xEE);
    errno = 0;
    EXPECT_EQ(GetParam().build(kFrom.data(), kTo.data(), capacity, buffer.data()), 0u) << capacity;
    EXPECT_EQ(errno, 34) << capacity;
    EXPECT_EQ(buffer[capacity], 0xEE) << capacity;
  }
}

TEST_P(EveryBuilder, MissingAddressOrBufferIsRefused) {
  std::vector<std::uint8_t> buffer(kRequestCapacity);
  const std::uint8_t* none = nullptr;
  for (auto [source, destination, out] :
       {std::tuple{none, kTo.data(), buffer.data()}, std::tuple{kFrom.data(), none, buffer.data()},
        std::tuple{kFrom.data(), kTo.data(), static_cast<std::uint8_t*>(nullptr)}}) {
    errno = 0;
    EXPECT_EQ(GetParam().build(source, destination, buffer.size(), out), 0u);
    EXPECT_EQ(errno, 14);
  }
}

INSTANTIATE_TEST_SUITE_P(Requests, EveryBuilder, ::testing::ValuesIn(kBuilders),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(HeaderWriters, ShortCapacityZeroesWhatItWasGiven) {
  std::uint8_t buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  errno = 0;
  EXPECT_EQ(write_long_mm_header(11, buffer, 0xA038), 0u);
  EXPECT_EQ(errno, 34);
  EXPECT_TRUE(std::all_of(buffer, buffer + 11, [](auto b) { return b == 0; }));
  EXPECT_EQ(buffer[11], 0xEE);
  EXPECT_EQ(write_mm_header(6, buffer, 0xA050), 6u);
  EXPECT_THAT(std::vector<std::uint8_t>(buffer, buffer + 6), ElementsAreArray({0x00, 0x50, 0xA0, 0x00, 0xB0, 0x52}));
}

}  // namespace
}  // namespace zv
