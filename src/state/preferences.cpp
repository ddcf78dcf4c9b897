#include "state/preferences.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <type_traits>

#include "base/bytes.h"
#include "discovery/fixed_text.h"

namespace zv {
namespace {

// The stored items in file order; encode and decode both walk this one list.
template <class Record, class Visit>
void for_each_stored_item(Record& p, Visit&& visit) {
  visit(p.scanTick);
  visit(p.qualityStyle);
  visit(p.deviceListColour);
  visit(p.iconSize);
  visit(p.diagnosticsLevel);
  visit(p.unused6);
  visit(p.autoScan);
  for (auto& value : p.unused8to11) visit(value);
  visit(p.showRateColumn);
  visit(p.showQualityColumn);
  visit(p.twelveHourTime);
  visit(p.showUpgradeButton);
  visit(p.ownOui);
  visit(p.ownVendorName);
}

// The maker's texts; the about page opens the address, the report prints the notice.
constexpr const char* kWebAddress = "https://www.quorvel.example/";
constexpr const char* kNoticeText = "Copyright (C) QUORVEL. All rights reserved.";

void apply_after_load(PrefsRecord& p) {
  set_fixed_text(p.noticeText, kNoticeText);
  set_fixed_text(p.appCaption, kAppCaption);
  set_fixed_text(p.webAddress, kWebAddress);
  p.qualityStyle = 5;
  if (p.scanTick < 1) p.scanTick = 1;
  p.noIcons = p.iconSize == 0 ? 1 : 0;
}

}  // namespace

PrefsRecord default_preferences() {
  PrefsRecord p;
  apply_after_load(p);
  return p;
}

PrefsRecord decode_preferences(std::span<const std::uint8_t> bytes) {
  // A short file is read as if zeros followed it.
  std::array<std::uint8_t, kPrefsFileSize> image{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
  ByteReader reader(image);

  PrefsRecord p{};
  for_each_stored_item(p, [&reader]<class T>(T& item) {
    if constexpr (std::is_same_v<T, std::int32_t>) {
      std::uint32_t v = 0;
      reader.le32(v);
      item = static_cast<std::int32_t>(v);
    } else if constexpr (std::is_same_v<T, std::int16_t>) {
      std::uint16_t v = 0;
      reader.le16(v);
      item = static_cast<std::int16_t>(v);
    } else {
      reader.read(item.data(), item.size());
    }
  });
  p.noIcons = 0;
  p.webAddress = {};
  p.noticeText = {};
  p.appCaption = {};
  apply_after_load(p);
  return p;
}

std::array<std::uint8_t, kPrefsFileSize> encode_preferences(const PrefsRecord& prefs) {
  std::array<std::uint8_t, kPrefsFileSize> image{};
  ByteWriter writer(image);
  for_each_stored_item(prefs, [&writer]<class T>(const T& item) {
    if constexpr (std::is_same_v<T, std::int32_t>)
      writer.le32(static_cast<std::uint32_t>(item));
    else if constexpr (std::is_same_v<T, std::int16_t>)
      writer.le16(static_cast<std::uint16_t>(item));
    else
      writer.write(item.data(), item.size());
  });
  return image;
}

PrefsRecord load_preferences(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return default_preferences();
  std::ifstream in(file, std::ios::binary);
  if (!in) return default_preferences();
  std::array<char, kPrefsFileSize> bytes{};
  in.read(bytes.data(), bytes.size());
  const auto got = static_cast<std::size_t>(in.gcount());
  if (in.bad()) return default_preferences();
  return decode_preferences(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), got));
}

std::int32_t timer_unit(const PrefsRecord& prefs) {
  const auto unit = static_cast<std::int16_t>(static_cast<std::uint32_t>(prefs.scanTick) & 0xFFFF);
  return unit < 1 ? 1 : unit;
}

}  // namespace zv
