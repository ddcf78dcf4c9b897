#include "transport/diagnostic_logs.h"

#include <cstring>
#include <deque>

namespace zv {

namespace {

struct DumpTagRow {
  DumpKind kind;
  const char* tag;
};
constexpr DumpTagRow kDumpTags[] = {
    {DumpKind::Eeprom, "**EEPROM**"},
    {DumpKind::Ram, "** RAM  **"},
    {DumpKind::SetKey, "**SETNEK**"},
};

// fgets slots: a line longer than this is read back in pieces.
constexpr int kDumpSlotSize = 200;

bool starts_with_time(const std::string& line) { return line.rfind("Time ", 0) == 0; }

}  // namespace

const char* dump_tag(DumpKind kind) {
  for (const auto& row : kDumpTags)
    if (row.kind == kind) return row.tag;
  return kDumpTags[0].tag;
}

std::string log_time_text(std::time_t when) {
  // Formatted by hand: strftime's names follow the process locale.
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) local = std::tm{};
  char text[64];
  std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %4d", kDays[(local.tm_wday % 7 + 7) % 7],
                kMonths[(local.tm_mon % 12 + 12) % 12], local.tm_mday, local.tm_hour,
                local.tm_min, local.tm_sec, local.tm_year + 1900);
  return text;
}

DiagnosticLogs::DiagnosticLogs(std::filesystem::path folder, std::string appCaption)
    : folder_(std::move(folder)), appCaption_(std::move(appCaption)) {}

std::filesystem::path DiagnosticLogs::dump_log_path() const {
  return folder_ / (appCaption_ + ".log");
}

void DiagnosticLogs::write_scan_log_if_enabled(std::span<const ScanLogNic> nics) {
  if (diagnosticsLevel >= 20) write_scan_log(1, nics);
}

void DiagnosticLogs::write_scan_log(int keepOpen, std::span<const ScanLogNic> nics) {
  if (!scanLog_) {
    scanLog_.reset(std::fopen(scan_log_path().c_str(), "w"));
    if (!scanLog_) return;  // tried again at the next snapshot
    std::fprintf(scanLog_.get(), "%s\n", log_time_text(wallClock()).c_str());
    std::fputs("\tdevice\t\t\tpresent\tmissesTillDrop\n\n", scanLog_.get());
  }
  std::FILE* out = scanLog_.get();
  for (std::size_t i = 0; i < nics.size(); ++i) {
    const ScanLogNic& nic = nics[i];
    std::fprintf(out, "NIC #%d:\t%s\tPresent=%d\n", static_cast<int>(i),
                 format_mac(nic.nicMac).c_str(), nic.present);
    if (!nic.present) continue;
    for (const ScanLogStation& station : nic.stations)
      std::fprintf(out, "\t%s\t%d\t%d\n", format_mac(station.mac).c_str(), station.inUse,
                   station.countdown);
    std::fputs("\n", out);
  }
  std::fflush(out);
  if (keepOpen == 0) scanLog_.reset();
}

void DiagnosticLogs::write_dump(DumpKind kind, const std::uint8_t* bytes, std::size_t count) {
  const std::filesystem::path path = dump_log_path();
  // Only the newest lines can survive the rewrite, so only those are kept while reading.
  std::deque<std::string> lines;
  if (std::FILE* old = std::fopen(path.c_str(), "r")) {
    char slot[kDumpSlotSize];
    while (std::fgets(slot, sizeof slot, old) != nullptr) {
      lines.emplace_back(slot);
      if (lines.size() > kDumpLineLimit) lines.pop_front();
    }
    std::fclose(old);
  }

  std::string tagLine = dump_tag(kind);
  char hex[8];
  for (std::size_t i = 0; bytes != nullptr && i < count; ++i) {
    std::snprintf(hex, sizeof hex, " %.2x", bytes[i]);
    tagLine += hex;
  }
  const std::size_t firstNew = lines.size();
  lines.push_back("Time " + log_time_text(wallClock()) + "\n");
  lines.push_back("\n");
  lines.push_back(tagLine + "\n");

  // Keep the last kDumpLineLimit lines, starting at an entry's time line so that no
  // entry is cut; the new entry always stays.
  std::size_t start = lines.size() > kDumpLineLimit ? lines.size() - kDumpLineLimit : 0;
  while (start < firstNew && !starts_with_time(lines[start])) ++start;

  std::FILE* out = std::fopen(path.c_str(), "w");
  if (out == nullptr) return;
  for (std::size_t i = start; i < lines.size(); ++i) std::fputs(lines[i].c_str(), out);
  std::fclose(out);
}

}  // namespace zv
