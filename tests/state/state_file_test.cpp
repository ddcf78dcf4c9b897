#include "state/state_file.h"

#include <sys/stat.h>

#include <cstring>

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "discovery/fixed_text.h"
#include "state_test_support.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

MacAddress mac_n(int n) { return {0x00, 0xB0, 0x52, 0x00, 0x10, static_cast<std::uint8_t>(n)}; }

// Record n: distinct bytes in every field.
DeviceRecord make_record(int n) {
  DeviceRecord r;
  set_fixed_text(r.name, "dev" + std::to_string(n));
  r.mac = mac_n(n);
  set_fixed_text(r.passwordText, "PASS-" + std::to_string(n));
  set_fixed_text(r.networkName, "net" + std::to_string(n));
  r.key.fill(static_cast<std::uint8_t>(0x40 + n));
  r.lastSeen = 1700000000 + n;
  return r;
}

void fill_tables(test::StateSystem& s, int records) {
  s.net.transport.currentNic = 3;
  StationBlock& block = s.discovery.stationBlocks[3];
  block.localPresent = 1;
  block.localKind = 4;
  block.stationCount = 2;
  set_fixed_text(block.networkName, "private-net");
  block.stations[5].inUse = 1;
  block.stations[5].mac = mac_n(99);
  block.stations[5].rate.current = 200.0;
  for (int i = 0; i < records; ++i) s.discovery.deviceRecords[i] = make_record(i);
  s.discovery.deviceCount = records;
  s.deviceList.layout = ListLayout{{4, 3, 2, 1, 0}, {51, 52, 53, 54, 55}, 0, 3};
}

std::int32_t le32_at(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return static_cast<std::int32_t>(get_le32(bytes.data() + offset));
}

class StateFileTest : public ::testing::Test {
 protected:
  const fs::path& file() const { return s.context.stateFile; }
  test::StateSystem s;
};

class StateFileRoundTrip : public StateFileTest, public ::testing::WithParamInterface<int> {};

TEST_P(StateFileRoundTrip, WritesThePartsLayoutAndLoadsItBack) {
  const int records = GetParam();
  fill_tables(s, records);
  ASSERT_EQ(save_state(s.context), SaveResult::Saved);

  const auto bytes = test::read_file(file());
  ASSERT_EQ(bytes.size(), 131988u + 198u * records);
  EXPECT_EQ(le32_at(bytes, 0), 306);
  EXPECT_EQ(le32_at(bytes, 4), 3);
  const std::size_t block3 = 8 + 3 * 16491;
  EXPECT_EQ(le32_at(bytes, block3 + 6), 1);
  EXPECT_EQ(le32_at(bytes, block3 + 16431), 2);
  EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[block3 + 16451]), "private-net");
  EXPECT_EQ(0, std::memcmp(&bytes[block3 + 45 + 5 * 509 + 4], mac_n(99).data(), 6));
  EXPECT_EQ(le32_at(bytes, 131936), records);
  for (int i = 0; i < records; ++i) {
    const std::size_t at = 131940 + 198u * i;
    EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[at]), ("dev" + std::to_string(i)).c_str());
    EXPECT_EQ(0, std::memcmp(&bytes[at + 35], mac_n(i).data(), 6));
    EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[at + 41]), ("PASS-" + std::to_string(i)).c_str());
    EXPECT_EQ(bytes[at + 149], 0x40 + i);
    EXPECT_EQ(le32_at(bytes, at + 190), 1700000000 + i);
  }
  const std::size_t layout = 131940 + 198u * records;
  EXPECT_EQ(le32_at(bytes, layout), 4);             // columnOrder[0]
  EXPECT_EQ(le32_at(bytes, layout + 20), 51);       // columnWidths[0]
  EXPECT_EQ(le32_at(bytes, layout + 40), 0);        // sortDirection
  EXPECT_EQ(le32_at(bytes, layout + 44), 3);        // sortColumn

  test::StateSystem fresh;
  fs::copy_file(file(), fresh.context.stateFile);
  const LoadOutcome outcome = load_state(fresh.context);
  EXPECT_EQ(outcome.result, LoadResult::Loaded);
  EXPECT_EQ(fresh.net.transport.currentNic, 3);
  EXPECT_EQ(fresh.discovery.deviceCount, records);
  EXPECT_EQ(0, std::memcmp(fresh.discovery.stationBlocks.data(), s.discovery.stationBlocks.data(),
                           sizeof(StationTable)));
  EXPECT_EQ(0, std::memcmp(fresh.discovery.deviceRecords.data(), s.discovery.deviceRecords.data(),
                           sizeof(DeviceRecordTable)));
  EXPECT_EQ(fresh.deviceList.applied_count, 1);
  EXPECT_EQ(fresh.deviceList.layout.columnOrder, s.deviceList.layout.columnOrder);
  EXPECT_EQ(fresh.deviceList.layout.columnWidths, s.deviceList.layout.columnWidths);
  EXPECT_EQ(fresh.deviceList.layout.sortDirection, 0);
  EXPECT_EQ(fresh.deviceList.layout.sortColumn, 3);
  EXPECT_TRUE(fresh.notices().empty());
}

