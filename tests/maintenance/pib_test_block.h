#pragma once
// A version 4.4 parameter block that passes every value check, with the guarded parts
// switched on (orders 2, 11, 12 and 13, the lists, rule and class entries) and many
// fields at the edge of their ranges, so that one changed value fails one check.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/bytes.h"

namespace zv::test {

class PibWriter {
 public:
  explicit PibWriter(std::vector<std::uint8_t>& block) : block_(block) {}
  PibWriter& u8(std::size_t at, std::uint8_t v) {
    *field(at, 1) = v;
    return *this;
  }
  PibWriter& u16(std::size_t at, std::uint16_t v) {
    put_le16(field(at, 2), v);
    return *this;
  }
  PibWriter& u32(std::size_t at, std::uint32_t v) {
    put_le32(field(at, 4), v);
    return *this;
  }
  PibWriter& bytes(std::size_t at, std::initializer_list<std::uint8_t> values) {
    std::copy(values.begin(), values.end(), field(at, values.size()));
    return *this;
  }
  PibWriter& fill(std::size_t at, std::size_t count, std::uint8_t v) {
    std::fill_n(field(at, count), count, v);
    return *this;
  }
  // A condition record: type, mode, value bytes.
  PibWriter& condition(std::size_t at, std::uint32_t type, std::uint32_t mode,
                       std::initializer_list<std::uint8_t> value) {
    return u32(at, type).u32(at + 4, mode).bytes(at + 8, value);
  }

