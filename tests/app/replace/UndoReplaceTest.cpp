#include "replace/UndoReplace.h"

#include "replace/BackupFolders.h"
#include "replace/UndoList.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"
#include "utilcore/AppLogger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kBackupMissingId = "{39343EF6-B750-4FE6-8595-437A7EDEA4DB}";
constexpr const char* kRestoreFailedId = "{F49E758D-CB5C-411E-AAB8-CBC3CAEBF503}";

std::vector<std::string> Backups(int count) {
  std::vector<std::string> backups;
  for (int i = 0; i < count; ++i) {
    backups.push_back("/run/Pagelint_Backup/Site/page" + std::to_string(i) + ".htmb1");
  }
  return backups;
}

struct PromptCase {
  int backups;
  std::string countText; ///< empty: no prompt at all
};

class UndoPrompt : public testing::TestWithParam<PromptCase> {};

TEST_P(UndoPrompt, NamesTheFilesWordAndReplacement) {
  const CUndoReplace entry("teh", "the end", Backups(GetParam().backups));
  if (GetParam().countText.empty()) {
    EXPECT_EQ(entry.GetUndoPrompt(), "");
    return;
  }
  EXPECT_EQ(entry.GetUndoPrompt(),
            "Pagelint is about to undo the last replacement you applied. This will restore the " +
                GetParam().countText +
                " wherein \"teh\" was replaced with \"the end\".\n\nContinue?");
}

INSTANTIATE_TEST_SUITE_P(Counts, UndoPrompt,
                         testing::Values(PromptCase{0, ""}, PromptCase{1, "one file"},
                                         PromptCase{2, "2 files"}, PromptCase{3, "3 files"},
                                         PromptCase{1234, "1,234 files"}));

TEST(UndoReplace, PromptOfAnErasedWordQuotesTheEmptyText) {
  const CUndoReplace entry("teh", "", Backups(1));
  EXPECT_NE(entry.GetUndoPrompt().find("\"teh\" was replaced with \"\"."), std::string::npos);
}

struct RewriteCase {
  std::string path;
  std::string expected;
};

TEST(UndoReplace, RewriteMovesOnlyPathsOfTheOldFolder) {
  const std::string oldFolder = "/run/Pagelint_Backup/Site/";
  const std::string newFolder = "/run/Pagelint_Backup/New Name/";
  const std::vector<RewriteCase> cases = {
      {"/run/Pagelint_Backup/Site/index.htmb1", "/run/Pagelint_Backup/New Name/index.htmb1"},
      {"/run/Pagelint_Backup/Site/news/a.htmb2", "/run/Pagelint_Backup/New Name/news/a.htmb2"},
      // A project whose name only begins like the old one keeps its paths.
      {"/run/Pagelint_Backup/Site 2/index.htmb1", "/run/Pagelint_Backup/Site 2/index.htmb1"},
      {"/elsewhere/Pagelint_Backup/Site/x.htmb1", "/elsewhere/Pagelint_Backup/Site/x.htmb1"},
      {"", ""},
  };
  std::vector<std::string> paths;
  for (const RewriteCase& c : cases) {
    paths.push_back(c.path);
  }
  CUndoReplace entry("teh", "the", paths);
  entry.RewriteBackupPaths(oldFolder, newFolder);
  ASSERT_EQ(entry.GetBackups().size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(entry.GetBackups()[i], cases[i].expected) << cases[i].path;
  }
  entry.RewriteBackupPaths("", "/x/");
  EXPECT_EQ(entry.GetBackups()[0], cases[0].expected) << "an empty old folder rewrites nothing";
}

TEST(UndoList, KeepsTheMostRecentFirstAndOwnsItsEntries) {
  CUndoList list;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHead(), nullptr);
  EXPECT_EQ(list.RemoveHead(), nullptr);

  list.AddHead(std::make_unique<CUndoReplace>("first", "1", Backups(1)));
  list.AddHead(std::make_unique<CUndoReplace>("second", "2", Backups(2)));
  list.AddHead(nullptr);
  EXPECT_EQ(list.GetCount(), 2);
  ASSERT_NE(list.GetHead(), nullptr);
  EXPECT_EQ(list.GetHead()->GetWord(), "second");

  list.RewriteBackupPaths("/run/Pagelint_Backup/Site/", "/run/Pagelint_Backup/Other/");
  const std::unique_ptr<CUndoReplace> second = list.RemoveHead();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetBackups()[1], "/run/Pagelint_Backup/Other/page1.htmb1");
  ASSERT_NE(list.GetHead(), nullptr);
  EXPECT_EQ(list.GetHead()->GetWord(), "first");
  EXPECT_EQ(list.GetHead()->GetBackups()[0], "/run/Pagelint_Backup/Other/page0.htmb1");

  list.AddHead(std::make_unique<CUndoReplace>("third", "3", Backups(0)));
  list.RemoveAll();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetCount(), 0);
}

