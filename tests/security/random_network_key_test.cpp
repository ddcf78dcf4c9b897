#include "security/random_network_key.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "security/key_derivation.h"

namespace zv {
namespace {

constexpr std::uint8_t kUntouched = 0xA5;

struct FamilyCase {
  const char* name;
  LocalAdapterTechnology technology;
  std::size_t written;
};

class RandomNetworkKeyTest : public ::testing::TestWithParam<FamilyCase> {
 protected:
  // Scripted draws: each call hands out the next of `draws`, cut to the count asked for.
  RandomBytesSource scripted(std::vector<KeyBuffer> draws) {
    return [this, draws = std::move(draws)](std::uint8_t* out, std::size_t count) {
      counts.push_back(count);
      const KeyBuffer& draw = draws.at(counts.size() - 1);
      std::copy_n(draw.begin(), count, out);
      return true;
    };
  }
  std::vector<std::size_t> counts;
};

TEST_P(RandomNetworkKeyTest, WritesTheFamilysWidthOnly) {
  KeyBuffer buffer;
  buffer.fill(kUntouched);
  KeyBuffer draw;
  draw.fill(0x11);
  ASSERT_TRUE(make_random_network_key(buffer, GetParam().technology, scripted({draw})));
  EXPECT_EQ(counts, std::vector<std::size_t>{GetParam().written});
  for (std::size_t i = 0; i < buffer.size(); ++i) {
    EXPECT_EQ(buffer[i], i < GetParam().written ? 0x11 : kUntouched) << i;
  }
}

TEST_P(RandomNetworkKeyTest, DrawsAgainWhileTheKeyStartsLikeTheDefault) {
  const KeyBuffer defaultKey = default_network_key(GetParam().technology.localAdapterIsAv);
  KeyBuffer startsLikeDefault = defaultKey;
  startsLikeDefault[15] ^= 0xFF;  // only the first 8 bytes matter
  KeyBuffer differsInByte7 = defaultKey;
  differsInByte7[7] ^= 0x01;

  KeyBuffer buffer{};
  ASSERT_TRUE(make_random_network_key(buffer, GetParam().technology,
                                      scripted({defaultKey, startsLikeDefault, differsInByte7})));
  EXPECT_EQ(counts.size(), 3u);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 8, differsInByte7.begin()));
}

TEST_P(RandomNetworkKeyTest, SystemSourceGivesAFreshKeyEachCall) {
  // Two calls within the same second differ: the key does not follow the clock.
  KeyBuffer first;
  KeyBuffer second;
  first.fill(kUntouched);
  second.fill(kUntouched);
  ASSERT_TRUE(make_random_network_key(first, GetParam().technology));
  ASSERT_TRUE(make_random_network_key(second, GetParam().technology));
  EXPECT_FALSE(std::equal(first.begin(), first.begin() + 8, second.begin()));
  const auto tailChanged = [](const KeyBuffer& key) {
    return !std::all_of(key.begin() + 8, key.end(), [](auto b) { return b == kUntouched; });
  };
  EXPECT_EQ(tailChanged(first), GetParam().written == 16);
}

INSTANTIATE_TEST_SUITE_P(
    Families, RandomNetworkKeyTest,
    ::testing::Values(FamilyCase{"HomePlugAv", {true, false}, 16},
                      FamilyCase{"HomePlug10", {false, false}, 16},
                      FamilyCase{"Turbo", {false, true}, 8}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(RandomNetworkKey, FailingSourceIsReported) {
  KeyBuffer buffer{};
  EXPECT_FALSE(make_random_network_key(buffer, {true, false},
                                       [](std::uint8_t*, std::size_t) { return false; }));
}

}  // namespace
}  // namespace zv