 private:
  std::uint8_t* field(std::size_t at, std::size_t width) {
    if (at + width > block_.size()) throw std::out_of_range("field outside the block");
    return block_.data() + at;
  }
  std::vector<std::uint8_t>& block_;
};

inline std::vector<std::uint8_t> make_valid_pib() {
  std::vector<std::uint8_t> block(15560, 0);
  PibWriter w(block);
  w.bytes(0, {4, 4}).u16(4, 15560);
  w.bytes(12, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
  w.bytes(100, {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC,
                0xAD, 0xAE, 0xAF});
  // order 1
  w.bytes(244, {3, 2, 2}).u8(254, 0x1F).bytes(256, {1, 1});
  // order 2: two 7-byte entries
  w.bytes(268, {1, 0x10, 0x02}).u8(277, 2).bytes(278, {0x01, 0x02}).bytes(285, {0xFE, 0x00});
  // order 3
  w.bytes(524, {3, 0, 1, 2});
  w.u32(528, 10000).u32(532, 65000000).u32(536, 1000000).u32(540, 20000);
  // rule entries: a special condition with action 5, a plain one with another action
  w.u32(552, 2);
  w.u32(560, 5).condition(564, 0xE3, 0, {0x88, 0xE1});
  w.u32(588, 1).condition(592, 2, 1, {7, 0, 0, 0});
  // class entries: all-special class 5; class 16 with its record; class 34 without conditions
  w.u32(556, 3);
  w.bytes(784, {5, 1}).u16(786, 1).condition(788, 0xE2, 0, {0x56, 0x34, 0x12, 0x00});
  w.bytes(884, {16, 0}).u16(886, 1).condition(888, 3, 0, {0x0F, 0xFF});
  w.u16(884 + 76, 1).bytes(884 + 78, {3, 15}).u16(884 + 80, 9000).u32(884 + 82, 10000);
  w.bytes(984, {34, 2}).u16(986, 0).u16(984 + 76, 2);
  w.u8(2384, 8);
  // orders 4 to 7
  w.u32(2572, 17);
  w.u32(7716, 1).u32(7720, 1440);
  w.u32(7824, 180).bytes(7828, {1, 3, 3});
  w.u32(7962, 1).u32(7966, 100);
  // order 8
  w.u32(7992, 12).u32(8000, 0x10000).u32(8004, 0).u32(8008, 15);
  w.u8(8012, 1).u32(8013, 5016).u32(8017, 24);
  w.bytes(8046, {1, 6});
  w.bytes(8021, {1, 25, 25, 25, 25}).bytes(8048, {100, 0});
  w.bytes(8026, {0x01, 100}).u32(8030, 1000).u32(8034, 500).u32(8038, 14400000);
  // order 9: every bit of the flag word that asks for a check
  w.u32(8080, 300000).u16(8084, 0x01F8);
  w.u32(8086, 1).u32(8090, 1).u32(8094, 1).u32(8098, 1).u32(8102, 1);
  for (std::size_t at = 8106; at < 8114; at += 2) w.u16(at, 5 | 5 << 3 | 5 << 6 | 5 << 9);
  w.bytes(8118, {1, 1, 1}).bytes(8123, {50, 50});
  // order 10
  w.bytes(8136, {1, 1, 1, 1}).u8(8157, 65).u8(8158, 1).u16(8159, 4).u16(8161, 1440).u32(8163, 3);
  // order 11, switched on
  w.u8(8200, 0xC0);
  w.u8(8205, 2).bytes(8206, {39, 6});
  w.u8(9406, 1).bytes(9407, {33, 33, 39, 40, 40});
  w.bytes(9957, {12, 12, 12, 12}).u16(9961, 0x0FFF).u16(9963, 0x0FFF).u16(9965, 0x0FFF);
  w.bytes(9981, {149, 150}).u8(9985, 150).bytes(9987, {20, 5, 10});
  w.u32(9992, 1).u32(9996, 2);
  w.u16(10029, 1).u16(10023, 100).u16(10025, 15000).u16(10027, 20000);
  w.u32(10031, 0).u32(10035, 180000).u16(10039, 60000).u16(10041, 0);
  w.u16(10055, 1).u16(10051, 100).u16(10053, 200);
  w.u16(10077, 1).u16(10073, 300).u16(10075, 400);
  w.u16(10099, 1).u16(10095, 100).u16(10097, 100).u8(10101, 1);
  w.u16(10128, 1).u16(10124, 15000).u16(10126, 15000).u8(10130, 1).u8(10137, 7).u8(10138, 2);
  // order 12: two 5-byte entries; the key table with the listed pair in its second entry
  w.u8(10248, 2).bytes(10249 + 3, {32, 1});
  w.u8(10409, 0).u8(10820, 2);
  w.u8(10426, 1).u32(10427, 0x11223344).u32(10431, 0x55667788).u8(10435, 2);
  w.u16(10436 + 8, 1227).u8(10436 + 10, 0xE8 /* -24 */).u8(10436 + 16, 32);
  w.u32(10460, 0x11223344).u32(10464, 0x55667788).u8(10460 + 10, 2);
  // order 13 in mode 0x2000, both lists filled
  w.u16(10888, 0x2000).u32(10890, 150).u32(11354, 14999);
  w.bytes(10898, {11, 11}).u8(10902, 2).bytes(10903, {11, 11, 11}).u8(10908, 3);
  w.u16(11142, 3);
  w.u32(10938, 1).u8(10942, 11).u32(10958, 2).u16(10962, 1).u32(10978, 0x20000).u32(10982, 5);
  w.u32(10998, 3);
  w.u32(11006, 64).u32(11066, 1);
  w.u16(11348, 2);
  w.u32(11144, 4).u32(11164, 1).u32(11204, 2);
  // order 14
  w.u8(11401, 1).u16(11408, 2000).u16(11410, 46);
  w.u32(11444, 921600).bytes(11448, {8, 2, 2, 1});
  w.u32(11420, 300).bytes(11424, {7, 0, 1, 0});
  w.u32(11432, 115200).bytes(11436, {8, 0, 1, 0});
  // order 15: the middle text has the full 256 characters
  const std::string name = "powerline adapter";
  std::copy(name.begin(), name.end(), block.begin() + 11465);
  std::fill_n(block.begin() + 11724, 256, 'x');
  w.u16(12248, 1000).u16(12250, 1000).u16(12252, 560);
  return block;
}

}  // namespace zv::test
