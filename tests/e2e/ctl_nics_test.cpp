// zv350ctl nics inside a namespace whose only interfaces are lo and one veth end.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/process.h"
#include "support/veth_network.h"

namespace zv {
namespace {

TEST(CtlNics, ListsTheVethEndAsOpen) {
  const std::string why = test::VethNetwork::unavailable_reason();
  if (!why.empty()) GTEST_SKIP() << why;
  test::VethNetwork veth;
  const auto result = test::run_command("ip netns exec " + veth.programNamespace + " " +
                                        ZV_BINARY_DIR "/app/zv350ctl/zv350ctl nics --json");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  const auto doc = nlohmann::json::parse(result.output);
  ASSERT_EQ(doc["nicCount"], 1);
  const auto& nic = doc["nics"][0];
  EXPECT_EQ(nic["name"], veth.programInterface);
  EXPECT_EQ(nic["mac"], format_mac(veth.programMac));
  EXPECT_EQ(nic["open"], true);
}

}  // namespace
}  // namespace zv
