#pragma once
// Little-endian field access and bounds-checked cursors for frames, files and records.
// Every length taken from outside is checked against the bytes that remain.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace zv {

inline std::uint16_t get_le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t get_le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint16_t get_be16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
inline void put_le16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put_le32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void put_be16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}

// Reads from a byte span; a read that would pass the end fails and leaves the
// cursor where it was.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return bytes_.size() - pos_; }
  bool has(std::size_t n) const { return n <= remaining(); }

  bool skip(std::size_t n) {
    if (!has(n)) return false;
    pos_ += n;
    return true;
  }
  bool read(void* out, std::size_t n) {
    if (!has(n)) return false;
    std::memcpy(out, bytes_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  bool u8(std::uint8_t& v) { return read(&v, 1); }
  bool le16(std::uint16_t& v) {
    if (!has(2)) return false;
    v = get_le16(bytes_.data() + pos_);
    pos_ += 2;
    return true;
  }
  bool le32(std::uint32_t& v) {
    if (!has(4)) return false;
    v = get_le32(bytes_.data() + pos_);
    pos_ += 4;
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// Writes into a byte span; a write that would pass the end fails and writes nothing.
class ByteWriter {
 public:
  explicit ByteWriter(std::span<std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return bytes_.size() - pos_; }

  bool write(const void* data, std::size_t n) {
    if (n > remaining()) return false;
    if (n != 0) std::memcpy(bytes_.data() + pos_, data, n);
    pos_ += n;
    return true;
  }
  bool zeros(std::size_t n) {
    if (n > remaining()) return false;
    std::memset(bytes_.data() + pos_, 0, n);
    pos_ += n;
    return true;
  }
  bool u8(std::uint8_t v) { return write(&v, 1); }
  bool le16(std::uint16_t v) {
    std::uint8_t b[2];
    put_le16(b, v);
    return write(b, 2);
  }
  bool le32(std::uint32_t v) {
    std::uint8_t b[4];
    put_le32(b, v);
    return write(b, 4);
  }
  bool be16(std::uint16_t v) {
    std::uint8_t b[2];
    put_be16(b, v);
    return write(b, 2);
  }

 private:
  std::span<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace zv
