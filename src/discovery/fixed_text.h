#pragma once
// Texts inside fixed-size fields: always cut to the field and NUL-terminated, the rest of
// the field zeroed so that saved records carry no stale bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace zv {

// Copies at most `source.size()` bytes of `source`, stopping at a NUL, into `field`,
// keeping room for the terminator. An empty field is left alone.
inline void set_fixed_text(std::span<char> field, std::string_view source) {
  if (field.empty()) return;
  std::size_t n = source.size();
  const void* nul = n != 0 ? std::memchr(source.data(), '\0', n) : nullptr;
  if (nul != nullptr) n = static_cast<std::size_t>(static_cast<const char*>(nul) - source.data());
  if (n > field.size() - 1) n = field.size() - 1;
  if (n != 0) std::memcpy(field.data(), source.data(), n);
  std::memset(field.data() + n, 0, field.size() - n);
}

// Bytes taken from a frame, same rules.
inline void set_fixed_text(std::span<char> field, std::span<const std::uint8_t> source) {
  set_fixed_text(field, std::string_view(reinterpret_cast<const char*>(source.data()),
                                         source.size()));
}

// The text in a field: up to its first NUL, never past the field.
inline std::string_view fixed_text(std::span<const char> field) {
  const void* nul = field.empty() ? nullptr : std::memchr(field.data(), '\0', field.size());
  const std::size_t n =
      nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field.data()) : field.size();
  return std::string_view(field.data(), n);
}

}  // namespace zv
