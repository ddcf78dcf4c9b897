#include "discovery/scan_log_view.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "discovery/station_table.h"
#include "discovery_fixture.h"

namespace zv {
namespace {

using test::station_mac;

class ScanLogViewTest : public test::DiscoveryTest {};

TEST_F(ScanLogViewTest, ListsEveryEntryThatEverHadAStationOfPresentNics) {
  open_nics(2);
  d.state.stationBlocks[0].localPresent = 1;
  d.state.stationBlocks[0].nicMac = {0x02, 0, 0, 0, 0, 0};
  d.state.missesTillDrop = 3;
  add_or_refresh_station(d, station_mac(1).data());
  add_or_refresh_station(d, station_mac(2).data());
  block().stations[0].inUse = 0;  // dropped, MAC kept
  block().stations[0].countdown = 0;

  logs.diagnosticsLevel = 19;
  write_scan_log_if_enabled(d);
  EXPECT_FALSE(std::filesystem::exists(logs.scan_log_path()));
  logs.diagnosticsLevel = 20;
  write_scan_log_if_enabled(d);

  std::ifstream in(logs.scan_log_path());
  std::stringstream text;
  text << in.rdbuf();
  const std::string log = text.str();
  EXPECT_NE(log.find("NIC #0:\t02:00:00:00:00:00\tPresent=1\n"
                     "\t00:11:22:33:44:01\t0\t0\n"
                     "\t00:11:22:33:44:02\t1\t3\n\n"
                     "NIC #1:\t00:00:00:00:00:00\tPresent=0\n"),
            std::string::npos)
      << log;
}

TEST(MissesTillDrop, RetriesAreClampedToOneToTen) {
  EXPECT_EQ(misses_till_drop_for(0), 1);
  EXPECT_EQ(misses_till_drop_for(3), 3);
  EXPECT_EQ(misses_till_drop_for(25), 10);
}

}  // namespace
}  // namespace zv
