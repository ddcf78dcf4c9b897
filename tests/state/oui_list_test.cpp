#include "state/oui_list.h"

#include <gtest/gtest.h>

#include "discovery/fixed_text.h"
#include "state_test_support.h"

namespace zv {
namespace {

class OuiListTest : public ::testing::Test {
 protected:
  VendorTable load(const std::string& content) {
    const auto file = folder.path() / kOuiListFileName;
    test::write_file(file, std::vector<std::uint8_t>(content.begin(), content.end()));
    return load_oui_list(file);
  }
  std::string vendor(const VendorTable& table, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    const MacAddress mac{a, b, c, 0x12, 0x34, 0x56};
    return lookup_vendor(table, prefs, mac.data());
  }

  test::TempFolder folder;
  PrefsRecord prefs = default_preferences();
};

TEST_F(OuiListTest, FindsFirstAndLastLineAndRestoresSpaces) {
  const auto table = load("000001\tFirst_Co\n0A0B0C\tSome_Vendor\nfffffe\tLast\n");
  ASSERT_EQ(table.vendorCount, 3u);
  EXPECT_EQ(vendor(table, 0x00, 0x00, 0x01), "First Co");
  EXPECT_EQ(vendor(table, 0x0A, 0x0B, 0x0C), "Some Vendor");
  EXPECT_EQ(vendor(table, 0xFF, 0xFF, 0xFE), "Last");
  EXPECT_EQ(vendor(table, 0x0A, 0x0B, 0x0D), "QUORVEL");
}

TEST_F(OuiListTest, UnsortedFileStillFindsEveryOuiAndFirstListedWinsTies) {
  const auto table = load("FFFFFF\tHigh\n000000\tZero\n800000\tMiddle\n000000\tSecond\n");
  ASSERT_EQ(table.vendorCount, 4u);
  EXPECT_EQ(vendor(table, 0xFF, 0xFF, 0xFF), "High");
  EXPECT_EQ(vendor(table, 0x80, 0x00, 0x00), "Middle");
  // 00:00:00 is the default ownOui; move it to see the table's answer.
  prefs.ownOui = {0x12, 0x34, 0x56};
  EXPECT_EQ(vendor(table, 0x00, 0x00, 0x00), "Zero");
}

TEST_F(OuiListTest, ShortLinesAreAllRead) {
  // 9-byte lines: a capacity guessed from the file size would have dropped most.
  std::string content;
  for (int i = 0; i < 300; ++i) {
    char line[16];
    std::snprintf(line, sizeof line, "%06X\tV\n", i * 0x100 + 1);
    content += line;
  }
  const auto table = load(content);
  EXPECT_EQ(table.vendorCount, 300u);
  EXPECT_EQ(vendor(table, 0x01, 0x2B, 0x01), "V");  // the last line
}

TEST_F(OuiListTest, LongNamesAreCutAndOverlongLinesDoNotStopReading) {
  const std::string huge(100000, 'x');
  const auto table = load("0000AA\tTwelve_Chars_And_More\r\n\r\n0000BB\t" + huge + "\n0000CC\tAfter\n");
  ASSERT_EQ(table.vendorCount, 3u);
  EXPECT_EQ(vendor(table, 0x00, 0x00, 0xAA), "Twelve Char");
  EXPECT_EQ(vendor(table, 0x00, 0x00, 0xBB), "xxxxxxxxxxx");
  EXPECT_EQ(vendor(table, 0x00, 0x00, 0xCC), "After");
}

TEST_F(OuiListTest, ReadingStopsAtAMalformedLine) {
  const auto table = load("000001\tOne\n0000ZZ\tBad\n000003\tThree\n");
  EXPECT_EQ(table.vendorCount, 1u);
  EXPECT_EQ(vendor(table, 0x00, 0x00, 0x03), "QUORVEL");
}

TEST_F(OuiListTest, OwnOuiIsAnsweredWithoutTheTable) {
  const auto table = load("001122\tListed\n");
  prefs.ownOui = {0x00, 0x11, 0x22};
  set_fixed_text(prefs.ownVendorName, "Own Maker");
  EXPECT_EQ(vendor(table, 0x00, 0x11, 0x22), "Own Maker");
  // No Prefs.dat fields: ownOui is zero, and 00:00:00 gets the empty ownVendorName.
  prefs = decode_preferences({});
  EXPECT_EQ(vendor(table, 0x00, 0x00, 0x00), "");
  EXPECT_EQ(vendor(table, 0x00, 0x11, 0x22), "Listed");
}

TEST_F(OuiListTest, MissingFileAnswersQuorvel) {
  const auto table = load_oui_list(folder.path() / "none.txt");
  EXPECT_EQ(table.vendorCount, 0u);
  EXPECT_EQ(vendor(table, 0x00, 0x11, 0x22), "QUORVEL");
}

struct LineCase {
  const char* line;
  bool ok;
  Oui oui;
  const char* name;
  friend void PrintTo(const LineCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }
};

class OuiLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(OuiLine, Parses) {
  const auto c = GetParam();
  VendorEntry entry;
  ASSERT_EQ(parse_oui_line(c.line, entry), c.ok);
  if (!c.ok) return;
  EXPECT_EQ(entry.oui, c.oui);
  EXPECT_STREQ(entry.name.data(), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, OuiLine,
    ::testing::Values(LineCase{"00b052\tChip_Maker", true, {0x00, 0xB0, 0x52}, "Chip Maker"},
                      LineCase{"ABCDEF Vendor trailing words", true, {0xAB, 0xCD, 0xEF}, "Vendor"},
                      LineCase{"ABCDEF\t\tA\r", true, {0xAB, 0xCD, 0xEF}, "A"},
                      LineCase{"ABCDEF\t", false, {}, ""},
                      LineCase{"ABCDEFVendor", false, {}, ""},
                      LineCase{"ABCDE\tVendor", false, {}, ""},
                      LineCase{"AB-CD-EF\tVendor", false, {}, ""},
                      LineCase{"", false, {}, ""}));

}  // namespace
}  // namespace zv
