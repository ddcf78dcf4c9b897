#include "sim/parameter_block.h"

#include <algorithm>

#include "base/bytes.h"
#include "sim/checksums.h"

namespace zv::sim::pib {

namespace {

void put_text(std::vector<std::uint8_t>& block, std::size_t offset, std::string_view text) {
  if (offset + kTextSize > block.size()) return;
  std::fill_n(block.begin() + static_cast<std::ptrdiff_t>(offset), kTextSize, 0);
  const std::size_t n = std::min(text.size(), kTextSize - 1);
  std::copy_n(text.begin(), n, block.begin() + static_cast<std::ptrdiff_t>(offset));
}

// One UART setting: baud rate, data bits, parity, stop bits, flow control.
void put_serial_record(std::uint8_t* p) {
  put_le32(p, 115200);
  p[4] = 8;
  p[5] = 0;
  p[6] = 1;
  p[7] = 0;
}

}  // namespace

std::vector<std::uint8_t> make_factory_block(std::string_view deviceName) {
  std::vector<std::uint8_t> b(kLength, 0);
  std::uint8_t* p = b.data();
  p[0] = 4;
  p[1] = 4;
  put_le16(p + kLengthField, static_cast<std::uint16_t>(kLength));
  // Fields whose zero is out of range; all others stay zero, which passes.
  for (std::size_t offset = 528; offset < 544; offset += 4) put_le32(p + offset, 1'000'000);
  put_le32(p + 7824, 60);
  put_le32(p + 8080, 1'000'000);
  p[10248] = 1;  // one 5-byte entry from 10249, all zero
  put_serial_record(p + 11420);
  put_serial_record(p + 11432);
  put_serial_record(p + 11444);
  put_text(b, kManufacturerText, "Simulated powerline adapter");
  put_text(b, kDeviceNameText, deviceName);
  return b;
}

void stamp(std::vector<std::uint8_t>& block, const MacAddress& mac, const Key& nmk,
           std::string_view deviceName) {
  if (block.size() >= kMac + mac.size()) std::copy(mac.begin(), mac.end(), block.begin() + kMac);
  if (block.size() >= kNmk + nmk.size()) std::copy(nmk.begin(), nmk.end(), block.begin() + kNmk);
  put_text(block, kDeviceNameText, deviceName);
  if (block.size() < kChecksum + 4) return;
  put_le32(block.data() + kChecksum, 0);
  const std::size_t covered = std::min<std::size_t>(get_le16(block.data() + kLengthField), block.size());
  put_le32(block.data() + kChecksum,
           vendor_checksum(std::span<const std::uint8_t>(block.data(), covered)));
}

std::string device_name_of(const std::vector<std::uint8_t>& block) {
  if (block.size() < kDeviceNameText + kTextSize) return {};
  const auto* text = reinterpret_cast<const char*>(block.data() + kDeviceNameText);
  std::size_t n = 0;
  while (n < kTextSize - 1 && text[n] != '\0') ++n;
  return std::string(text, n);
}

}  // namespace zv::sim::pib