INSTANTIATE_TEST_SUITE_P(Records, StateFileRoundTrip, ::testing::Values(1, 32));

// A file put together byte by byte from the layout alone, version 307.
TEST_F(StateFileTest, LoadsAFileLaidOutByHandAndLaterVersions) {
  std::vector<std::uint8_t> bytes(131988 + 198 * 2, 0);
  put_le32(&bytes[0], 307);
  put_le32(&bytes[4], 12);  // above 7: taken as 7
  std::memcpy(&bytes[8 + 7 * 16491 + 16451], "HomeNet", 7);
  put_le32(&bytes[131936], 2);
  std::memcpy(&bytes[131940 + 198 + 0], "second", 6);
  bytes[131940 + 198 + 35 + 5] = 0x77;
  put_le32(&bytes[131940 + 396 + 44], 2);  // sortColumn
  bytes.push_back(0xEE);  // something a later version appended
  test::write_file(file(), bytes);

  EXPECT_EQ(load_state(s.context).result, LoadResult::Loaded);
  EXPECT_EQ(s.net.transport.currentNic, 7);
  EXPECT_EQ(fixed_text(s.discovery.stationBlocks[7].networkName), "HomeNet");
  EXPECT_EQ(s.discovery.deviceCount, 2);
  EXPECT_EQ(fixed_text(s.discovery.deviceRecords[1].name), "second");
  EXPECT_EQ(s.discovery.deviceRecords[1].mac[5], 0x77);
  EXPECT_EQ(s.deviceList.layout.sortColumn, 2);
  EXPECT_TRUE(s.notices().empty());
}

TEST_F(StateFileTest, NoRecordsWritesNothingAndTheOldFileStays) {
  fill_tables(s, 2);
  ASSERT_EQ(save_state(s.context), SaveResult::Saved);
  const auto before = test::read_file(file());
  s.discovery.deviceCount = 0;  // the last record was deleted
  EXPECT_EQ(save_state(s.context), SaveResult::NothingToSave);
  EXPECT_EQ(test::read_file(file()), before);
}

