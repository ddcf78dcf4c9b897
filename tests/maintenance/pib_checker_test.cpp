#include "maintenance/pib_checker.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "maintenance/pib_test_block.h"
#include "maintenance/pib_value_checks.h"

namespace zv {
namespace {

using test::make_valid_pib;
using test::PibWriter;

std::string failed_check(const std::vector<std::uint8_t>& block) {
  const PibValueCheck* check =
      first_failed_pib_check(PibBlock(std::span<const std::uint8_t, kPibCheckedLength>(
          block.data(), kPibCheckedLength)));
  return check == nullptr ? "" : check->name;
}

TEST(PibValidate, GeneratedBlockIsValid) {
  auto block = make_valid_pib();
  PibChecker checker;
  EXPECT_EQ(failed_check(block), "");
  EXPECT_EQ(checker.pib_validate(block), kPibOk);
  EXPECT_TRUE(checker.valid());
}

// One changed value on the valid block, and the check it must fail ("" = still valid).
struct ValueCase {
  const char* name;
  std::function<void(PibWriter&)> change;
  const char* failedCheck;
};

class PibValueCheckTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(PibValueCheckTest, FailsExactlyTheExpectedCheck) {
  auto block = make_valid_pib();
  PibWriter writer(block);
  GetParam().change(writer);
  EXPECT_EQ(failed_check(block), GetParam().failedCheck);

