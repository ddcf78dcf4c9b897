#pragma once
// The preferences: "Prefs.dat", 61 bytes of little-endian items without header or
// version, read once at start and never written by the program.

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>

namespace zv {

inline constexpr const char* kPrefsFileName = "Prefs.dat";
inline constexpr std::size_t kPrefsFileSize = 61;
inline constexpr const char* kAppCaption = "ZV350 应用软件";

using Oui = std::array<std::uint8_t, 3>;

struct PrefsRecord {
  // --- stored in the file, in this order ---
  std::int32_t scanTick = 30;  // timer unit of the scan cycle; see timer_unit()
  std::int16_t qualityStyle = 5;
  std::int32_t deviceListColour = 0;
  std::int16_t iconSize = 24;  // 0: no icons in the lists
  // 0: no diagnostics page; above 1 more detail there; 20 and more: logs at every scan.
  std::int16_t diagnosticsLevel = 1;
  std::int16_t unused6 = 1;
  std::int16_t autoScan = 1;  // the scan cycle's token: non-zero lets it run
  std::array<std::int16_t, 4> unused8to11{10, 310, 80, 25};
  std::int16_t showRateColumn = 1;
  std::int16_t showQualityColumn = 1;
  std::int16_t twelveHourTime = 1;
  std::int16_t showUpgradeButton = 0;
  Oui ownOui{};  // answered by lookup_vendor without the table
  std::array<char, 24> ownVendorName{};  // CP936 text
  // --- never in the file: set after every load ---
  std::int16_t noIcons = 0;
  std::array<char, 64> webAddress{};
  std::array<char, 100> noticeText{};
  std::array<char, 64> appCaption{};
};

// The record when "Prefs.dat" is missing or cannot be opened, with the after-load
// fields already set.
PrefsRecord default_preferences();

// Decodes the items present in `bytes` (at most 61 are used) into a zeroed record; items
// past the end stay zero, an item cut by the end keeps the bytes that are there. Then
// applies the after-load fields.
PrefsRecord decode_preferences(std::span<const std::uint8_t> bytes);

// The 61 file bytes of the stored items of `prefs`.
std::array<std::uint8_t, kPrefsFileSize> encode_preferences(const PrefsRecord& prefs);

// Reads `file`. A file that is missing or cannot be read gives default_preferences(); the
// program never creates or writes the file (an empty one would switch most of it off).
PrefsRecord load_preferences(const std::filesystem::path& file);

// The scan cycle's timer unit: the low 16 bits of scanTick, sign-extended, and at least 1
// (a scanTick of 65536 would otherwise stop the cycle in its first phase).
std::int32_t timer_unit(const PrefsRecord& prefs);

}  // namespace zv
