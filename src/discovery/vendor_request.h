#pragma once
// Sending the two vendor requests discovery asks adapters with.

#include <cstdint>

#include "discovery/discovery.h"

namespace zv {

// Builds and sends GET_VERSION (0xA000) or NETWORK_INFO (0xA038) to `destination` from
// the current NIC's own address; the result of send_frame, or 0 when nothing was sent
// (zero source address, another MMTYPE, a header_version without a header form, a build
// failure). NETWORK_INFO takes the long header for header_version 4 unless a device is
// being added, the short one for values below 4 and 5, and notes the form in
// lastNetworkInfoHeader (4 or 1).
int send_vendor_request(Discovery& d, const std::uint8_t* destination, std::uint16_t mmtype);

}  // namespace zv
