#pragma once
// Everything the discovery operations work with: the transport, the vendor message layer,
// the diagnostic logs, the discovery state and the main page. Operations are free
// functions taking a Discovery; they act on the current NIC (transport.currentNic)
// unless stated.

#include <cstdio>

#include "discovery/discovery_state.h"
#include "discovery/main_page_seam.h"
#include "hpav/vendor_layer.h"
#include "transport/diagnostic_logs.h"
#include "transport/transport.h"

namespace zv {

struct Discovery {
  // Installs hp10_status_probe as the transport's status probe hook; the destructor
  // removes it again.
  Discovery(Transport& transport, VendorLayer& vendor, DiagnosticLogs& logs);
  ~Discovery();
  Discovery(const Discovery&) = delete;
  Discovery& operator=(const Discovery&) = delete;

  Transport& transport;
  VendorLayer& vendor;
  DiagnosticLogs& logs;
  DiscoveryState state;
  // The main page; null: no page (every call does nothing). Not owned.
  MainPageSeam* mainPage = nullptr;
  // Internal traces ("valid", "something wrong in BHAPI_GETVERSION \n"); null: silent.
  std::FILE* trace = stdout;

  MainPageSeam& main_page() { return mainPage != nullptr ? *mainPage : noPage_; }
  StationBlock& current_block();
  NicRecord& current_nic() { return transport.current_nic_record(); }
  void print_trace(const char* text) const;

 private:
  SilentMainPage noPage_;
};

}  // namespace zv
