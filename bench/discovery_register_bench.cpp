// register_av_stations on a full long-form NETWORK_INFO answer (60 listed stations, the
// most a 1514-byte frame holds): 32 are registered and asked GET_VERSION through the
// simulated adapters on the virtual clock, the rest find the table full.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "discovery/av_discovery.h"
#include "discovery/discovery.h"
#include "discovery/vendor_request.h"
#include "hpav/vendor_layer.h"
#include "sim/simulated_network.h"
#include "support/memory_network.h"

namespace zv {
namespace {

constexpr int kListedStations = 60;

struct Bench {
  test::MemoryNetwork net;
  VendorLayer vendor{net.transport};
  DiagnosticLogs logs{std::filesystem::temp_directory_path(), "discovery-bench"};
  Discovery d{net.transport, vendor, logs};
  std::unique_ptr<sim::SimulatedNetwork> simulated;
  std::vector<std::uint8_t> payload;

  Bench() {
    d.trace = nullptr;
    auto adapter = [](int i) {
      auto config = sim::default_adapter(
          sim::Family::HomePlugAv,
          {0x00, 0xB0, 0x52, 0x30, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)});
      config.chipCode = 4;
      config.versionText = "QA-2400-MAC-5-2-5214-02-20140301-FINAL";
      config.phyRateMbps = 100 + i;
      return config;
    };
    sim::Scenario scenario;
    sim::NicConfig nic;
    nic.name = "sim0";
    nic.mac = {0x02, 0, 0, 0, 0, 0x10};
    nic.local = adapter(0);
    for (int i = 1; i <= kListedStations; ++i) nic.remotes.push_back(adapter(i));
    scenario.nics.push_back(nic);
    simulated = std::make_unique<sim::SimulatedNetwork>(net.backend, net.clock, scenario);
    net.transport.open_all_nics();
    net.transport.nicRecords[0].localMac = nic.local->mac;
    vendor.header_version = kLongHeaderVersion;
    d.state.local_adapter_is_av = 1;

    // The answer as the local adapter gives it.
    send_vendor_request(d, nic.local->mac.data(), mmtype::NETWORK_INFO);
    VendorResult answer;
    if (!vendor.wait_confirmation(mmtype::NETWORK_INFO, answer)) throw std::runtime_error("no answer");
    const auto received = static_cast<std::size_t>(net.transport.receivedFrame.length) - 27;
    payload.assign(answer.payload.begin(), answer.payload.begin() + static_cast<std::ptrdiff_t>(received));
    if (payload[27] != kListedStations) throw std::runtime_error("unexpected station count");
  }
};

void BM_RegisterAvStationsFullLongAnswer(benchmark::State& state) {
  Bench bench;
  int registered = 0;
  for (auto _ : state) {
    bench.d.current_block() = StationBlock{};
    registered = register_av_stations(bench.d, bench.payload, NetworkInfoForm::Long);
    benchmark::DoNotOptimize(registered);
  }
  state.counters["registered"] = registered;
  state.counters["stations/s"] =
      benchmark::Counter(static_cast<double>(registered), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RegisterAvStationsFullLongAnswer)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zv
