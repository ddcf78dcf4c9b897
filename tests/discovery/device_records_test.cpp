#include "discovery/device_records.h"

#include <gtest/gtest.h>

#include "discovery/fixed_text.h"

namespace zv {
namespace {

class DeviceRecordsTest : public ::testing::Test {
 protected:
  void add(const char* name, std::uint8_t macLast, std::uint8_t keyFill, const char* network) {
    DeviceRecord& record = s.deviceRecords[static_cast<std::size_t>(s.deviceCount++)];
    set_fixed_text(record.name, name);
    record.mac = {0x00, 0xB0, 0x52, 0, 0, macLast};
    record.key.fill(keyFill);
    set_fixed_text(record.networkName, network);
  }
  DiscoveryState s;
};

TEST_F(DeviceRecordsTest, NetworkKeyMatchesOnItsFirstEightBytes) {
  add("设备 1", 1, 0x11, "Office");
  add("设备 2", 2, 0x22, "Kitchen");
  NetworkKey key;
  key.fill(0x22);
  for (std::size_t i = 8; i < key.size(); ++i) key[i] = 0x99;  // last 8 differ
  EXPECT_EQ(find_network_by_key(s, key.data(), "AV"), 2);
  EXPECT_EQ(fixed_text(s.networkNameBuffer), "Kitchen");

  key[7] = 0x23;
  set_fixed_text(s.networkNameBuffer, "unchanged");
  EXPECT_EQ(find_network_by_key(s, key.data(), "Turbo"), 0);
  EXPECT_EQ(fixed_text(s.networkNameBuffer), "unchanged");
}

TEST_F(DeviceRecordsTest, NameIsExactAndCaseSensitive) {
  add("Living Room", 1, 0, "");
  add("设备 2", 2, 0, "");
  EXPECT_EQ(find_device_by_name(s, "Living Room"), 1);
  EXPECT_EQ(find_device_by_name(s, "living room"), 0);
  EXPECT_EQ(find_device_by_name(s, "Living"), 0);
  EXPECT_EQ(find_device_by_name(s, "设备 2"), 2);
}

TEST_F(DeviceRecordsTest, OnlyRecordsInUseAreSearched) {
  add("A", 1, 0, "");
  const MacAddress unused{};
  EXPECT_EQ(find_device_by_mac(s, s.deviceRecords[0].mac.data()), 1);
  EXPECT_EQ(find_device_by_mac(s, unused.data()), 0);  // records past deviceCount are zero
  // A count beyond the table, as a damaged state file may give, stays inside it.
  s.deviceCount = 1000;
  EXPECT_EQ(find_device_by_mac(s, unused.data()), 2);
  s.deviceCount = -4;
  EXPECT_EQ(find_device_by_name(s, "A"), 0);
}

}  // namespace
}  // namespace zv
