#include "nics_command.h"

#include <nlohmann/json.hpp>

namespace zv {

int run_nics_command(Transport& transport, bool json, std::FILE* out) {
  transport.open_all_nics();
  nlohmann::json list = nlohmann::json::array();
  for (int i = 0; i < transport.nicCount; ++i) {
    const InterfaceInfo* entry = transport.nic_list_entry(i);
    const CaptureSlot& slot = transport.captureSlots[i];
    const bool open = slot.handle != nullptr;
    std::string why;
    if (!open) {
      why = open_failure_text(slot.openFailure);
      if (!slot.openDetail.empty() && slot.openDetail != why) why += " (" + slot.openDetail + ")";
    }
    if (json) {
      list.push_back({{"index", i},
                      {"name", entry ? entry->name : ""},
                      {"mac", format_mac(slot.mac)},
                      {"open", open},
                      {"openFailure", open ? "" : open_failure_text(slot.openFailure)},
                      {"detail", why}});
    } else {
      std::fprintf(out, "%d  %-16s %s  %s\n", i, entry ? entry->name.c_str() : "",
                   format_mac(slot.mac).c_str(), open ? "open" : why.c_str());
    }
  }
  if (json)
    std::fprintf(out, "%s\n", nlohmann::json{{"nicCount", transport.nicCount}, {"nics", list}}.dump(2).c_str());
  else if (transport.nicCount == 0)
    std::fprintf(out, "no Ethernet interface found\n");
  transport.close_all_nics();
  return 0;
}

}  // namespace zv
