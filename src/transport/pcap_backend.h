#pragma once
// The capture backend on libpcap (the Linux build has no remote-capture API): list with
// pcap_findalldevs, open with pcap_create/pcap_activate in immediate, non-blocking mode,
// and wait with poll() on the handles' selectable descriptors.

#include "transport/capture_backend.h"

namespace zv {

class PcapBackend final : public CaptureBackend {
 public:
  // Only real Ethernet interfaces: up, not loopback, with a 6-byte Ethernet hardware
  // address (libpcap also lists pseudo-devices such as any, nflog or bus monitors).
  bool list_interfaces(std::vector<InterfaceInfo>& out) override;
  bool read_address(const std::string& name, MacAddress& mac) override;
  std::unique_ptr<CaptureHandle> open(const std::string& name, OpenFailure& why,
                                      std::string& detail) override;
  void wait_readable(std::span<CaptureHandle* const> handles, std::uint64_t timeout_us) override;
};

}  // namespace zv