/// A fake home with the backup root made private, and a site folder.
class UndoReplacement : public testing::Test {
public:
  void SetUp() override {
    ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
    std::string error;
    ASSERT_TRUE(CBackupFolders::PrepareRoot(BackupRoot(), error)) << error;
  }
  void TearDown() override { CAppLogger::Close(); }

  std::string BackupRoot() const { return CBackupFolders::GetBackupRoot("/unused/"); }
  std::string BackupFolder() const {
    return CBackupFolders::GetBackupFolder("My Site", "/unused/");
  }
  std::string Site() const { return m_site.Path() + "/"; }

  /// Puts a site file and its backup in place; returns the backup's path.
  std::string MakeBackup(const std::string& relative, const std::string& backupName,
                         const std::string& siteBytes, const std::string& backupBytes) const {
    Write(Site() + relative, siteBytes);
    const std::string backup = BackupFolder() + backupName;
    Write(backup, backupBytes);
    return backup;
  }
  static void Write(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    testkit::WriteBytes(path, bytes);
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_site;
};

TEST_F(UndoReplacement, MovesEachBackupOverItsFile) {
  const std::vector<std::string> backups = {
      MakeBackup("index.htm", "index.htmb1", "changed", "original"),
      MakeBackup("news/b.htm", "news/b.htmb12", "changed b", "original b"),
      // A file whose folder was removed since comes back with it.
      BackupFolder() + "gone/c.htmb1",
  };
  Write(backups[2], "original c");
  LogCapture log;
  EXPECT_EQ(CUndoReplace::UndoReplacement(Site(), "My Site", backups), 3);
  EXPECT_EQ(testkit::ReadBytes(Site() + "index.htm"), "original");
  EXPECT_EQ(testkit::ReadBytes(Site() + "news/b.htm"), "original b");
  EXPECT_EQ(testkit::ReadBytes(Site() + "gone/c.htm"), "original c");
  for (const std::string& backup : backups) {
    EXPECT_FALSE(fs::exists(backup)) << backup;
  }
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(UndoReplacement, RootWithoutTrailingSlashStillRestoresInsideIt) {
  const std::string backup = MakeBackup("index.htm", "index.htmb1", "changed", "original");
  std::string root = Site();
  root.pop_back();
  EXPECT_EQ(CUndoReplace::UndoReplacement(root, "My Site", {backup}), 1);
  EXPECT_EQ(testkit::ReadBytes(Site() + "index.htm"), "original");
}

TEST_F(UndoReplacement, MissingBackupIsLoggedAndTheOthersRestored) {
  const std::string kept = MakeBackup("a.htm", "a.htmb1", "changed a", "original a");
  const std::string missing = BackupFolder() + "b.htmb1";
  Write(Site() + "b.htm", "changed b");
  LogCapture log;
  EXPECT_EQ(CUndoReplace::UndoReplacement(Site(), "My Site", {"", missing, kept}), 1);
  EXPECT_EQ(testkit::ReadBytes(Site() + "a.htm"), "original a");
  EXPECT_EQ(testkit::ReadBytes(Site() + "b.htm"), "changed b");
  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0], std::string(kBackupMissingId) + " - " + missing);
}

/// A backup that must not be restored: `prepare` sets it up and returns its path.
struct RefusedCase {
  std::string name;
  std::function<std::string(const UndoReplacement&)> prepare;
  std::string reason; ///< a part of the logged error
};

class UndoRefusal : public UndoReplacement, public testing::WithParamInterface<RefusedCase> {};

TEST_P(UndoRefusal, LeavesTheSiteAlone) {
  if (GetParam().reason == "another user" && ::geteuid() != 0) {
    GTEST_SKIP() << "only root can give a file to another account";
  }
  Write(Site() + "index.htm", "current");
  const std::string backup = GetParam().prepare(*this);
  ASSERT_TRUE(fs::exists(fs::symlink_status(backup))) << backup;
  LogCapture log;
  EXPECT_EQ(CUndoReplace::UndoReplacement(Site(), "My Site", {backup}), 0);
  EXPECT_EQ(testkit::ReadBytes(Site() + "index.htm"), "current");
  EXPECT_TRUE(fs::exists(fs::symlink_status(backup))) << "the refused backup stays";
  EXPECT_FALSE(fs::exists(Site() + "../evil.htm")) << "nothing written beside the site";
  EXPECT_EQ(
      std::distance(fs::recursive_directory_iterator(Site()), fs::recursive_directory_iterator()),
      1);
  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0].rfind(std::string(kRestoreFailedId) + " - " + backup + " - ", 0), 0U)
      << lines[0];
  EXPECT_NE(lines[0].find(GetParam().reason), std::string::npos) << lines[0];
}

