#include "state/oui_list.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "discovery/fixed_text.h"

namespace zv {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::uint32_t oui_key(const std::uint8_t* oui) {
  return static_cast<std::uint32_t>(oui[0]) << 16 | static_cast<std::uint32_t>(oui[1]) << 8 | oui[2];
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reads one line into `line`, keeping at most kMaxOuiLineLength bytes of it; false at
// the end of the file.
bool read_bounded_line(std::FILE* file, std::string& line) {
  line.clear();
  int c = std::fgetc(file);
  if (c == EOF) return false;
  while (c != EOF && c != '\n') {
    if (line.size() < kMaxOuiLineLength) line.push_back(static_cast<char>(c));
    c = std::fgetc(file);
  }
  return true;
}

}  // namespace

bool parse_oui_line(std::string_view line, VendorEntry& entry) {
  if (line.size() < 8) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    const int high = hex_digit(line[2 * i]);
    const int low = hex_digit(line[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    entry.oui[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  std::size_t pos = 6;
  if (!is_blank(line[pos])) return false;
  while (pos < line.size() && is_blank(line[pos])) ++pos;
  std::size_t end = pos;
  while (end < line.size() && !is_blank(line[end])) ++end;
  if (end == pos) return false;

  entry.name.fill('\0');
  const std::size_t length = std::min(end - pos, kVendorNameMax);
  for (std::size_t i = 0; i < length; ++i) {
    const char c = line[pos + i];
    entry.name[i] = c == '_' ? ' ' : c;
  }
  return true;
}

VendorTable load_oui_list(const std::filesystem::path& file) {
  VendorTable table;
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) return table;

  std::string line;
  line.reserve(kMaxOuiLineLength);
  VendorEntry entry;
  while (table.vendorTable.size() < kMaxVendorEntries && read_bounded_line(in.get(), line)) {
    if (std::all_of(line.begin(), line.end(), is_blank)) continue;
    if (!parse_oui_line(line, entry)) break;
    table.vendorTable.push_back(entry);
  }
  // Stable, so that of two lines with one OUI the first one listed answers.
  std::stable_sort(table.vendorTable.begin(), table.vendorTable.end(),
                   [](const VendorEntry& a, const VendorEntry& b) {
                     return oui_key(a.oui.data()) < oui_key(b.oui.data());
                   });
  table.vendorCount = table.vendorTable.size();
  return table;
}

std::string lookup_vendor(const VendorTable& table, const PrefsRecord& prefs,
                          const std::uint8_t* mac) {
  if (std::equal(prefs.ownOui.begin(), prefs.ownOui.end(), mac)) {
    return std::string(fixed_text(prefs.ownVendorName));
  }
  const std::uint32_t key = oui_key(mac);
  const auto end = table.vendorTable.begin() + static_cast<std::ptrdiff_t>(table.vendorCount);
  const auto found = std::lower_bound(
      table.vendorTable.begin(), end, key,
      [](const VendorEntry& e, std::uint32_t k) { return oui_key(e.oui.data()) < k; });
  if (found != end && oui_key(found->oui.data()) == key) return found->name.data();
  return kUnknownVendorName;
}

}  // namespace zv
