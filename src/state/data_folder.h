#pragma once
// The data folder that holds the state file.
//
// Linux paths for the two schemes of the desktop program: the main folder is
// $XDG_DATA_HOME/zv350 (~/.local/share/zv350 when XDG_DATA_HOME is unset or not
// absolute), created with its parent when missing; when it cannot be created, the user
// is told and ~/.zv350 is used instead. Folders the program creates are owner-only
// (0700): the state file holds device passwords and network keys.

#include <filesystem>
#include <string>
#include <string_view>

#include "base/user_notice.h"

namespace zv {

struct FolderCandidates {
  std::filesystem::path parent;          // $XDG_DATA_HOME or ~/.local/share
  std::filesystem::path dataFolder;      // parent/zv350
  std::filesystem::path fallbackParent;  // home
  std::filesystem::path fallback;        // home/.zv350
};

// From the environment ($XDG_DATA_HOME, $HOME, else the password database's home).
FolderCandidates build_folder_candidates();
// The same from given values; null or empty when unset.
FolderCandidates build_folder_candidates(const char* xdgDataHome, const char* home);

// Returns the folder to use, creating folders as needed. When the main folder cannot be
// had, shows " %s 路径无法创建数据文件, 将创建于 %s 路径." (caption "提示信息",
// information icon, owned by `owner`) and returns the fallback, whose creation may fail
// unreported (the saves then fail quietly).
std::filesystem::path choose_data_folder(const FolderCandidates& candidates, UserNotice& notice,
                                         std::string_view owner);

// An explicit folder (tests, the simulated demo, --data): created with its parents when
// missing, never replaced by another. False when it is not a usable folder.
bool prepare_data_folder(const std::filesystem::path& folder);

// The folder a front end uses: `override` when it is not empty (prepared as above; an
// empty path when it cannot be); when running on simulated adapters, a folder of the
// simulation's own beside the real one ("zv350-simulated"), so a demo never touches the
// user's state; else choose_data_folder on the environment's candidates.
std::filesystem::path data_folder_for(const std::filesystem::path& override, bool simulated,
                                      UserNotice& notice, std::string_view owner);

// The state file in `dataFolder`: the caption followed by ".data".
std::filesystem::path state_file_path(const std::filesystem::path& dataFolder);

}  // namespace zv
