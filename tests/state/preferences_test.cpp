#include "state/preferences.h"

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "discovery/fixed_text.h"
#include "state_test_support.h"

namespace zv {
namespace {

// Every item distinct, in file order.
const std::vector<std::uint8_t> kFullFile = {
    0x2C, 0x01, 0x00, 0x00,  // scanTick 300
    0x07, 0x00,              // qualityStyle 7 (replaced by 5)
    0x03, 0x00, 0x00, 0x00,  // deviceListColour 3
    0x10, 0x00,              // iconSize 16
    0x02, 0x00,              // diagnosticsLevel 2
    0x09, 0x00,              // unused
    0x01, 0x00,              // autoScan 1
    0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00,  // four unused
    0x00, 0x00,              // showRateColumn 0
    0x01, 0x00,              // showQualityColumn 1
    0x00, 0x00,              // twelveHourTime 0
    0x01, 0x00,              // showUpgradeButton 1
    0x00, 0x1A, 0x2B,        // ownOui
    'O', 'w', 'n', '_', 'N', 'a', 'm', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

TEST(Preferences, FullFileGivesEveryItemInOrderAndEncodesBack) {
  ASSERT_EQ(kFullFile.size(), kPrefsFileSize);
  const PrefsRecord p = decode_preferences(kFullFile);
  EXPECT_EQ(p.scanTick, 300);
  EXPECT_EQ(p.qualityStyle, 5);
  EXPECT_EQ(p.deviceListColour, 3);
  EXPECT_EQ(p.iconSize, 16);
  EXPECT_EQ(p.noIcons, 0);
  EXPECT_EQ(p.diagnosticsLevel, 2);
  EXPECT_EQ(p.autoScan, 1);
  EXPECT_EQ(p.unused8to11, (std::array<std::int16_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(p.showRateColumn, 0);
  EXPECT_EQ(p.showQualityColumn, 1);
  EXPECT_EQ(p.twelveHourTime, 0);
  EXPECT_EQ(p.showUpgradeButton, 1);
  EXPECT_EQ(p.ownOui, (Oui{0x00, 0x1A, 0x2B}));
  EXPECT_EQ(fixed_text(p.ownVendorName), "Own_Name");
  EXPECT_EQ(fixed_text(p.appCaption), "ZV350 应用软件");
  EXPECT_FALSE(fixed_text(p.webAddress).empty());
  EXPECT_FALSE(fixed_text(p.noticeText).empty());

  auto expected = kFullFile;
  expected[4] = 0x05;  // qualityStyle as loaded
  const auto encoded = encode_preferences(p);
  EXPECT_EQ(std::vector<std::uint8_t>(encoded.begin(), encoded.end()), expected);
}

TEST(Preferences, MissingFileGivesDefaultsAndIsNotCreated) {
  test::TempFolder folder;
  const auto file = folder.path() / kPrefsFileName;
  const PrefsRecord p = load_preferences(file);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(p.scanTick, 30);
  EXPECT_EQ(timer_unit(p), 30);
  EXPECT_EQ(p.iconSize, 24);
  EXPECT_EQ(p.noIcons, 0);
  EXPECT_EQ(p.diagnosticsLevel, 1);
  EXPECT_EQ(p.autoScan, 1);
  EXPECT_EQ(p.unused8to11, (std::array<std::int16_t, 4>{10, 310, 80, 25}));
  EXPECT_EQ(p.showRateColumn, 1);
  EXPECT_EQ(p.showQualityColumn, 1);
  EXPECT_EQ(p.showUpgradeButton, 0);
  EXPECT_EQ(p.ownOui, Oui{});
  EXPECT_EQ(fixed_text(p.appCaption), "ZV350 应用软件");
  // The same as the record a default Prefs.dat holds.
  EXPECT_EQ(encode_preferences(p), encode_preferences(default_preferences()));
}

// An existing short file: the items it holds, zero after its end.
struct ShortFileCase {
  std::size_t length;
  std::int32_t scanTick;
  std::int32_t deviceListColour;
  std::int16_t iconSize;
  std::int16_t noIcons;
  std::int16_t autoScan;
  friend void PrintTo(const ShortFileCase& c, std::ostream* os) { *os << c.length << " bytes"; }
};

class PreferencesShortFile : public ::testing::TestWithParam<ShortFileCase> {};

TEST_P(PreferencesShortFile, KeepsMissingItemsZero) {
  const auto c = GetParam();
  test::TempFolder folder;
  const auto file = folder.path() / kPrefsFileName;
  test::write_file(file, std::vector<std::uint8_t>(kFullFile.begin(), kFullFile.begin() + c.length));
  const PrefsRecord p = load_preferences(file);
  EXPECT_EQ(p.scanTick, c.scanTick);
  EXPECT_EQ(timer_unit(p), c.scanTick);
  EXPECT_EQ(p.qualityStyle, 5);
  EXPECT_EQ(p.deviceListColour, c.deviceListColour);
  EXPECT_EQ(p.iconSize, c.iconSize);
  EXPECT_EQ(p.noIcons, c.noIcons);
  EXPECT_EQ(p.autoScan, c.autoScan);
  EXPECT_EQ(p.showRateColumn, 0);
  EXPECT_EQ(p.showQualityColumn, 0);
  EXPECT_EQ(p.ownOui, Oui{});
  EXPECT_EQ(fixed_text(p.appCaption), "ZV350 应用软件");
  EXPECT_EQ(test::read_file(file).size(), c.length);  // never written
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, PreferencesShortFile,
    ::testing::Values(
        // An empty file: everything off, timer unit 1.
        ShortFileCase{0, 1, 0, 0, 1, 0},
        // The file ends inside deviceListColour: its first byte is there.
        ShortFileCase{7, 300, 3, 0, 1, 0},
        ShortFileCase{12, 300, 3, 16, 0, 0},
        ShortFileCase{18, 300, 3, 16, 0, 1}));

struct TimerUnitCase {
  std::int32_t scanTick;
  std::int32_t timerUnit;
  friend void PrintTo(const TimerUnitCase& c, std::ostream* os) { *os << "scanTick " << c.scanTick; }
};

class PreferencesTimerUnit : public ::testing::TestWithParam<TimerUnitCase> {};

TEST_P(PreferencesTimerUnit, IsTheLow16BitsSignExtendedAndAtLeastOne) {
  std::vector<std::uint8_t> bytes(4);
  put_le32(bytes.data(), static_cast<std::uint32_t>(GetParam().scanTick));
  EXPECT_EQ(timer_unit(decode_preferences(bytes)), GetParam().timerUnit);
}

INSTANTIATE_TEST_SUITE_P(Values, PreferencesTimerUnit,
                         ::testing::Values(TimerUnitCase{30, 30}, TimerUnitCase{0, 1},
                                           TimerUnitCase{-7, 1}, TimerUnitCase{0x1001E, 30},
                                           TimerUnitCase{0x10000, 1}, TimerUnitCase{0x8000, 1},
                                           TimerUnitCase{0x7FFF, 0x7FFF}));

}  // namespace
}  // namespace zv
