// The simulator on a real interface: a veth pair between two network namespaces made for
// the test, the daemon on the peer end, raw frames from the program end. Needs root.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "sim/packet_daemon.h"
#include "sim_test_support.h"
#include "support/background_process.h"
#include "support/veth_network.h"

namespace zv::sim::test {
namespace {

using zv::test::raw_receive;
using zv::test::raw_send;
using zv::test::VethNetwork;

// Remote stations are reached at MACs that are not the peer interface's own.
Scenario daemon_scenario() {
  AdapterConfig local = default_adapter(Family::HomePlugAv, kLocalMac);
  AdapterConfig slow = default_adapter(Family::HomePlugAv, kStationB);
  slow.faults.delayMs = 40;
  return one_nic(local, {default_adapter(Family::HomePlugAv, kStationA), slow});
}

// Sends GET_VERSION to `to` and returns the source of the answer (zero when none came).
MacAddress version_answer_source(int fd, const VethNetwork& veth, const MacAddress& to) {
  const Bytes request = vendor_request(to, veth.programMac, 0xA000);
  if (!raw_send(fd, request.data(), request.size())) return {};
  Bytes answer(2048);
  for (;;) {
    const long n = raw_receive(fd, answer.data(), answer.size(), 2000);
    if (n < 0) return {};
    answer.resize(static_cast<std::size_t>(n));
    if (n >= 88 && le16(answer, 15) == 0xA001 && mac_in(answer, 0) == veth.programMac)
      return mac_in(answer, 6);
    answer.resize(2048);
  }
}

std::size_t pcap_records(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Bytes all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t records = 0;
  for (std::size_t at = 24; at + 16 <= all.size(); at += 16 + le32(all, at + 8)) ++records;
  return records;
}

class DaemonOnVeth : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string reason = VethNetwork::unavailable_reason();
    if (!reason.empty()) GTEST_SKIP() << reason;
    veth = std::make_unique<VethNetwork>();
    program = veth->open_program_socket();
  }
  void TearDown() override {
    if (program >= 0) ::close(program);
  }
  std::unique_ptr<VethNetwork> veth;
  int program = -1;
};

TEST_F(DaemonOnVeth, AnswersAtEveryAdapterAddressAndCapturesBothDirections) {
  const std::string pcap = testing::TempDir() + "plcsim_daemon_test.pcap";
  const Scenario scenario = daemon_scenario();
  PacketDaemon daemon(PacketSocket(veth->open_peer_socket()), scenario.nics[0], 1, pcap);
  std::atomic<bool> stop{false};
  std::thread serving([&] { daemon.run(stop); });
  EXPECT_EQ(version_answer_source(program, *veth, kAvLocalManagementMac), kLocalMac);
  EXPECT_EQ(version_answer_source(program, *veth, kStationA), kStationA);
  EXPECT_EQ(version_answer_source(program, *veth, kStationB), kStationB);  // on the timer
  stop = true;
  serving.join();
  EXPECT_EQ(pcap_records(pcap), 6u);
  std::filesystem::remove(pcap);
}

// The executable itself, started in the peer namespace, when it has been built.
TEST_F(DaemonOnVeth, PlcsimExecutableServesAScenarioFile) {
  const auto binary = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "sim" / "plcsim";
  const char* source = std::getenv("ZV_SOURCE_DIR");
  if (!std::filesystem::exists(binary) || source == nullptr)
    GTEST_SKIP() << "plcsim is not built beside the tests, or ZV_SOURCE_DIR is not set";
  const std::string scenario = std::string(source) + "/sim/scenarios/av-home.json";
  zv::test::BackgroundProcess daemon({"ip", "netns", "exec", veth->peerNamespace, binary.string(),
                                      "--iface", veth->peerInterface, "--scenario", scenario});
  ASSERT_TRUE(daemon.wait_for("ready", 10000)) << daemon.output();
  const MacAddress local = *parse_mac("00:B0:52:0A:00:01");
  const MacAddress station = *parse_mac("00:B0:52:0A:00:02");
  EXPECT_EQ(version_answer_source(program, *veth, kAvLocalManagementMac), local);
  EXPECT_EQ(version_answer_source(program, *veth, station), station);
  const int status = daemon.stop();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace zv::sim::test
