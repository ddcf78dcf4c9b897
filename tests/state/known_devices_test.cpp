#include "state/known_devices.h"

#include <gtest/gtest.h>

#include "discovery/fixed_text.h"
#include "state/cp936_text.h"
#include "state_test_support.h"

namespace zv {
namespace {

MacAddress mac_n(int n) { return {0x02, 0x11, 0x22, 0x33, 0x44, static_cast<std::uint8_t>(n)}; }

class ScriptedSelection final : public SelectableList {
 public:
  explicit ScriptedSelection(std::string text) : text_(std::move(text)) {}
  int selected_row_text(int column, std::string& text) const override {
    if (text_.empty() || column != 1) return 0;
    text = text_;
    return 1;
  }

 private:
  std::string text_;
};

class KnownDevicesTest : public ::testing::Test {
 protected:
  // Records named by `names` (UTF-8), MACs 1, 2, 3, ... (0 for a name starting with '-').
  void add_records(std::initializer_list<const char*> names) {
    int n = s.discovery.deviceCount;
    for (const char* name : names) {
      DeviceRecord& r = s.discovery.deviceRecords[n];
      set_fixed_text(r.name, utf8_to_cp936(name));
      if (name[0] != '-') r.mac = mac_n(n + 1);
      ++n;
    }
    s.discovery.deviceCount = n;
  }
  std::string name_of(int index) {
    return cp936_to_utf8(fixed_text(s.discovery.deviceRecords[index - 1].name));
  }
  StationBlock& block() { return s.discovery.stationBlocks[s.net.transport.currentNic]; }

