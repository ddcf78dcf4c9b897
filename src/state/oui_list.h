#pragma once
// The vendor table: IEEE OUI to a short vendor name, from "OUIList.txt".
//
// File format: one entry a line: the three OUI bytes as six hexadecimal digits, a tab,
// the vendor name as one word ("_" stands for a space), the line end. Lines are
// expected in ascending OUI order, but the table is sorted after loading, so any order
// works.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "state/preferences.h"

namespace zv {

inline constexpr const char* kOuiListFileName = "OUIList.txt";
// Answered for an OUI the table does not know.
inline constexpr const char* kUnknownVendorName = "QUORVEL";
inline constexpr std::size_t kVendorNameMax = 11;
// A bound on the entries kept, far above the registry's size, so that a huge or endless
// file cannot exhaust memory.
inline constexpr std::size_t kMaxVendorEntries = 1u << 20;
// Only this much of a line is looked at; the rest of a longer line is skipped unread
// into memory (the name is cut to 11 characters anyway).
inline constexpr std::size_t kMaxOuiLineLength = 255;

#pragma pack(push, 1)
struct VendorEntry {
  Oui oui{};
  std::array<char, kVendorNameMax + 1> name{};  // spaces restored, NUL-terminated
};
#pragma pack(pop)
static_assert(sizeof(VendorEntry) == 15);

struct VendorTable {
  std::vector<VendorEntry> vendorTable;  // sorted by OUI
  std::size_t vendorCount = 0;
};

// Parses one line of the file; false for a malformed line.
bool parse_oui_line(std::string_view line, VendorEntry& entry);

// Reads the file: blank lines are skipped, reading stops at the first malformed line (as
// the format's reader always has) or after kMaxVendorEntries entries. A missing file
// leaves the table empty.
VendorTable load_oui_list(const std::filesystem::path& file);

// The vendor name of the first three bytes of `mac`: ownVendorName for ownOui, the
// table's name, or "QUORVEL".
std::string lookup_vendor(const VendorTable& table, const PrefsRecord& prefs,
                          const std::uint8_t* mac);

}  // namespace zv
