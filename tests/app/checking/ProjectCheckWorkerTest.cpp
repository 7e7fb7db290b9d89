#include "CheckWorkerFixture.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using checktest::CheckWorkerTest;
using checktest::Finding;
using checktest::kProject;

namespace {

struct PageCase {
  const char* name;
  std::string html;
  std::vector<Finding> findings; // fileName is always "page.htm"
};

std::vector<PageCase> PageCases() {
  return {
      {"repeats", "teh cat teh", {{"teh", "", 0, 0, 3}, {"teh", "", 0, 8, 11}}},
      {"addresses",
       "<p>Write teh@exemple.fr or http://tehsite.org/teh?q=teh then teh</p>",
       {{"teh", "", 0, 61, 64}}},
      {"mailto with the same address", "x@teh.fr (mailto:x@teh.fr) teh", {{"teh", "", 0, 27, 30}}},
      {"decoded tag", "x &lt;qzbq&gt;y", {}},
      {"comment over lines", "<!-- teh\nqzbq -->\nteh", {{"teh", "", 2, 0, 3}}},
      {"script over lines", "<script>\nvar tehh = 1;\n</script> tehh", {{"tehh", "", 2, 10, 14}}},
      {"style over lines", "<style type='text/css'>\np { qzbq: 1 }\n</style>", {}},
      {"tag attributes", "<img alt=\"teh\" src=\"qzbq.png\">ok", {}},
      {"known and unknown reference words",
       "don&rsquo;t na&iuml;ve",
       {{"na\u00efve", "", 0, 12, 22}}},
      {"reference word spans the written form",
       "dnn&rsquo;t teh",
       {{"dnn\u2019t", "", 0, 0, 11}, {"teh", "", 0, 12, 15}}},
      {"numeric reference", "dnn&#8217;t", {{"dnn\u2019t", "", 0, 0, 11}}},
      {"letter reference",
       "qzf&eacute;q teh",
       {{"qzf\u00e9q", "", 0, 0, 12}, {"teh", "", 0, 13, 16}}},
      {"preprocessing rejects", "{SITE_NAME} 1024x768 \u00ae\u2122", {}},
      {"punctuation trimmed",
       "(teh), \u201cteh\u201d",
       {{"teh", "", 0, 1, 4}, {"teh", "", 0, 10, 13}}},
      {"words order by first finding",
       "zzq teh.\nteh zzq",
       {{"zzq", "", 0, 0, 3}, {"zzq", "", 1, 4, 7}, {"teh", "", 0, 4, 7}, {"teh", "", 1, 0, 3}}},
      {"empty file", "", {}},
  };
}

} // namespace

TEST_F(CheckWorkerTest, FindsTheVisibleUnknownWordsAtTheirWrittenPositions) {
  for (const PageCase& c : PageCases()) {
    CHTMLFile* file = CheckPageAfresh(c.html);
    std::vector<Finding> expected = c.findings;
    for (Finding& finding : expected) {
      finding.fileName = "page.htm";
    }
    EXPECT_EQ(Findings(), expected) << c.name;
    EXPECT_FALSE(file->IsCheckPending()) << c.name;
  }
}

// Columns count the characters of the line as read, including those inside markup
// that the scan blanks out.
TEST_F(CheckWorkerTest, ColumnsCountTheCharactersOfTheLineAsRead) {
  const struct {
    const char* name;
    std::string bytes;
    int line;
    int start;
    int column;
    int endColumn;
  } cases[] = {
      {"ascii", "<p>one teh</p>", 0, 7, 7, 10},
      {"accent before", "\u00E9t\u00E9 teh", 0, 6, 4, 7},
      {"accents in a tag", "<p title=\"\u00E9\u00E9\u00E9\">teh</p>", 0, 18, 15, 18},
      {"accent in a comment over lines", "<!-- \u00E9\n\u00E9 -->teh", 1, 6, 5, 8},
      {"long ascii then accent", "abcdefghijklmnopqrstuvwxyz \u00E9 teh", 0, 30, 29, 32},
      {"emoji", "\U0001F600 teh", 0, 5, 2, 5},
      {"accented word", "qzf&eacute;q \u00E9 qz\u00E9q", 0, 16, 15, 19},
      {"windows-1252 file", "caf\xE9 teh", 0, 6, 5, 8},
      {"utf-16 file", std::string("\xFF\xFE\xE9\0 \0t\0e\0h\0", 12), 0, 3, 2, 5},
  };
  for (const auto& c : cases) {
    CheckPageAfresh(c.bytes);
    std::vector<std::tuple<int, int, int, int>> found;
    for (auto position = m_words.GetHeadPosition(); position != 0;) {
      for (const auto& loc : m_words.GetNext(position)->GetLocations()) {
        found.emplace_back(loc.line, loc.start, loc.column, loc.endColumn);
      }
    }
    const std::tuple<int, int, int, int> expected{c.line, c.start, c.column, c.endColumn};
    EXPECT_NE(std::find(found.begin(), found.end(), expected), found.end()) << c.name;
  }
}

// A line scanned on its own is its own original: damaged bytes count one each.
TEST_F(CheckWorkerTest, ScanLineCountsColumnsInTheLineGiven) {
  CHTMLFile* file = AddFile("page.htm", "");
  auto worker = MakeWorker();
  auto thread = IdleThread();
  worker->SetWorkerThread(thread.get());
  EXPECT_FALSE(worker->ScanLine("\xC3\xA9\xC3 teh", file, 2));
  const CBadWord* word = m_words.FindWord("teh");
  ASSERT_NE(word, nullptr);
  const CBadWordLoc& location = *word->GetLocations().begin();
  EXPECT_EQ(location.line, 2);
  EXPECT_EQ(location.start, 4);
  EXPECT_EQ(location.column, 3);
  EXPECT_EQ(location.endColumn, 6);
}

