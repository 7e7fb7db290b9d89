#include "diskfiles/FileCollector.h"

#include "SiteTree.h"
#include "diskfiles/DiskFileListAccess.h"
#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"
#include "mtcore/ReaderAccess.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
using Paths = std::vector<std::string>;

/// An entry type of the test's own, to see that the collector adds through the factory.
class PageFile : public CDiskFile {
public:
  using CDiskFile::CDiskFile;
};

class PageList : public CDiskFileList {
protected:
  std::unique_ptr<CDiskFile> CreateDiskFile(std::string_view fullPath) override {
    return std::make_unique<PageFile>(fullPath);
  }
};

/// Receives the collector's messages on the test's thread.
class Window : public CFunctionTarget {
public:
  Window()
      : CFunctionTarget([this](UINT message, WPARAM, LPARAM lParam) {
          onOwnerThread = onOwnerThread && std::this_thread::get_id() == m_owner;
          if (message == CFileCollector::MSG_FC_BEGIN) {
            ++begun;
          } else if (message == CFileCollector::MSG_FC_DONE) {
            ++done;
          }
          lastLParam = lParam;
        }) {}

  bool WaitForDone(int n) {
    return CMessageLoop::PumpUntil([&] { return done >= n; }, 30s);
  }

  int begun = 0;
  int done = 0;
  LPARAM lastLParam = 0;
  bool onOwnerThread = true;

private:
  std::thread::id m_owner = std::this_thread::get_id();
};

/// A site, its list, a window and a collector of ".html" files on them.
class FileCollectorTest : public testing::Test {
protected:
  void MakeCollector(bool startNow = false) {
    m_collector =
        std::make_unique<CFileCollector>(m_site.Root(), true, Paths{"html", "HTM"}, Paths{},
                                         &m_list, m_window.GetSafeHwnd(), 77, startNow);
    ASSERT_TRUE(m_collector->IsValid());
    m_collector->SetPriority(-1);
  }

  /// Runs one pass and returns its changes, relative to the root.
  CFileChanges Pass() {
    const int before = m_window.done;
    m_collector->Refresh();
    EXPECT_TRUE(m_window.WaitForDone(before + 1));
    return Relative(m_collector->TakeChanges());
  }

  CFileChanges Relative(CFileChanges changes) const {
    for (auto* paths : {&changes.added, &changes.modified, &changes.removed}) {
      for (auto& path : *paths) {
        path = path.substr(m_site.Root().size());
      }
    }
    return changes;
  }

  Paths ListedFiles() {
    Paths paths;
    const CDiskFileListAccess access(m_list);
    for (auto position = m_list.GetHeadPosition(); position != 0;) {
      paths.push_back(m_list.GetNext(position)->GetFullPath().substr(m_site.Root().size()));
    }
    return paths;
  }

  SiteTree m_site;
  PageList m_list;
  Window m_window;
  std::unique_ptr<CFileCollector> m_collector;
};
} // namespace

