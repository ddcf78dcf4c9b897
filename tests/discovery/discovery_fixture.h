#pragma once
// A Discovery on the in-memory network, with its logs in a fresh folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "discovery/discovery.h"
#include "hpav/vendor_layer.h"
#include "support/memory_network.h"
#include "transport/frame_helpers.h"

namespace zv::test {

class DiscoveryTest : public ::testing::Test {
 protected:
  DiscoveryTest() { d.trace = nullptr; }
  ~DiscoveryTest() override { std::filesystem::remove_all(logFolder); }

  // Opens `count` plain interfaces "sim0".. (no adapters behind them).
  void open_nics(int count) {
    net.add_nics(count);
    net.transport.open_all_nics();
  }
  // A frame arriving on NIC `nic`.
  void arrive(int nic, const std::vector<std::uint8_t>& frame) {
    net.backend.deliver("sim" + std::to_string(nic), frame);
  }
  StationBlock& block() { return d.current_block(); }

  static std::filesystem::path make_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zv-discovery-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    return pattern;
  }

  MemoryNetwork net;
  VendorLayer vendor{net.transport};
  std::filesystem::path logFolder = make_folder();
  DiagnosticLogs logs{logFolder, "ZV350 应用软件"};
  Discovery d{net.transport, vendor, logs};
};

// A one-entry 0x887B frame from `source`, `data` after the length byte, which is the
// data's size unless given.
inline std::vector<std::uint8_t> hp10_frame(const MacAddress& source, std::uint8_t type,
                                            std::vector<std::uint8_t> data,
                                            int lengthByte = -1) {
  std::vector<std::uint8_t> frame(17, 0);
  build_hp10_header(frame.data(), source.data(), kBroadcastMac.data());
  frame[14] = 1;
  frame[15] = type;
  frame[16] = static_cast<std::uint8_t>(lengthByte < 0 ? data.size() : lengthByte);
  frame.insert(frame.end(), data.begin(), data.end());
  if (frame.size() < 60) frame.resize(60, 0);
  return frame;
}

inline MacAddress station_mac(std::uint8_t last) { return {0x00, 0x11, 0x22, 0x33, 0x44, last}; }

}  // namespace zv::test
