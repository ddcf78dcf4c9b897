#pragma once
// A fresh system for the state tests: a transport in memory, the discovery tables, a
// device list that records what it is asked, and a temporary data folder.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "discovery/discovery_state.h"
#include "state/data_folder.h"
#include "state/device_list_seam.h"
#include "state/state_file.h"
#include "support/memory_network.h"

namespace zv::test {

// A folder of its own under the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zv-state-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class RecordingDeviceList final : public DeviceListSeam {
 public:
  ListLayout list_layout() const override { return layout; }
  void apply_list_layout(const ListLayout& applied) override {
    layout = applied;
    ++applied_count;
  }
  void remove_device_row(const MacAddress& mac) override { removedRows.push_back(mac); }

  ListLayout layout;
  int applied_count = 0;
  std::vector<MacAddress> removedRows;
};

struct StateSystem {
  TempFolder folder;
  MemoryNetwork net;
  DiscoveryState discovery;
  RecordingDeviceList deviceList;
  StateContext context{net.transport, discovery, deviceList, state_file_path(folder.path()), {}};

  std::vector<Notice>& notices() { return net.notice.shown; }
};

inline std::vector<std::uint8_t> read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace zv::test
