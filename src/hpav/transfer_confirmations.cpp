// The write and read confirmation state machines of the multi-frame transfers.
#include <algorithm>
#include <cstring>

#include "base/bytes.h"
#include "hpav/confirmation_handlers.h"
#include "hpav/transfer_frames.h"
#include "hpav/vendor_checksum.h"
#include "hpav/vendor_frame.h"
#include "hpav/vendor_layer.h"

namespace zv {

namespace {

constexpr std::size_t kStatusAt = 20;
constexpr std::uint8_t kRetries = 3;

// --- writes ---

struct WriteConfirmation {
  std::uint8_t moduleId = 0;
  std::uint64_t length = 0;
};

bool write_running(TransferState& t) {
  return t.resultKind == static_cast<std::int32_t>(ResultKind::WriteTransfer) &&
         t.current_cursor() != nullptr;
}

// The firmware image is done: the parameter block's chunk 0 goes next.
void queue_parameter_block(TransferState& t) {
  t.flags &= ~kTransferImageFirst;
  t.current = CurrentCursor::ParameterBlock;
  ChunkCursor& cursor = *t.parameterCursor;
  cursor.select(0);
  if (t.module_path())
    queue_write_module(t, 2, cursor);
  else
    queue_write_memory(t, kParameterBlockAddress, cursor);
}

void queue_final_request(TransferState& t) {
  t.flags &= ~kTransferUnfinished;
  if (t.module_path() || (t.flags & kTransferCommit) != 0)
    queue_commit_modules(t);
  else
    queue_start_image(t);
  t.firmwareCursor.reset();
  t.parameterCursor.reset();
  t.current = CurrentCursor::None;
}

void queue_next_chunk(TransferState& t, ChunkCursor& cursor, std::uint8_t confirmedModule) {
  const PendingRequest& previous = t.lastRequest;
  const std::uint32_t nextAddress =
      get_le32(previous.fixed.data()) + get_le32(previous.fixed.data() + 4);
  t.pending = t.lastRequest;  // same addresses, even if a response took the slot meanwhile
  cursor.next();
  if (t.module_path())
    queue_write_module(t, confirmedModule, cursor);
  else
    queue_write_memory(t, nextAddress, cursor);
}

int advance_write(DecodeContext& c, const WriteConfirmation& confirmed) {
  TransferState& t = c.transfer;
  VendorResult& r = c.result;
  r.status = c.frame.u8(kStatusAt);
  // Without a write in progress there is no cursor to advance; such a confirmation is
  // nobody's answer.
  if (!write_running(t)) return refuse(r, kVendorErrorInvalid);
  if (r.status != 0) {
    if (t.retryCounter == 0) {
      errno = kVendorErrorInvalid;
      return -1;
    }
    --t.retryCounter;
    requeue_last_request(t);
    r.progressState = ProgressState::Queued;
    return 0;
  }
  r.progressState = ProgressState::Queued;
  r.hasData = 0;
  t.retryCounter = kRetries;
  ChunkCursor& cursor = *t.current_cursor();
  if (!cursor.reaches_end(confirmed.length)) {
    queue_next_chunk(t, cursor, confirmed.moduleId);
    return 0;
  }
  reset_pending(t, r.sourceMac, r.destinationMac);
  if ((t.flags & kTransferImageFirst) != 0)
    queue_parameter_block(t);
  else
    queue_final_request(t);
  return 0;
}

// --- reads ---

bool read_running(const TransferState& t) {
  return t.resultKind == static_cast<std::int32_t>(ResultKind::ReadTransfer) &&
         (t.flags & (kTransferImageFirst | kTransferUnfinished)) != 0;
}

// A refused chunk: the same request again while retries last, else the read is over.
int retry_read(DecodeContext& c) {
  TransferState& t = c.transfer;
  if (t.retryCounter > 0) {
    --t.retryCounter;
    requeue_last_request(t);
    c.result.progressState = ProgressState::Queued;
    return 0;
  }
  c.result.progressState = ProgressState::Finished;
  t.flags &= ~(kTransferImageFirst | kTransferUnfinished);
  return 0;
}

// Ends the read with an error, queueing nothing.
int abort_read(DecodeContext& c, int error) {
  c.transfer = TransferState{};
  c.result.progressState = ProgressState::Finished;
  return refuse(c.result, error);
}

// Learns the module's length from the chunk: the parameter block's own length field, or
// an image header at the place the previous header pointed to. false: a bad header.
bool learn_total(TransferState& t, std::uint32_t moduleId, std::uint32_t offset,
                 const std::uint8_t* chunk) {
  if (moduleId == 2 && offset == 0) {
    t.expectedTotal = get_le16(chunk + 4);
    t.nextHeaderOffset = 0;
  } else if (moduleId == 1 && offset == t.nextHeaderOffset) {
    if (vendor_checksum(chunk, kImageHeaderWords, 0) != 0) return false;
    const std::uint32_t next = image_header_word(chunk, kImageNextHeader);
    // A chain that points back would be read forever.
    if (next != 0 && next <= offset) return false;
    t.expectedTotal += image_header_word(chunk, kImageLength) +
                       static_cast<std::uint32_t>(kImageHeaderSize);
    t.nextHeaderOffset = next;
  }
  return true;
}

// The chunk is in; what comes next depends on whether it was the module's last.
int after_good_chunk(DecodeContext& c, bool last) {
  TransferState& t = c.transfer;
  VendorResult& r = c.result;
  r.progressState = ProgressState::Queued;
  t.retryCounter = kRetries;
  t.pending.dataLength = 0;
  t.pending.data = nullptr;
  if (!last) {
    const PendingRequest& asked = t.lastRequest;
    const std::uint32_t offset = get_le32(asked.fixed.data() + 4) + get_le16(asked.fixed.data() + 2);
    std::uint32_t length = 0;
    if ((t.flags & kTransferImageFirst) != 0 && offset == t.nextHeaderOffset)
      length = kImageHeaderSize;
    else if (t.expectedTotal > offset)
      length = std::min(t.expectedTotal - offset, kTransferChunkSize);
    // Nothing left to ask for and still not the last chunk: the headers do not describe
    // a chain we can follow to its end.
    if (length == 0) return abort_read(c, kVendorErrorFrame);
    t.pending = t.lastRequest;
    queue_read_module(t, asked.fixed[0], static_cast<std::uint16_t>(length), offset);
    return 0;
  }
  reset_pending(t, r.sourceMac, r.destinationMac);
  switch (t.readTarget) {
    case kReadImageChain:
    case kReadParameterBlock:
      t.flags &= ~(kTransferImageFirst | kTransferUnfinished);
      r.progressState = ProgressState::Finished;
      return 0;
    case kReadImageThenBlock:
      if ((t.flags & kTransferImageFirst) != 0) {
        t.flags &= ~kTransferImageFirst;
        queue_read_module(t, 2, static_cast<std::uint16_t>(kTransferChunkSize), 0);
      } else {
        r.progressState = ProgressState::Finished;
      }
      return 0;
    default:
      r.progressState = ProgressState::Finished;
      t.flags &= ~(kTransferImageFirst | kTransferUnfinished);
      return refuse(r, kVendorErrorInvalid);
  }
}

// READ_MODULE confirmation fields.
constexpr std::size_t kReadModuleIdField = 24;
constexpr std::size_t kReadLengthField = 26;
constexpr std::size_t kReadOffsetField = 28;
constexpr std::size_t kReadChecksumField = 32;
constexpr std::size_t kReadChunkField = 36;

}  // namespace

int decode_write_memory(DecodeContext& c) {
  return advance_write(c, {0, c.frame.le32(25)});
}

int decode_write_module(DecodeContext& c) {
  return advance_write(c, {c.frame.u8(21), c.frame.le16(23)});
}

int decode_read_module(DecodeContext& c) {
  TransferState& t = c.transfer;
  VendorResult& r = c.result;
  const FrameView& f = c.frame;
  r.hasData = 0;
  r.status = f.u8(kStatusAt);
  const std::uint32_t moduleId = f.u8(kReadModuleIdField);
  put_le32(&r.payload[kReadModuleIdAt], moduleId);
  if (!read_running(t)) return refuse(r, kVendorErrorInvalid);
  if (r.status != 0) return retry_read(c);

  const std::uint32_t length = f.le16(kReadLengthField);
  const std::uint32_t offset = f.le32(kReadOffsetField);
  if (~(f.le32(kReadChecksumField) ^ f.xor_words(kReadChunkField, length / 4)) != 0) {
    refuse(r, kVendorErrorInvalid);
    return retry_read(c);
  }
  if (length > kTransferChunkSize) {
    refuse(r, kVendorErrorRange);
    return retry_read(c);
  }
  std::uint8_t* chunk = &r.payload[kReadChunkAt];
  f.copy(kReadChunkField, chunk, length);
  r.hasData = 1;
  r.payloadLength = static_cast<std::int32_t>(length + kReadChunkAt);
  put_le32(&r.payload[kReadChunkLengthAt], length);
  if (!learn_total(t, moduleId, offset, chunk)) {
    errno = kVendorErrorFrame;
    return -1;
  }
  const bool last = t.nextHeaderOffset == 0 &&
                    static_cast<std::uint64_t>(offset) + length >= t.expectedTotal;
  r.payload[kReadLastChunkAt] = last ? 1 : 0;

  if (t.readBuffer.data() != nullptr) {
    if (t.readBuffer.size() - t.readLength < length) return abort_read(c, kVendorErrorRange);
    std::memcpy(t.readBuffer.data() + t.readLength, chunk, length);
    t.readLength += length;
  }
  return after_good_chunk(c, last);
}

}  // namespace zv
