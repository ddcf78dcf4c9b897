#pragma once
// HomePlug AV chip codes (the device id of a GET_VERSION answer): the chip's name, the
// family prefix its version text carries, and the adapter kind a NIC gets for it.

#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

struct ChipRow {
  std::uint8_t code;
  const char* chipName;      // 7 characters
  const char* familyPrefix;  // 7 characters
  std::int32_t adapterKind;
};

// The row of `code`, or null for a code outside the table.
const ChipRow* chip_for_code(std::uint8_t code);

// The code that makes NETWORK_INFO use the long header and marks the 2400 family.
inline constexpr std::uint8_t kChipCodeLongHeader = 4;

// A version text named after the chip: the family prefix is replaced by the chip name
// and the text is kept from there on. Without a known chip or without the prefix the
// text comes back whole.
std::string chip_named_version(std::uint8_t code, std::string_view versionText);

}  // namespace zv
