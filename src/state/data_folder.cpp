#include "state/data_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "state/preferences.h"

namespace zv {
namespace {

bool is_folder(const std::filesystem::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// mkdir of the last level only, owner-only; true when the folder is there afterwards.
bool make_folder(const std::filesystem::path& path) {
  if (::mkdir(path.c_str(), 0700) == 0) return true;
  return errno == EEXIST && is_folder(path);
}

// Every missing level, owner-only.
bool make_folders(const std::filesystem::path& path) {
  if (path.empty() || is_folder(path)) return !path.empty();
  const auto parent = path.parent_path();
  if (parent != path && !parent.empty() && !make_folders(parent)) return false;
  return make_folder(path);
}

std::string home_from_password_database() {
  const passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

}  // namespace

FolderCandidates build_folder_candidates(const char* xdgDataHome, const char* home) {
  std::filesystem::path homePath = home && *home ? home : "";
  if (homePath.empty()) homePath = home_from_password_database();
  if (homePath.empty()) homePath = std::filesystem::current_path();

  FolderCandidates c;
  // The XDG rules ignore a relative XDG_DATA_HOME.
  if (xdgDataHome && *xdgDataHome && std::filesystem::path(xdgDataHome).is_absolute())
    c.parent = xdgDataHome;
  else
    c.parent = homePath / ".local" / "share";
  c.dataFolder = c.parent / "zv350";
  c.fallbackParent = homePath;
  c.fallback = homePath / ".zv350";
  return c;
}

FolderCandidates build_folder_candidates() {
  return build_folder_candidates(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::filesystem::path choose_data_folder(const FolderCandidates& candidates, UserNotice& notice,
                                         std::string_view owner) {
  if (make_folders(candidates.parent) && make_folder(candidates.dataFolder))
    return candidates.dataFolder;

  // " %s 路径无法创建数据文件, 将创建于 %s 路径." with both folders, uncut.
  std::string text = " ";
  text.append(candidates.dataFolder.string());
  text.append(" 路径无法创建数据文件, 将创建于 ");
  text.append(candidates.fallback.string());
  text.append(" 路径.");
  notice.show(Notice{text, "提示信息", NoticeIcon::Information, NoticeButtons::Ok,
                     std::string(owner)});
  make_folder(candidates.fallbackParent);
  make_folder(candidates.fallback);
  return candidates.fallback;
}

bool prepare_data_folder(const std::filesystem::path& folder) { return make_folders(folder); }

std::filesystem::path data_folder_for(const std::filesystem::path& override, bool simulated,
                                      UserNotice& notice, std::string_view owner) {
  const FolderCandidates candidates = build_folder_candidates();
  if (override.empty() && !simulated) return choose_data_folder(candidates, notice, owner);
  const std::filesystem::path folder =
      override.empty() ? candidates.parent / "zv350-simulated" : override;
  return prepare_data_folder(folder) ? folder : std::filesystem::path();
}

std::filesystem::path state_file_path(const std::filesystem::path& dataFolder) {
  return dataFolder / (std::string(kAppCaption) + ".data");
}

}  // namespace zv
