#pragma once
// Saving and loading the state file: the station table of every NIC, the device records,
// currentNic and the device list's layout.
//
// A save writes the whole file to a temporary file in the same folder, flushes it to
// disk and renames it over the old one, so a crash leaves either the old or the new file,
// never a truncated one. The file is owner-only (0600): it holds device passwords and
// network keys. A file that cannot be read is never emptied: it is kept aside beside the
// state file and the program goes on from empty tables.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "discovery/discovery_state.h"
#include "state/device_list_seam.h"
#include "state/state_file_format.h"
#include "transport/transport.h"

namespace zv {

// The window that owns the state operations' message boxes.
inline constexpr const char* kMainPageOwner = "main page";
// Shown for a file that cannot be read and when a save could not be completed.
inline constexpr const char* kUnexpectedErrorText = "意外错误，系统正在尝试恢复.";
// What an unreadable state file is renamed to: its name, this, and the time.
inline constexpr const char* kKeptAsideInfix = ".unreadable-";

// What the state operations act on; everything is owned by the running system.
struct StateContext {
  Transport& transport;  // currentNic; reset_state opens the NICs; notices
  DiscoveryState& discovery;  // station table and device records
  DeviceListSeam& deviceList;
  std::filesystem::path stateFile;
  // Runs once the new content is on disk in the temporary file, just before it replaces
  // the old file. Lets a test interrupt a save at the worst moment.
  std::function<void()> beforeReplace;
};

enum class SaveResult {
  Saved,
  NothingToSave,  // no device record: the file keeps its previous content
  Failed,         // the old file, if any, is unchanged
};

// Writes the whole state. A failure to create or write the temporary file is silent; a
// failure to flush or rename it shows kUnexpectedErrorText (caption "错误", error icon).
SaveResult save_state(StateContext& context);

enum class LoadResult {
  Loaded,     // tables and layout taken from the file
  NoFile,     // nothing to read: empty tables
  KeptAside,  // unreadable (see fault): renamed to keptAsidePath, empty tables
};

struct LoadOutcome {
  LoadResult result = LoadResult::NoFile;
  StateFileFault fault = StateFileFault::None;
  std::filesystem::path keptAsidePath;  // empty when it could not be renamed
};

// Reads and decodes `file` without changing anything anywhere; nullopt when it cannot be
// opened. For listings; the program itself loads with load_state.
std::optional<StateFileFault> read_state_file(const std::filesystem::path& file, StateFile& state);

// Reads the state file into the tables and applies the layout to the device list. A file
// with a version below 306 shows kUnexpectedErrorText (caption "注意!", warning icon); one
// whose deviceCount is outside 1..32 shows it with caption "错误" and the warning icon;
// short files and a negative currentNic show nothing. Such files are kept aside.
LoadOutcome load_state(StateContext& context);

// Empty tables: every NIC opened, the whole station table zeroed with the HomePlug AV
// default network password as each block's network name, no device record, currentNic 0.
void reset_state(StateContext& context);

}  // namespace zv
