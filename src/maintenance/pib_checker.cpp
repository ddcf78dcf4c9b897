#include "maintenance/pib_checker.h"

#include <algorithm>

#include "base/bytes.h"
#include "hpav/vendor_checksum.h"
#include "maintenance/pib_layout.h"
#include "maintenance/pib_value_checks.h"

namespace zv {
namespace {

bool is_block(std::span<const std::uint8_t> block) {
  return block.data() != nullptr && block.size() >= kPibMinimumSize;
}

bool version_is_at_least_1_4(std::span<const std::uint8_t> block) {
  const std::uint8_t major = block[kPibVersionMajorOffset];
  const std::uint8_t minor = block[kPibVersionMinorOffset];
  return major > 1 || (major == 1 && minor >= 4);
}

std::size_t length_field(std::span<const std::uint8_t> block) {
  return get_le16(block.data() + kPibLengthOffset);
}

// The adapters' own management addresses may not be given to a station.
constexpr MacAddress kReservedMacs[] = {
    {0x00, 0xB0, 0x52, 0x00, 0x00, 0x01},
    {0x00, 0xB0, 0x52, 0x00, 0x00, 0x02},
    {0x00, 0xB0, 0x52, 0x00, 0x00, 0x03},
};

}  // namespace

int PibChecker::pib_validate(std::span<std::uint8_t> block) {
  block_ = block;
  valid_ = false;
  if (!is_block(block)) return kPibNoBlock;
  if (block[kPibVersionMajorOffset] != 4 || block[kPibVersionMinorOffset] != 4) {
    return kPibNotChecked;
  }
  if (length_field(block) != kPibCheckedLength || block.size() < kPibCheckedLength) {
    return kPibBadLength;
  }
  const PibBlock checked(block.first<kPibCheckedLength>());
  if (first_failed_pib_check(checked) != nullptr) return kPibValueCheckFailed;
  valid_ = true;
  return kPibOk;
}

int PibChecker::pib_set_mac(const MacAddress& mac) {
  if (!is_block(block_)) return kPibNoBlock;
  if (!version_is_at_least_1_4(block_)) return kPibVersionTooOld;
  const bool group = (mac[0] & 1) != 0;
  if (group || std::ranges::find(kReservedMacs, mac) != std::end(kReservedMacs)) {
    return kPibMacRefused;
  }
  std::ranges::copy(mac, block_.begin() + kPibMacOffset);
  return kPibOk;
}

int PibChecker::pib_get_key(std::span<std::uint8_t, 16> key) const {
  if (!is_block(block_)) return kPibNoBlock;
  if (!version_is_at_least_1_4(block_)) return kPibVersionTooOld;
  std::copy_n(block_.begin() + kPibKeyOffset, kPibKeyLength, key.begin());
  return kPibOk;
}

int PibChecker::pib_seal(std::span<std::uint8_t> block) {
  const int result = pib_validate(block);
  if (result >= 4) return result;
  put_le32(block.data() + kPibChecksumOffset, 0);
  const std::size_t length = length_field(block);
  if (length > kPibSealLimit || length > block.size()) return kPibBadLength;
  put_le32(block.data() + kPibChecksumOffset, vendor_checksum(block.data(), length / 4, 0));
  return result;
}

}  // namespace zv
