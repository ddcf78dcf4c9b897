// The simulator's own key derivation against the standards' published values.

#include <gtest/gtest.h>

#include <bit>

#include "sim/sim_keys.h"

namespace zv::sim {
namespace {

TEST(SimKeys, PublishedCheckValues) {
  EXPECT_EQ(av_network_key("HomePlugAV"),
            (Key{0x50, 0xD3, 0xE4, 0x93, 0x3F, 0x85, 0x5B, 0x70, 0x40, 0x78, 0x4D, 0xF8, 0x15, 0xAA, 0x8D, 0xB7}));
  EXPECT_EQ(hp10_key("HomePlug"), (Key{0x46, 0xD6, 0x13, 0xE0, 0xF8, 0x4A, 0x76, 0x4C}));
}

TEST(SimKeys, DeviceKeyUsesItsOwnSaltAndDesKeysHaveOddParity) {
  EXPECT_NE(av_device_key("HomePlugAV"), av_network_key("HomePlugAV"));
  const Key key = hp10_key("ABCD-EFGH-IJKL-MNOP");
  for (int i = 0; i < 8; ++i) EXPECT_EQ(std::popcount(key[i]) % 2, 1) << i;
}

}  // namespace
}  // namespace zv::sim
