#include "devices_command.h"

#include <ctime>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "base/mac.h"
#include "discovery/fixed_text.h"
#include "state/cp936_text.h"
#include "state/data_folder.h"
#include "state/state_file.h"

namespace zv {
namespace {

const char* fault_text(StateFileFault fault) {
  switch (fault) {
    case StateFileFault::None: return "";
    case StateFileFault::ShortRead: return "it ends too early";
    case StateFileFault::OldVersion: return "its version is older than 306";
    case StateFileFault::NegativeCurrentNic: return "its current NIC is negative";
    case StateFileFault::BadDeviceCount: return "its device count is outside 1..32";
  }
  return "";
}

// Local time "YYYY-MM-DD HH:MM:SS"; empty for a device never shown.
std::string time_text(std::int64_t seconds) {
  if (seconds <= 0) return "";
  const auto t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!::localtime_r(&t, &local)) return "";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string utf8(std::span<const char> field) { return cp936_to_utf8(fixed_text(field)); }

}  // namespace

int run_devices_command(const std::filesystem::path& dataFolder, bool json, std::FILE* out) {
  if (dataFolder.empty()) {
    std::fprintf(stderr, "zv350ctl: the data folder cannot be made\n");
    return 2;
  }
  const std::filesystem::path file = state_file_path(dataFolder);
  auto state = std::make_unique<StateFile>();
  const auto fault = read_state_file(file, *state);
  if (fault && *fault != StateFileFault::None) {
    std::fprintf(stderr, "zv350ctl: the state file %s cannot be read: %s\n", file.c_str(),
                 fault_text(*fault));
    return 1;
  }
  const int count = fault ? state->deviceCount : 0;

  nlohmann::json devices = nlohmann::json::array();
  for (int i = 0; i < count; ++i) {
    const DeviceRecord& r = state->deviceRecords[i];
    const std::int64_t lastSeen = r.lastSeen;
    if (json) {
      devices.push_back({{"index", i + 1},
                         {"name", utf8(r.name)},
                         {"mac", format_mac(r.mac)},
                         {"passwordText", utf8(r.passwordText)},
                         {"networkName", utf8(r.networkName)},
                         {"lastSeen", lastSeen},
                         {"lastSeenText", time_text(lastSeen)}});
    } else {
      const auto cell = [](std::string text) { return text.empty() ? std::string("-") : text; };
      std::fprintf(out, "%2d  %-20s %s  %-24s %-24s %s\n", i + 1, cell(utf8(r.name)).c_str(),
                   format_mac(r.mac).c_str(), cell(utf8(r.passwordText)).c_str(),
                   cell(utf8(r.networkName)).c_str(), cell(time_text(lastSeen)).c_str());
    }
  }
  if (json) {
    const nlohmann::json document{{"dataFolder", dataFolder.string()},
                                  {"stateFile", file.string()},
                                  {"deviceCount", count},
                                  {"devices", devices}};
    std::fprintf(out, "%s\n",
                 document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  } else if (count == 0) {
    std::fprintf(out, "no device records in %s\n", file.c_str());
  }
  return 0;
}

}  // namespace zv
