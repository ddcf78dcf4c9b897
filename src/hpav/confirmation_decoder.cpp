// The confirmation decoder: header checks, then one table row per vendor MMTYPE that
// says how long the frame must be, which bytes go where in the result, and which handler
// does the rest.
#include <algorithm>
#include <array>
#include <cstring>

#include "base/bytes.h"
#include "hpav/confirmation_handlers.h"
#include "hpav/transfer_frames.h"
#include "hpav/vendor_layer.h"

namespace zv {

int refuse(VendorResult& result, int error) {
  errno = error;
  result.status = static_cast<std::uint8_t>(error);
  return -1;
}

namespace {

constexpr std::uint16_t kRefusedType = 0xFFFF;
constexpr std::size_t kStatusAt = 20;

// p[at..at+count) := frame[from..from+count), zeros past the frame.
void copy_payload(DecodeContext& c, std::size_t at, std::size_t from, std::size_t count) {
  static_assert(kVendorResultPayloadSize >= 1508);
  if (at >= kVendorResultPayloadSize) return;
  count = std::min(count, kVendorResultPayloadSize - at);
  c.frame.copy(from, c.result.payload.data() + at, count);
}

// --- handlers for what the table columns cannot say ---

int clear_transfer(DecodeContext& c) {
  c.transfer = TransferState{};
  return 0;
}

// 0xA031: the length of the rest depends on its first byte.
int decode_a031(DecodeContext& c) {
  std::size_t length = 0;
  switch (c.frame.u8(21)) {
    case 0: length = 43; break;
    case 1: length = 250; break;
    case 2: length = 290; break;
    default: return 0;
  }
  copy_payload(c, 3, 24, length - 3);
  c.result.payloadLength = static_cast<std::int32_t>(length);
  return 0;
}

// 0xA036: a station record; its tail only when the low three bits of p[13] are 0.
int decode_a036(DecodeContext& c) {
  auto& p = c.result.payload;
  copy_payload(c, 0, 21, 29);
  p[165] = static_cast<std::uint8_t>(p[13] & 0x07);
  p[166] = static_cast<std::uint8_t>(p[13] & 0xF0);
  if ((p[13] & 0x07) == 0) {
    copy_payload(c, 29, 50, 136);
    p[167] = p[36];
  }
  return 0;
}

// NETWORK_INFO: everything behind the header, from frame[20] or (long header) frame[27].
int decode_network_info(DecodeContext& c) {
  if (c.longHeader)
    copy_payload(c, 0, 27, 1502);
  else
    copy_payload(c, 0, 20, 1508);
  return 0;
}

// READ_DEVICE_BLOCK: answer code, length n, n bytes (p[0..1] came from the table).
int decode_device_block(DecodeContext& c) {
  copy_payload(c, 2, 22, c.result.payload[1]);
  return 0;
}

// DEVICE_EVENT: answered whether or not the indication could be decoded.
int respond_to_device_event(DecodeContext& c) {
  queue_device_event_response(c.transfer, c.result.sourceMac, c.result.destinationMac,
                              c.outcome == 0 ? 0 : 1);
  return c.outcome;
}

struct ConfirmationRow {
  std::uint16_t mmtype;
  const char* name;
  std::uint16_t minimum;      // shorter frames are refused
  std::uint16_t longMinimum;  // the same with the long header (0: as minimum)
  int error;                  // errno of a short frame (0: none is set)
  ResultKind kind;            // ignored when kindFromTransfer
  bool kindFromTransfer;
  ProgressState state;        // set before decoding, kept when the frame is refused
  bool readsStatus;           // status := frame[20]
  std::uint16_t copyFrom;     // p[0 .. copyCount) := frame[copyFrom ..]
  std::uint16_t copyCount;
  std::int32_t payloadLength;
  bool hasData;
  ConfirmationHandler decode;  // the rest of the decoding (may refuse)
  ConfirmationHandler after;   // runs whether the frame was decoded or refused
};

using K = ResultKind;
using S = ProgressState;
constexpr int kNoErrno = 0;
constexpr int E14 = kVendorErrorFrame;
constexpr int E34 = kVendorErrorRange;

// clang-format off
constexpr ConfirmationRow kRows[] = {
  // mmtype  name                 min  long  errno     kind               fromT  state        status copy  count len   data decode                 after
  {0xA001, "GET_VERSION",         88,  0,   E14,      K::GetVersion,      false, S::Finished, true,  21,  66,   67,   true,  nullptr,              nullptr},
  {0xA005, "WRITE_MEMORY",        29,  0,   E34,      K::None,            true,  S::Finished, false, 0,   0,    0,    false, decode_write_memory,  nullptr},
  {0xA00D, "START_IMAGE",         22,  0,   E34,      K::None,            true,  S::Finished, true,  0,   0,    0,    false, clear_transfer,       nullptr},
  {0xA01D, "0xA01D",              21,  0,   E14,      K::A01D,            false, S::Finished, true,  0,   0,    0,    false, clear_transfer,       nullptr},
  {0xA021, "WRITE_MODULE",        29,  0,   E34,      K::None,            true,  S::Finished, false, 0,   0,    0,    false, decode_write_module,  nullptr},
  {0xA025, "READ_MODULE",         36,  0,   E14,      K::None,            true,  S::Finished, false, 0,   0,    0,    false, decode_read_module,   nullptr},
  {0xA029, "COMMIT_MODULES",      22,  0,   kNoErrno, K::None,            true,  S::Finished, true,  0,   0,    0,    false, clear_transfer,       nullptr},
  {0xA031, "0xA031",              0,   0,   kNoErrno, K::A031,            false, S::Finished, true,  21,  3,    0,    true,  decode_a031,          nullptr},
  {0xA035, "0xA035",              28,  0,   E14,      K::None,            false, S::None,     true,  21,  7,    7,    true,  nullptr,              nullptr},
  {0xA036, "0xA036",              51,  0,   E14,      K::None,            false, S::None,     false, 0,   0,    168,  true,  decode_a036,          nullptr},
  {0xA039, "NETWORK_INFO",        33,  56,  E14,      K::NetworkInfo,     false, S::Finished, false, 0,   0,    1505, true,  decode_network_info,  nullptr},
  {0xA051, "SET_KEY",             21,  0,   E34,      K::SetKey,          false, S::Finished, true,  0,   0,    0,    false, nullptr,              nullptr},
  {0xA055, "0xA055",              86,  0,   kNoErrno, K::A055,            false, S::Finished, true,  21,  65,   65,   true,  nullptr,              nullptr},
  {0xA059, "READ_DEVICE_BLOCK",   22,  0,   E14,      K::ReadDeviceBlock, false, S::Finished, false, 20,  2,    1506, true,  decode_device_block,  nullptr},
  {0xA05D, "0xA05D",              21,  0,   E34,      K::A05D,            false, S::Finished, true,  0,   0,    0,    false, nullptr,              nullptr},
  {0xA062, "DEVICE_EVENT",        21,  0,   kNoErrno, K::DeviceEvent,     false, S::Queued,   false, 20,  1,    1,    true,  nullptr,              respond_to_device_event},
  {0xA06D, "0xA06D",              0,   0,   kNoErrno, K::A06D,            false, S::Finished, true,  21,  2,    0,    true,  nullptr,              nullptr},
  {0xA071, "0xA071",              603, 0,   kNoErrno, K::A071,            false, S::Finished, true,  21,  582,  0,    false, nullptr,              nullptr},
  {0xA07D, "RESTORE_DEFAULTS",    21,  0,   E34,      K::RestoreDefaults, false, S::Finished, true,  0,   0,    0,    false, clear_transfer,       nullptr},
  {0xA091, "0xA091",              606, 0,   kNoErrno, K::A091,            false, S::Finished, true,  21,  585,  0,    false, nullptr,              nullptr},
  {0xA095, "0xA095",              21,  0,   E14,      K::A095,            false, S::Finished, true,  0,   0,    0,    false, nullptr,              nullptr},
};
// clang-format on

constexpr std::uint16_t kFirstType = 0xA001;
constexpr std::uint16_t kLastType = 0xA095;

// MMTYPE - kFirstType → row index + 1 (0: no row), so a lookup is one load.
constexpr auto kRowIndex = [] {
  std::array<std::uint8_t, kLastType - kFirstType + 1> index{};
  for (std::size_t i = 0; i < std::size(kRows); ++i)
    index[kRows[i].mmtype - kFirstType] = static_cast<std::uint8_t>(i + 1);
  return index;
}();

const ConfirmationRow* find_row(std::uint16_t type) {
  if (type < kFirstType || type > kLastType) return nullptr;
  const std::uint8_t slot = kRowIndex[type - kFirstType];
  return slot == 0 ? nullptr : &kRows[slot - 1];
}

bool header_matches(const FrameView& frame, bool longHeader) {
  const std::size_t ouiAt = longHeader ? 19 : 17;
  if (frame.u8(14) != (longHeader ? 1 : 0)) return false;
  return frame.u8(ouiAt) == kVendorOui[0] && frame.u8(ouiAt + 1) == kVendorOui[1] &&
         frame.u8(ouiAt + 2) == kVendorOui[2];
}

int decode_row(const ConfirmationRow& row, DecodeContext& c) {
  const std::size_t minimum = c.longHeader && row.longMinimum != 0 ? row.longMinimum : row.minimum;
  if (c.frame.length() < minimum) return row.error == kNoErrno ? -1 : refuse(c.result, row.error);
  if (row.readsStatus) c.result.status = c.frame.u8(kStatusAt);
  if (row.copyCount != 0) copy_payload(c, 0, row.copyFrom, row.copyCount);
  c.result.payloadLength = row.payloadLength;
  c.result.hasData = row.hasData ? 1 : 0;
  return row.decode != nullptr ? row.decode(c) : 0;
}

}  // namespace

int VendorLayer::decode_confirmation(std::size_t length, const std::uint8_t* frame,
                                     VendorResult& result, int headerForm) {
  result = VendorResult{};
  result.mmtype = kRefusedType;
  if (frame == nullptr) return refuse(result, kVendorErrorFrame);
  const FrameView view(frame, length);
  if (view.be16(12) != kVendorEtherType) return refuse(result, kVendorErrorEtherType);
  const bool longHeader = headerForm == kLongHeaderVersion;
  if (!header_matches(view, longHeader)) return refuse(result, kVendorErrorFrame);

  const std::uint16_t type = view.le16(15);
  view.copy(0, result.destinationMac.data(), 6);
  view.copy(6, result.sourceMac.data(), 6);
  const ConfirmationRow* row = find_row(type);
  if (row == nullptr) return refuse(result, kVendorErrorUnknown);

  result.mmtype = type;
  result.resultKind = row->kindFromTransfer ? static_cast<ResultKind>(transferState.resultKind)
                                            : row->kind;
  result.progressState = row->state;
  DecodeContext context{transferState, view, result, longHeader};
  context.outcome = decode_row(*row, context);
  if (row->after != nullptr) context.outcome = row->after(context);
  return context.outcome;
}

}  // namespace zv
