#pragma once
// Frames, firmware files and a few lines of device for the vendor layer's tests.

#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include "base/mac.h"

namespace zv::test {

inline const MacAddress kPc{0x00, 0x0C, 0x29, 0x00, 0x00, 0x01};
inline const MacAddress kDevice{0x00, 0xB0, 0x52, 0x11, 0x22, 0x33};

// A vendor frame from kDevice to kPc: Ethernet header, MMV 0 (or long) header with
// `type`, zeros to `length` (which may be shorter than the headers).
std::vector<std::uint8_t> vendor_frame(std::uint16_t type, std::size_t length,
                                       bool longHeader = false);

struct ImageSpec {
  std::uint32_t loadAddress;
  std::uint32_t length;
  std::uint32_t word4;
  std::uint32_t word5;
};
// A firmware image file: each image behind a valid 44-byte header whose next-header
// offset points at the following header (0 in the last); image bytes are a pattern.
std::vector<std::uint8_t> image_file(const std::vector<ImageSpec>& images);
// Rewrites header word `word` at byte `headerAt` and reseals the header's checksum.
void set_header_word(std::vector<std::uint8_t>& file, std::size_t headerAt, std::size_t word,
                     std::uint32_t value);

// A parameter block of `length` bytes whose own length field (bytes 4-5) says
// `claimedLength`; the rest is a pattern.
std::vector<std::uint8_t> parameter_block(std::size_t length, std::uint16_t claimedLength);

// Answers the transfer requests the way an adapter does: keeps what is written, serves
// reads from `modules[1]` / `modules[2]`, and confirms with status 0 unless the request's
// index (0-based, in arrival order) is listed in `failing` (status 1) or, for reads, in
// `badChecksum`.
struct FakeDevice {
  std::vector<std::uint8_t> modules[3];                 // written or served, by module id
  std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> memoryWrites;
  std::vector<std::vector<std::uint8_t>> requests;      // every frame received
  std::set<std::size_t> failing;
  std::set<std::size_t> badChecksum;

  // The answer to `request`, or an empty frame when it does not answer.
  std::vector<std::uint8_t> answer(std::span<const std::uint8_t> request);
  // Requests of MMTYPE `type` received so far.
  std::vector<std::vector<std::uint8_t>> requests_of(std::uint16_t type) const;
};

}  // namespace zv::test
