// Naming the local adapter's network from the key it holds, through the simulated
// adapters: the AV key is read from its parameter block, the Turbo key asked for.
#include "discovery/local_adapter_identity.h"

#include <gtest/gtest.h>

#include "discovery/device_records.h"
#include "discovery/local_adapter_scan.h"
#include "packed_field.h"
#include "scan_fixture.h"
#include "security/key_derivation.h"

namespace zv {
namespace {

NetworkKey key_of(std::uint8_t fill, std::size_t width = 16) {
  NetworkKey key{};
  for (std::size_t i = 0; i < width; ++i) key[i] = static_cast<std::uint8_t>(fill + i);
  return key;
}
NetworkKey hp10_key(const Hp10Key& k) {
  NetworkKey key{};
  std::copy(k.begin(), k.end(), key.begin());
  return key;
}

const NetworkKey kMine = key_of(0x10);
const NetworkKey kTheirs = key_of(0x20);
const NetworkKey kStrange = key_of(0x30);
const NetworkKey kMine8 = key_of(0x10, 8);
const NetworkKey kTheirs8 = key_of(0x20, 8);
const NetworkKey kStrange8 = key_of(0x30, 8);

struct NamingCase {
  const char* name;
  sim::Family family;
  NetworkKey adapterKey;
  bool known;       // the local adapter has a record: key kMine(8), name "Mine"
  bool neighbours;  // another record: key kTheirs(8), name "Neighbours"
  bool keepNameOnce = false;
  const char* pendingName = nullptr;  // the current NIC's network name, pendingNetworkName set
  bool unreadableBlock = false;       // every parameter block chunk is refused
  // Expected.
  const char* recordName = "";
  const char* networkName = "";
  NetworkKey recordKey{};
};

void PrintTo(const NamingCase& row, std::ostream* out) { *out << row.name; }

class NetworkNamingTest : public test::ScanTest, public ::testing::WithParamInterface<NamingCase> {
 protected:
  bool is_av() const { return GetParam().family == sim::Family::HomePlugAv; }
  std::string_view network_name() const {
    return is_av() ? fixed_text(d.state.avNetwork.name) : fixed_text(d.state.hp10Network.name);
  }
};

TEST_P(NetworkNamingTest, NamesTheNetworkByItsKey) {
  const NamingCase& c = GetParam();
  auto local = is_av() ? av(1) : hp10(c.family, 1);
  local.networkKey = c.adapterKey;
  if (c.unreadableBlock) {
    local.faults.errorOnChunk = 1;
    local.faults.errorRepeat = 100;
  }
  load({nic(0, local)});
  // A remote station's record: no key, no network. A key that was not read never matches it.
  add_record("Remote", test::station_mac(9));
  if (c.neighbours)
    add_record("Neighbour", test::station_mac(8), is_av() ? kTheirs : kTheirs8, "Neighbours");
  if (c.known) add_record("Study", local.mac, is_av() ? kMine : kMine8, "Mine");
  set_fixed_text(d.state.avNetwork.name, "stale");
  set_fixed_text(d.state.hp10Network.name, "stale");
  d.state.keepNameOnce = c.keepNameOnce ? 1 : 0;
  if (c.pendingName != nullptr) {
    set_fixed_text(d.state.stationBlocks[0].networkName, c.pendingName);
    d.state.pendingNetworkName = 1;
  }

  ASSERT_EQ(scan_all_nics(d), 1);
  const int index = find_device_by_mac(d.state, local.mac.data());
  ASSERT_NE(index, 0);
  const DeviceRecord& record = d.state.deviceRecords[static_cast<std::size_t>(index - 1)];
  EXPECT_EQ(fixed_text(record.networkName), c.recordName);
  EXPECT_EQ(network_name(), c.networkName);
  EXPECT_EQ(record.key, c.recordKey);
  EXPECT_EQ(d.state.keepNameOnce, 0);
  EXPECT_EQ(d.state.pendingNetworkName, 0);
  EXPECT_EQ(fixed_text(d.state.stationBlocks[0].networkName), c.networkName);
  if (is_av() && !c.unreadableBlock) {
    EXPECT_EQ(d.state.avNetwork.nmk, c.adapterKey);
  }
}

constexpr auto kAv = sim::Family::HomePlugAv;
constexpr auto kTurbo = sim::Family::Turbo;
const NetworkKey kAvDefault = kAvDefaultNmk;
const NetworkKey kHp10Default = hp10_key(kHp10DefaultKeys[0]);
const NetworkKey kHp10SecondDefault = hp10_key(kHp10DefaultKeys[1]);
constexpr const char* kUnknown = "Unknown Networkname";

INSTANTIATE_TEST_SUITE_P(
    Rules, NetworkNamingTest,
    ::testing::Values(
        // HomePlug AV, new record.
        NamingCase{"AvNewDefaultNmk", kAv, kAvDefault, false, false, false, nullptr, false,
                   "HomePlugAV", "HomePlugAV", kAvDefault},
        NamingCase{"AvNewInAnotherRecordsNetwork", kAv, kTheirs, false, true, false, nullptr, false,
                   "Neighbours", "Neighbours", kTheirs},
        NamingCase{"AvNewUnknownKey", kAv, kStrange, false, false, false, nullptr, false, kUnknown,
                   kUnknown, kStrange},
        NamingCase{"AvUnreadableBlockNamesNoNetwork", kAv, kStrange, false, false, false, nullptr,
                   true, kUnknown, kUnknown, NetworkKey{}},
        // HomePlug AV, known record.
        NamingCase{"AvKnownDefaultNmkKeepsTheStoredKey", kAv, kAvDefault, true, false, false,
                   nullptr, false, "HomePlugAV", "HomePlugAV", kMine},
        NamingCase{"AvKnownOwnKey", kAv, kMine, true, false, false, nullptr, false, "Mine", "Mine",
                   kMine},
        NamingCase{"AvKnownInAnotherRecordsNetwork", kAv, kTheirs, true, true, false, nullptr,
                   false, "Neighbours", "Neighbours", kTheirs},
        NamingCase{"AvKnownUnknownKey", kAv, kStrange, true, false, false, nullptr, false, kUnknown,
                   kUnknown, kMine},
        NamingCase{"AvKnownUnknownKeyKeepsTheNameOnce", kAv, kStrange, true, false, true, nullptr,
                   false, "Mine", "stale", kMine},
        NamingCase{"AvPendingNetworkName", kAv, kStrange, true, false, false, "Office", false,
                   "Office", "Office", kStrange},
        // HomePlug Turbo (8-byte keys), new and known records.
        NamingCase{"TurboNewDefaultKey", kTurbo, kHp10Default, false, false, false, nullptr, false,
                   "HomePlug", "HomePlug", kHp10Default},
        NamingCase{"TurboNewAnyDefaultKey", kTurbo, kHp10SecondDefault, false, false, false,
                   nullptr, false, "HomePlug", "HomePlug", kHp10SecondDefault},
        NamingCase{"TurboNewInAnotherRecordsNetwork", kTurbo, kTheirs8, false, true, false, nullptr,
                   false, "Neighbours", "Neighbours", kTheirs8},
        NamingCase{"TurboKnownDefaultKeepsTheStoredKey", kTurbo, kHp10Default, true, false, false,
                   nullptr, false, "HomePlug", "HomePlug", kMine8},
        NamingCase{"TurboKnownOwnKey", kTurbo, kMine8, true, false, false, nullptr, false, "Mine",
                   "Mine", kMine8},
        NamingCase{"TurboKnownInAnotherRecordsNetwork", kTurbo, kTheirs8, true, true, false,
                   nullptr, false, "Neighbours", "Neighbours", kTheirs8},
        NamingCase{"TurboKnownUnknownKey", kTurbo, kStrange8, true, false, false, nullptr, false,
                   kUnknown, kUnknown, kMine8},
        NamingCase{"TurboPendingNetworkName", kTurbo, kStrange8, true, false, false, "Office",
                   false, "Office", "Office", kStrange8}),
    test::CaseName());

}  // namespace
}  // namespace zv
