#pragma once
// Everything the discovery operations work with: the transport, the vendor message layer,
// the diagnostic logs, the discovery state and the hooks to the main page. Operations are
// free functions taking a Discovery; they act on the current NIC (transport.currentNic)
// unless stated.

#include <cstdio>
#include <functional>

#include "discovery/discovery_state.h"
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
  // The main page's refresh (redraws the lists, takes over new stations); may be empty.
  std::function<void(int phase)> refreshMainPage;
  // Internal traces ("valid", "something wrong in BHAPI_GETVERSION \n"); null: silent.
  std::FILE* trace = stdout;

  StationBlock& current_block();
  NicRecord& current_nic() { return transport.current_nic_record(); }
  void print_trace(const char* text) const;
};

}  // namespace zv
