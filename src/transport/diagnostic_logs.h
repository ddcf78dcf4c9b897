#pragma once
// The two diagnostic logs, plain UTF-8 text in a folder chosen by the caller:
// - "scan.log": a snapshot of every NIC's station table at the start of each ageing,
//   written only at diagnostic level 20 or more; opened once ("w") and kept open;
// - "<caption>.log": a short rolling record of raw 50-byte status blocks that were not
//   taken (tags "**EEPROM**", "** RAM  **", "**SETNEK**").
// A log that cannot be opened is skipped without a message; the caller goes on.

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/mac.h"

namespace zv {

// What a scan log snapshot shows of one NIC. `stations` lists the entries that ever had
// a MAC, in index order.
struct ScanLogStation {
  MacAddress mac{};
  std::int32_t inUse = 0;
  std::int32_t countdown = 0;
};
struct ScanLogNic {
  MacAddress nicMac{};
  std::int32_t present = 0;
  std::vector<ScanLogStation> stations;
};

enum class DumpKind : int { Eeprom = 0, Ram = 1, SetKey = 2 };

// The tag of a dump entry; "**EEPROM**" for values outside the table.
const char* dump_tag(DumpKind kind);

// "Www Mmm dd hh:mm:ss yyyy" in local time, English names, day padded with a space:
// always 24 characters.
std::string log_time_text(std::time_t when);

class DiagnosticLogs {
 public:
  static constexpr const char* kScanLogName = "scan.log";
  // Lines the dump log keeps at most; whole entries, newest last.
  static constexpr std::size_t kDumpLineLimit = 20;

  // `folder`: where both logs live. `appCaption`: the dump log is "<appCaption>.log".
  DiagnosticLogs(std::filesystem::path folder, std::string appCaption);

  std::uint16_t diagnosticsLevel = 1;
  // Wall-clock source for the time lines; tests pin it.
  std::function<std::time_t()> wallClock = [] { return std::time(nullptr); };

  // write_scan_log(1, nics) when diagnosticsLevel is 20 or more.
  void write_scan_log_if_enabled(std::span<const ScanLogNic> nics);
  // Opens the scan log when needed (writing its header), appends one snapshot, and
  // closes it again when `keepOpen` is 0.
  void write_scan_log(int keepOpen, std::span<const ScanLogNic> nics);
  // Appends one entry for `count` bytes to the dump log, dropping the oldest entries so
  // that the file stays within kDumpLineLimit lines.
  void write_dump(DumpKind kind, const std::uint8_t* bytes, std::size_t count);

  std::filesystem::path scan_log_path() const { return folder_ / kScanLogName; }
  std::filesystem::path dump_log_path() const;
  bool scan_log_open() const { return scanLog_ != nullptr; }

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::filesystem::path folder_;
  std::string appCaption_;
  std::unique_ptr<std::FILE, FileCloser> scanLog_;
};

}  // namespace zv
