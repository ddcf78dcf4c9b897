// Scenario files: every shipped file loads, and a bad entry is refused by name.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "sim/scenario.h"
#include "sim/sim_keys.h"

namespace zv::sim {
namespace {

std::filesystem::path scenario_dir() {
  const char* source = std::getenv("ZV_SOURCE_DIR");
  return std::filesystem::path(source ? source : ".") / "sim" / "scenarios";
}

TEST(Scenario, ShippedFilesLoadWithTheirAdapters) {
  const auto dir = scenario_dir();
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".json") continue;
    ++files;
    EXPECT_NO_THROW(load_scenario_file(entry.path().string())) << entry.path();
  }
  EXPECT_GE(files, 6);
  const Scenario home = load_scenario_file((dir / "av-home.json").string());
  ASSERT_EQ(home.nics.size(), 1u);
  ASSERT_TRUE(home.nics[0].local);
  EXPECT_EQ(home.nics[0].local->networkKey, av_network_key("HomePlugAV"));
  ASSERT_EQ(home.nics[0].remotes.size(), 3u);
  EXPECT_TRUE(home.nics[0].remotes[2].faults.silent);
  const Scenario twoNics = load_scenario_file((dir / "two-nics.json").string());
  ASSERT_EQ(twoNics.nics.size(), 2u);
  EXPECT_FALSE(twoNics.nics[0].local);
  EXPECT_TRUE(twoNics.nics[1].local);
}

TEST(Scenario, DefaultsFollowTheFamily) {
  const Scenario s = parse_scenario(R"({"nics": [{"mac": "02:00:00:00:00:01",
      "local": {"mac": "02:00:00:00:00:02", "family": "hp10", "networkKey": "0102030405060708"}}]})");
  const AdapterConfig& local = *s.nics[0].local;
  EXPECT_EQ(s.nics[0].name, "sim0");
  EXPECT_EQ(local.factoryKey, hp10_key("HomePlug"));
  EXPECT_EQ(local.networkKey, (Key{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_FALSE(local.devicePassword.empty());
}

struct BadCase {
  const char* name;
  const char* json;
  const char* mentions;
};

class BadScenario : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadScenario, IsRefusedNamingTheField) {
  try {
    parse_scenario(GetParam().json);
    FAIL() << "accepted";
  } catch (const ScenarioError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().mentions), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadScenario,
    ::testing::Values(
        BadCase{"NotJson", "{", "not JSON"},
        BadCase{"UnknownField", R"({"nics": [{"mac": "02:00:00:00:00:01", "locale": {}}]})", "locale"},
        BadCase{"BadMac", R"({"nics": [{"mac": "02:00:00:00:01"}]})", "nics[0].mac"},
        BadCase{"BadFamily", R"({"nics": [{"mac": "02:00:00:00:00:01", "local": {"mac": "02:00:00:00:00:02", "family": "x"}}]})", "family"},
        BadCase{"ShortKey", R"({"nics": [{"mac": "02:00:00:00:00:01", "local": {"mac": "02:00:00:00:00:02", "networkKey": "0102"}}]})", "networkKey"},
        BadCase{"DropShareOutOfRange", R"({"nics": [{"mac": "02:00:00:00:00:01", "local": {"mac": "02:00:00:00:00:02", "faults": {"dropShare": 2}}}]})", "dropShare"},
        BadCase{"RemotesWithoutLocal", R"({"nics": [{"mac": "02:00:00:00:00:01", "remotes": [{"mac": "02:00:00:00:00:03"}]}]})", "local adapter"},
        BadCase{"MacTwice", R"({"nics": [{"mac": "02:00:00:00:00:01", "local": {"mac": "02:00:00:00:00:01"}}]})", "used twice"}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace zv::sim
