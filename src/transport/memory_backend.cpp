#include "transport/memory_backend.h"

#include "transport/management_filter.h"

namespace zv {

class MemoryBackend::Handle final : public CaptureHandle {
 public:
  explicit Handle(Wire& wire) : wire_(wire) { ++wire_.openHandles; }
  ~Handle() override {
    if (--wire_.openHandles == 0) wire_.waiting.clear();
  }

  bool send(std::span<const std::uint8_t> frame) override {
    wire_.sent.emplace_back(frame.begin(), frame.end());
    if (wire_.listener) wire_.listener(frame);
    return true;
  }

  int receive(std::vector<std::uint8_t>& frame) override {
    if (wire_.failReceive) return -1;
    if (wire_.waiting.empty()) return 0;
    frame = std::move(wire_.waiting.front());
    wire_.waiting.pop_front();
    return 1;
  }

  bool has_waiting() const { return !wire_.waiting.empty(); }

 private:
  Wire& wire_;
};

void MemoryBackend::add_interface(const std::string& name, const MacAddress& mac,
                                  OpenFailure failure) {
  if (wires_.find(name) == wires_.end()) order_.push_back(name);
  Wire& wire = wires_[name];
  wire.mac = mac;
  wire.failure = failure;
}

void MemoryBackend::attach(const std::string& name, WireListener listener) {
  wires_.at(name).listener = std::move(listener);
}

void MemoryBackend::deliver(const std::string& name, std::span<const std::uint8_t> frame,
                            bool bypassFilter) {
  Wire& wire = wires_.at(name);
  if (wire.openHandles == 0) return;
  if (!bypassFilter && !management_filter_accepts(frame)) return;
  wire.waiting.emplace_back(frame.begin(), frame.end());
}

const std::vector<std::vector<std::uint8_t>>& MemoryBackend::sent(const std::string& name) {
  return wires_.at(name).sent;
}

void MemoryBackend::fail_receive(const std::string& name, bool fail) {
  wires_.at(name).failReceive = fail;
}

bool MemoryBackend::list_interfaces(std::vector<InterfaceInfo>& out) {
  out.clear();
  if (failListing_) return false;
  for (const auto& name : order_) out.push_back({name, "simulated"});
  return true;
}

bool MemoryBackend::read_address(const std::string& name, MacAddress& mac) {
  auto it = wires_.find(name);
  if (it == wires_.end()) return false;
  mac = it->second.mac;
  return true;
}

std::unique_ptr<CaptureHandle> MemoryBackend::open(const std::string& name, OpenFailure& why,
                                                   std::string& detail) {
  auto it = wires_.find(name);
  if (it == wires_.end()) {
    why = OpenFailure::NoSuchDevice;
    detail = "no such interface";
    return nullptr;
  }
  why = it->second.failure;
  if (why != OpenFailure::None) {
    detail = open_failure_text(why);
    return nullptr;
  }
  return std::make_unique<Handle>(it->second);
}

void MemoryBackend::wait_readable(std::span<CaptureHandle* const> handles,
                                  std::uint64_t timeout_us) {
  auto anyWaiting = [&] {
    for (CaptureHandle* handle : handles)
      if (static_cast<Handle*>(handle)->has_waiting()) return true;
    return false;
  };
  if (anyWaiting()) return;
  clock_.advance_until(clock_.now_us() + timeout_us, anyWaiting);
}

}  // namespace zv
