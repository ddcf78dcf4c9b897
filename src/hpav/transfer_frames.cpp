#include "hpav/transfer_frames.h"

#include <span>

#include "base/bytes.h"
#include "hpav/vendor_checksum.h"
#include "hpav/vendor_frame.h"

namespace zv {

namespace {

// Starts a new fixed part for `type`; the caller writes the fields through the writer.
ByteWriter begin(TransferState& transfer, std::uint16_t type) {
  PendingRequest& pending = transfer.pending;
  pending.mmtype = type;
  pending.fixed.fill(0);
  pending.dataLength = 0;
  pending.data = nullptr;
  return ByteWriter(std::span<std::uint8_t>(pending.fixed));
}

void finish(TransferState& transfer, const ByteWriter& fixed) {
  transfer.pending.fixedLength = static_cast<std::uint32_t>(fixed.position());
  transfer.pending.ready = 1;
}

void finish_transfer_frame(TransferState& transfer, const ByteWriter& fixed) {
  finish(transfer, fixed);
  transfer.lastRequest = transfer.pending;
}

void attach_chunk(TransferState& transfer, const ChunkCursor& cursor) {
  transfer.pending.data = cursor.chunk();
  transfer.pending.dataLength = cursor.chunk_length();
}

}  // namespace

void queue_write_module(TransferState& transfer, std::uint8_t moduleId,
                        const ChunkCursor& cursor) {
  ByteWriter fixed = begin(transfer, mmtype::WRITE_MODULE);
  fixed.u8(moduleId);
  fixed.u8(0);
  fixed.le16(static_cast<std::uint16_t>(cursor.chunk_length()));
  fixed.le32(cursor.offset());
  fixed.le32(vendor_checksum(cursor.chunk(), cursor.chunk_length() / 4, 0));
  attach_chunk(transfer, cursor);
  finish_transfer_frame(transfer, fixed);
}

void queue_write_memory(TransferState& transfer, std::uint32_t address,
                        const ChunkCursor& cursor) {
  ByteWriter fixed = begin(transfer, mmtype::WRITE_MEMORY);
  fixed.le32(address);
  fixed.le32(cursor.chunk_length());
  attach_chunk(transfer, cursor);
  finish_transfer_frame(transfer, fixed);
}

void queue_read_module(TransferState& transfer, std::uint8_t moduleId, std::uint16_t length,
                       std::uint32_t offset) {
  ByteWriter fixed = begin(transfer, mmtype::READ_MODULE);
  fixed.u8(moduleId);
  fixed.u8(0);
  fixed.le16(length);
  fixed.le32(offset);
  finish_transfer_frame(transfer, fixed);
}

void queue_commit_modules(TransferState& transfer) {
  ByteWriter fixed = begin(transfer, mmtype::COMMIT_MODULES);
  fixed.u8(static_cast<std::uint8_t>(transfer.moduleSet | (transfer.flags & kTransferCommitOption)));
  finish_transfer_frame(transfer, fixed);
}

void queue_start_image(TransferState& transfer) {
  const std::uint8_t* header = transfer.imageHeader;
  ByteWriter fixed = begin(transfer, mmtype::START_IMAGE);
  fixed.u8(1);
  fixed.zeros(3);
  fixed.le32(image_header_word(header, kImageLoadAddress));
  fixed.le32(image_header_word(header, kImageLength));
  fixed.le32(image_header_word(header, kImageStartWord4));
  fixed.le32(image_header_word(header, kImageStartWord5));
  finish_transfer_frame(transfer, fixed);
}

void queue_device_event_response(TransferState& transfer, const MacAddress& destination,
                                 const MacAddress& source, std::uint8_t status) {
  reset_pending(transfer, destination, source);
  ByteWriter fixed = begin(transfer, mmtype::confirmation(mmtype::DEVICE_EVENT));
  fixed.u8(status);
  finish(transfer, fixed);
}

void requeue_last_request(TransferState& transfer) {
  transfer.pending = transfer.lastRequest;
  transfer.pending.ready = 1;
}

void reset_pending(TransferState& transfer, const MacAddress& destination,
                   const MacAddress& source) {
  transfer.pending = PendingRequest{};
  transfer.pending.destination = destination;
  transfer.pending.source = source;
}

}  // namespace zv
