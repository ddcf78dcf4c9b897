// Starting the multi-frame transfers and handing out their frames.
#include <algorithm>
#include <cstring>

#include "hpav/transfer_frames.h"
#include "hpav/vendor_checksum.h"
#include "hpav/vendor_layer.h"
#include "transport/frame_helpers.h"

namespace zv {

namespace {
// Discards a half-started transfer; errno stays what the failing step left.
int abandon(TransferState& transfer) {
  transfer = TransferState{};
  return -1;
}
}  // namespace

int VendorLayer::start_module_write(const std::uint8_t* source, const std::uint8_t* destination,
                                    std::uint32_t imageLength, const std::uint8_t* image,
                                    std::uint32_t blockLength, const std::uint8_t* block,
                                    std::uint32_t options) {
  TransferState& t = transferState;
  t.pending.ready = 0;
  if (block == nullptr || source == nullptr || destination == nullptr) {
    errno = kVendorErrorFrame;
    return -1;
  }
  t = TransferState{};
  t.flags = (options & kTransferOptionMask) | kTransferUnfinished;
  t.resultKind = static_cast<std::int32_t>(ResultKind::WriteTransfer);
  reset_pending(t, mac_at(destination), mac_at(source));

  t.parameterCursor = ChunkCursor::make(block, blockLength, kTransferChunkSize);
  if (!t.parameterCursor) return abandon(t);
  t.moduleSet = 2;

  if (t.module_path()) {
    std::uint8_t moduleId = 2;
    t.current = CurrentCursor::ParameterBlock;
    if (image != nullptr) {
      t.firmwareCursor = ChunkCursor::make(image, imageLength, kTransferChunkSize);
      if (!t.firmwareCursor) return abandon(t);
      t.flags |= kTransferImageFirst;
      t.current = CurrentCursor::Firmware;
      t.moduleSet |= 1;
      moduleId = 1;
    }
    ChunkCursor& cursor = *t.current_cursor();
    cursor.select(0);
    queue_write_module(t, moduleId, cursor);
    return 0;
  }

  if (image == nullptr) {
    errno = kVendorErrorFrame;
    return abandon(t);
  }
  const std::uint8_t* header = last_image_header(image, imageLength);
  if (header == nullptr) return abandon(t);
  // The image behind the last header must lie inside the file.
  const auto imageStart = static_cast<std::uint64_t>(header - image) + kImageHeaderSize;
  const std::uint32_t length = image_header_word(header, kImageLength);
  if (imageStart + length > imageLength) {
    errno = kVendorErrorFrame;
    return abandon(t);
  }
  t.firmwareCursor = ChunkCursor::make(header + kImageHeaderSize, length, kTransferChunkSize);
  if (!t.firmwareCursor) return abandon(t);
  t.flags |= kTransferImageFirst;
  t.moduleSet |= 1;
  t.current = CurrentCursor::Firmware;
  t.imageHeader = header;
  t.firmwareCursor->select(0);
  queue_write_memory(t, image_header_word(header, kImageLoadAddress), *t.firmwareCursor);
  return 0;
}

int VendorLayer::start_module_read(const std::uint8_t* source, const std::uint8_t* destination,
                                   int target, std::span<std::uint8_t> into) {
  TransferState& t = transferState;
  t = TransferState{};
  if (source == nullptr || destination == nullptr) {
    errno = kVendorErrorFrame;
    return -1;
  }
  std::uint8_t moduleId = 1;
  std::uint16_t length = static_cast<std::uint16_t>(kImageHeaderSize);
  switch (target) {
    case kReadImageChain:
      t.flags = kTransferImageFirst;
      break;
    case kReadImageThenBlock:
      t.flags = kTransferImageFirst | kTransferUnfinished;
      break;
    case kReadParameterBlock:
      t.flags = kTransferUnfinished;
      moduleId = 2;
      length = static_cast<std::uint16_t>(kTransferChunkSize);
      break;
    default:
      t.flags = 0;
      errno = kVendorErrorInvalid;
      return -1;
  }
  t.flags |= kTransferCommit;
  t.resultKind = static_cast<std::int32_t>(ResultKind::ReadTransfer);
  t.readTarget = target;
  t.readBuffer = into;
  reset_pending(t, mac_at(destination), mac_at(source));
  queue_read_module(t, moduleId, length, 0);
  return 0;
}

std::size_t VendorLayer::build_next_frame(std::size_t capacity, std::uint8_t* buffer) {
  PendingRequest& pending = transferState.pending;
  if (!pending.ready) return 0;
  if (buffer == nullptr) {
    errno = kVendorErrorFrame;
    return 0;
  }
  const std::size_t fixedLength = std::min<std::size_t>(pending.fixedLength, pending.fixed.size());
  const std::size_t content = kVendorPayloadOffset + fixedLength + pending.dataLength;
  const std::size_t length = std::max(content, kMinRequestLength);
  if (capacity < length) {
    errno = kVendorErrorRange;
    return 0;
  }
  pending.ready = 0;
  write_ethernet_header(capacity, buffer, pending.destination.data(), pending.source.data());
  write_mm_header(capacity - kEthernetHeaderLength, buffer + kEthernetHeaderLength,
                  pending.mmtype);
  std::memcpy(buffer + kVendorPayloadOffset, pending.fixed.data(), fixedLength);
  if (pending.dataLength != 0)
    std::memcpy(buffer + kVendorPayloadOffset + fixedLength, pending.data, pending.dataLength);
  std::memset(buffer + content, 0, length - content);
  return length;
}

}  // namespace zv
