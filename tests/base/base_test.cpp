#include <gtest/gtest.h>

#include <vector>

#include "base/bytes.h"
#include "base/mac.h"
#include "base/virtual_clock.h"

namespace zv {
namespace {

TEST(Mac, FormatsAndParses) {
  const MacAddress mac{0x00, 0xB0, 0x52, 0x0A, 0xBC, 0xFF};
  EXPECT_EQ(format_mac(mac), "00:B0:52:0A:BC:FF");
  EXPECT_EQ(parse_mac("00:b0:52:0a:bc:ff"), mac);
  EXPECT_EQ(parse_mac("00-B0-52-0A-BC-FF"), mac);
  for (const char* bad : {"", "00:B0:52:0A:BC", "00:B0:52:0A:BC:FG", "00:B0:52:0A:BC:FF:", "00B0520ABCFF00000"})
    EXPECT_FALSE(parse_mac(bad).has_value()) << bad;
}

TEST(Bytes, ReaderAndWriterRefuseToPassTheEnd) {
  const std::uint8_t data[5] = {0x01, 0x02, 0x03, 0x04, 0x05};
  ByteReader reader(data);
  std::uint32_t word = 0;
  ASSERT_TRUE(reader.le32(word));
  EXPECT_EQ(word, 0x04030201u);
  std::uint16_t half = 0;
  EXPECT_FALSE(reader.le16(half));  // one byte left
  EXPECT_EQ(reader.position(), 4u);
  std::uint8_t last = 0;
  EXPECT_TRUE(reader.u8(last));
  EXPECT_EQ(last, 5);

  std::uint8_t out[3] = {};
  ByteWriter writer(out);
  EXPECT_TRUE(writer.be16(0x88E1));
  EXPECT_FALSE(writer.le16(0x1234));  // would pass the end: nothing written
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[0], 0x88);
}

TEST(VirtualClock, RunsEventsInOrderAndStopsWhenAsked) {
  VirtualClock clock(0);
  std::vector<int> order;
  clock.schedule_at(300, [&] { order.push_back(3); });
  clock.schedule_at(100, [&] { order.push_back(1); });
  clock.schedule_at(200, [&] {
    order.push_back(2);
    clock.schedule_after_us(50, [&] { order.push_back(25); });
  });
  clock.advance_until(1000, [&] { return order.size() == 2; });
  EXPECT_EQ(clock.now_us(), 200u);  // stopped at the event that satisfied the predicate
  clock.sleep_us(800);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 25, 3}));
  EXPECT_EQ(clock.now_us(), 1000u);
  EXPECT_EQ(clock.tick_ms(), 1u);
  EXPECT_EQ(clock.left_until(1500, 1000), 500u);
}

}  // namespace
}  // namespace zv