TEST_F(FileCollectorTest, ThreeListsAcrossPasses) {
  m_site.Write("index.html", "one");
  m_site.Write("docs/a.html", "aaa");
  m_site.Write("docs/b.HTM", "bbb");
  m_site.Write("docs/skip.txt");
  m_site.SetModified("docs/b.HTM", 1500000000);
  MakeCollector();

  CFileChanges first = Pass();
  EXPECT_EQ(first.added, (Paths{"docs/a.html", "docs/b.HTM", "index.html"}));
  EXPECT_TRUE(first.modified.empty());
  EXPECT_TRUE(first.removed.empty());
  EXPECT_EQ(ListedFiles(), (Paths{"docs/a.html", "docs/b.HTM", "index.html"}));
  {
    const CDiskFileListAccess access(m_list);
    EXPECT_NE(dynamic_cast<PageFile*>(m_list.Find(m_site.Full("index.html"), false)), nullptr);
  }

  CFileChanges unchanged = Pass();
  EXPECT_TRUE(unchanged.IsEmpty());

  m_site.Write("docs/a.html", "longer");        // by size
  m_site.SetModified("docs/b.HTM", 1600000000); // by time alone
  m_site.Write("new.html");                     // added
  CFileChanges second = Pass();
  EXPECT_EQ(second.added, (Paths{"new.html"}));
  EXPECT_EQ(second.modified, (Paths{"docs/a.html", "docs/b.HTM"}));
  EXPECT_TRUE(second.removed.empty());

  m_site.Remove("index.html");
  m_site.Rename("new.html", "renamed.html"); // a rename is a removal and an addition
  CFileChanges third = Pass();
  EXPECT_EQ(third.added, (Paths{"renamed.html"}));
  EXPECT_TRUE(third.modified.empty());
  EXPECT_EQ(third.removed, (Paths{"index.html", "new.html"}));
  EXPECT_EQ(ListedFiles(), (Paths{"docs/a.html", "docs/b.HTM", "renamed.html"}));
  EXPECT_EQ(m_window.begun, m_window.done);
  EXPECT_EQ(m_window.lastLParam, 77);
  EXPECT_TRUE(m_window.onOwnerThread);
}

TEST_F(FileCollectorTest, AnEmptiedListIsFilledAgainAndUntakenPassesAreMerged) {
  m_site.Write("a.html");
  MakeCollector(true);
  ASSERT_TRUE(m_window.WaitForDone(1));
  m_list.RemoveAll(); // as a restart of the project does
  m_site.Write("b.html");
  const int before = m_window.done;
  m_collector->Refresh();
  ASSERT_TRUE(m_window.WaitForDone(before + 1));
  m_site.Remove("b.html");
  CFileChanges merged = Pass(); // the changes of the last two passes together
  EXPECT_EQ(merged.added, (Paths{"a.html"}));
  EXPECT_EQ(merged.removed, (Paths{"b.html"}));
  EXPECT_EQ(ListedFiles(), (Paths{"a.html"}));
}

TEST_F(FileCollectorTest, SetDirAppliesToTheNextPassAndAMissingRootEmptiesTheList) {
  m_site.Write("one/a.html");
  m_site.Write("two/b.html");
  MakeCollector();
  m_collector->SetDir(m_site.Full("one"));
  EXPECT_EQ(Pass().added, (Paths{"one/a.html"}));
  m_collector->SetDir(m_site.Full("two/"));
  CFileChanges moved = Pass();
  EXPECT_EQ(moved.added, (Paths{"two/b.html"}));
  EXPECT_EQ(moved.removed, (Paths{"one/a.html"}));
  m_site.Remove("two");
  EXPECT_EQ(Pass().removed, (Paths{"two/b.html"}));
  EXPECT_TRUE(ListedFiles().empty());
}

TEST_F(FileCollectorTest, LinkLoopsEndThePass) {
  m_site.Write("a/page.html");
  m_site.Link("..", "a/up");
  m_site.Link("loop2", "loop1");
  m_site.Link("loop1", "loop2");
  MakeCollector();
  EXPECT_EQ(Pass().added, (Paths{"a/page.html"}));
}

TEST_F(FileCollectorTest, RefreshesDuringAPassGiveOneMorePass) {
  m_site.Write("a.html");
  MakeCollector();
  {
    // Holding reader access keeps the pass from updating the list: it is under way.
    CReaderAccess reading(m_list.GetLock());
    m_collector->Refresh();
    ASSERT_TRUE(CMessageLoop::PumpUntil([&] { return m_window.begun == 1; }, 30s));
    ASSERT_TRUE(CMessageLoop::PumpUntil([&] { return m_list.GetLock().HasWriter(); }, 30s));
    m_collector->Refresh();
    m_collector->Refresh();
    EXPECT_EQ(m_window.done, 0);
  }
  ASSERT_TRUE(m_window.WaitForDone(2));
  CMessageLoop::PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(m_window.begun, 2);
  EXPECT_EQ(m_window.done, 2);
  EXPECT_EQ(m_collector->TakeChanges().added.size(), 1u);
}

