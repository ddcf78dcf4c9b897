#pragma once
// The system's only way to the wire: the NIC table, opening NICs with the management
// filter, sending, bounded polling for received frames and the local-adapter snoop.
// Everything runs on the caller's thread; a receive is one non-blocking look into one
// capture handle, and every wait is a deadline on the clock.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "base/clock.h"
#include "base/user_notice.h"
#include "transport/capture_backend.h"
#include "transport/nic_record.h"

namespace zv {

// The last delivered frame; replaced by the next receive.
struct ReceivedFrame {
  std::int32_t length = 0;
  std::vector<std::uint8_t> data;  // reused between frames: no allocation per frame
};

class Transport {
 public:
  Transport(CaptureBackend& backend, Clock& clock, UserNotice& notice)
      : backend_(backend), clock_(clock), notice_(notice) {}
  Transport(const Transport&) = delete;
  Transport& operator=(const Transport&) = delete;

  // --- state ---
  std::array<CaptureSlot, kMaxNics> captureSlots;
  std::array<NicRecord, kMaxNics> nicRecords;  // outlives every scan
  std::int32_t nicCount = 0;
  std::int32_t currentNic = 0;
  ReceivedFrame receivedFrame;
  std::int32_t lastFrameNic = 0;
  std::int32_t selfAddressedSeen = 0;
  // Runs the HomePlug 1.0 status probe on a NIC when the snoop sees a local HomePlug
  // 1.0 or Turbo adapter announce itself; discovery fills it.
  std::function<void(int nic)> statusProbeHook;

  // --- NIC table ---
  // Lists the interfaces (at most 8 kept) and reads their addresses; 0 when listing failed.
  int enumerate_nics();
  // 1 when the interface's MAC was stored in the slot.
  int read_nic_address(int slot, const std::string& name);
  // The n-th listed interface, or null.
  const InterfaceInfo* nic_list_entry(int n) const;
  // 1 when NIC n is open with the filter installed (at once when it already is).
  int open_nic(int n);
  int open_all_nics();  // always 1
  int close_nic(int n);  // always 1
  int close_all_nics();  // always 1

  // --- frames ---
  // 1 when the frame went out. Shorter than 60 bytes: padded with zeros to 60.
  // Longer than 1514, or NIC not open: 0, nothing sent.
  int send_frame(int n, const std::uint8_t* frame, std::size_t length);
  // One waiting frame of NIC n, or null. Frames shorter than an Ethernet header are dropped.
  const ReceivedFrame* receive_frame(int n);
  // receive_frame with the local-adapter snoop applied.
  const ReceivedFrame* receive_on_nic(int n);
  // 1 and the frame in `buffer`/`length` when some NIC delivered a management frame; NIC 0
  // is looked at first, one frame per NIC per pass. A frame longer than `buffer` is dropped.
  int poll_management_frame(std::span<std::uint8_t> buffer, int& length);
  // 1 when a frame that raised `selfAddressedSeen` arrived on NIC n within the time-out.
  int wait_for_self_addressed_frame(int n, std::uint32_t timeoutMs);

  // --- time ---
  void delay_ms(std::uint32_t ms);
  // The pause of every polling loop: returns after 1 ms, at the deadline, or as soon as
  // a frame may be waiting on an open NIC (on NIC `nic` only when it is 0..7).
  void pause(std::uint64_t deadlineUs, int nic = -1);

  // --- current NIC ---
  NicRecord& current_nic_record();
  void local_adapter_mac(std::uint8_t* destination) const;
  // The source address of every request; zero when the NIC's address is unknown.
  void nic_source_mac(std::uint8_t* destination) const;
  // Text of NIC n's adapter kind, in one shared buffer valid until the next call.
  const char* adapter_kind_text(int n);

  Clock& clock() { return clock_; }
  UserNotice& notice() { return notice_; }
  CaptureBackend& backend() { return backend_; }

 private:
  void snoop(int n);
  static bool valid_nic(int n) { return n >= 0 && n < kMaxNics; }

  CaptureBackend& backend_;
  Clock& clock_;
  UserNotice& notice_;
  std::vector<InterfaceInfo> interfaces_;
  char kindText_[64] = {};
};

}  // namespace zv