  PibChecker checker;
  const bool valid = std::string(GetParam().failedCheck).empty();
  EXPECT_EQ(checker.pib_validate(block), valid ? kPibOk : kPibValueCheckFailed);
  EXPECT_EQ(checker.valid(), valid);
}

void zero_key_table_to_end(PibWriter& w, std::uint8_t entries) {
  w.fill(10427, kPibCheckedLength - 10427, 0).u8(10435, entries);
}

// The rule entries are at 560 + 28 n, the class entries at 784 + 100 n.
INSTANTIATE_TEST_SUITE_P(
    ValueTable, PibValueCheckTest,
    ::testing::Values(
        ValueCase{"Order1GroupMac", [](PibWriter& w) { w.u8(12, 0x01); }, "12"},
        ValueCase{"Order1Flags", [](PibWriter& w) { w.u8(257, 2); }, "256, 257"},
        ValueCase{"Order2EntryByte", [](PibWriter& w) { w.u8(285, 0xFF); }, "268"},
        ValueCase{"Order3Rate", [](PibWriter& w) { w.u32(540, 65000001); }, "528-543"},
        ValueCase{"RuleSpecialWithAction4", [](PibWriter& w) { w.u32(560, 4); }, "552, 560"},
        ValueCase{"RulePlainWithAction5",
                  [](PibWriter& w) { w.bytes(572, {0x08, 0x00}); }, "552, 560"},
        ValueCase{"ConditionMode", [](PibWriter& w) { w.u32(596, 2); }, "552, 560"},
        ValueCase{"ConditionType2Value", [](PibWriter& w) { w.u8(600, 8); }, "552, 560"},
        ValueCase{"ClassAllSpecialNeedsCombination1", [](PibWriter& w) { w.u8(785, 0); },
                  "556, 784"},
        ValueCase{"Class16RefusesTypeE0", [](PibWriter& w) { w.u32(888, 0xE0); }, "556, 784"},
        ValueCase{"Class16Record", [](PibWriter& w) { w.u16(884 + 80, 9001); }, "556, 784"},
        ValueCase{"Class34Record", [](PibWriter& w) { w.u16(984 + 76, 1); }, "556, 784"},
        ValueCase{"Order4", [](PibWriter& w) { w.u32(2572, 18); }, "2572"},
        ValueCase{"Order5", [](PibWriter& w) { w.u32(7720, 1441); }, "7716, 7720"},
        ValueCase{"Order6", [](PibWriter& w) { w.u8(7829, 4); }, "7828-7830"},
        ValueCase{"Order7", [](PibWriter& w) { w.u32(7966, 1001); }, "7962, 7966"},
        ValueCase{"Order8OddSpacing", [](PibWriter& w) { w.u32(8017, 9); }, "8012"},
        ValueCase{"Order8Sum", [](PibWriter& w) { w.u8(8022, 26); }, "8021"},
        ValueCase{"Order9ThreeBitField", [](PibWriter& w) { w.u16(8112, 6 << 9); }, "8084"},
        ValueCase{"Order10Mode0", [](PibWriter& w) { w.u8(8136, 0); }, "8137-8156"},
        ValueCase{"Order11Ordering", [](PibWriter& w) { w.u8(9981, 150); }, "9981, 9982"},
        ValueCase{"Order11SwitchedOff",
                  [](PibWriter& w) { w.u8(8200, 0x40).u8(9981, 150); }, ""},
        // With zeros from 10436 to the end every entry passes on its own: 213 entries end
        // at the block's end (order 12 passes, order 14 then fails on the zeros), 214 reach
        // past it.
        ValueCase{"Order12EntriesToTheEnd", [](PibWriter& w) { zero_key_table_to_end(w, 213); },
                  "11444; 11420; 11432"},
        ValueCase{"Order12EntriesPastTheEnd", [](PibWriter& w) { zero_key_table_to_end(w, 214); },
                  "10426"},
        ValueCase{"Order12PairNotListed", [](PibWriter& w) { w.u32(10464, 0); }, "10426"},
        ValueCase{"Order13Interval", [](PibWriter& w) { w.u32(10890, 200); }, "10890, 10898"},
        ValueCase{"Order13SwitchedOff", [](PibWriter& w) { w.u16(10888, 0).u32(10890, 0); }, ""},
        ValueCase{"ListAFourItems", [](PibWriter& w) { w.u32(10998, 4); }, "11142, 10938"},
        ValueCase{"ListAUnknownType", [](PibWriter& w) { w.u32(11006, 3); }, "11142, 10938"},
        ValueCase{"ListBRefusesWordType", [](PibWriter& w) { w.u32(11164, 0x20000); },
                  "11348, 11144"},
        ValueCase{"Order14SerialRecord", [](PibWriter& w) { w.u8(11436, 9); },
                  "11444; 11420; 11432"},
        ValueCase{"Order15Unterminated", [](PibWriter& w) { w.u8(11980, 'x'); },
                  "11465; 11724; 11981"},
        ValueCase{"Order15Sum", [](PibWriter& w) { w.u16(12252, 561); }, "12248-12253"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// --- header, length and the other operations ---

class PibCheckerTest : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> block = make_valid_pib();
  PibChecker checker;
};

TEST_F(PibCheckerTest, AllZeroVersion44BlockFailsItsRates) {
  std::vector<std::uint8_t> zero(kPibCheckedLength, 0);
  PibWriter(zero).bytes(0, {4, 4}).u16(4, 15560);
  EXPECT_EQ(failed_check(zero), "528-543");
  EXPECT_EQ(checker.pib_validate(zero), kPibValueCheckFailed);
  EXPECT_FALSE(checker.valid());
}

TEST_F(PibCheckerTest, OtherVersionsPassUnchecked) {
  std::vector<std::uint8_t> other(kPibMinimumSize, 0xFF);
  PibWriter(other).bytes(0, {4, 3});
  EXPECT_EQ(checker.pib_validate(other), kPibNotChecked);
  EXPECT_FALSE(checker.valid());
}

TEST_F(PibCheckerTest, LengthMustBeTheCheckedLengthAndFitTheBuffer) {
  PibWriter(block).u16(4, 15559);
  EXPECT_EQ(checker.pib_validate(block), kPibBadLength);
  // The length field is right but the buffer ends early: nothing past it is read.
  auto shortBlock = make_valid_pib();
  shortBlock.resize(12000);
  EXPECT_EQ(checker.pib_validate(shortBlock), kPibBadLength);
}

TEST_F(PibCheckerTest, MissingOrTinyBlockIsNoBlock) {
  EXPECT_EQ(checker.pib_validate({}), kPibNoBlock);
  std::array<std::uint8_t, 16> key{};
  EXPECT_EQ(checker.pib_get_key(key), kPibNoBlock);
  EXPECT_EQ(checker.pib_set_mac({0x00, 0x11, 0x22, 0x33, 0x44, 0x55}), kPibNoBlock);
  block.resize(kPibMinimumSize - 1);
  EXPECT_EQ(checker.pib_validate(block), kPibNoBlock);
  EXPECT_EQ(checker.pib_get_key(key), kPibNoBlock);
}

TEST_F(PibCheckerTest, ValidFlagFollowsTheLastValidation) {
  ASSERT_EQ(checker.pib_validate(block), kPibOk);
  block[12] = 0x01;
  EXPECT_EQ(checker.pib_validate(block), kPibValueCheckFailed);
  EXPECT_FALSE(checker.valid());
}

struct MacCase {
  const char* name;
  MacAddress mac;
  int result;
};

class PibSetMacTest : public PibCheckerTest, public ::testing::WithParamInterface<MacCase> {};

TEST_P(PibSetMacTest, WritesOnlyStationAddresses) {
  ASSERT_EQ(checker.pib_validate(block), kPibOk);
  const MacAddress before = mac_at(block.data() + 12);
  EXPECT_EQ(checker.pib_set_mac(GetParam().mac), GetParam().result);
  EXPECT_EQ(mac_at(block.data() + 12), GetParam().result == kPibOk ? GetParam().mac : before);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, PibSetMacTest,
    ::testing::Values(MacCase{"Station", {0x00, 0xB0, 0x52, 0xAB, 0xCD, 0xEF}, kPibOk},
                      MacCase{"LocalManagement", kAvLocalManagementMac, kPibMacRefused},
                      MacCase{"Reserved2", {0x00, 0xB0, 0x52, 0x00, 0x00, 0x02}, kPibMacRefused},
                      MacCase{"Reserved3", {0x00, 0xB0, 0x52, 0x00, 0x00, 0x03}, kPibMacRefused},
                      MacCase{"Multicast", {0x01, 0x00, 0x5E, 0x00, 0x00, 0x01}, kPibMacRefused},
                      MacCase{"Broadcast", kBroadcastMac, kPibMacRefused}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct VersionCase {
  std::uint8_t major;
  std::uint8_t minor;
  int result;
};

class PibVersionTest : public PibCheckerTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(PibVersionTest, KeyAndMacNeedVersion14) {
  block[0] = GetParam().major;
  block[1] = GetParam().minor;
  EXPECT_EQ(checker.pib_validate(block), kPibNotChecked);
  std::array<std::uint8_t, 16> key{};
  EXPECT_EQ(checker.pib_get_key(key), GetParam().result);
  if (GetParam().result == kPibOk) {
    EXPECT_TRUE(std::equal(key.begin(), key.end(), block.begin() + 100));
  } else {
    EXPECT_EQ(key, (std::array<std::uint8_t, 16>{}));
  }
  EXPECT_EQ(checker.pib_set_mac({0x00, 0x11, 0x22, 0x33, 0x44, 0x66}), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Versions, PibVersionTest,
                         ::testing::Values(VersionCase{1, 3, kPibVersionTooOld},
                                           VersionCase{0, 9, kPibVersionTooOld},
                                           VersionCase{1, 4, kPibOk}, VersionCase{2, 0, kPibOk}));

// XOR of every little-endian word; a sealed block gives all ones.
std::uint32_t xor_of_words(const std::vector<std::uint8_t>& block, std::size_t length) {
  std::uint32_t x = 0;
  for (std::size_t i = 0; i + 4 <= length; i += 4) x ^= get_le32(block.data() + i);
  return x;
}

TEST_F(PibCheckerTest, SealStoresTheChecksumOfTheValidBlock) {
  put_le32(block.data() + 8, 0x12345678);
  EXPECT_EQ(checker.pib_seal(block), kPibOk);
  EXPECT_TRUE(checker.valid());
  EXPECT_EQ(xor_of_words(block, block.size()), 0xFFFFFFFFu);
}

TEST_F(PibCheckerTest, SealChecksumsUncheckedVersionsOverTheirLength) {
  std::vector<std::uint8_t> other(400, 0x5A);
  PibWriter(other).bytes(0, {3, 0}).u16(4, 202);  // 50 whole words; bytes 200, 201 left out
  EXPECT_EQ(checker.pib_seal(other), kPibNotChecked);
  EXPECT_EQ(xor_of_words(other, 200), 0xFFFFFFFFu);
}

TEST_F(PibCheckerTest, SealRefusesLengthsItCannotSum) {
  // Above the limit, and beyond the buffer: the word is zeroed and nothing else read.
  for (std::uint16_t length : {std::uint16_t{20000}, std::uint16_t{1000}}) {
    std::vector<std::uint8_t> other(length == 20000 ? 20000 : 400, 0x5A);
    PibWriter(other).bytes(0, {3, 0}).u16(4, length);
    EXPECT_EQ(checker.pib_seal(other), kPibBadLength) << length;
    EXPECT_EQ(get_le32(other.data() + 8), 0u) << length;
  }
}

TEST_F(PibCheckerTest, SealPassesValidationFailuresOnUnchanged) {
  PibWriter(block).u16(4, 15559).u32(8, 0xCAFEF00D);
  EXPECT_EQ(checker.pib_seal(block), kPibBadLength);
  EXPECT_EQ(get_le32(block.data() + 8), 0xCAFEF00Du);

  auto failing = make_valid_pib();
  failing[12] = 0x01;
  EXPECT_EQ(checker.pib_seal(failing), kPibValueCheckFailed);
  EXPECT_EQ(xor_of_words(failing, failing.size()), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace zv
