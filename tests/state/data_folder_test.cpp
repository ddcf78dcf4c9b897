#include "state/data_folder.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "state_test_support.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

fs::perms mode_of(const fs::path& path) { return fs::status(path).permissions(); }

TEST(DataFolder, CandidatesFollowXdgDataHomeOnlyWhenAbsolute) {
  auto c = build_folder_candidates("/data/xdg", "/home/u");
  EXPECT_EQ(c.parent, "/data/xdg");
  EXPECT_EQ(c.dataFolder, "/data/xdg/zv350");
  EXPECT_EQ(c.fallbackParent, "/home/u");
  EXPECT_EQ(c.fallback, "/home/u/.zv350");
  for (const char* ignored : {"relative/xdg", ""}) {
    c = build_folder_candidates(ignored, "/home/u");
    EXPECT_EQ(c.dataFolder, "/home/u/.local/share/zv350") << ignored;
  }
  c = build_folder_candidates(nullptr, "/home/u");
  EXPECT_EQ(c.dataFolder, "/home/u/.local/share/zv350");
}

TEST(DataFolder, CreatesMissingLevelsOwnerOnlyWithoutMessage) {
  test::TempFolder home;
  RecordingNotice notice;
  const auto c = build_folder_candidates(nullptr, home.path().c_str());
  const fs::path chosen = choose_data_folder(c, notice, "main page");
  EXPECT_EQ(chosen, home.path() / ".local/share/zv350");
  EXPECT_TRUE(fs::is_directory(chosen));
  EXPECT_EQ(mode_of(chosen), fs::perms::owner_all);
  EXPECT_EQ(mode_of(home.path() / ".local"), fs::perms::owner_all);
  EXPECT_TRUE(notice.shown.empty());
  // Once there it is taken as it is.
  EXPECT_EQ(choose_data_folder(c, notice, "main page"), chosen);
  EXPECT_TRUE(notice.shown.empty());
}

TEST(DataFolder, FallsBackWithTheMessageWhenTheFolderCannotBeMade) {
  test::TempFolder home;
  RecordingNotice notice;
  // A file where the folder's parent should be.
  test::write_file(home.path() / ".local", {'x'});
  const auto c = build_folder_candidates(nullptr, home.path().c_str());
  const fs::path chosen = choose_data_folder(c, notice, "main page");
  EXPECT_EQ(chosen, home.path() / ".zv350");
  EXPECT_TRUE(fs::is_directory(chosen));
  EXPECT_EQ(mode_of(chosen), fs::perms::owner_all);
  ASSERT_EQ(notice.shown.size(), 1u);
  EXPECT_EQ(notice.shown[0].text, " " + c.dataFolder.string() + " 路径无法创建数据文件, 将创建于 " +
                                      c.fallback.string() + " 路径.");
  EXPECT_EQ(notice.shown[0].caption, "提示信息");
  EXPECT_EQ(notice.shown[0].icon, NoticeIcon::Information);
  EXPECT_EQ(notice.shown[0].owner, "main page");
}

TEST(DataFolder, OverrideIsCreatedWithItsParentsAndStateFileNamedAfterTheCaption) {
  test::TempFolder root;
  const fs::path folder = root.path() / "a" / "b";
  EXPECT_TRUE(prepare_data_folder(folder));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(prepare_data_folder(folder));
  test::write_file(root.path() / "file", {'x'});
  EXPECT_FALSE(prepare_data_folder(root.path() / "file"));
  EXPECT_EQ(state_file_path(folder), folder / "ZV350 应用软件.data");
}

}  // namespace
}  // namespace zv
