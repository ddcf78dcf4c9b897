#pragma once
// The wire seam: list interfaces, open one with the management filter, send a frame,
// take one waiting frame without blocking, and wait until a frame may be waiting.
// Implementations: libpcap (pcap_backend.h) and in memory (memory_backend.h).

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/mac.h"

namespace zv {

struct InterfaceInfo {
  std::string name;
  std::string description;
};

// Why an interface could not be opened; kept so the user can be told exactly that.
enum class OpenFailure { None, NotListed, NoPermission, NoSuchDevice, FilterRejected, Other };

const char* open_failure_text(OpenFailure failure);

class CaptureHandle {
 public:
  virtual ~CaptureHandle() = default;
  // true when the library accepted the whole frame.
  virtual bool send(std::span<const std::uint8_t> frame) = 0;
  // One waiting frame into `frame` (resized to its length): 1 delivered, 0 nothing
  // waiting, -1 the library reported an error. Never blocks.
  virtual int receive(std::vector<std::uint8_t>& frame) = 0;
};

class CaptureBackend {
 public:
  virtual ~CaptureBackend() = default;
  // The interfaces to manage, in the library's order; false when listing failed.
  virtual bool list_interfaces(std::vector<InterfaceInfo>& out) = 0;
  // The interface's current hardware address; false when it cannot be read.
  virtual bool read_address(const std::string& name, MacAddress& mac) = 0;
  // Opens `name` for raw frames with the management filter installed; null and a
  // reason on failure.
  virtual std::unique_ptr<CaptureHandle> open(const std::string& name, OpenFailure& why,
                                              std::string& detail) = 0;
  // Returns when a frame may be waiting on one of `handles` or after `timeout_us`,
  // whichever comes first.
  virtual void wait_readable(std::span<CaptureHandle* const> handles,
                             std::uint64_t timeout_us) = 0;
};

}  // namespace zv