  test::StateSystem s;
};

struct NameCase {
  std::vector<const char*> existing;
  const char* expected;
  friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.expected; }
};

class DefaultName : public KnownDevicesTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(DefaultName, IsTheFirstFreeOne) {
  for (const char* name : GetParam().existing) add_records({name});
  const std::string name = make_default_device_name(s.discovery);
  EXPECT_EQ(cp936_to_utf8(name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DefaultName,
    ::testing::Values(NameCase{{}, "设备 1"}, NameCase{{"设备 1"}, "设备 2"},
                      // count + 1 = 3 is taken, then 1, so 2.
                      NameCase{{"设备 1", "设备 3"}, "设备 2"},
                      NameCase{{"设备 3", "Kitchen"}, "设备 1"},
                      NameCase{{"设备 2", "设备 1"}, "设备 3"}));

TEST_F(KnownDevicesTest, DefaultNameIsStoredAsCp936Bytes) {
  EXPECT_EQ(make_default_device_name(s.discovery), "\xC9\xE8\xB1\xB8 1");
}

TEST_F(KnownDevicesTest, CreateAppendsARecordUntilTheTableIsFull) {
  add_records({"设备 2"});
  EXPECT_EQ(create_device_record(s.discovery, mac_n(9)), 2);
  EXPECT_EQ(name_of(2), "设备 1");
  EXPECT_EQ(s.discovery.deviceRecords[1].mac, mac_n(9));
  s.discovery.deviceCount = kMaxDeviceRecords;
  EXPECT_EQ(create_device_record(s.discovery, mac_n(10)), 0);
  EXPECT_EQ(s.discovery.deviceCount, kMaxDeviceRecords);
}

TEST_F(KnownDevicesTest, FindByMacTextMatchesTheFormattedMac) {
  add_records({"a", "b"});
  EXPECT_EQ(find_device_by_mac_text(s.discovery, "02:11:22:33:44:02"), 2);
  EXPECT_EQ(find_device_by_mac_text(s.discovery, "02:11:22:33:44:09"), 0);
  EXPECT_EQ(find_device_by_mac_text(s.discovery, "02-11-22-33-44-02"), 0);
  EXPECT_EQ(find_device_by_mac_text(s.discovery, "02:11:22:33:44:0"), 0);
}

TEST_F(KnownDevicesTest, PurgeRemovesZeroMacsAndKeepsTheOrder) {
  add_records({"-zero", "a", "-zero", "-zero", "b"});
  EXPECT_EQ(purge_empty_device_records(s.discovery), 3);
  ASSERT_EQ(s.discovery.deviceCount, 2);
  EXPECT_EQ(name_of(1), "a");
  EXPECT_EQ(name_of(2), "b");
  for (int i = 2; i < 5; ++i) EXPECT_EQ(fixed_text(s.discovery.deviceRecords[i].name), "");
}

TEST_F(KnownDevicesTest, RemoveStationMovesLaterEntriesDownOnTheCurrentNicOnly) {
  s.net.transport.currentNic = 2;
  for (int i = 0; i < kStationsPerNic; ++i) {
    block().stations[i].mac = mac_n(i + 1);
    s.discovery.stationBlocks[0].stations[i].mac = mac_n(i + 1);
  }
  remove_station_by_mac(s.context, mac_n(4));
  EXPECT_EQ(block().stations[2].mac, mac_n(3));
  EXPECT_EQ(block().stations[3].mac, mac_n(5));
  EXPECT_EQ(block().stations[30].mac, mac_n(32));
  EXPECT_EQ(block().stations[31].mac, MacAddress{});
  EXPECT_EQ(s.discovery.stationBlocks[0].stations[3].mac, mac_n(4));

  const auto before = block().stations;
  remove_station_by_mac(s.context, MacAddress{});  // the zero MAC of a free entry
  remove_station_by_mac(s.context, mac_n(77));
  EXPECT_EQ(0, std::memcmp(before.data(), block().stations.data(), sizeof before));
}

TEST_F(KnownDevicesTest, DeleteRecordTakesItsStationAndRowWithIt) {
  add_records({"a", "b", "c"});
  block().stations[0].mac = mac_n(2);
  block().stations[1].mac = mac_n(3);
  delete_device_record(s.context, 2);
  ASSERT_EQ(s.discovery.deviceCount, 2);
  EXPECT_EQ(name_of(1), "a");
  EXPECT_EQ(name_of(2), "c");
  EXPECT_EQ(s.discovery.deviceRecords[2].mac, MacAddress{});
  EXPECT_EQ(block().stations[0].mac, mac_n(3));
  EXPECT_EQ(s.deviceList.removedRows, std::vector<MacAddress>{mac_n(2)});

  for (int index : {0, -1, 3}) delete_device_record(s.context, index);
  EXPECT_EQ(s.discovery.deviceCount, 2);
}

struct SelectedCase {
  const char* name;
  const char* selectedMac;
  const char* password;
  std::vector<NoticeAnswer> answers;
  bool deleted;
  bool asked;
  friend void PrintTo(const SelectedCase& c, std::ostream* os) { *os << c.name; }
};

class DeleteSelected : public KnownDevicesTest, public ::testing::WithParamInterface<SelectedCase> {};

TEST_P(DeleteSelected, AsksOnlyForADeviceWithAPassword) {
  const auto& c = GetParam();
  add_records({"a", "b"});
  set_fixed_text(s.discovery.deviceRecords[1].passwordText, c.password);
  s.net.notice.scriptedAnswers = c.answers;
  delete_selected_device(s.context, ScriptedSelection(c.selectedMac));
  EXPECT_EQ(s.discovery.deviceCount, c.deleted ? 1 : 2);
  ASSERT_EQ(s.notices().size(), c.asked ? 1u : 0u);
  if (c.asked) {
    EXPECT_EQ(s.notices()[0].text, "确定要删除已输入密码的设备?");
    EXPECT_EQ(s.notices()[0].caption, "注意!");
    EXPECT_EQ(s.notices()[0].buttons, NoticeButtons::YesNo);
    EXPECT_EQ(s.notices()[0].owner, "main page");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeleteSelected,
    ::testing::Values(
        SelectedCase{"NoPassword", "02:11:22:33:44:02", "", {}, true, false},
        SelectedCase{"PasswordYes", "02:11:22:33:44:02", "ABCD-EFGH", {NoticeAnswer::Yes}, true, true},
        SelectedCase{"PasswordNo", "02:11:22:33:44:02", "ABCD-EFGH", {NoticeAnswer::No}, false, true},
        SelectedCase{"NothingSelected", "", "", {}, false, false},
        SelectedCase{"UnknownMac", "02:11:22:33:44:09", "", {}, false, false}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace zv
