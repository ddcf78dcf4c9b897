#include "discovery/local_adapter_nmk.h"

#include <array>
#include <vector>

#include "hpav/vendor_requests.h"
#include "maintenance/pib_checker.h"

namespace zv {

namespace {

constexpr const char* kBuildFailure = "something wrong in BHAPI_GETVERSION \n";
// A block announces at most 64 KiB: 64 chunks, each asked for at most four times. The
// transfer ends by itself well before; this only guarantees it.
constexpr int kMaxExchanges = 64 * 4 + 1;

}  // namespace

int read_local_nmk(Discovery& d, const std::uint8_t* localAdapterMac,
                   std::span<std::uint8_t, 16> nmk) {
  MacAddress source{};
  d.transport.nic_source_mac(source.data());
  if (is_zero_mac(source.data())) return -1;
  std::vector<std::uint8_t> block(kLocalParameterBlockCapacity);
  // The layer appends every chunk to `block`; one that would not fit ends the transfer.
  if (d.vendor.start_module_read(source.data(), localAdapterMac, kReadParameterBlock, block) != 0)
    return -1;

  std::array<std::uint8_t, kRequestCapacity> frame{};
  bool complete = false;
  for (int exchange = 0; exchange < kMaxExchanges && !complete; ++exchange) {
    const std::size_t length = d.vendor.build_next_frame(frame.size(), frame.data());
    if (length == 0)
      d.print_trace(kBuildFailure);
    else
      d.transport.send_frame(d.transport.currentNic, frame.data(), length);
    // Our receive does not block like the capture library's 1 ms read did, so the chunk
    // gets the ordinary 100 ms to arrive instead of a single look.
    VendorResult answer;
    if (!d.vendor.wait_confirmation(mmtype::READ_MODULE, answer)) return -1;
    complete = read_is_last_chunk(answer);
  }
  if (!complete) return -1;

  const std::size_t received =
      std::min<std::size_t>(d.vendor.transferState.readLength, block.size());
  PibChecker checker;
  const int check = checker.pib_validate(std::span(block.data(), received));
  std::array<std::uint8_t, 16> key{};
  if ((check == kPibOk || check == kPibNotChecked) && checker.pib_get_key(key) == kPibOk)
    std::copy(key.begin(), key.end(), nmk.begin());
  return 1;
}

}  // namespace zv
