#include "scan_command.h"

#include <ctime>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli_main_page.h"
#include "discovery/chip_table.h"
#include "discovery/discovery.h"
#include "discovery/fixed_text.h"
#include "discovery/local_adapter_scan.h"
#include "discovery/scan_cycle.h"
#include "discovery/scan_timer.h"
#include "hpav/vendor_layer.h"
#include "state/cp936_text.h"
#include "state/data_folder.h"
#include "state/preferences.h"
#include "state/state_file.h"
#include "transport/diagnostic_logs.h"

namespace zv {
namespace {

std::string utf8(std::span<const char> field) { return cp936_to_utf8(fixed_text(field)); }

// The chip a local adapter's stored firmware text is named after (it begins with the chip
// name once identified); empty when it names none.
std::string chip_name_of(std::string_view firmware) {
  for (std::uint8_t code = 1; code <= 5; ++code)
    if (const ChipRow* row = chip_for_code(code); row && firmware.starts_with(row->chipName))
      return row->chipName;
  return "";
}

nlohmann::json nic_document(Transport& t, const DiscoveryState& s, int i) {
  const StationBlock& block = s.stationBlocks[static_cast<std::size_t>(i)];
  const NicRecord& record = t.nicRecords[static_cast<std::size_t>(i)];
  const InterfaceInfo* entry = t.nic_list_entry(i);
  const bool present = record.present != 0;
  const std::string firmware = present ? utf8(block.firmwareVersion) : "";
  return {{"index", i},
          {"name", entry ? entry->name : ""},
          {"mac", format_mac(t.captureSlots[static_cast<std::size_t>(i)].mac)},
          {"present", present},
          {"adapterKind", record.adapterKind},
          {"adapterKindText", present ? t.adapter_kind_text(i) : ""},
          {"localMac", present ? format_mac(record.localMac) : ""},
          {"chipName", chip_name_of(firmware)},
          {"firmwareText", firmware},
          {"networkName", present ? utf8(block.networkName) : ""},
          {"framesSent", record.framesSent},
          {"framesReceived", record.framesReceived}};
}

nlohmann::json station_document(const DiscoveryState& s, const StationEntry& entry) {
  const MacAddress mac = entry.mac;
  std::string name;
  for (int i = 0; i < s.deviceCount && i < kMaxDeviceRecords; ++i)
    if (s.deviceRecords[static_cast<std::size_t>(i)].mac == mac)
      name = utf8(s.deviceRecords[static_cast<std::size_t>(i)].name);
  // Packed fields are copied out: the JSON builder takes its values by reference.
  const double rate = entry.rate.current;
  const std::int32_t deviceType = entry.deviceType;
  const std::int32_t sightings = entry.sightings;
  return {{"mac", format_mac(mac)},
          {"name", name},
          {"deviceType", deviceType},
          {"firmwareText", utf8(entry.firmwareVersion)},
          {"rate", rate},
          {"inUse", entry.inUse != 0},
          {"sightings", sightings}};
}

void print_text(const nlohmann::json& doc, std::FILE* out) {
  std::fprintf(out, "NICs (current %d):\n", doc["currentNic"].get<int>());
  for (const auto& nic : doc["nics"]) {
    std::fprintf(out, "  %d  %-16s %s  ", nic["index"].get<int>(), nic["name"].get<std::string>().c_str(),
                 nic["mac"].get<std::string>().c_str());
    if (!nic["present"].get<bool>()) {
      std::fprintf(out, "no local adapter\n");
      continue;
    }
    std::fprintf(out, "%s  %s  chip %s  firmware %s  network \"%s\"\n",
                 nic["adapterKindText"].get<std::string>().c_str(), nic["localMac"].get<std::string>().c_str(),
                 nic["chipName"].get<std::string>().empty() ? "-" : nic["chipName"].get<std::string>().c_str(),
                 nic["firmwareText"].get<std::string>().empty() ? "-" : nic["firmwareText"].get<std::string>().c_str(),
                 nic["networkName"].get<std::string>().c_str());
  }
  if (!doc["found"].get<bool>()) std::fprintf(out, "未搜索到本地电力线以太网适配器，请检查连接是否正常.\n");
  std::fprintf(out, "Stations of NIC %d:\n", doc["currentNic"].get<int>());
  if (doc["stations"].empty()) std::fprintf(out, "  none\n");
  for (const auto& st : doc["stations"]) {
    const double rate = st["rate"].get<double>();
    std::fprintf(out, "  %s  %-12s type %d  %-40s %8s  %s\n", st["mac"].get<std::string>().c_str(),
                 st["name"].get<std::string>().c_str(), st["deviceType"].get<int>(),
                 st["firmwareText"].get<std::string>().empty() ? "-" : st["firmwareText"].get<std::string>().c_str(),
                 rate > 0 ? (std::to_string(static_cast<long>(rate)) + " Mbps").c_str() : "?",
                 st["inUse"].get<bool>() ? "in use" : "dropped");
  }
}

}  // namespace

int run_scan_command(Transport& transport, const ScanOptions& options, std::FILE* out) {
  if (options.dataFolder.empty()) {
    std::fprintf(stderr, "zv350ctl: the data folder cannot be made\n");
    return 2;
  }
  const PrefsRecord prefs = load_preferences(options.programFolder / kPrefsFileName);
  VendorLayer vendor(transport);
  DiagnosticLogs logs(options.dataFolder, kAppCaption);
  logs.diagnosticsLevel = static_cast<std::uint16_t>(prefs.diagnosticsLevel);
  auto discovery = std::make_unique<Discovery>(transport, vendor, logs);
  Discovery& d = *discovery;
  d.trace = stderr;  // standard output carries the result only
  CliMainPage page(d, [] { return static_cast<std::int64_t>(std::time(nullptr)); });
  d.mainPage = &page;

  StoredListLayout layout;
  StateContext context{transport, d.state, layout, state_file_path(options.dataFolder), {}};
  load_state(context);
  if (options.nic >= 0) transport.currentNic = options.nic;

  ManualTimer timer;
  ScanCycle cycle(d, timer);
  const std::int32_t unit = timer_unit(prefs);
  const bool found = cycle.start_scan(static_cast<std::uint16_t>(unit), kMainPageScanRetries, 1) != 0;
  // Ticks come every period on the clock, as the GUI's timer gives them, whatever a tick
  // itself took. A cycle without adapter lasts 7 units; the loop is bounded by that.
  const long tickLimit = static_cast<long>(options.cycles) * (7L * unit + 8);
  Clock& clock = transport.clock();
  std::uint64_t nextTick = clock.now_us();
  long ticks = 0;
  for (; page.fullScans < options.cycles && ticks < tickLimit && timer.running(); ++ticks) {
    nextTick += static_cast<std::uint64_t>(cycle.period_ms()) * 1000;
    while (const std::uint64_t step = clock.left_until(nextTick, 1000)) clock.sleep_us(step);
    timer.tick();
  }
  cycle.stop_scan_timer();
  if (save_state(context) == SaveResult::Failed)
    std::fprintf(stderr, "zv350ctl: the state could not be saved in %s\n", options.dataFolder.c_str());

  nlohmann::json nics = nlohmann::json::array();
  for (int i = 0; i < transport.nicCount; ++i) nics.push_back(nic_document(transport, d.state, i));
  nlohmann::json stations = nlohmann::json::array();
  for (const StationEntry& entry : d.current_block().stations)
    if (!is_zero_mac(MacAddress(entry.mac).data())) stations.push_back(station_document(d.state, entry));
  const nlohmann::json doc{{"found", found},
                           {"cycles", page.fullScans},
                           {"ticks", ticks},
                           {"periodMs", cycle.period_ms()},
                           {"currentNic", transport.currentNic},
                           {"nicCount", transport.nicCount},
                           {"nics", nics},
                           {"stations", stations}};
  if (options.json)
    std::fprintf(out, "%s\n", doc.dump(2).c_str());
  else
    print_text(doc, out);
  transport.close_all_nics();
  return 0;
}

}  // namespace zv
