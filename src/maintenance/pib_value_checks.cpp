#include "maintenance/pib_value_checks.h"

#include <array>

namespace zv {
namespace {

using Condition = FixedRecord<24>;  // type, mode, 16 value bytes
using RuleEntry = FixedRecord<28>;
using ClassEntry = FixedRecord<100>;
using ListItem = FixedRecord<20>;   // type, value
using ListGroup = FixedRecord<68>;  // up to 3 items, their count at +60
using SerialRecord = FixedRecord<8>;

constexpr bool in(std::uint32_t value, std::uint32_t low, std::uint32_t high) {
  return value >= low && value <= high;
}
constexpr bool zero_or_in(std::uint32_t value, std::uint32_t low, std::uint32_t high) {
  return value == 0 || in(value, low, high);
}

// --- condition records, rule and class entries ---

bool condition_passes(const Condition& c) {
  const std::uint32_t type = c.u32<0>();
  const std::uint32_t mode = c.u32<4>();
  const std::uint32_t v = c.u32<8>();
  if (mode > 1) return false;
  if (!(type <= 15 || in(type, 0xE0, 0xE5))) return false;
  switch (type) {
    case 2: return v <= 7;
    case 3: return c.be16<8>() <= 0x0FFF;
    case 4:
    case 5:
    case 8: return v <= 0xFF;
    case 9: return in(v, 1, 0xFFFFE);
    case 0xE2: return v <= 0xFFFFFF;
    case 0xE4: return mode != 1 && v == 0;
    case 0xE5: return v == 0;
    default: return true;
  }
}

bool condition_is_special(const Condition& c) {
  const std::uint32_t type = c.u32<0>();
  return type == 0xE2 || (type == 0xE3 && c.u8<8>() == 0x88 && c.u8<9>() == 0xE1);
}

bool rule_entry_passes(const RuleEntry& e) {
  const Condition c = e.record<4, 24>();
  return e.u32<0>() <= 15 && condition_passes(c) && ((e.u32<0>() == 5) == condition_is_special(c));
}

bool class_is_known(std::uint8_t cls) {
  return cls <= 6 || cls == 16 || cls == 32 || cls == 33 || cls == 34;
}

bool class_entry_passes(const ClassEntry& e) {
  const std::uint8_t cls = e.u8<0>();
  const std::uint8_t combination = e.u8<1>();
  const std::uint16_t count = e.u16<2>();
  if (!class_is_known(cls) || combination > 2 || count > 3) return false;
  if ((count == 0) != (combination == 2)) return false;

  std::uint32_t special = 0;
  const bool conditionsPass = e.all_entries<4, 24>(count, [&](const Condition& c) {
    const std::uint32_t type = c.u32<0>();
    if (!condition_passes(c)) return false;
    if (cls == 16 && (type == 0xE0 || type == 0xE1)) return false;
    if (in(type, 9, 11) && cls >= 32) return false;
    if (condition_is_special(c)) ++special;
    return true;
  });
  if (!conditionsPass) return false;

  if (special == 0) {
    if (cls == 5) return false;
  } else if (special < count) {
    if (cls != 5 || combination != 0) return false;
  } else if (cls != 5 || combination != 1) {
    return false;
  }
  if (cls == 16) {
    return e.u16<76>() == 1 && e.u8<78>() <= 3 && e.u8<79>() <= 15 && in(e.u16<80>(), 1, 9000) &&
           in(e.u32<82>(), 10000, 2000000);
  }
  if (cls == 34) return e.u16<76>() == 2;
  return true;
}

// --- the two lists of order 13 ---

template <bool AllowWordType>
bool list_item_passes(const ListItem& item) {
  switch (item.u32<0>()) {
    case 1: return item.u8<4>() <= 11;
    case 2: return item.u16<4>() != 0;
    case 4:
    case 8:
    case 16:
    case 32:
    case 64: return true;
    case 0x20000: return AllowWordType && item.u32<4>() != 0;
    default: return false;
  }
}

template <std::size_t CountAt, std::size_t GroupsAt, bool AllowWordType>
bool list_passes(const PibBlock& b) {
  const std::uint16_t groups = b.u16<CountAt>();
  return groups <= 3 && b.all_entries<GroupsAt, 68>(groups, [](const ListGroup& g) {
    const std::uint32_t items = g.u32<60>();
    return items <= 3 && g.all_entries<0, 20>(items, list_item_passes<AllowWordType>);
  });
}

// --- helpers for repeated shapes ---

bool serial_record_passes(const SerialRecord& r) {
  return in(r.u32<0>(), 300, 921600) && in(r.u8<4>(), 7, 8) && r.u8<5>() <= 2 &&
         in(r.u8<6>(), 1, 2) && r.u8<7>() <= 1;
}

// A zero byte within the first 257 bytes: at most 256 characters.
template <std::size_t At>
bool text_is_terminated(const PibBlock& b) {
  return b.any_entry<At, 1>(257, [](const FixedRecord<1>& c) { return c.u8<0>() == 0; });
}

// Each 3-bit field in bits 0..11 is at most 5.
bool four_small_fields(std::uint16_t word) {
  for (int shift = 0; shift < 12; shift += 3) {
    if (((word >> shift) & 7) > 5) return false;
  }
  return true;
}

template <std::size_t ModeAt, std::size_t LowAt, std::size_t HighAt>
bool timing_pair_passes(const PibBlock& b) {
  return b.u16<ModeAt>() == 0 ||
         (in(b.u16<LowAt>(), 100, 15000) && in(b.u16<HighAt>(), 100, 15000) && b.u8<ModeAt>() != 0);
}

// --- guards ---

bool order11_applies(const PibBlock& b) { return b.u8<8200>() == 0xC0; }
std::uint16_t order13_mode(const PibBlock& b) { return b.u16<10888>(); }
bool order13_applies(const PibBlock& b) { return order13_mode(b) != 0; }

// clang-format off
constexpr std::array kChecks = std::to_array<PibValueCheck>({
  {1, "12", nullptr, [](const PibBlock& b) { return (b.u8<12>() & 1) == 0; }},
  {1, "244; 245; 246", nullptr, [](const PibBlock& b) {
     return b.u8<244>() <= 3 && b.u8<245>() <= 2 && b.u8<246>() <= 2; }},
  {1, "254", nullptr, [](const PibBlock& b) { return (b.u8<254>() & 0xE0) == 0; }},
  {1, "256, 257", nullptr, [](const PibBlock& b) { return b.u8<256>() != 1 || b.u8<257>() <= 1; }},

  {2, "268", nullptr, [](const PibBlock& b) {
     if (b.u8<268>() != 1) return true;
     const auto nonEdge = [](std::uint8_t v) { return v != 0 && v != 0xFF; };
     return nonEdge(b.u8<269>()) && (b.u8<270>() & 1) == 0 &&
            b.all_entries<278, 7>(b.u8<277>(), [&](const FixedRecord<7>& e) {
              return nonEdge(e.u8<0>()) && (e.u8<1>() & 1) == 0; }); }},

  {3, "524-527", nullptr, [](const PibBlock& b) {
     return b.u8<524>() <= 3 && b.u8<525>() <= 3 && b.u8<526>() <= 3 && b.u8<527>() <= 3; }},
  {3, "528-543", nullptr, [](const PibBlock& b) {
     return in(b.u32<528>(), 10000, 65000000) && in(b.u32<532>(), 10000, 65000000) &&
            in(b.u32<536>(), 10000, 65000000) && in(b.u32<540>(), 10000, 65000000); }},
  {3, "552, 560", nullptr, [](const PibBlock& b) {
     return b.all_entries<560, 28>(b.u32<552>(), rule_entry_passes); }},
  {3, "556, 784", nullptr, [](const PibBlock& b) {
     return b.all_entries<784, 100>(b.u32<556>(), class_entry_passes); }},
  {3, "2384", nullptr, [](const PibBlock& b) { return b.u8<2384>() <= 8; }},

  {4, "2572", nullptr, [](const PibBlock& b) { return b.u32<2572>() <= 17; }},

  {5, "7716, 7720", nullptr, [](const PibBlock& b) {
     return b.u32<7716>() != 1 || in(b.u32<7720>(), 2, 1440); }},

  {6, "7824", nullptr, [](const PibBlock& b) { return in(b.u32<7824>(), 20, 180); }},
  {6, "7828-7830", nullptr, [](const PibBlock& b) {
     return b.u8<7828>() != 1 || b.u8<7829>() <= b.u8<7830>(); }},

  {7, "7962, 7966", nullptr, [](const PibBlock& b) {
     return b.u32<7962>() != 1 || in(b.u32<7966>(), 100, 1000); }},

  {8, "7992", nullptr, [](const PibBlock& b) { return b.u32<7992>() <= 12; }},
  {8, "8000; 8004", nullptr, [](const PibBlock& b) {
     return zero_or_in(b.u32<8000>(), 0x10000, 0x1000000) &&
            zero_or_in(b.u32<8004>(), 0x10000, 0x1000000); }},
  {8, "8008", nullptr, [](const PibBlock& b) { return b.u32<8008>() <= 15; }},
  {8, "8012", nullptr, [](const PibBlock& b) {
     if (b.u8<8012>() > 3) return false;
     if (b.u8<8012>() != 1) return true;
     const std::uint32_t spacing = b.u32<8017>();
     return in(b.u32<8013>(), 1227, 5016) &&
            (spacing <= 7 || (spacing % 2 == 0 && spacing <= 24)); }},
  {8, "8046, 8047", nullptr, [](const PibBlock& b) {
     return b.u8<8046>() != 1 || b.u8<8047>() <= 6; }},
  {8, "8021", nullptr, [](const PibBlock& b) {
     if (b.u8<8021>() != 1) return true;
     const unsigned sum = b.u8<8022>() + b.u8<8023>() + b.u8<8024>() + b.u8<8025>();
     return sum <= 100 && b.u8<8048>() <= 100 && b.u8<8049>() <= 100; }},
  {8, "8026", nullptr, [](const PibBlock& b) {
     return (b.u8<8026>() & 0x0F) == 0 ||
            (in(b.u8<8027>(), 1, 100) && in(b.u32<8030>(), 1000, 14400000) &&
             in(b.u32<8034>(), 500, 14400000) && in(b.u32<8038>(), 1000, 14400000)); }},

  {9, "8080", nullptr, [](const PibBlock& b) { return in(b.u32<8080>(), 300000, 2000000); }},
  {9, "8084", nullptr, [](const PibBlock& b) {
     const std::uint16_t f = b.u16<8084>();
     const auto bit = [f](int n) { return ((f >> n) & 1) != 0; };
     if (bit(3) && (b.u32<8086>() == 0 || b.u32<8090>() == 0)) return false;
     if (bit(4) && b.u32<8094>() == 0) return false;
     if (bit(5) && (b.u32<8098>() == 0 || b.u32<8102>() == 0)) return false;
     if (bit(6) && !(four_small_fields(b.u16<8106>()) && four_small_fields(b.u16<8108>()) &&
                     four_small_fields(b.u16<8110>()) && four_small_fields(b.u16<8112>()))) {
       return false;
     }
     if (bit(7) && !(b.u8<8123>() <= 100 && b.u8<8124>() <= 100 &&
                     b.u8<8123>() + b.u8<8124>() <= 100)) {
       return false;
     }
     return !bit(8) || (b.u8<8118>() != 0 && b.u8<8119>() != 0 && b.u8<8120>() != 0); }},

  {10, "8136", nullptr, [](const PibBlock& b) { return b.u8<8136>() <= 2; }},
  {10, "8137-8156", nullptr, [](const PibBlock& b) {
     if (b.u8<8136>() != 0) return true;
     return b.all_entries<8137, 1>(4, [](const FixedRecord<1>& c) { return c.u8<0>() != 1; }) &&
            b.all_entries<8141, 1>(16, [](const FixedRecord<1>& c) { return c.u8<0>() == 0; }); }},
  {10, "8137-8139", nullptr, [](const PibBlock& b) {
     return b.u8<8136>() != 1 || (b.u8<8137>() != 0 && b.u8<8138>() != 0 && b.u8<8139>() != 0); }},
  {10, "8157", nullptr, [](const PibBlock& b) { return b.u8<8157>() <= 65; }},
  {10, "8158-8162", nullptr, [](const PibBlock& b) {
     return b.u8<8158>() != 1 || (in(b.u16<8159>(), 4, 1440) && in(b.u16<8161>(), 4, 1440)); }},
  {10, "8163", nullptr, [](const PibBlock& b) { return b.u32<8163>() <= 3; }},

  {11, "8205, 8206", order11_applies, [](const PibBlock& b) {
     const auto entryPasses = [](const FixedRecord<30>& e) {
       return e.u8<0>() <= 39 && e.u8<1>() <= 6; };
     return b.u8<8205>() <= 40 && b.all_entries<8206, 30>(b.u8<8205>(), entryPasses); }},
  {11, "9406, 9407", order11_applies, [](const PibBlock& b) {
     const auto entryPasses = [](const FixedRecord<11>& e) {
       return e.u8<0>() <= 33 && e.u8<1>() <= 33 && e.u8<2>() <= 39 && e.u8<3>() <= 40 &&
              e.u8<4>() <= 40; };
     return b.u8<9406>() <= 34 && b.all_entries<9407, 11>(b.u8<9406>(), entryPasses); }},
  {11, "9957-9960", order11_applies, [](const PibBlock& b) {
     return b.u8<9957>() <= 12 && b.u8<9958>() <= 12 && b.u8<9959>() <= 12 &&
            b.u8<9960>() <= 12; }},
  {11, "9961; 9963; 9965", order11_applies, [](const PibBlock& b) {
     return b.u16<9961>() <= 0x0FFF && b.u16<9963>() <= 0x0FFF && b.u16<9965>() <= 0x0FFF; }},
  {11, "9981, 9982", order11_applies, [](const PibBlock& b) {
     return b.u8<9981>() <= 150 && b.u8<9982>() <= 150 && b.u8<9981>() < b.u8<9982>(); }},
  {11, "9985; 9987; 9988; 9989", order11_applies, [](const PibBlock& b) {
     return b.u8<9985>() <= 150 && in(b.u8<9987>(), 20, 60) && in(b.u8<9988>(), 5, 20) &&
            in(b.u8<9989>(), 5, 10); }},
  {11, "9992, 9996", order11_applies, [](const PibBlock& b) {
     const std::uint32_t low = b.u32<9992>();
     const std::uint32_t high = b.u32<9996>();
     return (low == 0) == (high == 0) && (low == 0 || low < high); }},
  {11, "10029", order11_applies, [](const PibBlock& b) {
     return b.u16<10029>() == 0 ||
            (in(b.u16<10023>(), 100, 15000) && in(b.u16<10025>(), 100, 15000) &&
             in(b.u16<10027>(), 20000, 60000) && zero_or_in(b.u32<10031>(), 20000, 180000) &&
             zero_or_in(b.u32<10035>(), 20000, 180000) &&
             zero_or_in(b.u16<10039>(), 20000, 60000) &&
             zero_or_in(b.u16<10041>(), 20000, 60000) && b.u8<10029>() != 0); }},
  {11, "10055", order11_applies, timing_pair_passes<10055, 10051, 10053>},
  {11, "10077", order11_applies, timing_pair_passes<10077, 10073, 10075>},
  {11, "10099", order11_applies, [](const PibBlock& b) {
     return timing_pair_passes<10099, 10095, 10097>(b) &&
            (b.u16<10099>() == 0 || b.u8<10101>() <= 1); }},
  {11, "10128", order11_applies, [](const PibBlock& b) {
     return timing_pair_passes<10128, 10124, 10126>(b) &&
            (b.u16<10128>() == 0 ||
             (b.u8<10130>() <= 1 && b.u8<10137>() <= 7 && b.u8<10138>() <= 2)); }},

  {12, "10248, 10249", nullptr, [](const PibBlock& b) {
     const auto entryPasses = [](const FixedRecord<5>& e) {
       return e.u8<3>() <= 32 && e.u8<4>() <= 1; };
     return in(b.u8<10248>(), 1, 32) && b.all_entries<10249, 5>(b.u8<10248>(), entryPasses); }},
  {12, "10409", nullptr, [](const PibBlock& b) {
     if (b.u8<10409>() > 3) return false;
     return b.u8<10409>() != 0 ||
            (b.all_entries<10410, 1>(16, [](const FixedRecord<1>& c) { return c.u8<0>() == 0; }) &&
             b.u8<10820>() != 1); }},
  {12, "10426", nullptr, [](const PibBlock& b) {
     if (b.u8<10426>() != 1) return true;
     const std::uint8_t count = b.u8<10435>();
     const auto entryPasses = [](const FixedRecord<24>& e) {
       return zero_or_in(e.u16<8>(), 1227, 5016) && e.s8<10>() >= -24 && e.s8<10>() <= 2 &&
              e.u8<16>() <= 32; };
     if (count == 0 || !b.all_entries<10436, 24>(count, entryPasses)) return false;
     const std::uint32_t first = b.u32<10427>();
     const std::uint32_t second = b.u32<10431>();
     return (first == 0 && second == 0) ||
            b.any_entry<10436, 24>(count, [&](const FixedRecord<24>& e) {
              return e.u32<0>() == first && e.u32<4>() == second; }); }},

  {13, "10890, 11354", order13_applies, [](const PibBlock& b) {
     // 64-bit: the product must not wrap.
     return b.u32<10890>() != 0 && std::uint64_t{b.u32<10890>()} * 100 > b.u32<11354>(); }},
  {13, "10890, 10898", order13_applies, [](const PibBlock& b) {
     if (order13_mode(b) == 0x100) return b.u32<10890>() <= 144000 && b.u8<10898>() <= 100;
     return b.u32<10890>() == 30 || b.u32<10890>() == 150; }},
  {13, "10898, 10899", order13_applies, [](const PibBlock& b) {
     const std::uint16_t m = order13_mode(b);
     return (m != 0x8000 && m != 0x800) || b.u8<10898>() == 0 || b.u8<10899>() <= 11; }},
  {13, "10898-10908", order13_applies, [](const PibBlock& b) {
     const std::uint16_t m = order13_mode(b);
     if (m != 0x2000 && m != 0x200) return true;
     const auto small = [](const FixedRecord<1>& c) { return c.u8<0>() <= 11; };
     return b.u8<10902>() <= 2 && b.all_entries<10898, 1>(b.u8<10902>(), small) &&
            b.u8<10908>() <= 3 && b.all_entries<10903, 1>(b.u8<10908>(), small); }},
  {13, "11142, 10938", order13_applies, list_passes<11142, 10938, true>},
  {13, "11348, 11144", order13_applies, list_passes<11348, 11144, false>},

  {14, "11401", nullptr, [](const PibBlock& b) {
     if (b.u8<11401>() > 1) return false;
     return b.u8<11401>() == 0 ||
            (in(b.u16<11408>(), 10, 2000) && in(b.u16<11410>(), 46, 1500)); }},
  {14, "11444; 11420; 11432", nullptr, [](const PibBlock& b) {
     return serial_record_passes(b.record<11444, 8>()) &&
            serial_record_passes(b.record<11420, 8>()) &&
            serial_record_passes(b.record<11432, 8>()); }},

  {15, "11465; 11724; 11981", nullptr, [](const PibBlock& b) {
     return text_is_terminated<11465>(b) && text_is_terminated<11724>(b) &&
            text_is_terminated<11981>(b); }},
  {15, "12248-12253", nullptr, [](const PibBlock& b) {
     return b.u16<12248>() + b.u16<12250>() + b.u16<12252>() <= 2560; }},
});
// clang-format on

}  // namespace

const PibValueCheck* first_failed_pib_check(const PibBlock& block) {
  for (const PibValueCheck& check : kChecks) {
    if (check.applies != nullptr && !check.applies(block)) continue;
    if (!check.passes(block)) return &check;
  }
  return nullptr;
}

}  // namespace zv
