// HomePlug 1.0 and Turbo monitoring against the simulated adapters: requests out, the
// answers drained as the scan cycle does.
#include <gtest/gtest.h>

#include "discovery/fixed_text.h"
#include "discovery/hp10_answers.h"
#include "discovery/hp10_frames.h"
#include "discovery/rate_update.h"
#include "discovery/station_table.h"
#include "sim_fixture.h"
#include "packed_field.h"

namespace zv {
namespace {

using test::field;

class Hp10ExchangeTest : public test::SimulatedDiscoveryTest {
 protected:
  static sim::AdapterConfig adapter(sim::Family family, std::uint8_t last) {
    return sim::default_adapter(family, {0x00, 0x50, 0xC2, 0x00, 0x20, last});
  }
  MacAddress nic_mac() const { return net.transport.captureSlots[0].mac; }
  void broadcast_statistics() {
    send_statistics_request(net.transport, 0, nic_mac().data(), kBroadcastMac.data());
    process_answers_100ms(d);
  }
};

TEST_F(Hp10ExchangeTest, StationsAnswerStatisticsAndTheLocalAdapterTheirRates) {
  auto fast = adapter(sim::Family::HomePlug10, 1);
  fast.phyRateMbps = 14;
  auto foreign = adapter(sim::Family::HomePlug10, 3);
  foreign.networkKey[0] ^= 0xFF;  // another network: does not answer
  start(adapter(sim::Family::HomePlug10, 0), {fast, adapter(sim::Family::HomePlug10, 2), foreign});
  int refreshes = 0;
  RecordingMainPage page;
  page.onRefresh = [&](int) { refreshes += 1; };
  d.mainPage = &page;

  broadcast_statistics();
  StationEntry* first = find_station_by_mac(d, fast.mac.data());
  ASSERT_NE(first, nullptr);
  EXPECT_NE(find_station_by_mac(d, adapter(sim::Family::HomePlug10, 2).mac.data()), nullptr);
  EXPECT_EQ(find_station_by_mac(d, foreign.mac.data()), nullptr);
  EXPECT_EQ(field(first->deviceType), kDeviceHomePlug10);

  send_network_stats_request(net.transport, 0, nic_mac().data(), kBroadcastMac.data());
  process_answers_100ms(d);
  EXPECT_EQ(refreshes, 1);
  EXPECT_GT(field(first->rate.current), 0);
  EXPECT_GT(field(block().nicRate.current), 0);
}

TEST_F(Hp10ExchangeTest, TurboIdentificationRatesAndQueries) {
  auto local = adapter(sim::Family::Turbo, 0);
  local.versionText = "PLT-TURBO-FW  1.6.0";
  local.manufacturer = "";
  auto station = adapter(sim::Family::Turbo, 1);
  station.model = "PLT-200";
  start(local, {station});
  d.state.local_adapter_is_turbo = 1;
  net.transport.nicRecords[0].localMac = kZeroMac;  // learnt from the identification

  broadcast_statistics();
  StationEntry* entry = find_station_by_mac(d, station.mac.data());
  ASSERT_NE(entry, nullptr);
  const std::uint8_t none[] = {0};
  send_turbo_request(net.transport, kBroadcastMac.data(), kTurboIdentification, none, 1);
  process_answers_100ms(d);
  EXPECT_EQ(d.state.turboFound, 1);
  EXPECT_EQ(net.transport.nicRecords[0].localMac, local.mac);
  EXPECT_EQ(fixed_text(d.state.turboManufacturer), " ");
  EXPECT_EQ(field(entry->deviceType), kDeviceTurbo);
  EXPECT_EQ(entry->typeChanged, 1);
  EXPECT_EQ(fixed_text(entry->model), "PLT-200");

  turbo_rates_round(d, local.mac.data());
  process_answers_100ms(d);
  EXPECT_GT(field(entry->rate.current), 0);

  send_turbo_query(net.transport, kTurboQueryFirmware);
  process_answers_100ms(d);
  EXPECT_EQ(fixed_text(d.state.turboFirmwareText), "PLT-TURBO-FW  1.6.0");
  EXPECT_EQ(d.state.turboFirmwareTooOld, 1);
  send_turbo_query(net.transport, kTurboQueryKey);
  process_answers_100ms(d);
  EXPECT_TRUE(std::equal(d.state.hp10Network.key.begin(), d.state.hp10Network.key.end(),
                         local.networkKey.begin()));
}

}  // namespace
}  // namespace zv
