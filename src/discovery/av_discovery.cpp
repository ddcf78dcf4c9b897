#include "discovery/av_discovery.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/bytes.h"
#include "discovery/chip_table.h"
#include "discovery/fixed_text.h"
#include "discovery/rate_update.h"
#include "discovery/station_table.h"
#include "discovery/vendor_request.h"

namespace zv {

namespace {

constexpr std::size_t kShortRateAt = 13;
constexpr std::size_t kLongRateAt = 16;

// Payload bytes of the answer that actually arrived. The accepted answer is the frame the
// transport delivered last (receive_confirmation returns as soon as it takes it); the
// payload starts at frame[20] in the short form and frame[27] in the long form.
std::span<const std::uint8_t> received_payload(const Discovery& d, const VendorResult& result,
                                               NetworkInfoForm form) {
  const std::size_t start = form == NetworkInfoForm::Long ? 27 : 20;
  const auto frameLength = static_cast<std::size_t>(std::max(d.transport.receivedFrame.length, 0));
  const std::size_t received = frameLength > start ? frameLength - start : 0;
  return std::span<const std::uint8_t>(result.payload).first(std::min(received, result.payload.size()));
}

void take_version(StationEntry& entry, const VendorResult& answer,
                  NetworkInfoForm form) {
  const std::uint8_t code = answer.payload[kVersionChipCodeAt];
  if (form == NetworkInfoForm::Long && code == kChipCodeLongHeader) entry.deviceType = kDeviceAv2400;
  const std::size_t length = std::min<std::size_t>(answer.payload[kVersionTextLengthAt], kVersionTextSize);
  const std::string_view text =
      fixed_text(std::span(reinterpret_cast<const char*>(answer.payload.data() + kVersionTextAt), length));
  set_fixed_text(entry.firmwareVersion, chip_named_version(code, text));
}

}  // namespace

int register_av_stations(Discovery& d, std::span<const std::uint8_t> payload,
                         NetworkInfoForm form) {
  const NetworkInfoLayout& layout = form == NetworkInfoForm::Long ? kLongNetworkInfo : kShortNetworkInfo;
  if (payload.size() <= layout.countAt) return 0;
  const std::size_t listed = payload[layout.countAt];
  const std::size_t inside =
      payload.size() > layout.entriesAt ? (payload.size() - layout.entriesAt) / layout.entrySize : 0;
  const std::size_t count = std::min(listed, inside);

  const MacAddress localMac = d.current_nic().localMac;
  int registered = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* station = payload.data() + layout.entriesAt + i * layout.entrySize;
    if (std::memcmp(station, localMac.data(), 6) == 0 ||
        std::memcmp(station, kBroadcastMac.data(), 6) == 0)
      continue;
    const std::uint16_t raw = form == NetworkInfoForm::Long ? get_le16(station + kLongRateAt)
                                                             : station[kShortRateAt];
    add_or_refresh_station(d, station);
    StationEntry* entry = find_station_by_mac(d, station);
    if (entry == nullptr) continue;
    registered += 1;

    send_vendor_request(d, station, mmtype::GET_VERSION);
    VendorResult answer;
    if (!d.vendor.wait_confirmation(mmtype::GET_VERSION, answer)) continue;
    take_version(*entry, answer, form);
    update_rate(entry->rate, {raw, 0, 0}, RateRule::Av);
  }
  return registered;
}

int discover_av_stations(Discovery& d, const std::uint8_t* localAdapterMac) {
  const int version = d.vendor.header_version;
  NetworkInfoForm form;
  if (version < kLongHeaderVersion || version == 5)
    form = NetworkInfoForm::Short;
  else if (version == kLongHeaderVersion)
    form = NetworkInfoForm::Long;
  else
    return 1;
  send_vendor_request(d, localAdapterMac, mmtype::NETWORK_INFO);
  VendorResult answer;
  if (d.vendor.wait_confirmation(mmtype::NETWORK_INFO, answer))
    register_av_stations(d, received_payload(d, answer, form), form);
  return 1;
}

bool station_answers(Discovery& d, const std::uint8_t* stationMac) {
  send_vendor_request(d, stationMac, mmtype::GET_VERSION);
  VendorResult answer;
  return d.vendor.wait_confirmation(mmtype::GET_VERSION, answer);
}

}  // namespace zv

