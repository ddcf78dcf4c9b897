#include "discovery/turbo_answers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "discovery/fixed_text.h"
#include "discovery/station_table.h"
#include "transport/frame_helpers.h"

namespace zv {

namespace {

constexpr std::size_t kCountedTextsOffset = 26;
constexpr std::size_t kFirmwareTextOffset = 18;
constexpr std::size_t kKeyOffset = 19;

// Reads a counted text at `offset` and moves past it. What lies beyond the frame is
// missing, not read; an empty text becomes " ".
std::span<const std::uint8_t> take_counted_text(std::span<const std::uint8_t> frame,
                                                std::size_t& offset) {
  static constexpr std::uint8_t kSpace[] = {' '};
  if (offset >= frame.size()) return kSpace;
  const std::size_t length = frame[offset];
  const std::size_t start = offset + 1;
  offset = start + length;
  if (length == 0 || start >= frame.size()) return kSpace;
  return frame.subspan(start, std::min(length, frame.size() - start));
}

}  // namespace

std::string turbo_version_text(std::uint8_t form, std::uint8_t major, std::uint8_t minor) {
  if (form == 1) return minor == 0x15 ? "Version 1.2" : "Version 1.4";
  char text[32];
  std::snprintf(text, sizeof text, "Version %d.%d", major, minor);
  return text;
}

void apply_turbo_identification(Discovery& d, std::span<const std::uint8_t> frame) {
  if (frame.size() < kCountedTextsOffset) return;
  const std::string version = turbo_version_text(frame[23], frame[24], frame[25]);
  std::size_t offset = kCountedTextsOffset;
  const auto manufacturer = take_counted_text(frame, offset);
  const auto model = take_counted_text(frame, offset);
  const std::uint8_t* source = frame.data() + 6;
  DiscoveryState& s = d.state;

  if (frame[21] & 0x01) {
    // Stations enter through statistics answers only; an unknown one is ignored.
    StationEntry* entry = find_station_by_mac(d, source);
    if (entry == nullptr) return;
    entry->inUse = 1;
    entry->countdown = s.missesTillDrop;
    if (entry->deviceType != kDeviceTurbo) entry->typeChanged = 1;
    entry->deviceType = kDeviceTurbo;
    set_fixed_text(entry->firmwareVersion, version);
    set_fixed_text(entry->manufacturer, manufacturer);
    set_fixed_text(entry->model, model);
    return;
  }
  copy_mac(d.current_nic().localMac.data(), source);
  s.turboFound = 1;
  set_fixed_text(s.turboVersionText, version);
  set_fixed_text(s.turboManufacturer, manufacturer);
  set_fixed_text(s.turboModel, model);
}

void apply_turbo_firmware_text(Discovery& d, std::span<const std::uint8_t> frame) {
  DiscoveryState& s = d.state;
  std::span<const std::uint8_t> text;
  if (frame.size() > kFirmwareTextOffset && frame.size() > 16)
    text = frame.subspan(kFirmwareTextOffset,
                         std::min<std::size_t>(frame[16], frame.size() - kFirmwareTextOffset));
  set_fixed_text(s.turboFirmwareText, text);
  // Firmware 1.5 and 1.6 cannot hand keys to other devices.
  const std::string_view stored = fixed_text(s.turboFirmwareText);
  if (stored.size() > 16 && stored[14] == '1' && (stored[16] == '5' || stored[16] == '6'))
    s.turboFirmwareTooOld = 1;
}

bool apply_turbo_key(Discovery& d, std::span<const std::uint8_t> frame) {
  if (frame.size() < kKeyOffset + kHp10KeySize) return false;
  std::memcpy(d.state.hp10Network.key.data(), frame.data() + kKeyOffset, kHp10KeySize);
  return true;
}

}  // namespace zv
