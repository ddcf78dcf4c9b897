#pragma once
// The capture backend in memory: interfaces whose other end is a callback (the simulated
// adapters), on the virtual clock. Frames handed to deliver() pass the same management
// filter as on a real interface.

#include <deque>
#include <functional>
#include <map>

#include "base/virtual_clock.h"
#include "transport/capture_backend.h"

namespace zv {

class MemoryBackend final : public CaptureBackend {
 public:
  using WireListener = std::function<void(std::span<const std::uint8_t> frame)>;

  explicit MemoryBackend(VirtualClock& clock) : clock_(clock) {}

  // Adds an interface at the end of the list. `failure` other than None makes open fail.
  void add_interface(const std::string& name, const MacAddress& mac,
                     OpenFailure failure = OpenFailure::None);
  // What the program sends on `name` goes to `listener` (replacing any earlier one).
  void attach(const std::string& name, WireListener listener);
  // A frame arriving on `name`; kept only while a handle on it is open and, unless
  // `bypassFilter`, only when the management filter passes it.
  void deliver(const std::string& name, std::span<const std::uint8_t> frame,
               bool bypassFilter = false);
  // Every frame the program sent on `name`, oldest first.
  const std::vector<std::vector<std::uint8_t>>& sent(const std::string& name);
  void fail_listing(bool fail) { failListing_ = fail; }
  void fail_receive(const std::string& name, bool fail);

  bool list_interfaces(std::vector<InterfaceInfo>& out) override;
  bool read_address(const std::string& name, MacAddress& mac) override;
  std::unique_ptr<CaptureHandle> open(const std::string& name, OpenFailure& why,
                                      std::string& detail) override;
  void wait_readable(std::span<CaptureHandle* const> handles, std::uint64_t timeout_us) override;

  VirtualClock& clock() { return clock_; }

 private:
  struct Wire {
    MacAddress mac{};
    OpenFailure failure = OpenFailure::None;
    WireListener listener;
    std::deque<std::vector<std::uint8_t>> waiting;
    std::vector<std::vector<std::uint8_t>> sent;
    int openHandles = 0;
    bool failReceive = false;
  };
  class Handle;

  VirtualClock& clock_;
  std::vector<std::string> order_;
  std::map<std::string, Wire> wires_;
  bool failListing_ = false;
};

}  // namespace zv