TEST_F(FileCollectorTest, StopEndsAPassUnderWayAndLeavesTheListWhole) {
  for (int folder = 0; folder < 200; ++folder) {
    m_site.Write("d" + std::to_string(folder) + "/page.html");
  }
  MakeCollector();
  m_collector->Refresh();
  EXPECT_TRUE(m_collector->Stop(INFINITE));
  CMessageLoop::PumpPending();
  // Either the pass ended before the stop was seen, or it left the list alone.
  const std::size_t listed = ListedFiles().size();
  EXPECT_TRUE((m_window.done == 1 && listed == 200) || (m_window.done == 0 && listed == 0))
      << m_window.done << " passes, " << listed << " files";
  m_collector->Refresh(); // no thread any more: nothing happens
  m_collector.reset();
}

TEST_F(FileCollectorTest, FolderThatFailsForAPassingReasonKeepsItsFiles) {
  m_site.Write("index.html");
  m_site.Write("sub/a.html");
  MakeCollector();
  ASSERT_EQ(Pass().added.size(), 2u);
  // With no descriptor to spare beyond the root's, "sub" cannot be opened (EMFILE),
  // which passes; its files must not be reported removed.
  const int lowestFree = dup(0);
  close(lowestFree);
  rlimit saved{};
  getrlimit(RLIMIT_NOFILE, &saved);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(lowestFree) + 1;
  setrlimit(RLIMIT_NOFILE, &tight);
  const int before = m_window.done;
  m_collector->Refresh();
  const bool ended = m_window.WaitForDone(before + 1);
  setrlimit(RLIMIT_NOFILE, &saved);
  ASSERT_TRUE(ended);
  const CFileChanges changes = m_collector->TakeChanges();
  EXPECT_TRUE(changes.removed.empty());
  EXPECT_EQ(ListedFiles(), (Paths{"index.html", "sub/a.html"}));
}

TEST(FileCollector, WithoutAListThereIsNoThread) {
  Window window;
  CFileCollector collector("/", true, {"html"}, {}, nullptr, window.GetSafeHwnd(), 0, true);
  EXPECT_FALSE(collector.IsValid());
  collector.Refresh();
  collector.SetPriority(-2);
  EXPECT_TRUE(collector.Stop(0));
  EXPECT_TRUE(collector.TakeChanges().IsEmpty());
  EXPECT_NE(CFileCollector::MSG_FC_BEGIN, 0U);
  EXPECT_NE(CFileCollector::MSG_FC_BEGIN, CFileCollector::MSG_FC_DONE);
}

TEST_F(FileCollectorTest, SkippedPlacesOfTheLastPassAndLinkedFilesListedOnceAndStably) {
  const ScopedTempDir outside;
  testkit::WriteBytes(outside.Sub("secret.html"), "secret");
  m_site.Write("a/page.html");
  m_site.Link("a", "b");
  m_site.Link("a/page.html", "alias.html");
  m_site.Link(outside.Sub("secret.html"), "env.html");
  MakeCollector();
  EXPECT_TRUE(m_collector->GetSkipped().empty()) << "no pass has ended yet";
  EXPECT_EQ(Pass().added, (Paths{"a/page.html"}));
  const auto skipped = m_collector->GetSkipped();
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_EQ(skipped[0].path, m_site.Full("env.html"));
  EXPECT_EQ(skipped[0].reason, CDirScan::SkipReason::OutsideRoot);
  EXPECT_TRUE(Pass().IsEmpty()) << "a second pass picks the same paths";
  m_site.Remove("env.html");
  Pass();
  EXPECT_TRUE(m_collector->GetSkipped().empty());
}
