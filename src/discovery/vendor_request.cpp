#include "discovery/vendor_request.h"

#include <array>

#include "hpav/vendor_requests.h"

namespace zv {

namespace {

constexpr const char* kBuildFailure = "something wrong in BHAPI_GETVERSION \n";
constexpr int kShortHeaderNoted = 1;

}  // namespace

int send_vendor_request(Discovery& d, const std::uint8_t* destination, std::uint16_t mmtype) {
  if (mmtype != mmtype::GET_VERSION && mmtype != mmtype::NETWORK_INFO) {
    if (mmtype != mmtype::SET_KEY) d.print_trace(kBuildFailure);
    return 0;
  }
  MacAddress source{};
  d.transport.nic_source_mac(source.data());
  if (is_zero_mac(source.data())) return 0;

  std::array<std::uint8_t, kRequestCapacity> frame{};
  std::size_t length = 0;
  if (mmtype == mmtype::GET_VERSION) {
    length = build_version_request(source.data(), destination, frame.size(), frame.data());
  } else {
    const int version = d.vendor.header_version;
    int form = 0;
    if (version == kLongHeaderVersion && !d.state.addingDevice)
      form = kLongHeaderVersion;
    else if (version < kLongHeaderVersion || version == 5 || d.state.addingDevice)
      form = kShortHeaderNoted;
    else
      return 0;
    d.state.lastNetworkInfoHeader = form;
    length = build_network_info_request(source.data(), destination, frame.size(), frame.data(),
                                        form == kLongHeaderVersion ? kLongHeaderVersion : 0);
  }
  if (length == 0) {
    d.print_trace(kBuildFailure);
    return 0;
  }
  return d.transport.send_frame(d.transport.currentNic, frame.data(), length);
}

}  // namespace zv
