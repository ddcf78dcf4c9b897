// Waiting for the answer to a request on the transport.
#include <array>

#include "hpav/vendor_layer.h"
#include "transport/transport.h"

namespace zv {

namespace {
constexpr std::uint32_t kSkipPauseMs = 20;
constexpr std::uint32_t kWaitMs = 100;
}  // namespace

bool VendorLayer::receive_confirmation(std::uint16_t expected, VendorResult& result) {
  std::array<std::uint8_t, kReceiveBufferSize> buffer;
  const int form =
      header_version == kLongHeaderVersion && expected == mmtype::NETWORK_INFO ? kLongHeaderVersion
                                                                                : 0;
  for (;;) {
    int length = 0;
    if (!transport_.poll_management_frame(buffer, length)) return false;
    // Every frame is decoded, so a running transfer advances even on frames nobody waits for.
    const int decoded =
        decode_confirmation(static_cast<std::size_t>(length), buffer.data(), result, form);
    const bool answers = result.mmtype == mmtype::confirmation(expected) ||
                         result.mmtype == mmtype::confirmation(mmtype::COMMIT_MODULES);
    // A refused frame is never an answer, even when the fields it did not reach read 0.
    if (decoded == 0 && (result.hasData != 0 || result.status == 0) && answers) {
      transport_.delay_ms(1);
      confirmation_seen = 1;
      return true;
    }
    transport_.delay_ms(kSkipPauseMs);
  }
}

bool VendorLayer::wait_confirmation(std::uint16_t expected, VendorResult& result) {
  Clock& clock = transport_.clock();
  const std::uint64_t deadline = clock.deadline_after_ms(kWaitMs);
  do {
    transport_.pause(deadline);
    if (receive_confirmation(expected, result)) return true;
  } while (!clock.reached(deadline));
  return false;
}

}  // namespace zv
