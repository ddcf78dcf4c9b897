#pragma once
// Read-only view of a fixed-size byte record. Offsets are template arguments so every
// fixed field is checked against the record's size at compile time; lists whose length
// comes from the data are checked at run time before any entry is looked at.

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/bytes.h"

namespace zv {

template <std::size_t Size>
class FixedRecord {
 public:
  explicit FixedRecord(std::span<const std::uint8_t, Size> bytes) : bytes_(bytes.data()) {}

  template <std::size_t At>
  std::uint8_t u8() const {
    static_assert(At + 1 <= Size);
    return bytes_[At];
  }
  template <std::size_t At>
  std::int8_t s8() const {
    return static_cast<std::int8_t>(u8<At>());
  }
  template <std::size_t At>
  std::uint16_t u16() const {
    static_assert(At + 2 <= Size);
    return get_le16(bytes_ + At);
  }
  template <std::size_t At>
  std::uint16_t be16() const {
    static_assert(At + 2 <= Size);
    return get_be16(bytes_ + At);
  }
  template <std::size_t At>
  std::uint32_t u32() const {
    static_assert(At + 4 <= Size);
    return get_le32(bytes_ + At);
  }
  template <std::size_t At, std::size_t Length>
  FixedRecord<Length> record() const {
    static_assert(At + Length <= Size);
    return FixedRecord<Length>(std::span<const std::uint8_t, Length>(bytes_ + At, Length));
  }

  // `count` entries of EntrySize bytes from At: false when they would reach past the
  // record, else whether `pred` holds for every entry (`any_entry`: for some entry).
  template <std::size_t At, std::size_t EntrySize, class Pred>
  bool all_entries(std::size_t count, Pred pred) const {
    if (!fits<At, EntrySize>(count)) return false;
    for (std::size_t i = 0; i < count; ++i) {
      if (!pred(entry<At, EntrySize>(i))) return false;
    }
    return true;
  }
  template <std::size_t At, std::size_t EntrySize, class Pred>
  bool any_entry(std::size_t count, Pred pred) const {
    if (!fits<At, EntrySize>(count)) return false;
    for (std::size_t i = 0; i < count; ++i) {
      if (pred(entry<At, EntrySize>(i))) return true;
    }
    return false;
  }

 private:
  template <std::size_t At, std::size_t EntrySize>
  static bool fits(std::size_t count) {
    static_assert(At <= Size && EntrySize > 0);
    return count <= (Size - At) / EntrySize;
  }
  template <std::size_t At, std::size_t EntrySize>
  FixedRecord<EntrySize> entry(std::size_t i) const {
    return FixedRecord<EntrySize>(
        std::span<const std::uint8_t, EntrySize>(bytes_ + At + i * EntrySize, EntrySize));
  }

  const std::uint8_t* bytes_;
};

}  // namespace zv
