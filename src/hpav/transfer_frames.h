#pragma once
// The frames a transfer queues in its PendingRequest. Each sets the message type, the
// fixed part and the data and marks the request ready; the addresses are left as they are.
// The transfer frames are also remembered as TransferState::lastRequest.

#include <cstdint>

#include "hpav/transfer_state.h"

namespace zv {

// WRITE_MODULE: module id, 0, chunk length (2), chunk offset (4), chunk checksum (4); chunk.
void queue_write_module(TransferState& transfer, std::uint8_t moduleId,
                        const ChunkCursor& cursor);
// WRITE_MEMORY: address (4), chunk length (4); chunk.
void queue_write_memory(TransferState& transfer, std::uint32_t address,
                        const ChunkCursor& cursor);
// READ_MODULE: module id, 0, length wanted (2), offset (4).
void queue_read_module(TransferState& transfer, std::uint8_t moduleId, std::uint16_t length,
                       std::uint32_t offset);
// COMMIT_MODULES: the module set with the 0x10 option.
void queue_commit_modules(TransferState& transfer);
// START_IMAGE: 1, 0 0 0, load address, image length, header words 4 and 5.
void queue_start_image(TransferState& transfer);
// The DEVICE_EVENT response (replaces whatever was queued): status 0 decoded, 1 refused.
void queue_device_event_response(TransferState& transfer, const MacAddress& destination,
                                 const MacAddress& source, std::uint8_t status);

// The transfer's last frame once more (a retry).
void requeue_last_request(TransferState& transfer);

// Empties the pending request and gives it new addresses (not ready).
void reset_pending(TransferState& transfer, const MacAddress& destination,
                   const MacAddress& source);

}  // namespace zv
