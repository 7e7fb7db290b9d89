#include "ProjectFixture.h"

#include "diskfiles/FileCollector.h"
#include "projects/ProjectMsgWnd.h"

#include "testkit/LogCapture.h"

#include <algorithm>
#include <filesystem>
#include <thread>

namespace projectstest {
namespace {

constexpr const char* kPage = "<html><body>\n"                                               // 0
                              "teh cat teh\n"                                                // 1
                              "ask qzxmail@example.com or http://qzxweb.example.org/ qwzx\n" // 2
                              "x &lt;zqxb&gt;y\n"                                            // 3
                              "<!-- qzxcomment\n"                                            // 4
                              "still qzxcomment -->\n"                                       // 5
                              "<script>var\n"                                                // 6
                              "qzxscript = 1;</script> <p>wrdz</p>\n"                        // 7
                              "<style>\n"                                                    // 8
                              "p { qzxstyle: 1 }</style>\n"                                  // 9
                              "</body></html>\n";

// The lines of a page a run takes long enough over for a test to act during the run;
// fewer under ThreadSanitizer, where two runs over 40,000 lines could outlast the wait
// on a busy machine.
#if defined(__SANITIZE_THREAD__)
constexpr std::size_t kBigPageLines = 10000;
#else
constexpr std::size_t kBigPageLines = 40000;
#endif

class WebProjectRunTest : public ProjectTest {
protected:
  /// big.html, kBigPageLines lines that each hold "teh" once.
  void WriteBigPage() {
    std::string big;
    for (std::size_t i = 0; i < kBigPageLines; ++i) {
      big += "<p>teh qwzx word</p>\n";
    }
    WriteSiteFile("big.html", big);
  }
};

// The road of one project: start delay, collection, one run, and every finding at its
// line and byte position in the file as read.
TEST_F(WebProjectRunTest, FindsWordsAtTheirLinesAndPositions) {
  WriteSiteFile("index.html", kPage);
  WriteSiteFile("sub/page.htm", "<p>\xC3\xA9t\xC3\xA9 teh</p>\n");
  WriteSiteFile("notes.txt", "teh\n");
  CWebProject& project = MakeProject();
  EXPECT_EQ(project.GetCheckState(), ECheckState::NotStarted);

  StartAndCheck(project);

  EXPECT_TRUE(project.IsCheckedOnce());
  EXPECT_EQ(FindingsOf(project, "teh"),
            (std::vector<Finding>{
                {"index.html", 1, 0, 3}, {"index.html", 1, 8, 11}, {"page.htm", 0, 9, 12}}));
  const std::string addressLine = "ask qzxmail@example.com or http://qzxweb.example.org/ qwzx";
  const int qwzx = static_cast<int>(addressLine.find("qwzx"));
  EXPECT_EQ(FindingsOf(project, "qwzx"), (std::vector<Finding>{{"index.html", 2, qwzx, qwzx + 4}}));
  const int wrdz =
      static_cast<int>(std::string("qzxscript = 1;</script> <p>wrdz</p>").find("wrdz"));
  EXPECT_EQ(FindingsOf(project, "wrdz"), (std::vector<Finding>{{"index.html", 7, wrdz, wrdz + 4}}));
  for (const char* hidden : {"qzxmail", "qzxweb", "zqxb", "qzxcomment", "qzxscript", "qzxstyle"}) {
    EXPECT_TRUE(FindingsOf(project, hidden).empty()) << hidden;
  }
  // Of the excerpts only those the window shows are kept: each word's first in a page.
  const CBadWord* teh = project.GetBadWordsList().FindWord("teh");
  ASSERT_NE(teh, nullptr);
  std::vector<std::string> excerpts;
  for (const CBadWordLoc& location : teh->GetLocations()) {
    excerpts.emplace_back(location.GetContext());
  }
  EXPECT_EQ(excerpts, (std::vector<std::string>{"teh cat teh", "", "\xC3\xA9t\xC3\xA9 teh"}));
  EXPECT_EQ(teh->GetContextInFile(project.GetRootDirectory() + "index.html"), "teh cat teh");

  const LPARAM self = reinterpret_cast<LPARAM>(&project);
  PumpUntil([&] { return m_view.Count(CProjectCheckWorker::MSG_PROJECT_CHECK_DONE) == 1; });
  EXPECT_GE(m_view.Count(CWebProject::MSG_PROJECT_COLLECT_BEGIN, &project), 1);
  EXPECT_EQ(m_view.Count(CWebProject::MSG_PROJECT_COLLECT_DONE, &project), 1);
  EXPECT_EQ(m_view.Count(CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN, &project), 1);
  EXPECT_EQ(m_view.Count(CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED, &project), 2);
  const SMessage done = m_view.Last(CProjectCheckWorker::MSG_PROJECT_CHECK_DONE);
  EXPECT_EQ(done.wParam, CProjectCheckWorker::MakeProgressParam(2, 2));
  EXPECT_EQ(done.lParam, self);
}

// After a finished run a changed file only marks the project out of date; the user's
// "check again" then finds the new word and keeps the findings of the other files.
TEST_F(WebProjectRunTest, EditAfterARunWaitsForCheckAgain) {
  WriteSiteFile("a.html", "<p>teh</p>\n");
  WriteSiteFile("b.html", "<p>qwzx</p>\n");
  CWebProject& project = MakeProject();
  StartAndCheck(project);
  const int collected = m_view.Count(CWebProject::MSG_PROJECT_COLLECT_DONE);
  const int runs = m_view.Count(CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN);

  std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a new modification time
  WriteSiteFile("a.html", "<p>teh zzqy</p>\n");
  ASSERT_TRUE(WaitForState(project, ECheckState::OutOfDate));
  CMessageLoop::PumpPending(); // what the handler that set the state posted
  EXPECT_GT(m_view.Count(CWebProject::MSG_PROJECT_COLLECT_DONE), collected);
  EXPECT_EQ(m_view.Count(CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN), runs);
  EXPECT_TRUE(FindingsOf(project, "zzqy").empty());

  project.StartCheckWorker();
  ASSERT_TRUE(WaitForState(project, ECheckState::Checked));
  EXPECT_EQ(FindingsOf(project, "zzqy"), (std::vector<Finding>{{"a.html", 0, 7, 11}}));
  EXPECT_EQ(FindingsOf(project, "qwzx"), (std::vector<Finding>{{"b.html", 0, 3, 7}}));
}

// A project that does not watch its folders (a check run once, as pagelint-check's)
// leaves a page edited after its run unnoticed, where a watching one goes out of date.
// Both are edited at once: by the time the watching one has noticed, so would the other.
TEST_F(WebProjectRunTest, OnlyAWatchingProjectNoticesAnEditAfterItsRun) {
  struct SSite {
    CWebProject::EChangeWatch watch;
    ECheckState after;
  };
  const SSite sites[] = {{CWebProject::EChangeWatch::kWatched, ECheckState::OutOfDate},
                         {CWebProject::EChangeWatch::kUnwatched, ECheckState::Checked}};
  std::vector<std::unique_ptr<ScopedTempDir>> folders;
  std::vector<CWebProject*> projects;
  for (const SSite& site : sites) {
    folders.push_back(std::make_unique<ScopedTempDir>());
    const std::string root = folders.back()->Path() + "/";
    testkit::WriteBytes(root + "a.html", "<p>teh</p>\n");
    CWebProject& project = MakeProject("Site " + std::to_string(projects.size()), root);
    project.SetChangeWatch(site.watch);
    StartAndCheck(project);
    projects.push_back(&project);
  }

  std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a new modification time
  for (const auto& folder : folders) {
    testkit::WriteBytes(folder->Path() + "/a.html", "<p>teh zzqy</p>\n");
  }
  ASSERT_TRUE(WaitForState(*projects[0], ECheckState::OutOfDate));
  // What the other project's monitor would have posted meanwhile has arrived by now.
  CMessageLoop::PumpUntil([] { return false; }, std::chrono::milliseconds(500));
  for (std::size_t i = 0; i < projects.size(); ++i) {
    EXPECT_EQ(projects[i]->GetCheckState(), sites[i].after) << "project " << i;
  }
  EXPECT_TRUE(FindingsOf(*projects[1], "zzqy").empty());
}

// A dictionary that changes while a run goes on: the pages checked before the change
// followed the old one, so the run ends out of date and "check again" is offered. A
// change after a run makes the project out of date at once; a new run starts afresh.
TEST_F(WebProjectRunTest, DictionaryChangeDuringARunEndsItOutOfDate) {
  WriteBigPage();
  CWebProject& project = MakeProject();
  std::string error;
  ASSERT_TRUE(project.StartProject(error)) << error;
  ASSERT_TRUE(
      PumpUntil([&] { return m_view.Count(CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN) == 1; }));

  project.MarkDictionaryChanged();
  ASSERT_TRUE(WaitForState(project, ECheckState::OutOfDate));
  EXPECT_TRUE(project.IsIdle());

  project.StartCheckWorker();
  ASSERT_TRUE(WaitForState(project, ECheckState::Checked));
  EXPECT_EQ(FindingsOf(project, "teh").size(), kBigPageLines);

  project.MarkDictionaryChanged();
  EXPECT_EQ(project.GetCheckState(), ECheckState::OutOfDate);
}

// Pages found changed after a run wait for "check again", and a later pass that finds
// nothing new leaves them waiting.
TEST_F(WebProjectRunTest, APassThatFindsNothingNewKeepsTheProjectOutOfDate) {
  WriteSiteFile("a.html", "<p>teh</p>\n");
  CWebProject& project = MakeProject();
  StartAndCheck(project);
  std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a new modification time
  WriteSiteFile("a.html", "<p>teh zzqy</p>\n");
  ASSERT_TRUE(WaitForState(project, ECheckState::OutOfDate));

  const UINT collected = CWebProject::MSG_PROJECT_COLLECT_DONE;
  const int passes = m_view.Count(collected);
  project.OnDirChanged(reinterpret_cast<LPARAM>(&project));
  ASSERT_TRUE(PumpUntil([&] { return m_view.Count(collected) > passes; }));
  EXPECT_EQ(project.GetCheckState(), ECheckState::OutOfDate);

  project.StartCheckWorker();
  ASSERT_TRUE(WaitForState(project, ECheckState::Checked));
  EXPECT_EQ(FindingsOf(project, "zzqy"), (std::vector<Finding>{{"a.html", 0, 7, 11}}));
}

// A place the collection leaves out is logged once, not again at every later pass.
TEST_F(WebProjectRunTest, APlaceLeftOutIsLoggedOnce) {
  WriteSiteFile("a.html", "<p>teh</p>\n");
  std::filesystem::create_symlink("/etc/passwd", Root() + "pw.html");
  const LogCapture log;
  CWebProject& project = MakeProject();
  StartAndCheck(project);
  std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a new modification time
  WriteSiteFile("a.html", "<p>teh zzqy</p>\n");
  ASSERT_TRUE(WaitForState(project, ECheckState::OutOfDate));
  const std::vector<std::string> lines = log.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "{2D5A8E93-41C7-4B0F-A6E2-97F1C3B5D840} - " + Root() +
                           "pw.html - link leads outside the root: /etc/passwd"),
            1);
  const std::vector<SSkippedPage> skipped = project.GetSkippedPages();
  ASSERT_EQ(skipped.size(), 1U);
  EXPECT_FALSE(skipped[0].gap);
}

