#pragma once
// A Discovery with a recording main page on a simulated network of several NICs.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/fixed_text.h"
#include "discovery_fixture.h"
#include "sim/simulated_network.h"

namespace zv::test {

// "设备" as the device records keep it (CP936).
inline constexpr std::string_view kDeviceWord = "\xC9\xE8\xB1\xB8";

// "设备 N".
inline std::string device_name(int n) { return std::string(kDeviceWord) + " " + std::to_string(n); }

// Names parameterised cases after their `name` field.
struct CaseName {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return info.param.name;
  }
};

class ScanTest : public DiscoveryTest {
 protected:
  ScanTest() { d.mainPage = &page; }

  // NIC `index` of a scenario: "sim<index>", MAC 02:5A:56:00:00:<index + 1>.
  static sim::NicConfig nic(int index, std::optional<sim::AdapterConfig> local,
                            std::vector<sim::AdapterConfig> remotes = {}) {
    sim::NicConfig config;
    config.name = "sim" + std::to_string(index);
    config.mac = {0x02, 0x5A, 0x56, 0x00, 0x00, static_cast<std::uint8_t>(index + 1)};
    config.local = std::move(local);
    config.remotes = std::move(remotes);
    return config;
  }
  static sim::AdapterConfig av(std::uint8_t last, std::uint8_t chipCode = 1) {
    auto config =
        sim::default_adapter(sim::Family::HomePlugAv, {0x00, 0xB0, 0x52, 0x00, 0x30, last});
    config.chipCode = chipCode;
    config.versionText = chipCode == 4 ? "QA-2400-MAC-5-2-5214" : "QA-1000-MAC-3-3-3312";
    return config;
  }
  static sim::AdapterConfig hp10(sim::Family family, std::uint8_t last) {
    return sim::default_adapter(family, {0x02, 0x48, 0x50, 0x00, 0x30, last});
  }
  // Attaches the simulated adapters; the scan opens the NICs itself.
  void load(std::vector<sim::NicConfig> nics) {
    sim::Scenario scenario;
    scenario.nics = std::move(nics);
    simulated = std::make_unique<sim::SimulatedNetwork>(net.backend, net.clock, scenario);
  }
  sim::SimulatedAdapter& adapter(const MacAddress& mac) { return *simulated->find(mac); }

  // Appends a device record.
  DeviceRecord& add_record(std::string_view name, const MacAddress& mac = {},
                           const NetworkKey& key = {}, std::string_view networkName = {}) {
    DeviceRecord& record = d.state.deviceRecords[static_cast<std::size_t>(d.state.deviceCount++)];
    set_fixed_text(record.name, name);
    record.mac = mac;
    record.key = key;
    set_fixed_text(record.networkName, networkName);
    return record;
  }
  std::string record_name(int index) const {
    return std::string(fixed_text(d.state.deviceRecords[index].name));
  }

  RecordingMainPage page;
  std::unique_ptr<sim::SimulatedNetwork> simulated;
};

}  // namespace zv::test
