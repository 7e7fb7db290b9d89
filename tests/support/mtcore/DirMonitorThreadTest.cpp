#include "mtcore/DirMonitorThread.h"

#include "MessageCounter.h"
#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/inotify.h>

using namespace std::chrono_literals;

namespace {
const UINT kMessage = RegisterWindowMessageA("test-dir-monitor-changed");
constexpr std::uint32_t kNames = 3;           // file and folder names
constexpr std::uint32_t kNamesAndWrites = 19; // and last writes
constexpr std::uint32_t kNoPeriod = CChangeMonitor::NO_PERIOD;

struct FilterCase {
  std::uint32_t filter;
  std::uint32_t mask;
  bool expected;
};

void PrintTo(const FilterCase& c, std::ostream* out) {
  *out << "filter " << c.filter << ", mask " << std::hex << c.mask;
}

class DirMonitorFilter : public testing::TestWithParam<FilterCase> {};

TEST_P(DirMonitorFilter, MapsNotifyBitsToInotifyEvents) {
  const FilterCase& c = GetParam();
  EXPECT_EQ(CDirMonitorThread::IsInFilter(c.filter, c.mask), c.expected);
  if (c.expected && (c.mask & IN_Q_OVERFLOW) == 0) {
    EXPECT_NE(CDirMonitorThread::ToInotifyMask(c.filter) & c.mask & ~IN_ISDIR, 0U)
        << "an accepted event must be asked for";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirMonitorFilter,
    testing::Values(FilterCase{1, IN_CREATE, true}, FilterCase{1, IN_CREATE | IN_ISDIR, false},
                    FilterCase{2, IN_CREATE | IN_ISDIR, true}, FilterCase{2, IN_DELETE, false},
                    FilterCase{3, IN_MOVED_FROM, true}, FilterCase{3, IN_MOVED_TO | IN_ISDIR, true},
                    FilterCase{3, IN_CLOSE_WRITE, false}, FilterCase{3, IN_MODIFY, false},
                    FilterCase{16, IN_CLOSE_WRITE, true}, FilterCase{16, IN_MODIFY, true},
                    FilterCase{16, IN_CREATE, false}, FilterCase{19, IN_DELETE, true},
                    FilterCase{19, IN_MODIFY | IN_ISDIR, false}, FilterCase{4, IN_ATTRIB, true},
                    FilterCase{3, IN_ATTRIB, false}, FilterCase{0x40, IN_CREATE, true},
                    FilterCase{0x20, IN_ACCESS, true}, FilterCase{3, IN_ACCESS, false},
                    FilterCase{3, IN_DELETE_SELF, true}, FilterCase{16, IN_MOVE_SELF, false},
                    FilterCase{16, IN_Q_OVERFLOW, true}));
} // namespace

TEST(DirMonitorThread, MissingFolderGivesAnInvalidMonitor) {
  ScopedTempDir dir;
  MessageCounter counter(kMessage);
  CDirMonitorThread monitor(dir.Sub("missing"), true, kNames, kMessage, counter.GetSafeHwnd(),
                            kNoPeriod, 0);
  EXPECT_FALSE(monitor.IsValid());
  monitor.SetPriority(-1);
  EXPECT_TRUE(monitor.Stop(INFINITE));
}

TEST(DirMonitorThread, ABurstWithinThePeriodPostsOneMessageOnTheOwnerThread) {
  ScopedTempDir dir;
  testkit::WriteBytes(dir.Sub("old.html"), "x");
  MessageCounter counter(kMessage);
  CDirMonitorThread monitor(dir.Path(), false, kNamesAndWrites, kMessage, counter.GetSafeHwnd(),
                            1000, 42);
  ASSERT_TRUE(monitor.IsValid());
  monitor.SetPriority(-1);
  testkit::WriteBytes(dir.Sub("new.html"), "x");                   // create
  testkit::WriteBytes(dir.Sub("old.html"), "changed");             // modify
  std::filesystem::rename(dir.Sub("new.html"), dir.Sub("b.html")); // rename
  std::filesystem::remove(dir.Sub("old.html"));                    // delete
  ASSERT_TRUE(counter.WaitFor(1));
  counter.Settle(1500ms);
  EXPECT_EQ(counter.count, 1);
  EXPECT_EQ(counter.lastWParam, 0U);
  EXPECT_EQ(counter.lastLParam, 42);
  EXPECT_TRUE(counter.onOwnerThread);
  EXPECT_TRUE(monitor.Stop(30000));
}

TEST(DirMonitorThread, SubtreeSeesFoldersMadeLaterAndTheirFiles) {
  ScopedTempDir dir;
  MessageCounter counter(kMessage);
  CDirMonitorThread monitor(dir.Path(), true, kNamesAndWrites, kMessage, counter.GetSafeHwnd(),
                            kNoPeriod, 7);
  ASSERT_TRUE(monitor.IsValid());
  std::filesystem::create_directories(dir.Sub("a/b"));
  ASSERT_TRUE(counter.WaitFor(1));
  counter.Settle(200ms); // the folders' own events may come in two batches
  const int before = counter.count;
  testkit::WriteBytes(dir.Sub("a/b/page.html"), "x");
  EXPECT_TRUE(counter.WaitFor(before + 1));
}

TEST(DirMonitorThread, WithoutSubtreeOnlyTheFolderItselfCounts) {
  ScopedTempDir dir;
  std::filesystem::create_directories(dir.Sub("sub"));
  MessageCounter counter(kMessage);
  CDirMonitorThread monitor(dir.Path(), false, kNamesAndWrites, kMessage, counter.GetSafeHwnd(),
                            kNoPeriod, 0);
  testkit::WriteBytes(dir.Sub("sub/page.html"), "x");
  counter.Settle(300ms);
  EXPECT_EQ(counter.count, 0);
  testkit::WriteBytes(dir.Sub("page.html"), "x");
  EXPECT_TRUE(counter.WaitFor(1));
}

TEST(DirMonitorThread, NameFilterIgnoresWritesInPlace) {
  ScopedTempDir dir;
  testkit::WriteBytes(dir.Sub("words.dic"), "a\n");
  MessageCounter counter(kMessage);
  CDirMonitorThread monitor(dir.Path(), false, kNames, kMessage, counter.GetSafeHwnd(), kNoPeriod,
                            0);
  testkit::WriteBytes(dir.Sub("words.dic"), "a\nb\n");
  counter.Settle(300ms);
  EXPECT_EQ(counter.count, 0);
  std::filesystem::rename(dir.Sub("words.dic"), dir.Sub("renamed.dic"));
  EXPECT_TRUE(counter.WaitFor(1));
}

TEST(DirMonitorThread, NoMessageAfterTheWindowIsGoneAndStopIsPrompt) {
  ScopedTempDir dir;
  auto counter = std::make_unique<MessageCounter>(kMessage);
  CDirMonitorThread monitor(dir.Path(), true, kNamesAndWrites, kMessage, counter->GetSafeHwnd(),
                            kNoPeriod, 0);
  counter.reset();
  testkit::WriteBytes(dir.Sub("page.html"), "x"); // posted to a window that is gone
  EXPECT_TRUE(monitor.Stop(INFINITE));
  EXPECT_TRUE(monitor.Stop(0)) << "a second stop is harmless";
}
