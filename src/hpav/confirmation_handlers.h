#pragma once
// What the confirmation decoder hands each per-MMTYPE handler, and the handlers of the
// transfer confirmations, which advance the TransferState.

#include <cstdint>

#include "hpav/frame_view.h"
#include "hpav/transfer_state.h"
#include "hpav/vendor_result.h"

namespace zv {

struct DecodeContext {
  TransferState& transfer;
  const FrameView& frame;
  VendorResult& result;
  bool longHeader;
  int outcome = 0;  // 0 decoded, -1 refused; seen by the handlers that run either way
};

using ConfirmationHandler = int (*)(DecodeContext&);

// errno and the status byte := `error`; -1.
int refuse(VendorResult& result, int error);

// The write confirmations (0xA005, 0xA021): retry, next chunk, next module or final request.
int decode_write_memory(DecodeContext& context);
int decode_write_module(DecodeContext& context);
// The read confirmation (0xA025): chunk checks, image header walk, next request.
int decode_read_module(DecodeContext& context);

}  // namespace zv