TEST_F(StateFileTest, FileIsOwnerOnlyEvenWhenAnOldOneWasOpenToAll) {
  test::write_file(file(), {1, 2, 3});
  ASSERT_EQ(::chmod(file().c_str(), 0777), 0);
  fill_tables(s, 1);
  ASSERT_EQ(save_state(s.context), SaveResult::Saved);
  struct stat info {};
  ASSERT_EQ(::stat(file().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  // Only the state file is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(s.folder.path()), fs::directory_iterator()), 1);
}

TEST_F(StateFileTest, SaveInterruptedBeforeTheRenameLeavesTheOldFileIntact) {
  fill_tables(s, 1);
  ASSERT_EQ(save_state(s.context), SaveResult::Saved);
  const auto before = test::read_file(file());

  fill_tables(s, 5);
  s.context.beforeReplace = [] { std::_Exit(7); };  // the process dies right there
  EXPECT_EXIT(save_state(s.context), ::testing::ExitedWithCode(7), "");
  EXPECT_EQ(test::read_file(file()), before);

  // The next save clears the leftover and goes through.
  s.context.beforeReplace = nullptr;
  ASSERT_EQ(save_state(s.context), SaveResult::Saved);
  EXPECT_EQ(test::read_file(file()).size(), 131988u + 198u * 5);
  EXPECT_EQ(std::distance(fs::directory_iterator(s.folder.path()), fs::directory_iterator()), 1);
}

TEST_F(StateFileTest, SaveIntoAMissingFolderFailsQuietly) {
  fill_tables(s, 1);
  s.context.stateFile = s.folder.path() / "missing" / "state.data";
  EXPECT_EQ(save_state(s.context), SaveResult::Failed);
  EXPECT_TRUE(s.notices().empty());
}

TEST_F(StateFileTest, MissingFileGivesEmptyTablesWithoutMessage) {
  fill_tables(s, 3);
  EXPECT_EQ(load_state(s.context).result, LoadResult::NoFile);
  EXPECT_EQ(s.discovery.deviceCount, 0);
  EXPECT_EQ(s.net.transport.currentNic, 0);
  for (const StationBlock& block : s.discovery.stationBlocks) {
    EXPECT_EQ(fixed_text(block.networkName), "HomePlugAV");
    EXPECT_EQ(std::int32_t{block.stationCount}, 0);  // a copy: the field is unaligned
    EXPECT_EQ(block.stations[5].mac, MacAddress{});
  }
  EXPECT_TRUE(s.notices().empty());
}

// A file that cannot be read as laid out is kept aside, and the program starts empty.
struct CorruptCase {
  const char* name;
  std::function<void(std::vector<std::uint8_t>&)> spoil;
  StateFileFault fault;
  const char* caption;  // of the message, or null for none
  friend void PrintTo(const CorruptCase& c, std::ostream* os) { *os << c.name; }
};

class StateFileCorrupt : public StateFileTest, public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(StateFileCorrupt, IsKeptAsideAndTheProgramStartsFromEmptyTables) {
  const auto& c = GetParam();
  fill_tables(s, 2);
  ASSERT_EQ(save_state(s.context), SaveResult::Saved);
  auto bytes = test::read_file(file());
  c.spoil(bytes);
  test::write_file(file(), bytes);

  test::StateSystem next;
  fs::copy_file(file(), next.context.stateFile);
  const LoadOutcome outcome = load_state(next.context);
  EXPECT_EQ(outcome.result, LoadResult::KeptAside);
  EXPECT_EQ(outcome.fault, c.fault);
  EXPECT_EQ(next.discovery.deviceCount, 0);
  EXPECT_EQ(next.net.transport.currentNic, 0);
  EXPECT_EQ(fixed_text(next.discovery.stationBlocks[3].networkName), "HomePlugAV");
  EXPECT_EQ(next.deviceList.applied_count, 0);

  // The file is beside the state file, under a name that says why, byte for byte.
  EXPECT_FALSE(fs::exists(next.context.stateFile));
  ASSERT_FALSE(outcome.keptAsidePath.empty());
  EXPECT_EQ(outcome.keptAsidePath.parent_path(), next.folder.path());
  EXPECT_EQ(outcome.keptAsidePath.filename().string().rfind("ZV350 应用软件.data.unreadable-", 0), 0u);
  EXPECT_EQ(test::read_file(outcome.keptAsidePath), bytes);

  if (c.caption) {
    ASSERT_EQ(next.notices().size(), 1u);
    EXPECT_EQ(next.notices()[0].text, "意外错误，系统正在尝试恢复.");
    EXPECT_EQ(next.notices()[0].caption, c.caption);
    EXPECT_EQ(next.notices()[0].icon, NoticeIcon::Warning);
    EXPECT_EQ(next.notices()[0].owner, "main page");
  } else {
    EXPECT_TRUE(next.notices().empty());
  }

  // The next start finds no file and says nothing; a second bad file is not lost either.
  test::StateSystem after;
  after.context.stateFile = next.context.stateFile;
  EXPECT_EQ(load_state(after.context).result, LoadResult::NoFile);
  EXPECT_TRUE(after.notices().empty());
  test::write_file(next.context.stateFile, bytes);
  const LoadOutcome again = load_state(after.context);
  EXPECT_NE(again.keptAsidePath, outcome.keptAsidePath);
  EXPECT_EQ(test::read_file(outcome.keptAsidePath), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StateFileCorrupt,
    ::testing::Values(
        CorruptCase{"Empty", [](auto& b) { b.clear(); }, StateFileFault::ShortRead, nullptr},
        CorruptCase{"CutInTheStationTable", [](auto& b) { b.resize(70000); },
                    StateFileFault::ShortRead, nullptr},
        CorruptCase{"CutInTheRecords", [](auto& b) { b.resize(131940 + 198 + 10); },
                    StateFileFault::ShortRead, nullptr},
        CorruptCase{"CutInTheLayout", [](auto& b) { b.pop_back(); }, StateFileFault::ShortRead,
                    nullptr},
        CorruptCase{"OldVersion", [](auto& b) { put_le32(&b[0], 305); },
                    StateFileFault::OldVersion, "注意!"},
        CorruptCase{"NegativeCurrentNic", [](auto& b) { put_le32(&b[4], 0xFFFFFFFF); },
                    StateFileFault::NegativeCurrentNic, nullptr},
        CorruptCase{"NoRecords", [](auto& b) { put_le32(&b[131936], 0); },
                    StateFileFault::BadDeviceCount, "错误"},
        CorruptCase{"TooManyRecords", [](auto& b) { put_le32(&b[131936], 33); },
                    StateFileFault::BadDeviceCount, "错误"}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace zv