// Deleted files take their findings along; when none is left the list is emptied.
TEST_F(WebProjectRunTest, DeletedFilesRemoveTheirWords) {
  WriteSiteFile("a.html", "<p>teh qwzx</p>\n");
  WriteSiteFile("b.html", "<p>teh</p>\n");
  CWebProject& project = MakeProject();
  StartAndCheck(project);
  ASSERT_EQ(project.GetBadWordsList().GetWordCount(), 2);

  std::filesystem::remove(Root() + "a.html");
  ASSERT_TRUE(PumpUntil([&] { return m_view.Count(CWebProject::MSG_PROJECT_WORDS_REMOVED) == 1; }));
  EXPECT_TRUE(FindingsOf(project, "qwzx").empty());
  EXPECT_EQ(FindingsOf(project, "teh"), (std::vector<Finding>{{"b.html", 0, 3, 6}}));
  EXPECT_EQ(project.GetCheckState(), ECheckState::Collected); // nothing added or modified: no run

  std::filesystem::remove(Root() + "b.html");
  ASSERT_TRUE(PumpUntil([&] { return m_view.Count(CWebProject::MSG_PROJECT_WORDS_REMOVED) == 2; }));
  EXPECT_EQ(project.GetBadWordsList().GetWordCount(), 0);
}

