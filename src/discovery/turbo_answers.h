#pragma once
// Answers of HomePlug Turbo devices: identification (type 0x02, selector 0x10) and the
// firmware text and key queries (type 0x13).

#include <cstdint>
#include <span>
#include <string>

#include "discovery/discovery.h"

namespace zv {

// "Version 1.2" / "Version 1.4" for version form 1 (by the second number), else
// "Version %d.%d".
std::string turbo_version_text(std::uint8_t form, std::uint8_t major, std::uint8_t minor);

// Byte 21 bit 0: from a remote station (its entry, when it has one, becomes a Turbo
// station with version, manufacturer and model) or from the local adapter (the NIC's
// localMac and the turbo* texts). Counted texts at offset 26: length byte, then the text;
// length 0 gives " ". Texts are cut at the frame's end and at their field.
void apply_turbo_identification(Discovery& d, std::span<const std::uint8_t> frame);

// A firmware text answer (byte 17 = 0x20): (length byte) characters from offset 18 into
// turboFirmwareText; raises turboFirmwareTooOld for a 1.5 or 1.6 firmware.
void apply_turbo_firmware_text(Discovery& d, std::span<const std::uint8_t> frame);

// A key answer (byte 17 = 0x21): bytes 19-26 become the HomePlug 1.0 network key.
// False when the frame is too short to hold them.
bool apply_turbo_key(Discovery& d, std::span<const std::uint8_t> frame);

}  // namespace zv
