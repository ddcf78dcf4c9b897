#pragma once
// The HomePlug AV vendor message layer's state and the operations that use it: the
// multi-frame transfers, the confirmation decoder that advances them, and the two waits
// for an answer on the transport.
//
// One VendorLayer per running program (and per test). Its fields are the layer's globals:
//   transferState       the one multi-frame transfer and its queued frame
//                       (starting a transfer discards any unfinished one);
//   confirmation_seen   set to 1 by receive_confirmation whenever it accepts a frame;
//                       the scan clears it before a probe and reads it afterwards;
//   header_version      4 once the local adapter is of chip code 4: then the NETWORK_INFO
//                       answer is expected with the long header. Set by discovery.
// Not thread-safe: a transfer is driven from one thread at a time.

#include <cstddef>
#include <cstdint>
#include <span>

#include "hpav/transfer_state.h"
#include "hpav/vendor_frame.h"
#include "hpav/vendor_result.h"

namespace zv {

class Transport;

// Read targets of start_module_read.
inline constexpr int kReadImageChain = 1;
inline constexpr int kReadParameterBlock = 2;
inline constexpr int kReadImageThenBlock = 3;

// Memory address the parameter block is written to on the memory path.
inline constexpr std::uint32_t kParameterBlockAddress = 0x01F00000;

class VendorLayer {
 public:
  explicit VendorLayer(Transport& transport) : transport_(transport) {}
  VendorLayer(const VendorLayer&) = delete;
  VendorLayer& operator=(const VendorLayer&) = delete;

  // --- state ---
  TransferState transferState;
  int confirmation_seen = 0;
  int header_version = 0;

  // --- transfers ---
  // Starts writing a firmware image file (`image` may be null: parameter block only) and
  // a parameter block (required) from `source` to the device `destination`, and queues
  // the first frame. `options` (masked with 0x33, see TransferFlag) choose the path:
  // 0x20 or 0x13 → WRITE_MODULE chunks, else WRITE_MEMORY chunks of the image file's
  // last image (which must exist and lie inside the file) then START_IMAGE (or
  // COMMIT_MODULES with 0x01). Both buffers stay the caller's and must live until the
  // transfer ends. 0, or -1 with errno (14 missing input or bad image chain, 22 an empty
  // buffer or bad header checksum) and nothing queued.
  int start_module_write(const std::uint8_t* source, const std::uint8_t* destination,
                         std::uint32_t imageLength, const std::uint8_t* image,
                         std::uint32_t blockLength, const std::uint8_t* block,
                         std::uint32_t options);
  // Starts reading from `destination`: target 1 the image chain, 2 the parameter block,
  // 3 both (image first), and queues the first READ_MODULE. When `into` is given, every
  // accepted chunk is also appended there (transferState.readLength counts the bytes); a
  // chunk that would not fit ends the transfer with errno 34 instead of writing past it.
  // 0, or -1 with errno 22 (other target) or 14 (a MAC missing) and nothing queued.
  int start_module_read(const std::uint8_t* source, const std::uint8_t* destination,
                        int target, std::span<std::uint8_t> into = {});
  // Writes the queued frame (Ethernet + MMV 0 header, fixed part, data, zero-filled to 64
  // bytes) and marks it taken. Returns its length (at most 1056), or 0: nothing queued,
  // or errno 14 (no buffer) / 34 (capacity below the frame's length) with the frame left
  // queued.
  std::size_t build_next_frame(std::size_t capacity, std::uint8_t* buffer);

  // --- confirmations ---
  // Decodes `frame` (`length` bytes; nothing beyond is read, missing bytes read as zero)
  // into `result`, which is cleared first. Transfer confirmations advance transferState;
  // a DEVICE_EVENT indication queues its response. headerForm 4 expects the long header
  // (MMV 1), anything else MMV 0. 0 on success; -1 on refusal with the reason in errno
  // and, where the table gives one, in result.status: 1 not EtherType 0x88E1; 14 no
  // frame, wrong header form, too short, bad image header in a read; 22 chunk checksum,
  // retries exhausted, no transfer for the confirmation; 34 chunk above 1024 bytes, too
  // short, read buffer full; 40 MMTYPE without a decoder (mmtype stays 0xFFFF).
  int decode_confirmation(std::size_t length, const std::uint8_t* frame, VendorResult& result,
                          int headerForm);
  // Takes waiting management frames off the transport one by one, decoding every one
  // (so a running transfer advances), until one answers `expected` (a request MMTYPE):
  // decoded without refusal, carrying data or status 0, and of MMTYPE expected + 1 or
  // 0xA029. Then sleeps 1 ms, sets confirmation_seen and returns true. Each frame passed
  // over costs 20 ms. false as soon as no frame is waiting.
  bool receive_confirmation(std::uint16_t expected, VendorResult& result);
  // receive_confirmation retried for up to 100 ms on the transport's clock.
  bool wait_confirmation(std::uint16_t expected, VendorResult& result);

 private:
  Transport& transport_;
};

}  // namespace zv