// A run stopped in the middle of its file posts no end for it; the run that replaces
// it checks the file again from the start, so no finding is lost or doubled.
TEST_F(WebProjectRunTest, StoppedRunIsReplacedWithoutDoubleFindings) {
  WriteBigPage();
  CWebProject& project = MakeProject();
  std::string error;
  ASSERT_TRUE(project.StartProject(error));
  const UINT begin = CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN;
  const UINT checked = CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED;
  const UINT done = CProjectCheckWorker::MSG_PROJECT_CHECK_DONE;
  ASSERT_TRUE(PumpUntil([&] { return m_view.Count(begin) == 1; }));

  project.StartCheckWorker();
  ASSERT_TRUE(WaitForState(project, ECheckState::Checked));
  CMessageLoop::PumpPending();
  EXPECT_EQ(m_view.Count(begin), 2);
  EXPECT_GE(m_view.Count(checked), 1);
  EXPECT_GE(m_view.Count(done), 1);
  EXPECT_EQ(FindingsOf(project, "teh").size(), kBigPageLines);

  // A stop for good: whatever ended, no end message follows the stop.
  project.StartCheckWorker();
  ASSERT_TRUE(PumpUntil([&] { return m_view.Count(begin) == 3; }));
  project.StopProject();
  const int doneAtStop = m_view.Count(done);
  CMessageLoop::PumpPending();
  EXPECT_EQ(m_view.Count(done), doneAtStop);
  EXPECT_EQ(project.GetWorker(), nullptr);
}

