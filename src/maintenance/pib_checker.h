#pragma once
// Checks, stamps and seals a parameter block (PIB) held by the caller. The block is not
// owned: the caller keeps the buffer alive while the checker is used. Every access stays
// inside the span the caller gave, whatever the block's length field says.

#include <cstdint>
#include <span>

#include "base/mac.h"

namespace zv {

// Result codes shared by the four operations.
enum PibResult : int {
  kPibOk = 0,               // done / block valid
  kPibValueCheckFailed = 2,  // version 4.4 only
  kPibNotChecked = 3,       // version is not 4.4: no value checks were made
  kPibNoBlock = 5,          // no block, or too short to hold the header, MAC and key
  kPibVersionTooOld = 6,    // below 1.4
  kPibBadLength = 7,        // length field is not 15560 (validation) or above 16384
                            // (sealing), or the block is shorter than its length field
  kPibMacRefused = 8,       // group address or one of the reserved management addresses
};

class PibChecker {
 public:
  // Remembers `block` for the later operations and clears the valid flag; then the
  // version, length and value checks. Returns 0, 2, 3, 5 or 7.
  int pib_validate(std::span<std::uint8_t> block);
  // Writes `mac` into bytes 12..17 of the remembered block. Returns 0, 5, 6 or 8.
  int pib_set_mac(const MacAddress& mac);
  // Copies the network membership key (bytes 100..115). Returns 0, 5 or 6.
  int pib_get_key(std::span<std::uint8_t, 16> key) const;
  // pib_validate, then (for results 0, 2 and 3) zeroes the checksum word and, when the
  // length field is at most 16384 and inside the block, stores the checksum of its
  // length / 4 words. Returns the validation result, 5, or 7 (checksum left 0).
  int pib_seal(std::span<std::uint8_t> block);

  // Set by pib_validate after result 0 only.
  bool valid() const { return valid_; }

 private:
  std::span<std::uint8_t> block_;
  bool valid_ = false;
};

}  // namespace zv
