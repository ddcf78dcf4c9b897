#pragma once
// Per-NIC records: the capture slot (handle and interface address) and the detection
// record that discovery fills.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/mac.h"
#include "transport/capture_backend.h"

namespace zv {

inline constexpr int kMaxNics = 8;

// What kind of local adapter sits on a NIC (`NicRecord::adapterKind`).
enum AdapterKind : std::int32_t {
  kAdapterGeneric = 0,
  kAdapterUsb = 1,
  kAdapterTurbo = 2,
  kAdapterHomePlug10 = 3,
  kAdapterAvFirstFamily = 4,
  kAdapterAv2400 = 5,
};

struct CaptureSlot {
  std::unique_ptr<CaptureHandle> handle;  // null while the NIC is not open
  MacAddress mac{};                       // zero when the address could not be read
  // Why the last open failed (None while open or never tried), for the user.
  OpenFailure openFailure = OpenFailure::NotListed;
  std::string openDetail;
};

struct NicRecord {
  std::uint8_t missCount = 0;  // consecutive unanswered HomePlug 1.0 presence rounds
  std::int32_t adapterKind = kAdapterGeneric;
  std::int32_t statusValid = 0;
  MacAddress localMac{};  // the adapter wired to this NIC; zero until seen
  std::int32_t present = 0;
  std::array<std::uint8_t, 50> statusBlock{};
  // Traffic through this NIC, counted by send_frame and receive_frame.
  std::uint32_t bytesReceived = 0;
  std::uint32_t framesReceived = 0;
  std::uint32_t bytesSent = 0;
  std::uint32_t framesSent = 0;
};

// Display text of an adapter kind; "Adapter" for values outside the table.
const char* adapter_kind_name(std::int32_t kind);

}  // namespace zv