// Several projects check at once, each with its own lists and messages.
TEST_F(WebProjectRunTest, SeveralProjectsCheckAtOnce) {
  constexpr int kProjects = 3;
  std::vector<std::unique_ptr<ScopedTempDir>> sites;
  std::vector<CWebProject*> projects;
  for (int i = 0; i < kProjects; ++i) {
    sites.push_back(std::make_unique<ScopedTempDir>());
    const std::string root = sites.back()->Path() + "/";
    for (int f = 0; f < 20; ++f) {
      testkit::WriteBytes(root + "p" + std::to_string(f) + ".html",
                          "<p>teh qwzx" + std::to_string(i) + "x</p>\n");
    }
    projects.push_back(&MakeProject("Site " + std::to_string(i), root));
  }
  for (CWebProject* project : projects) {
    std::string error;
    ASSERT_TRUE(project->StartProject(error)) << error;
  }
  // The state turns 4 on the worker threads, possibly before this thread has handled
  // their last messages; the done message comes after every file's.
  ASSERT_TRUE(PumpUntil([&] {
    return std::all_of(projects.begin(), projects.end(), [this](const CWebProject* p) {
      return p->GetCheckState() == ECheckState::Checked &&
             m_view.Count(CProjectCheckWorker::MSG_PROJECT_CHECK_DONE, p) == 1;
    });
  }));
  for (int i = 0; i < kProjects; ++i) {
    EXPECT_EQ(FindingsOf(*projects[i], "teh").size(), 20U);
    EXPECT_EQ(FindingsOf(*projects[i], "qwzx" + std::to_string(i) + "x").size(), 20U);
    EXPECT_EQ(projects[i]->GetBadWordsList().GetWordCount(), 2);
    EXPECT_EQ(m_view.Count(CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED, projects[i]), 20);
  }
  for (CWebProject* project : projects) {
    project->StopProject();
  }
}

