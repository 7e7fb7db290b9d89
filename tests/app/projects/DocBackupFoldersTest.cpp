#include "replace/BackupFolders.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedFakeHome.h"
#include "utilcore/AppLogger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kClearFailedId = "{058C4C8D-8DC2-49C1-8EEA-189AD42C5262}";

class BackupFolders : public testing::Test {
protected:
  // The log of this test's fake home, not of an earlier one.
  void SetUp() override { ASSERT_TRUE(CAppLogger::SetAppName("Pagelint")); }
  void TearDown() override { CAppLogger::Close(); }

  std::string Root() const { return m_home.RuntimeDir() + "/Pagelint_Backup/"; }

  ScopedFakeHome m_home;
};

TEST_F(BackupFolders, LieInThePrivateTemporaryFolder) {
  EXPECT_EQ(CBackupFolders::GetBackupRoot("/opt/pagelint/"), Root());
  EXPECT_EQ(CBackupFolders::GetBackupFolder("My Site", "/opt/pagelint/"), Root() + "My Site/");
  EXPECT_EQ(CBackupFolders::GetBackupFolder("a/b", "/x/"), Root() + "a_b/");
  // A name that would climb out of the root still names a folder inside it.
  const std::string dots = CBackupFolders::GetBackupFolder("..", "/x/");
  EXPECT_NE(dots, Root() + "../");
  EXPECT_EQ(dots.rfind(Root(), 0), 0U);
}

TEST_F(BackupFolders, PrepareRootCreatesAPrivateFolder) {
  std::string error;
  ASSERT_TRUE(CBackupFolders::PrepareRoot(Root(), error)) << error;
  struct stat st {};
  ASSERT_EQ(::lstat(Root().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700U);
  EXPECT_TRUE(CBackupFolders::PrepareRoot(Root(), error)) << "an existing root is fine";
}

TEST_F(BackupFolders, RootThatIsNoOwnFolderIsRefused) {
  std::string error;
  EXPECT_FALSE(CBackupFolders::IsRootUsable(Root(), error)) << "missing";

  const std::string elsewhere = m_home.Root() + "/elsewhere";
  fs::create_directories(elsewhere);
  fs::create_directory_symlink(elsewhere, Root().substr(0, Root().size() - 1));
  EXPECT_FALSE(CBackupFolders::PrepareRoot(Root(), error));
  EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;

  fs::remove(Root().substr(0, Root().size() - 1));
  testkit::WriteBytes(Root().substr(0, Root().size() - 1), "x");
  EXPECT_FALSE(CBackupFolders::PrepareRoot(Root(), error)) << "a plain file";
}

TEST_F(BackupFolders, RootOfAnotherUserIsRefused) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "only root can give a folder to another account";
  }
  fs::create_directories(Root());
  ASSERT_EQ(::chown(Root().c_str(), 65534, 65534), 0);
  std::string error;
  EXPECT_FALSE(CBackupFolders::PrepareRoot(Root(), error));
  EXPECT_NE(error.find("another user"), std::string::npos) << error;
}

TEST_F(BackupFolders, ClearEmptiesTheRootAndKeepsIt) {
  fs::create_directories(Root() + "My Site/news");
  testkit::WriteBytes(Root() + "My Site/news/index.htmb1", "old");
  testkit::WriteBytes(Root() + "loose", "x");
  LogCapture log;
  EXPECT_TRUE(CBackupFolders::ClearBackupRoot("/x/"));
  EXPECT_TRUE(fs::is_directory(Root()));
  EXPECT_TRUE(fs::is_empty(Root()));
  EXPECT_FALSE(log.Contains(kClearFailedId));
}

TEST_F(BackupFolders, ClearOfAMissingRootSucceedsQuietly) {
  LogCapture log;
  EXPECT_TRUE(CBackupFolders::ClearBackupRoot("/x/"));
  EXPECT_FALSE(fs::exists(Root()));
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(BackupFolders, ClearNeverFollowsALinkedRoot) {
  const std::string elsewhere = m_home.Root() + "/elsewhere";
  fs::create_directories(elsewhere);
  testkit::WriteBytes(elsewhere + "/keep.htm", "keep");
  fs::create_directory_symlink(elsewhere, Root().substr(0, Root().size() - 1));
  LogCapture log;
  EXPECT_FALSE(CBackupFolders::ClearBackupRoot("/x/"));
  EXPECT_TRUE(log.Contains(kClearFailedId));
  EXPECT_EQ(testkit::ReadBytes(elsewhere + "/keep.htm"), "keep");
}

} // namespace
