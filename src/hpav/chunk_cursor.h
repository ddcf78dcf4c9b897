#pragma once
// A view of a caller's buffer cut into fixed-size chunks. It does not own the buffer,
// which must outlive it.

#include <cstdint>
#include <optional>

namespace zv {

inline constexpr std::uint32_t kTransferChunkSize = 1024;

class ChunkCursor {
 public:
  // A cursor on chunk 0; none with errno 22 when the buffer is null or a length is 0.
  static std::optional<ChunkCursor> make(const std::uint8_t* buffer, std::uint32_t length,
                                         std::uint32_t chunkSize);

  // Makes chunk `index` current: true when it starts inside the buffer (its length is the
  // chunk size, or what is left when less). Otherwise errno 34, the cursor stands at the
  // end with an empty chunk, false.
  bool select(std::int32_t index);
  bool next() { return select(index_ + 1); }

  const std::uint8_t* base() const { return base_; }
  const std::uint8_t* chunk() const { return base_ + current_; }
  std::uint32_t chunk_length() const { return chunkLength_; }
  std::int32_t index() const { return index_; }
  std::uint32_t total() const { return total_; }
  std::uint32_t chunk_size() const { return chunkSize_; }
  // Bytes from the buffer start to the current chunk.
  std::uint32_t offset() const { return current_; }
  // Whether `n` bytes from the current chunk reach the end of the buffer.
  bool reaches_end(std::uint64_t n) const { return current_ + n >= total_; }

 private:
  ChunkCursor(const std::uint8_t* base, std::uint32_t total, std::uint32_t chunkSize)
      : base_(base), total_(total), chunkSize_(chunkSize) {}

  const std::uint8_t* base_;
  std::uint32_t total_;
  std::uint32_t chunkSize_;
  std::uint32_t current_ = 0;  // kept as an offset so no pointer ever leaves the buffer
  std::uint32_t chunkLength_ = 0;
  std::int32_t index_ = 0;
};

}  // namespace zv
