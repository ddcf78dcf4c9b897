#pragma once
// The state of the one multi-frame transfer (firmware/parameter-block write or module
// read) and the next frame it wants sent. Owned by VendorLayer; idle when all zero.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "base/mac.h"
#include "hpav/chunk_cursor.h"

namespace zv {

// TransferState::flags.
enum TransferFlag : std::uint32_t {
  // Options of start_module_write (masked with kTransferOptionMask).
  kTransferCommit = 0x01,        // memory path ends with COMMIT_MODULES, not START_IMAGE;
                                 // set by every read start
  kTransferOption02 = 0x02,      // meaningful only as part of 0x13
  kTransferCommitOption = 0x10,  // OR-ed into the COMMIT_MODULES module set
  kTransferModulePath = 0x20,    // write with WRITE_MODULE (so does 0x13 together)
  kTransferOptionMask = 0x33,
  // Progress.
  kTransferImageFirst = 0x200,   // write: image first, parameter block to come;
                                 // read: image headers are being walked
  kTransferUnfinished = 0x400,   // the last module of the transfer is not finished
};

// The next frame to send. Written by a transfer start, by each transfer confirmation and
// by the DEVICE_EVENT response; taken by VendorLayer::build_next_frame.
struct PendingRequest {
  static constexpr std::size_t kFixedCapacity = 20;

  std::uint8_t ready = 0;
  MacAddress destination{};
  MacAddress source{};
  std::uint16_t mmtype = 0;
  std::uint32_t fixedLength = 0;
  std::array<std::uint8_t, kFixedCapacity> fixed{};  // the message fields behind the header
  std::uint32_t dataLength = 0;
  const std::uint8_t* data = nullptr;  // a chunk of the caller's buffer
};

enum class CurrentCursor : std::uint8_t { None, Firmware, ParameterBlock };

struct TransferState {
  std::uint32_t flags = 0;            // TransferFlag bits
  std::int32_t readTarget = 0;        // 1 image chain, 2 parameter block, 3 both
  std::int32_t resultKind = 0;        // 7 write, 9 read (ResultKind)
  std::uint8_t retryCounter = 0;      // set to 3 by every good confirmation
  std::uint32_t expectedTotal = 0;    // read: bytes the module holds, learnt on the way
  std::uint32_t nextHeaderOffset = 0; // read: where the next image header starts
  PendingRequest pending;
  // The transfer's own last frame. A DEVICE_EVENT response may take `pending` over; the
  // next chunk's address or offset and a retry come from here, never from the response.
  PendingRequest lastRequest;
  std::optional<ChunkCursor> firmwareCursor;
  std::optional<ChunkCursor> parameterCursor;
  CurrentCursor current = CurrentCursor::None;
  std::uint8_t moduleSet = 0;         // 2, or 3 when an image is written too
  // Memory path: the header in front of the image being written (its START_IMAGE words).
  const std::uint8_t* imageHeader = nullptr;
  // Read into a caller's buffer (optional): chunks are appended at readLength.
  std::span<std::uint8_t> readBuffer;
  std::uint32_t readLength = 0;

  ChunkCursor* current_cursor() {
    switch (current) {
      case CurrentCursor::Firmware: return firmwareCursor ? &*firmwareCursor : nullptr;
      case CurrentCursor::ParameterBlock: return parameterCursor ? &*parameterCursor : nullptr;
      case CurrentCursor::None: break;
    }
    return nullptr;
  }
  bool module_path() const {
    return (flags & kTransferModulePath) != 0 || (flags & 0x13) == 0x13;
  }
};

}  // namespace zv
