// zv350ctl scan through real libpcap: the program in a namespace whose only interfaces are
// lo and one veth end, the simulator daemon on the other end in a namespace of its own.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

#include "support/background_process.h"
#include "support/process.h"
#include "support/veth_network.h"

namespace zv {
namespace {

struct ScanCase {
  const char* scenario;
  int adapterKind;
  const char* chipName;     // of the local adapter; "" for HomePlug 1.0 and Turbo
  const char* networkName;
  std::size_t stations;     // listed on the current NIC
  const char* silentMac;    // a listed station that never answers; "" when none
  int answeringType;        // deviceType of the answering stations' first entry
};

void PrintTo(const ScanCase& row, std::ostream* out) { *out << row.scenario; }

class CtlScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(CtlScan, FindsLocalAdapterAndStations) {
  const std::string why = test::VethNetwork::unavailable_reason();
  if (!why.empty()) GTEST_SKIP() << why;
  const ScanCase& c = GetParam();
  test::VethNetwork veth;
  const std::string scenario = std::string(ZV_SOURCE_DIR "/sim/scenarios/") + c.scenario + ".json";
  test::BackgroundProcess simulator({"ip", "netns", "exec", veth.peerNamespace,
                                     ZV_BINARY_DIR "/sim/plcsim", "--iface", veth.peerInterface,
                                     "--scenario", scenario});
  ASSERT_TRUE(simulator.wait_for("ready", 10000)) << simulator.output();

  const auto data = std::filesystem::path(testing::TempDir()) / ("zv-e2e-" + std::string(c.scenario));
  std::filesystem::remove_all(data);
  const auto result = test::run_command("ip netns exec " + veth.programNamespace + " " +
                                        ZV_BINARY_DIR "/app/zv350ctl/zv350ctl --data " +
                                        data.string() + " scan --json");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  const auto doc = nlohmann::json::parse(result.output);
  ASSERT_TRUE(doc["found"].get<bool>()) << result.output;
  EXPECT_EQ(doc["cycles"], 1);
  const auto& nic = doc["nics"][0];
  EXPECT_EQ(nic["name"], veth.programInterface);
  EXPECT_EQ(nic["adapterKind"], c.adapterKind);
  EXPECT_EQ(nic["chipName"], c.chipName);
  if (*c.chipName != '\0') {
    EXPECT_TRUE(nic["firmwareText"].get<std::string>().starts_with(c.chipName));
  }
  EXPECT_EQ(nic["networkName"], c.networkName);

  const auto& stations = doc["stations"];
  ASSERT_EQ(stations.size(), c.stations) << result.output;
  for (const auto& station : stations) {
    EXPECT_TRUE(station["inUse"].get<bool>());
    const bool silent = station["mac"] == c.silentMac;
    EXPECT_EQ(station["rate"].get<double>() > 0, !silent) << station.dump();
    if (station["deviceType"] != 1) {
      EXPECT_EQ(station["firmwareText"].get<std::string>().empty(), silent) << station.dump();
    }
  }
  EXPECT_EQ(stations[0]["deviceType"], c.answeringType);

  // The state was saved with a record for the local adapter and each station.
  const auto devices = test::run_command(ZV_BINARY_DIR "/app/zv350ctl/zv350ctl --data " +
                                         data.string() + " devices --json");
  ASSERT_EQ(devices.exitCode, 0) << devices.output;
  EXPECT_EQ(nlohmann::json::parse(devices.output)["devices"].size(), c.stations + 1);
  std::filesystem::remove_all(data);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, CtlScan,
    ::testing::Values(
        ScanCase{"av-home", 4, "QA-1000", "HomePlugAV", 3, "00:B0:52:0A:00:04", 4},
        ScanCase{"av-long-header", 5, "QB-2400", "HomePlugAV", 2, "", 5},
        ScanCase{"hp10-network", 3, "", "HomePlug", 2, "", 1},
        ScanCase{"turbo-network", 2, "", "HomePlug", 3, "", 2}),
    [](const auto& row) {
      std::string name = row.param.scenario;
      std::erase(name, '-');
      return name;
    });

}  // namespace
}  // namespace zv
