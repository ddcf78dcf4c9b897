#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

#include "hpav/hpav_test_support.h"
#include "hpav/vendor_layer.h"
#include "support/memory_network.h"

namespace zv {
namespace {

using test::kDevice;
using test::kPc;
using test::vendor_frame;

class DecoderTest : public ::testing::Test {
 protected:
  // Decodes exactly `frame` (its own heap block, so a read past it trips the sanitizer).
  int decode(const std::vector<std::uint8_t>& frame, int headerForm = 0) {
    auto exact = std::make_unique<std::uint8_t[]>(frame.size());
    std::copy(frame.begin(), frame.end(), exact.get());
    errno = 0;
    const int rc = layer.decode_confirmation(frame.size(), exact.get(), result, headerForm);
    error = errno;
    return rc;
  }
  // A frame of `length` bytes whose byte n is n & 0xFF behind the header.
  static std::vector<std::uint8_t> patterned(std::uint16_t type, std::size_t length, bool longHeader = false) {
    auto frame = vendor_frame(type, length, longHeader);
    for (std::size_t i = longHeader ? 26 : 20; i < length; ++i) frame[i] = static_cast<std::uint8_t>(i);
    return frame;
  }

  test::MemoryNetwork net;
  VendorLayer layer{net.transport};
  VendorResult result;
  int error = 0;
};

// --- the table: minimum lengths, reasons, kinds and states ---

constexpr int kTransfer = -1;  // kind taken from the (idle) transfer: 0

struct TableRow {
  std::uint16_t type;
  std::size_t minimum;
  int error;  // 0: refused without errno
  int kind;
  int state;
  bool longHeader = false;
};

const TableRow kTable[] = {
    {0xA001, 88, 14, 4, 2},         {0xA005, 29, 34, kTransfer, 2}, {0xA00D, 22, 34, kTransfer, 2},
    {0xA01D, 21, 14, 5, 2},         {0xA021, 29, 34, kTransfer, 2}, {0xA025, 36, 14, kTransfer, 2},
    {0xA029, 22, 0, kTransfer, 2},  {0xA031, 0, 0, 1, 2},           {0xA035, 28, 14, 0, 0},
    {0xA036, 51, 14, 0, 0},         {0xA039, 33, 14, 3, 2},         {0xA039, 56, 14, 3, 2, true},
    {0xA051, 21, 34, 8, 2},         {0xA055, 86, 0, 2, 2},          {0xA059, 22, 14, 16, 2},
    {0xA05D, 21, 34, 12, 2},        {0xA062, 21, 0, 6, 1},          {0xA06D, 0, 0, 11, 2},
    {0xA071, 603, 0, 10, 2},        {0xA07D, 21, 34, 13, 2},        {0xA091, 606, 0, 14, 2},
    {0xA095, 21, 14, 15, 2},
};

class DecoderTable : public DecoderTest, public ::testing::WithParamInterface<TableRow> {};

TEST_P(DecoderTable, EveryLengthUpToTheMinimum) {
  const TableRow& row = GetParam();
  const std::size_t ouiEnd = row.longHeader ? 22 : 20;
  const int form = row.longHeader ? 4 : 0;
  for (std::size_t length = 0; length <= row.minimum; ++length) {
    SCOPED_TRACE(length);
    const int rc = decode(patterned(row.type, length, row.longHeader), form);
    if (length < 14) {  // no EtherType: what is missing reads as zero
      EXPECT_EQ(rc, -1);
      EXPECT_EQ(error, 1);
      EXPECT_EQ(result.status, 1);
      EXPECT_EQ(result.mmtype, 0xFFFF);
      continue;
    }
    if (length < ouiEnd) {  // the OUI is not all there
      EXPECT_EQ(rc, -1);
      EXPECT_EQ(error, 14);
      EXPECT_EQ(result.mmtype, 0xFFFF);
      EXPECT_EQ(result.resultKind, ResultKind::None);
      continue;
    }
    EXPECT_EQ(result.mmtype, row.type);
    EXPECT_EQ(static_cast<int>(result.resultKind), row.kind == kTransfer ? 0 : row.kind);
    EXPECT_EQ(static_cast<int>(result.progressState), row.state);
    if (length < row.minimum) {
      EXPECT_EQ(rc, -1);
      EXPECT_EQ(error, row.error);
      EXPECT_EQ(result.status, row.error);
      EXPECT_EQ(result.hasData, 0);
    } else if (row.type == 0xA005 || row.type == 0xA021 || row.type == 0xA025) {
      EXPECT_EQ(rc, -1);  // long enough, but no transfer is running to take it
      EXPECT_EQ(error, 22);
    } else {
      EXPECT_EQ(rc, 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMmtype, DecoderTable, ::testing::ValuesIn(kTable),
                         [](const auto& param_info) {
                           char name[16];
                           std::snprintf(name, sizeof name, "x%04X%s", param_info.param.type, param_info.param.longHeader ? "_long" : "");
                           return std::string(name);
                         });

// --- payload layouts ---

struct Copy {
  std::size_t at;
  std::size_t from;
  std::size_t count;
};

struct LayoutCase {
  const char* name;
  std::uint16_t type;
  std::size_t length;
  std::vector<std::pair<std::size_t, std::uint8_t>> set;  // frame bytes to set first
  std::vector<Copy> copies;
  int payloadLength;
  bool hasData;
  bool readsStatus;
  bool longHeader = false;
};

const LayoutCase kLayouts[] = {
    {"GET_VERSION", 0xA001, 88, {{20, 0}}, {{0, 21, 66}}, 67, true, true},
    {"A031_form0", 0xA031, 400, {{21, 0}}, {{0, 21, 43}}, 43, true, true},
    {"A031_form1", 0xA031, 400, {{21, 1}}, {{0, 21, 250}}, 250, true, true},
    {"A031_form2", 0xA031, 400, {{21, 2}}, {{0, 21, 290}}, 290, true, true},
    {"A031_other", 0xA031, 400, {{21, 9}}, {{0, 21, 3}}, 0, true, true},
    {"A035", 0xA035, 28, {}, {{0, 21, 7}}, 7, true, true},
    {"A036_tail", 0xA036, 200, {{34, 0x18}}, {{0, 21, 165}}, 168, true, false},
    {"A036_short", 0xA036, 200, {{34, 0x1B}}, {{0, 21, 29}}, 168, true, false},
    {"NETWORK_INFO", 0xA039, 1528, {}, {{0, 20, 1508}}, 1505, true, false},
    {"NETWORK_INFO_long", 0xA039, 1529, {}, {{0, 27, 1502}}, 1505, true, false, true},
    {"A055", 0xA055, 86, {}, {{0, 21, 65}}, 65, true, true},
    {"READ_DEVICE_BLOCK", 0xA059, 300, {{21, 200}}, {{0, 20, 202}}, 1506, true, false},
    {"DEVICE_EVENT", 0xA062, 60, {{20, 0x87}}, {{0, 20, 1}}, 1, true, false},
    {"A06D", 0xA06D, 60, {}, {{0, 21, 2}}, 0, true, true},
    {"A071", 0xA071, 700, {}, {{0, 21, 582}}, 0, false, true},
    {"A091", 0xA091, 700, {}, {{0, 21, 585}}, 0, false, true},
    {"SET_KEY", 0xA051, 60, {}, {}, 0, false, true},
};

class PayloadLayout : public DecoderTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PayloadLayout, CopiesTheListedBytesAndNothingElse) {
  const LayoutCase& c = GetParam();
  auto frame = patterned(c.type, c.length, c.longHeader);
  if (!c.longHeader) frame[20] = 0x5A;  // a status byte only messages with one may report
  for (auto [at, value] : c.set) frame[at] = value;
  ASSERT_EQ(decode(frame, c.longHeader ? 4 : 0), 0);
  std::vector<std::uint8_t> expected(kVendorResultPayloadSize, 0);
  for (const Copy& copy : c.copies)
    for (std::size_t i = 0; i < copy.count; ++i) expected[copy.at + i] = frame[copy.from + i];
  if (c.type == 0xA036) {  // derived fields of the station record
    expected[165] = frame[34] & 0x07;
    expected[166] = frame[34] & 0xF0;
    expected[167] = (frame[34] & 0x07) == 0 ? expected[36] : 0;
  }
  EXPECT_EQ(std::vector<std::uint8_t>(result.payload.begin(), result.payload.end()), expected);
  EXPECT_EQ(result.payloadLength, c.payloadLength);
  EXPECT_EQ(result.hasData, c.hasData ? 1 : 0);
  EXPECT_EQ(result.status, c.readsStatus ? frame[20] : 0);
  EXPECT_EQ(result.sourceMac, kDevice);
  EXPECT_EQ(result.destinationMac, kPc);
}

INSTANTIATE_TEST_SUITE_P(Confirmations, PayloadLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(DecoderTest, CopiesPastTheFrameReadZero) {
  const auto frame = patterned(0xA039, 60);
  ASSERT_EQ(decode(frame), 0);
  for (std::size_t i = 0; i < 40; ++i) ASSERT_EQ(result.payload[i], frame[20 + i]) << i;
  EXPECT_TRUE(std::all_of(result.payload.begin() + 40, result.payload.end(), [](auto b) { return b == 0; }));

  auto block = patterned(0xA059, 30);
  block[21] = 255;  // claims more than the frame holds
  ASSERT_EQ(decode(block), 0);
  EXPECT_EQ(result.payload[2 + 7], block[29]);
  EXPECT_TRUE(std::all_of(result.payload.begin() + 10, result.payload.end(), [](auto b) { return b == 0; }));
}

// --- header checks ---

TEST_F(DecoderTest, RefusesWhatIsNotAVendorConfirmation) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> frame;
    int form;
    int error;
  };
  auto wrongEtherType = vendor_frame(0xA001, 100);
  wrongEtherType[13] = 0x7B;
  wrongEtherType[12] = 0x88;
  auto wrongOui = vendor_frame(0xA001, 100);
  wrongOui[19] = 0x53;
  const Case cases[] = {
      {"HomePlug 1.0 EtherType", wrongEtherType, 0, 1},
      {"wrong OUI", wrongOui, 0, 14},
      {"long header where short expected", vendor_frame(0xA039, 100, true), 0, 14},
      {"short header where long expected", vendor_frame(0xA039, 100), 4, 14},
      {"past the last type", vendor_frame(0xA096, 100), 0, 40},
      {"own request echoed", vendor_frame(0xA000, 100), 0, 40},
      {"gap in the table", vendor_frame(0xA030, 100), 0, 40},
      {"below the range", vendor_frame(0x6046, 100), 0, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(decode(c.frame, c.form), -1);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(result.status, c.error);
    EXPECT_EQ(result.mmtype, 0xFFFF);
  }
  errno = 0;
  EXPECT_EQ(layer.decode_confirmation(100, nullptr, result, 0), -1);
  EXPECT_EQ(errno, 14);
}

// --- DEVICE_EVENT ---

TEST_F(DecoderTest, DeviceEventQueuesItsResponseInPlaceOfAnyOtherFrame) {
  const std::vector<std::uint8_t> block(2000, 1);
  ASSERT_EQ(layer.start_module_write(kPc.data(), kDevice.data(), 0, nullptr, 2000, block.data(), 0x20), 0);

  for (auto [length, expectedStatus, expectedRc] : {std::tuple{60u, 0, 0}, std::tuple{20u, 1, -1}}) {
    SCOPED_TRACE(length);
    EXPECT_EQ(decode(vendor_frame(0xA062, length)), expectedRc);
    EXPECT_EQ(result.resultKind, ResultKind::DeviceEvent);
    EXPECT_EQ(result.progressState, ProgressState::Queued);
    std::vector<std::uint8_t> frame(kRequestCapacity);
    ASSERT_EQ(layer.build_next_frame(frame.size(), frame.data()), 64u);
    EXPECT_TRUE(std::equal(kDevice.begin(), kDevice.end(), frame.begin()));      // back to the sender
    EXPECT_TRUE(std::equal(kPc.begin(), kPc.end(), frame.begin() + 6));
    EXPECT_EQ(frame[15], 0x63);
    EXPECT_EQ(frame[16], 0xA0);
    EXPECT_EQ(frame[20], expectedStatus);
    EXPECT_EQ(layer.build_next_frame(frame.size(), frame.data()), 0u);  // the chunk is gone
  }
}

}  // namespace
}  // namespace zv
