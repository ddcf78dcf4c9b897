#include "transport/diagnostic_logs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zv {
namespace {

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class DiagnosticLogsTest : public ::testing::Test {
 protected:
  DiagnosticLogsTest() {
    setenv("TZ", "UTC", 1);
    tzset();
    std::string pattern = (std::filesystem::temp_directory_path() / "zv-logs-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    folder = pattern;
    logs = std::make_unique<DiagnosticLogs>(folder, "ZV350 应用软件");
    logs->wallClock = [this] { return now; };
  }
  ~DiagnosticLogsTest() override {
    logs.reset();
    std::filesystem::remove_all(folder);
  }

  static std::vector<std::uint8_t> block(std::uint8_t first) {
    std::vector<std::uint8_t> bytes(50);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
  }

  std::filesystem::path folder;
  std::unique_ptr<DiagnosticLogs> logs;
  std::time_t now = 0;  // Thu Jan  1 00:00:00 1970
};

TEST(LogTimeText, IsTwentyFourCharactersWithAPaddedDay) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(log_time_text(0), "Thu Jan  1 00:00:00 1970");
  EXPECT_EQ(log_time_text(1700000000), "Tue Nov 14 22:13:20 2023");
}

TEST_F(DiagnosticLogsTest, ScanLogStartsAtLevelTwentyAndGrowsBySnapshots) {
  std::vector<ScanLogNic> nics(2);
  nics[0].nicMac = {0x02, 0, 0, 0, 0, 0x0A};
  nics[0].present = 1;
  nics[0].stations = {{{0x00, 0xB0, 0x52, 0, 0, 1}, 1, 3}, {{0x00, 0xB0, 0x52, 0, 0, 2}, 0, 0}};
  nics[1].nicMac = {0x02, 0, 0, 0, 0, 0x0B};
  nics[1].stations = {{{0x00, 0xB0, 0x52, 0, 0, 9}, 1, 2}};  // not shown: adapter absent

  logs->write_scan_log_if_enabled(nics);
  EXPECT_FALSE(std::filesystem::exists(logs->scan_log_path()));

  logs->diagnosticsLevel = 20;
  logs->write_scan_log_if_enabled(nics);
  const std::string snapshot =
      "NIC #0:\t02:00:00:00:00:0A\tPresent=1\n"
      "\t00:B0:52:00:00:01\t1\t3\n"
      "\t00:B0:52:00:00:02\t0\t0\n"
      "\n"
      "NIC #1:\t02:00:00:00:00:0B\tPresent=0\n";
  const std::string header = "Thu Jan  1 00:00:00 1970\n\tdevice\t\t\tpresent\tmissesTillDrop\n\n";
  EXPECT_EQ(read_file(logs->scan_log_path()), header + snapshot);
  EXPECT_TRUE(logs->scan_log_open());

  logs->write_scan_log_if_enabled(nics);
  EXPECT_EQ(read_file(logs->scan_log_path()), header + snapshot + snapshot);
}

TEST_F(DiagnosticLogsTest, ScanLogInAMissingFolderIsSkippedAndTriedAgain) {
  DiagnosticLogs missing(folder / "absent", "x");
  missing.write_scan_log(1, {});
  EXPECT_FALSE(missing.scan_log_open());
  std::filesystem::create_directory(folder / "absent");
  missing.write_scan_log(0, {});
  EXPECT_FALSE(missing.scan_log_open());  // closed again with keep-open 0
  EXPECT_TRUE(std::filesystem::exists(missing.scan_log_path()));
}

struct DumpCase {
  DumpKind kind;
  const char* tag;
};

class DumpTagTest : public DiagnosticLogsTest, public ::testing::WithParamInterface<DumpCase> {};

TEST_P(DumpTagTest, FirstEntryIsTimeLineEmptyLineAndTagLine) {
  const auto bytes = block(0xF0);
  logs->write_dump(GetParam().kind, bytes.data(), bytes.size());
  std::string tagLine = GetParam().tag;
  for (std::uint8_t b : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %.2x", b);
    tagLine += hex;
  }
  EXPECT_EQ(read_file(folder / "ZV350 应用软件.log"),
            "Time Thu Jan  1 00:00:00 1970\n\n" + tagLine + "\n");
}

INSTANTIATE_TEST_SUITE_P(Kinds, DumpTagTest,
                         ::testing::Values(DumpCase{DumpKind::Eeprom, "**EEPROM**"},
                                           DumpCase{DumpKind::Ram, "** RAM  **"},
                                           DumpCase{DumpKind::SetKey, "**SETNEK**"}));

TEST_F(DiagnosticLogsTest, DumpKeepsTheNewestWholeEntriesWithinTwentyLines) {
  for (int i = 0; i < 12; ++i) {
    now = 86400 * i;
    const auto bytes = block(static_cast<std::uint8_t>(i));
    logs->write_dump(DumpKind::Eeprom, bytes.data(), bytes.size());
  }
  const auto lines = lines_of(read_file(logs->dump_log_path()));
  ASSERT_LE(lines.size(), DiagnosticLogs::kDumpLineLimit);
  ASSERT_EQ(lines.size() % 3, 0u);
  EXPECT_EQ(lines.size(), 18u);
  for (std::size_t i = 0; i < lines.size(); i += 3) {
    EXPECT_EQ(lines[i].rfind("Time ", 0), 0u) << i;
    EXPECT_EQ(lines[i + 1], "");
    EXPECT_EQ(lines[i + 2].rfind("**EEPROM** ", 0), 0u);
  }
  EXPECT_EQ(lines[lines.size() - 3], "Time " + log_time_text(now));
  EXPECT_EQ(lines.back().substr(0, 14), "**EEPROM** 0b ");
}

TEST_F(DiagnosticLogsTest, DumpOverAForeignFileStaysBounded) {
  {
    std::ofstream old(logs->dump_log_path());
    for (int i = 0; i < 40; ++i) old << std::string(450, 'z') << "\n";
  }
  const auto bytes = block(0);
  logs->write_dump(DumpKind::Ram, bytes.data(), bytes.size());
  const auto lines = lines_of(read_file(logs->dump_log_path()));
  ASSERT_LE(lines.size(), DiagnosticLogs::kDumpLineLimit);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "Time Thu Jan  1 00:00:00 1970");
  EXPECT_EQ(lines.back().rfind("** RAM  ** 00 01", 0), 0u);
}

}  // namespace
}  // namespace zv