// Each filter type keeps its files out of the run.
TEST_F(WebProjectRunTest, FiltersKeepFilesOutOfTheRun) {
  WriteSiteFile("index.htm", "<p>qwzxroot</p>\n");
  WriteSiteFile("sub/index.htm", "<p>qwzxsub</p>\n");
  WriteSiteFile("drafts/a.html", "<p>qwzxdraft</p>\n");
  WriteSiteFile("old.php", "<p>qwzxphp</p>\n");
  WriteSiteFile("keep.html", "<p>qwzxkeep</p>\n");
  CWebProject& project = MakeProject();
  project.AddFilter({CProjectFilter::FILE, "INDEX.HTM"});
  project.AddFilter({CProjectFilter::SUB_DIRECTORY, "drafts"});
  project.AddFilter({CProjectFilter::CUSTOM, "*.php"});
  StartAndCheck(project);
  EXPECT_TRUE(FindingsOf(project, "qwzxroot").empty());
  EXPECT_TRUE(FindingsOf(project, "qwzxdraft").empty());
  EXPECT_TRUE(FindingsOf(project, "qwzxphp").empty());
  EXPECT_EQ(FindingsOf(project, "qwzxsub").size(), 1U);
  EXPECT_EQ(FindingsOf(project, "qwzxkeep").size(), 1U);
}

// A change message naming another project refreshes nothing; one naming this project
// starts a collection pass.
TEST_F(WebProjectRunTest, DirChangeOfAnotherProjectRefreshesNothing) {
  WriteSiteFile("a.html", "<p>teh</p>\n");
  CWebProject& project = MakeProject();
  CWebProject& other = MakeProject("Other");
  StartAndCheck(project);
  const int begun = m_view.Count(CWebProject::MSG_PROJECT_COLLECT_BEGIN);

  PostMessage(project.GetMsgWindowHandle(), CWebProject::MSG_PROJECT_DIR_CHANGED, 0,
              reinterpret_cast<LPARAM>(&other));
  CMessageLoop::PumpUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(m_view.Count(CWebProject::MSG_PROJECT_COLLECT_BEGIN), begun);

  PostMessage(project.GetMsgWindowHandle(), CWebProject::MSG_PROJECT_DIR_CHANGED, 0,
              reinterpret_cast<LPARAM>(&project));
  EXPECT_TRUE(
      PumpUntil([&] { return m_view.Count(CWebProject::MSG_PROJECT_COLLECT_BEGIN) > begun; }));
}

// After StopProject a collector message still queued does nothing.
TEST_F(WebProjectRunTest, CollectorMessageAfterStopDoesNothing) {
  WriteSiteFile("a.html", "<p>teh</p>\n");
  CWebProject& project = MakeProject();
  StartAndCheck(project);
  const HWND window = project.GetMsgWindowHandle();
  const int collected = m_view.Count(CWebProject::MSG_PROJECT_COLLECT_DONE);
  ASSERT_TRUE(PostMessage(window, CFileCollector::MSG_FC_DONE, 0, 0));

  project.StopProject();
  CMessageLoop::PumpPending();
  EXPECT_EQ(project.GetCheckState(), ECheckState::Checked);
  EXPECT_EQ(m_view.Count(CWebProject::MSG_PROJECT_COLLECT_DONE), collected);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(project.GetMsgWindowHandle(), HWND{0});
  EXPECT_EQ(project.GetBadWordsList().GetWordCount(), 0);
  EXPECT_EQ(project.GetWorker(), nullptr);
}

} // namespace
} // namespace projectstest