TEST_F(CheckWorkerTest, ContextIsTakenFromTheLineAroundTheWord) {
  CHTMLFile* file = AddFile("page.htm", "<p>one two three teh four five</p>");
  auto worker = MakeWorker();
  auto thread = IdleThread();
  worker->SetWorkerThread(thread.get());
  worker->CheckProjectFile(file);
  const CBadWord* word = m_words.FindWord("teh");
  ASSERT_NE(word, nullptr);
  const std::string context = word->GetContextInFile(Root() + "page.htm");
  EXPECT_NE(context.find("three teh four"), std::string::npos) << context;
  EXPECT_EQ(context.find('<'), std::string::npos) << context;
}

TEST_F(CheckWorkerTest, RecheckingAFileReplacesItsFindings) {
  CHTMLFile* file = AddFile("page.htm", "teh zzq");
  AddFile("other.htm", "zzq");
  auto worker = MakeWorker();
  RunToEnd(*worker);
  testkit::WriteBytes(Root() + "page.htm", "fine text teh");
  file->SetCheckPending(true);
  auto again = MakeWorker();
  RunToEnd(*again);
  EXPECT_EQ(Findings(),
            (std::vector<Finding>{{"zzq", "other.htm", 0, 0, 3}, {"teh", "page.htm", 0, 10, 13}}));
}

TEST_F(CheckWorkerTest, ReportsBeginEachFileAndDone) {
  AddFile("a.htm", "teh");
  AddFile("skip.htm", "teh");
  CHTMLFile* done = AddFile("done.htm", "teh");
  done->SetCheckPending(false);
  AddFile("b.htm", "fine");
  auto worker = MakeWorker({{CProjectFilter::FILE, "skip.htm"}});
  RunToEnd(*worker);
  const UINT begin = CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN;
  const UINT checked = CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED;
  const UINT finished = CProjectCheckWorker::MSG_PROJECT_CHECK_DONE;
  ASSERT_EQ(MessageIds(), (std::vector<UINT>{begin, checked, checked, finished}));
  const std::vector<WPARAM> progress{
      CProjectCheckWorker::MakeProgressParam(2, 0), CProjectCheckWorker::MakeProgressParam(2, 1),
      CProjectCheckWorker::MakeProgressParam(2, 2), CProjectCheckWorker::MakeProgressParam(2, 2)};
  for (std::size_t k = 0; k < m_messages.size(); ++k) {
    EXPECT_EQ(m_messages[k].wParam, progress[k]) << k;
    EXPECT_EQ(m_messages[k].lParam, kProject);
  }
  EXPECT_EQ(worker->GetTotalFiles(), 2);
  EXPECT_EQ(worker->GetFilesDone(), 2);
  EXPECT_TRUE(dynamic_cast<CHTMLFile*>(m_files.Find(Root() + "skip.htm", false))->IsCheckPending());
  EXPECT_EQ(m_words.FindWord("teh")->CountFiles(), 1);
}

TEST_F(CheckWorkerTest, EmptyListPostsDoneRightAfterBegin) {
  auto worker = MakeWorker();
  RunToEnd(*worker);
  ASSERT_EQ(MessageIds(), (std::vector<UINT>{CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN,
                                             CProjectCheckWorker::MSG_PROJECT_CHECK_DONE}));
  EXPECT_EQ(m_messages[1].wParam, 0U);
  EXPECT_EQ(m_messages[1].lParam, kProject);
}

TEST_F(CheckWorkerTest, NoMessagesWithoutATargetWindow) {
  AddFile("a.htm", "teh");
  m_target.DestroyWindow();
  auto worker = MakeWorker();
  RunToEnd(*worker);
  EXPECT_TRUE(m_messages.empty());
  EXPECT_EQ(worker->GetFilesDone(), 1);
}

TEST(ProjectCheckWorkerProgress, CarriesTotalAndDoneWhole) {
  // Counts past 65,535 come back whole: a site of 70,000 pages must not count round.
  const struct {
    int total;
    int done;
    int totalBack;
    int doneBack;
  } cases[] = {
      {0, 0, 0, 0},
      {3, 1, 3, 1},
      {65535, 65535, 65535, 65535},
      {65536 + 5, 3, 65541, 3},
      {70000, 69999, 70000, 69999},
      {2000000000, 1999999999, 2000000000, 1999999999},
      {-1, -7, 0, 0},
  };
  for (const auto& c : cases) {
    const WPARAM packed = CProjectCheckWorker::MakeProgressParam(c.total, c.done);
    EXPECT_EQ(CProjectCheckWorker::ProgressTotal(packed), c.totalBack) << c.total;
    EXPECT_EQ(CProjectCheckWorker::ProgressDone(packed), c.doneBack) << c.done;
  }
}

TEST(ProjectCheckWorkerAddresses, BlanksEveryAddressKeepingPositions) {
  const struct {
    std::string line;
    std::string expected;
  } cases[] = {
      {"mail teh@exemple.fr now", "mail                now"},
      {"x@y.fr (mailto:x@y.fr)", "       (             )"},
      {"see www.teh.org and www.teh.org.", "see             and            ."},
      {"http://a.org/x then http://a.org/", "               then              "},
      {"no address here", "no address here"},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string line = c.line;
    CPageScanner::BlankAddresses(line);
    EXPECT_EQ(line, c.expected) << c.line;
  }
}
