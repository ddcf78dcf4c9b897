#include "discovery/station_table.h"

#include <gtest/gtest.h>

#include <cstring>

#include "discovery/fixed_text.h"
#include "discovery_fixture.h"
#include "packed_field.h"

namespace zv {
namespace {

using test::field;

using test::station_mac;

class StationTableTest : public test::DiscoveryTest {
 protected:
  StationTableTest() {
    d.transport.currentNic = 2;
    d.current_nic().localMac = station_mac(0xAA);
    d.state.missesTillDrop = 3;
  }
  int index_of(const StationEntry* entry) {
    return static_cast<int>(entry - block().stations.data());
  }
  void fill_table() {
    for (std::uint8_t i = 0; i < kStationsPerNic; ++i) add_or_refresh_station(d, station_mac(i).data());
  }
};

TEST_F(StationTableTest, ReturningStationGetsItsOldEntryAndKeepsCounting) {
  add_or_refresh_station(d, station_mac(1).data());
  add_or_refresh_station(d, station_mac(2).data());
  StationEntry* first = find_station_by_mac(d, station_mac(1).data());
  ASSERT_NE(first, nullptr);
  // Dropped by ageing: out of use, MAC kept.
  first->inUse = 0;
  first->countdown = 0;

  EXPECT_EQ(add_or_refresh_station(d, station_mac(3).data()), 1);
  EXPECT_EQ(add_or_refresh_station(d, station_mac(1).data()), 2);
  EXPECT_EQ(index_of(find_station_by_mac(d, station_mac(1).data())), 0);
  EXPECT_EQ(field(first->inUse), 1);
  EXPECT_EQ(first->countdown, 3);
  EXPECT_EQ(index_of(find_station_by_mac(d, station_mac(3).data())), 2);
  // Only the current NIC's block is touched.
  EXPECT_TRUE(is_zero_mac(d.state.stationBlocks[0].stations[0].mac.data()));
}

TEST_F(StationTableTest, LocalAdapterAndZeroAddressAreNeverStations) {
  EXPECT_EQ(add_or_refresh_station(d, station_mac(0xAA).data()), 0);
  EXPECT_EQ(add_or_refresh_station(d, kZeroMac.data()), 0);
  EXPECT_EQ(find_station_by_mac(d, kZeroMac.data()), nullptr);
  EXPECT_TRUE(is_zero_mac(block().stations[0].mac.data()));
}

struct NetworkCase {
  bool av;
  std::int32_t deviceType;
  std::size_t keyBytes;
};

class StationNetworkTest : public StationTableTest,
                           public ::testing::WithParamInterface<NetworkCase> {};

TEST_P(StationNetworkTest, NewStationTakesTheLocalNetwork) {
  const NetworkCase c = GetParam();
  d.state.local_adapter_is_av = c.av;
  d.state.avNetwork.nmk.fill(0xA5);
  set_fixed_text(d.state.avNetwork.name, "HomePlugAV");
  d.state.hp10Network.key.fill(0x5A);
  // A name filling its whole field: the entry gets it cut and terminated.
  std::memset(d.state.hp10Network.name.data(), 'N', d.state.hp10Network.name.size());

  StationEntry* entry = &block().stations[0];
  entry->networkKey.fill(0xEE);  // bytes a HomePlug 1.0 key does not cover stay
  ASSERT_EQ(add_or_refresh_station(d, station_mac(7).data()), 1);
  EXPECT_EQ(field(entry->deviceType), c.deviceType);
  const std::uint8_t expected = c.av ? 0xA5 : 0x5A;
  for (std::size_t i = 0; i < kNetworkKeySize; ++i)
    EXPECT_EQ(entry->networkKey[i], i < c.keyBytes ? expected : 0xEE) << i;
  const std::string_view name = fixed_text(entry->networkName);
  if (c.av)
    EXPECT_EQ(name, "HomePlugAV");
  else
    EXPECT_EQ(name, std::string(entry->networkName.size() - 1, 'N'));
}

INSTANTIATE_TEST_SUITE_P(Technologies, StationNetworkTest,
                         ::testing::Values(NetworkCase{true, kDeviceAv, 16},
                                           NetworkCase{false, kDeviceHomePlug10, 8}));

TEST_F(StationTableTest, FullTableReusesTheFirstEntryOutOfUse) {
  fill_table();
  StationEntry& old = block().stations[5];
  old.inUse = 0;
  old.sightings = 9;
  old.rate.current = 80;
  block().stations[9].inUse = 0;

  EXPECT_EQ(add_or_refresh_station(d, station_mac(0x77).data()), 1);
  EXPECT_EQ(index_of(find_station_by_mac(d, station_mac(0x77).data())), 5);
  EXPECT_EQ(field(old.inUse), 1);
  EXPECT_EQ(field(old.rate.current), 0.0);
  EXPECT_EQ(find_station_by_mac(d, station_mac(5).data()), nullptr);
  EXPECT_EQ(block().stations[9].mac, station_mac(9));
}

TEST_F(StationTableTest, FullTableInUseIgnoresANewStation) {
  fill_table();
  const StationBlock before = block();
  EXPECT_EQ(add_or_refresh_station(d, station_mac(0x77).data()), 0);
  EXPECT_EQ(find_station_by_mac(d, station_mac(0x77).data()), nullptr);
  EXPECT_EQ(std::memcmp(&before, &block(), sizeof before), 0);
}

}  // namespace
}  // namespace zv
