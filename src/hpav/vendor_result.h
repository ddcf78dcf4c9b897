#pragma once
// The record one decoded vendor frame leaves behind. Owned by the caller, cleared at the
// start of every decode. Payload positions are counted from the start of `payload`.

#include <array>
#include <cstdint>
#include <span>

#include "base/mac.h"

namespace zv {

inline constexpr std::size_t kVendorResultPayloadSize = 1513;

enum class ResultKind : std::int32_t {
  None = 0,
  A031 = 1,
  A055 = 2,
  NetworkInfo = 3,
  GetVersion = 4,
  A01D = 5,
  DeviceEvent = 6,
  WriteTransfer = 7,  // WRITE_MODULE, WRITE_MEMORY, START_IMAGE, COMMIT_MODULES
  SetKey = 8,
  ReadTransfer = 9,   // READ_MODULE
  A071 = 10,
  A06D = 11,
  A05D = 12,
  RestoreDefaults = 13,
  A091 = 14,
  A095 = 15,
  ReadDeviceBlock = 16,
};

enum class ProgressState : std::int32_t {
  None = 0,
  Queued = 1,    // a further frame (next chunk, retry or response) waits in build_next_frame
  Finished = 2,  // the exchange is over
};

struct VendorResult {
  ResultKind resultKind = ResultKind::None;
  ProgressState progressState = ProgressState::None;
  std::uint16_t mmtype = 0;  // 0xFFFF when the frame was refused before its type was known
  std::uint8_t status = 0;   // the device's status byte (frame[20]) or a local errno value
  MacAddress destinationMac{};
  MacAddress sourceMac{};    // the answering device
  std::uint8_t hasData = 0;
  std::int32_t payloadLength = 0;
  std::array<std::uint8_t, kVendorResultPayloadSize> payload{};
};

// GET_VERSION answer.
inline constexpr std::size_t kVersionChipCodeAt = 0;
inline constexpr std::size_t kVersionTextLengthAt = 1;
inline constexpr std::size_t kVersionTextAt = 2;
inline constexpr std::size_t kVersionTextSize = 64;
// NETWORK_INFO answer: the message payload (from its first byte behind the header for
// MMV 0, from frame[27] with the long header) starts at 0.
inline constexpr std::size_t kNetworkInfoAt = 0;
// READ_DEVICE_BLOCK answer: answer code, block length n, n bytes.
inline constexpr std::size_t kDeviceBlockCodeAt = 0;
inline constexpr std::size_t kDeviceBlockLengthAt = 1;
inline constexpr std::size_t kDeviceBlockAt = 2;
// READ_MODULE answer: module id (int32), last-chunk flag, chunk length (int32), chunk.
inline constexpr std::size_t kReadModuleIdAt = 0;
inline constexpr std::size_t kReadLastChunkAt = 4;
inline constexpr std::size_t kReadChunkLengthAt = 5;
inline constexpr std::size_t kReadChunkAt = 9;

// The chunk of a READ_MODULE answer (empty unless the result has data); never longer than
// the payload area.
std::span<const std::uint8_t> read_chunk(const VendorResult& result);
bool read_is_last_chunk(const VendorResult& result);

}  // namespace zv
