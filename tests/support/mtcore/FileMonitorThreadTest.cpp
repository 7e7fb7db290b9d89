#include "mtcore/FileMonitorThread.h"

#include "MessageCounter.h"
#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace std::chrono_literals;

namespace {
const UINT kMessage = RegisterWindowMessageA("test-file-monitor-changed");
constexpr std::uint32_t kNoPeriod = CChangeMonitor::NO_PERIOD;
} // namespace

TEST(FileMonitorThread, WrittenInPlaceOrReplacedByRename) {
  ScopedTempDir dir;
  const std::string path = dir.Sub("words.dic");
  testkit::WriteBytes(path, "a\n");
  MessageCounter counter(kMessage);
  CFileMonitorThread monitor(path, kMessage, counter.GetSafeHwnd(), kNoPeriod, 5, false);
  ASSERT_TRUE(monitor.IsValid());
  testkit::WriteBytes(path, "a\nb\n");
  ASSERT_TRUE(counter.WaitFor(1));
  EXPECT_EQ(counter.lastLParam, 5);
  counter.Settle(200ms); // a write may come in more than one batch
  const int afterWrite = counter.count;
  testkit::WriteBytes(dir.Sub("words.dic.tmp"), "c\n");
  std::filesystem::rename(dir.Sub("words.dic.tmp"), path);
  EXPECT_TRUE(counter.WaitFor(afterWrite + 1));
  EXPECT_TRUE(counter.onOwnerThread);
}

TEST(FileMonitorThread, OtherFilesOfTheFolderAreIgnored) {
  ScopedTempDir dir;
  const std::string path = dir.Sub("words.dic");
  testkit::WriteBytes(path, "a\n");
  MessageCounter counter(kMessage);
  CFileMonitorThread monitor(path, kMessage, counter.GetSafeHwnd(), 300, 0, false);
  testkit::WriteBytes(dir.Sub("other.dic"), "x");
  testkit::WriteBytes(dir.Sub("words.dic.bak"), "x");
  std::filesystem::remove(dir.Sub("other.dic"));
  counter.Settle(800ms);
  EXPECT_EQ(counter.count, 0);
  std::filesystem::remove(path);
  EXPECT_TRUE(counter.WaitFor(1));
  counter.Settle(800ms);
  EXPECT_EQ(counter.count, 1);
}

TEST(FileMonitorThread, FileMadeLaterIsSeenButAMissingFolderIsInvalid) {
  ScopedTempDir dir;
  MessageCounter counter(kMessage);
  CFileMonitorThread later(dir.Sub("new.dic"), kMessage, counter.GetSafeHwnd(), kNoPeriod, 0,
                           false);
  ASSERT_TRUE(later.IsValid());
  testkit::WriteBytes(dir.Sub("new.dic"), "x");
  EXPECT_TRUE(counter.WaitFor(1));
  const CFileMonitorThread missing(dir.Sub("none/new.dic"), kMessage, counter.GetSafeHwnd(),
                                   kNoPeriod, 0, false);
  EXPECT_FALSE(missing.IsValid());
  const CFileMonitorThread folder(dir.Path() + "/", kMessage, counter.GetSafeHwnd(), kNoPeriod, 0,
                                  false);
  EXPECT_FALSE(folder.IsValid()) << "a path without a file name";
}

TEST(FileMonitorThread, AttributeChangesCountOnlyWhenAskedFor) {
  ScopedTempDir dir;
  const std::string path = dir.Sub("words.dic");
  testkit::WriteBytes(path, "a\n");
  MessageCounter plain(kMessage);
  MessageCounter attributes(kMessage);
  CFileMonitorThread without(path, kMessage, plain.GetSafeHwnd(), kNoPeriod, 0, false);
  CFileMonitorThread with(path, kMessage, attributes.GetSafeHwnd(), kNoPeriod, 0, true);
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  EXPECT_TRUE(attributes.WaitFor(1));
  plain.Settle(300ms);
  EXPECT_EQ(plain.count, 0);
}