std::string PlainBackup(const UndoReplacement& t, const std::string& name) {
  const std::string path = t.BackupFolder() + name;
  fs::create_directories(fs::path(path).parent_path());
  testkit::WriteBytes(path, "planted");
  return path;
}

const RefusedCase kRefused[] = {
    {"ClimbsOutOfTheSite",
     [](const UndoReplacement& t) {
       PlainBackup(t, "x");
       testkit::WriteBytes(t.BackupRoot() + "evil.htmb1", "planted");
       return t.BackupFolder() + "../evil.htmb1";
     },
     "outside the site"},
    {"HasADotPart",
     [](const UndoReplacement& t) {
       PlainBackup(t, "index.htmb1");
       return t.BackupFolder() + "./index.htmb1";
     },
     "outside the site"},
    {"IsAbsoluteAfterTheFolder",
     [](const UndoReplacement& t) {
       PlainBackup(t, "index.htmb1");
       return t.BackupFolder() + "/index.htmb1";
     },
     "outside the site"},
    {"NamesOnlyTheFolder",
     [](const UndoReplacement& t) {
       PlainBackup(t, "b1");
       return t.BackupFolder() + "b1";
     },
     "outside the site"},
    {"HasNoBackupNumber", [](const UndoReplacement& t) { return PlainBackup(t, "index.htm"); },
     "not a backup"},
    {"HasLettersAfterTheB", [](const UndoReplacement& t) { return PlainBackup(t, "index.htmbx"); },
     "not a backup"},
    {"BelongsToAnotherProject",
     [](const UndoReplacement&) {
       const std::string path =
           CBackupFolders::GetBackupFolder("Other", "/unused/") + "index.htmb1";
       fs::create_directories(fs::path(path).parent_path());
       testkit::WriteBytes(path, "planted");
       return path;
     },
     "not in the project's backup folder"},
    {"IsASymbolicLink",
     [](const UndoReplacement& t) {
       fs::create_directories(t.BackupFolder());
       testkit::WriteBytes(t.m_home.Root() + "/secret", "secret");
       fs::create_symlink(t.m_home.Root() + "/secret", t.BackupFolder() + "index.htmb1");
       return t.BackupFolder() + "index.htmb1";
     },
     "symbolic link"},
    {"LiesInALinkedFolder",
     [](const UndoReplacement& t) {
       fs::create_directories(t.m_home.Root() + "/planted");
       testkit::WriteBytes(t.m_home.Root() + "/planted/index.htmb1", "planted");
       fs::create_directory_symlink(t.m_home.Root() + "/planted",
                                    t.BackupFolder().substr(0, t.BackupFolder().size() - 1));
       return t.BackupFolder() + "index.htmb1";
     },
     "symbolic link"},
    {"HasALinkedRoot",
     [](const UndoReplacement& t) {
       const std::string root = t.BackupRoot().substr(0, t.BackupRoot().size() - 1);
       fs::remove_all(root);
       fs::create_directories(t.m_home.Root() + "/shared/My Site");
       testkit::WriteBytes(t.m_home.Root() + "/shared/My Site/index.htmb1", "planted");
       fs::create_directory_symlink(t.m_home.Root() + "/shared", root);
       return t.BackupFolder() + "index.htmb1";
     },
     "symbolic link"},
    {"IsAFolder",
     [](const UndoReplacement& t) {
       fs::create_directories(t.BackupFolder() + "index.htmb1");
       return t.BackupFolder() + "index.htmb1";
     },
     "not a regular file"},
    {"IsAnotherUsers",
     [](const UndoReplacement& t) {
       const std::string path = PlainBackup(t, "index.htmb1");
       EXPECT_EQ(::chown(path.c_str(), 1, 1), 0);
       return path;
     },
     "another user"},
    {"LiesInAnotherUsersFolder",
     [](const UndoReplacement& t) {
       const std::string path = PlainBackup(t, "index.htmb1");
       const std::string folder = t.BackupFolder().substr(0, t.BackupFolder().size() - 1);
       EXPECT_EQ(::chown(folder.c_str(), 1, 1), 0);
       return path;
     },
     "another user"},
    {"HasAnotherUsersRoot",
     [](const UndoReplacement& t) {
       const std::string path = PlainBackup(t, "index.htmb1");
       EXPECT_EQ(::chown(t.BackupRoot().c_str(), 1, 1), 0);
       return path;
     },
     "another user"},
};

std::string CaseName(const testing::TestParamInfo<RefusedCase>& refused) {
  return refused.param.name;
}

INSTANTIATE_TEST_SUITE_P(Backups, UndoRefusal, testing::ValuesIn(kRefused), CaseName);

} // namespace
