#include "discovery/chip_table.h"

#include <cstring>

#include "transport/nic_record.h"

namespace zv {

namespace {

constexpr ChipRow kChips[] = {
    {1, "QA-1000", "QA-1000", kAdapterAvFirstFamily},
    {2, "QA-1300", "QA-1000", kAdapterAvFirstFamily},
    {3, "QA-1400", "QA-1000", kAdapterAvFirstFamily},
    {4, "QB-2400", "QA-2400", kAdapterAv2400},
    {5, "QB-2405", "QA-1000", kAdapterAvFirstFamily},
};

}  // namespace

const ChipRow* chip_for_code(std::uint8_t code) {
  for (const ChipRow& row : kChips)
    if (row.code == code) return &row;
  return nullptr;
}

std::string chip_named_version(std::uint8_t code, std::string_view versionText) {
  const ChipRow* chip = chip_for_code(code);
  if (chip == nullptr) return std::string(versionText);
  const std::size_t at = versionText.find(chip->familyPrefix);
  if (at == std::string_view::npos) return std::string(versionText);
  std::string named(versionText.substr(at));
  named.replace(0, std::strlen(chip->chipName), chip->chipName);
  return named;
}

}  // namespace zv
