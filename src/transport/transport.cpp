#include "transport/transport.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "base/bytes.h"
#include "transport/frame_helpers.h"
#include "transport/management_filter.h"

namespace zv {

namespace {

std::uint8_t byte_or_zero(const ReceivedFrame& frame, std::size_t offset) {
  return offset < static_cast<std::size_t>(frame.length) ? frame.data[offset] : 0;
}

}  // namespace

int Transport::enumerate_nics() {
  nicCount = 0;
  interfaces_.clear();
  receivedFrame.length = 0;
  receivedFrame.data.clear();
  for (auto& slot : captureSlots) slot = CaptureSlot{};
  std::vector<InterfaceInfo> listed;
  if (!backend_.list_interfaces(listed)) return 0;
  // The tables hold 8 NICs: the first 8 in the library's order are kept.
  if (listed.size() > kMaxNics) listed.resize(kMaxNics);
  interfaces_ = std::move(listed);
  for (const auto& entry : interfaces_) {
    read_nic_address(nicCount, entry.name);
    nicCount += 1;
  }
  return 1;
}

int Transport::read_nic_address(int slot, const std::string& name) {
  if (!valid_nic(slot)) return 0;
  MacAddress mac{};
  if (!backend_.read_address(name, mac)) return 0;
  captureSlots[slot].mac = mac;
  return 1;
}

const InterfaceInfo* Transport::nic_list_entry(int n) const {
  if (n < 0 || n >= nicCount || n >= static_cast<int>(interfaces_.size())) return nullptr;
  return &interfaces_[n];
}

int Transport::open_nic(int n) {
  if (!valid_nic(n)) return 0;
  CaptureSlot& slot = captureSlots[n];
  if (slot.handle) return 1;
  const InterfaceInfo* entry = nic_list_entry(n);
  if (entry == nullptr) {
    close_nic(n);
    slot.openFailure = OpenFailure::NotListed;
    return 0;
  }
  slot.handle = backend_.open(entry->name, slot.openFailure, slot.openDetail);
  if (!slot.handle) {
    close_nic(n);
    return 0;
  }
  slot.openFailure = OpenFailure::None;
  slot.openDetail.clear();
  return 1;
}

int Transport::open_all_nics() {
  if (enumerate_nics())
    for (int i = 0; i < nicCount; ++i) open_nic(i);
  return 1;
}

int Transport::close_nic(int n) {
  if (valid_nic(n)) captureSlots[n].handle.reset();
  return 1;
}

int Transport::close_all_nics() {
  receivedFrame.length = 0;
  receivedFrame.data.clear();
  for (int i = 0; i < kMaxNics; ++i) close_nic(i);
  interfaces_.clear();
  return 1;
}

int Transport::send_frame(int n, const std::uint8_t* frame, std::size_t length) {
  if (!valid_nic(n) || frame == nullptr || length > kMaxFrameLength) return 0;
  CaptureHandle* handle = captureSlots[n].handle.get();
  if (handle == nullptr) return 0;
  std::uint8_t padded[kMinFrameLength] = {};
  std::span<const std::uint8_t> bytes(frame, length);
  if (length < kMinFrameLength) {
    std::memcpy(padded, frame, length);
    bytes = std::span<const std::uint8_t>(padded, kMinFrameLength);
  }
  if (!handle->send(bytes)) {
    notice_.show({"内部发包错误，请稍后重试！", "发包错误", NoticeIcon::None, NoticeButtons::Ok, ""});
    return 0;
  }
  NicRecord& record = nicRecords[n];
  record.bytesSent += static_cast<std::uint32_t>(bytes.size());
  record.framesSent += 1;
  return 1;
}

const ReceivedFrame* Transport::receive_frame(int n) {
  if (!valid_nic(n)) return nullptr;
  CaptureHandle* handle = captureSlots[n].handle.get();
  if (handle == nullptr) return nullptr;
  if (handle->receive(receivedFrame.data) != 1) return nullptr;
  if (receivedFrame.data.size() < kEthernetHeaderLength) {
    receivedFrame.length = 0;
    return nullptr;
  }
  receivedFrame.length = static_cast<std::int32_t>(receivedFrame.data.size());
  NicRecord& record = nicRecords[n];
  record.bytesReceived += static_cast<std::uint32_t>(receivedFrame.length);
  record.framesReceived += 1;
  return &receivedFrame;
}

const ReceivedFrame* Transport::receive_on_nic(int n) {
  try {
    const ReceivedFrame* frame = receive_frame(n);
    if (frame != nullptr) snoop(n);
    return frame;
  } catch (const std::exception&) {
    notice_.show({"数据读取错误！", "读取错误", NoticeIcon::None, NoticeButtons::Ok, ""});
    return nullptr;
  }
}

void Transport::snoop(int n) {
  const ReceivedFrame& frame = receivedFrame;
  const std::uint8_t* bytes = frame.data.data();
  const std::uint16_t etherType = get_be16(bytes + 12);
  if (!is_management_ethertype(etherType)) return;

  if (std::memcmp(bytes, bytes + 6, 6) == 0 && std::memcmp(bytes, kBroadcastMac.data(), 6) != 0)
    selfAddressedSeen = 1;

  const std::uint8_t type = byte_or_zero(frame, 15);
  const std::uint8_t first = byte_or_zero(frame, 17);
  const bool announces = (type == 0x1A || type == 0x1E) && (first & 0x80) == 0;
  NicRecord& record = nicRecords[n];
  bool runProbe = false;
  if (selfAddressedSeen || announces) {
    copy_mac(record.localMac.data(), bytes + 6);
    record.present = 1;
    if (type == 0x1A) {
      record.adapterKind = first & 0x7F;
      if (record.adapterKind >= kAdapterUsb && record.adapterKind <= kAdapterHomePlug10)
        runProbe = true;
      else
        record.present = 0;
    }
  }

  if (etherType == kEtherTypeHomePlug10 && type == 0x19 && byte_or_zero(frame, 16) == 0x33 &&
      first == 1) {
    record.statusValid = 1;
    for (std::size_t i = 0; i < record.statusBlock.size(); ++i)
      record.statusBlock[i] = byte_or_zero(frame, 18 + i);
  }

  if (runProbe && statusProbeHook) {
    // The probe receives frames itself; the frame that started it is delivered afterwards.
    // selfAddressedSeen is the probe's to consume: its own waits clear it, so a presence
    // round whose self-addressed answer started a probe counts as unanswered.
    std::vector<std::uint8_t> saved;
    saved.swap(receivedFrame.data);
    const std::int32_t savedLength = receivedFrame.length;
    statusProbeHook(n);
    receivedFrame.data.swap(saved);
    receivedFrame.length = savedLength;
  }
}

int Transport::poll_management_frame(std::span<std::uint8_t> buffer, int& length) {
  for (int i = 0; i < nicCount && i < kMaxNics; ++i) {
    const ReceivedFrame* frame = receive_on_nic(i);
    selfAddressedSeen = 0;
    if (frame == nullptr) continue;
    if (!is_management_ethertype(get_be16(frame->data.data() + 12))) continue;
    const auto size = static_cast<std::size_t>(frame->length);
    if (size > buffer.size()) continue;
    std::memcpy(buffer.data(), frame->data.data(), size);
    length = frame->length;
    lastFrameNic = i;
    return 1;
  }
  return 0;
}

int Transport::wait_for_self_addressed_frame(int n, std::uint32_t timeoutMs) {
  const std::uint64_t deadline = clock_.deadline_after_ms(timeoutMs);
  while (!clock_.reached(deadline)) {
    selfAddressedSeen = 0;
    const ReceivedFrame* frame = receive_on_nic(n);
    if (selfAddressedSeen) {
      selfAddressedSeen = 0;
      return 1;
    }
    if (frame == nullptr) pause(deadline, n);
  }
  return 0;
}

void Transport::delay_ms(std::uint32_t ms) {
  const std::uint64_t deadline = clock_.deadline_after_ms(ms);
  while (const std::uint64_t step = clock_.left_until(deadline, 1000)) clock_.sleep_us(step);
}

void Transport::pause(std::uint64_t deadlineUs, int nic) {
  const std::uint64_t step = clock_.left_until(deadlineUs, 1000);
  if (step == 0) return;
  CaptureHandle* open[kMaxNics];
  std::size_t count = 0;
  for (int i = 0; i < kMaxNics; ++i) {
    if (nic >= 0 && i != nic) continue;
    if (CaptureHandle* handle = captureSlots[i].handle.get()) open[count++] = handle;
  }
  if (count == 0) {
    clock_.sleep_us(step);
    return;
  }
  backend_.wait_readable(std::span<CaptureHandle* const>(open, count), step);
}

NicRecord& Transport::current_nic_record() {
  return nicRecords[static_cast<std::size_t>(std::clamp(currentNic, 0, kMaxNics - 1))];
}

void Transport::local_adapter_mac(std::uint8_t* destination) const {
  copy_mac(destination, nicRecords[static_cast<std::size_t>(std::clamp(currentNic, 0, kMaxNics - 1))].localMac.data());
}

void Transport::nic_source_mac(std::uint8_t* destination) const {
  copy_mac(destination, captureSlots[static_cast<std::size_t>(std::clamp(currentNic, 0, kMaxNics - 1))].mac.data());
}

const char* Transport::adapter_kind_text(int n) {
  const std::int32_t kind = valid_nic(n) ? nicRecords[n].adapterKind : kAdapterGeneric;
  std::snprintf(kindText_, sizeof kindText_, "%s", adapter_kind_name(kind));
  return kindText_;
}

}  // namespace zv
