#pragma once
// A Discovery on the simulated powerline network of a scenario built in code.

#include <memory>

#include "discovery_fixture.h"
#include "sim/simulated_network.h"

namespace zv::test {

class SimulatedDiscoveryTest : public DiscoveryTest {
 protected:
  // One NIC "sim0" with `local` wired to it and `remotes` behind it; opens the NICs and
  // records `local` as the NIC's present local adapter.
  void start(const sim::AdapterConfig& local, const std::vector<sim::AdapterConfig>& remotes) {
    sim::Scenario scenario;
    sim::NicConfig nic;
    nic.name = "sim0";
    nic.mac = {0x02, 0, 0, 0, 0, 0x10};
    nic.local = local;
    nic.remotes = remotes;
    scenario.nics.push_back(nic);
    simulated = std::make_unique<sim::SimulatedNetwork>(net.backend, net.clock, scenario);
    net.transport.open_all_nics();
    NicRecord& record = net.transport.nicRecords[0];
    record.localMac = local.mac;
    record.present = 1;
  }
  static sim::AdapterConfig av_adapter(std::uint8_t last, std::uint8_t chipCode = 1) {
    auto config = sim::default_adapter(sim::Family::HomePlugAv, {0x00, 0xB0, 0x52, 0x00, 0x10, last});
    config.chipCode = chipCode;
    config.versionText = chipCode == 4 ? "QA-2400-MAC-5-2-5214" : "QA-1000-MAC-3-3-3312";
    return config;
  }
  // The frames the program sent on NIC 0 with this vendor MMTYPE.
  std::vector<std::vector<std::uint8_t>> sent_vendor(std::uint16_t mmtype) {
    std::vector<std::vector<std::uint8_t>> found;
    for (const auto& frame : net.backend.sent("sim0")) {
      if (frame.size() < 17 || frame[12] != 0x88 || frame[13] != 0xE1) continue;
      if ((frame[15] | frame[16] << 8) == mmtype) found.push_back(frame);
    }
    return found;
  }

  std::unique_ptr<sim::SimulatedNetwork> simulated;
};

}  // namespace zv::test
