#include "utilcore/DirUtils.h"

#include "NoFileOverride.h"
#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"
#include "utilcore/FileUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using testkit::ReadBytes;

// Writes a file, creating its folders.
void Put(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  testkit::WriteBytes(path, bytes);
}

TEST(DirUtils, PathParts) {
  const std::vector<std::pair<std::string, std::string>> folders = {
      {"/site/news/index.htm", "/site/news/"},
      {"CUSTOM.DIC", ""},
      {"/site/", "/site/"},
      {"/file", "/"},
      {"a/b", "a/"},
      {"", ""},
  };
  for (const auto& [path, folder] : folders) {
    EXPECT_EQ(CDirUtils::ParsePathFromFile(path), folder) << path;
  }
  std::string path = "/site";
  EXPECT_EQ(CDirUtils::EnsureTrailingBackslash(path), "/site/");
  EXPECT_EQ(CDirUtils::EnsureTrailingBackslash(path), "/site/");
  std::string empty;
  EXPECT_EQ(CDirUtils::EnsureTrailingBackslash(empty), "");
}

TEST(DirUtils, CreateDirectoryWithParents) {
  const ScopedTempDir dir;
  EXPECT_TRUE(CDirUtils::CreateDirectoryA(dir.Sub("a/b/c/")));
  EXPECT_TRUE(CDirUtils::DoesDirExist(dir.Sub("a/b/c")));
  EXPECT_TRUE(CDirUtils::CreateDirectoryA(dir.Sub("a/b/c")));

  Put(dir.Sub("file"), "x");
  std::string error;
  EXPECT_FALSE(CDirUtils::CreateDirectoryA(dir.Sub("file/sub"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(CDirUtils::CreateDirectoryA(dir.Sub("file"), &error));
  EXPECT_FALSE(CDirUtils::CreateDirectoryA(""));
  EXPECT_FALSE(CDirUtils::DoesDirExist(dir.Sub("file")));
}

TEST(DirUtils, RenameDirectory) {
  const ScopedTempDir dir;
  Put(dir.Sub("Pagelint_Backup/Old Name/page.htmb1"), "b1");
  std::string error;
  ASSERT_TRUE(CDirUtils::RenameDirectory(dir.Sub("Pagelint_Backup/Old Name/"),
                                         dir.Sub("Pagelint_Backup/New Name/"), error))
      << error;
  EXPECT_EQ(ReadBytes(dir.Sub("Pagelint_Backup/New Name/page.htmb1")), "b1");
  EXPECT_FALSE(CDirUtils::DoesDirExist(dir.Sub("Pagelint_Backup/Old Name")));

  EXPECT_FALSE(CDirUtils::RenameDirectory(dir.Sub("missing"), dir.Sub("x"), error));
  EXPECT_FALSE(error.empty());

  Put(dir.Sub("Pagelint_Backup/Other/keep"), "k");
  EXPECT_FALSE(CDirUtils::RenameDirectory(dir.Sub("Pagelint_Backup/New Name"),
                                          dir.Sub("Pagelint_Backup/Other"), error));
  EXPECT_EQ(ReadBytes(dir.Sub("Pagelint_Backup/Other/keep")), "k");
  EXPECT_EQ(ReadBytes(dir.Sub("Pagelint_Backup/New Name/page.htmb1")), "b1");
}

class ClearDirectoryTest : public testing::Test {
protected:
  void SetUp() override {
    Put(m_dir.Sub("root/a.htmb1"), "a");
    Put(m_dir.Sub("root/site/news/b.htmb1"), "b");
    Put(m_outside.Sub("precious/file"), "p");
    fs::create_directory_symlink(m_outside.Sub("precious"), m_dir.Sub("root/site/link-to-folder"));
    fs::create_symlink(m_outside.Sub("precious/file"), m_dir.Sub("root/link-to-file"));
  }

  std::vector<std::string> Left() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(m_dir.Sub("root"))) {
      names.push_back(entry.path().lexically_relative(m_dir.Sub("root")).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  ScopedTempDir m_dir;
  ScopedTempDir m_outside;
};

TEST_F(ClearDirectoryTest, EmptiesTheFolderAndNeverFollowsLinks) {
  std::string error;
  ASSERT_TRUE(CDirUtils::ClearDirectory(m_dir.Sub("root/"), error, true, false, true)) << error;
  EXPECT_TRUE(CDirUtils::DoesDirExist(m_dir.Sub("root")));
  EXPECT_TRUE(Left().empty());
  EXPECT_EQ(ReadBytes(m_outside.Sub("precious/file")), "p");
}

TEST_F(ClearDirectoryTest, FilesOnlyAndTheFolderItself) {
  std::string error;
  ASSERT_TRUE(CDirUtils::ClearDirectory(m_dir.Sub("root"), error, false, false, true));
  EXPECT_EQ(Left(), (std::vector<std::string>{"site", "site/link-to-folder", "site/news",
                                              "site/news/b.htmb1"}));
  ASSERT_TRUE(CDirUtils::ClearDirectory(m_dir.Sub("root"), error, true, true, true));
  EXPECT_FALSE(CFileUtils::DoesFileExist(m_dir.Sub("root")));
  EXPECT_TRUE(CDirUtils::ClearDirectory(m_dir.Sub("root"), error, true, false, true));
  EXPECT_EQ(ReadBytes(m_outside.Sub("precious/file")), "p");
}

TEST_F(ClearDirectoryTest, AFolderThatIsALinkIsRefused) {
  fs::create_directory_symlink(m_outside.Sub("precious"), m_dir.Sub("planted"));
  std::string error;
  EXPECT_FALSE(CDirUtils::ClearDirectory(m_dir.Sub("planted/"), error, true, false, true));
  EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(m_outside.Sub("precious/file")), "p");
  EXPECT_FALSE(CDirUtils::ClearDirectory("/", error, true, false, true));
}

TEST_F(ClearDirectoryTest, ReadOnlyFoldersAreOpenedOnlyWhenForced) {
  const std::string news = m_dir.Sub("root/site/news");
  ASSERT_EQ(::chmod(news.c_str(), 0555), 0);
  RunWithoutFileOverride([&] {
    std::string error;
    EXPECT_FALSE(CDirUtils::ClearDirectory(m_dir.Sub("root"), error, true, false, false));
    EXPECT_NE(error.find("b.htmb1"), std::string::npos) << error;
    EXPECT_TRUE(CFileUtils::DoesFileExist(news + "/b.htmb1"));
    EXPECT_FALSE(CFileUtils::DoesFileExist(m_dir.Sub("root/a.htmb1")));

    EXPECT_TRUE(CDirUtils::ClearDirectory(m_dir.Sub("root"), error, true, false, true)) << error;
  });
  EXPECT_TRUE(Left().empty());
}

TEST(DirUtils, TempDirFollowsTheEnvironmentInOrder) {
  const ScopedFakeHome home;
  EXPECT_EQ(CDirUtils::GetTempDir(), home.RuntimeDir() + "/");
  ::setenv("XDG_RUNTIME_DIR", (home.Root() + "/missing").c_str(), 1);
  EXPECT_EQ(CDirUtils::GetTempDir(), home.TmpDir() + "/");
  ::unsetenv("XDG_RUNTIME_DIR");
  ::setenv("TMPDIR", "relative/tmp", 1);
  EXPECT_EQ(CDirUtils::GetTempDir(), "/tmp/");
}

TEST(DirUtils, SpecialFolders) {
  const ScopedFakeHome home;
  EXPECT_EQ(CDirUtils::GetSpecialFolder(26), home.ConfigHome() + "/");
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(CDirUtils::GetSpecialFolder(26), home.Home() + "/.config/");
  EXPECT_EQ(CDirUtils::GetSpecialFolder(42), "/usr/");
  EXPECT_EQ(CDirUtils::GetSpecialFolder(5), "");
}

TEST(DirUtils, DirectoryListIsBoundedAndRelative) {
  const ScopedTempDir dir;
  for (const char* folder : {"a/b/c/d", "e", ".git"}) {
    fs::create_directories(dir.Sub(folder));
  }
  fs::create_directory_symlink("..", dir.Sub("a/b/up"));
  std::vector<std::string> folders;
  ASSERT_TRUE(CDirUtils::GetDirectoryList(dir.Path(), folders, 3));
  CDirUtils::MakePathsRelative(folders, dir.Path());
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (std::vector<std::string>{".git/", "a/", "a/b/", "a/b/c/", "a/b/up/", "e/"}));
  EXPECT_FALSE(CDirUtils::GetDirectoryList(dir.Sub("missing"), folders, 30));

  std::vector<std::string> paths = {"/site/a/", "/other/b", "/site/"};
  CDirUtils::MakePathsRelative(paths, "/site");
  EXPECT_EQ(paths, (std::vector<std::string>{"a/", "/other/b", ""}));
}

TEST(DirUtils, AppPathIsTheProgramsFolder) {
  const std::string folder = CDirUtils::GetAppPath();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(CFileUtils::DoesFileExist(folder + "utilcore_tests"));
}

} // namespace
