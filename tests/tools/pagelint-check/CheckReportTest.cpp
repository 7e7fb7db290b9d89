#include "pagelint-check/CheckReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct ColumnCase {
  std::string name;
  std::string line;
  std::size_t bytes;
  int characters;
};

void PrintTo(const ColumnCase& c, std::ostream* os) {
  *os << c.bytes << " bytes";
}

class CountCharacters : public testing::TestWithParam<ColumnCase> {};

TEST_P(CountCharacters, CountsCodePoints) {
  EXPECT_EQ(CCheckReport::CountCharacters(GetParam().line, GetParam().bytes),
            GetParam().characters);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CountCharacters,
    testing::Values(ColumnCase{"Empty", "", 0, 0}, ColumnCase{"Ascii", "teh cat", 4, 4},
                    ColumnCase{"TabIsOne", "\t\tteh", 2, 2},
                    ColumnCase{"TwoByte", "caf\xC3\xA9 teh", 6, 5},
                    ColumnCase{"ThreeByte", "\xE2\x80\x99tis teh", 7, 5},
                    ColumnCase{"FourByte", "\xF0\x9F\x98\x80 teh", 5, 2},
                    ColumnCase{"DamagedBytesCountOneEach", "\xC3\xC3\xFF teh", 4, 4},
                    ColumnCase{"TruncatedSequence", "\xE2\x80 teh", 3, 3},
                    ColumnCase{"BeyondTheEnd", "abc", 10, 3},
                    ColumnCase{"Combining", "e\xCC\x81x", 3, 2}),
    [](const testing::TestParamInfo<ColumnCase>& param) { return param.param.name; });

class CheckReportTest : public testing::Test {
protected:
  CCheckReport::Word& Word(const std::string& text) {
    bool isNew = false;
    return m_report.FindOrAddWord(text, isNew);
  }

  CCheckReport m_report;
};

TEST_F(CheckReportTest, AddFindingMakesPathsRelativeAndColumnsFromTheLine) {
  m_report.AddRoot("site", "/srv/site/");
  const std::string line = "Caf\xC3\xA9 teh";
  m_report.AddFinding(Word("teh"), 0, "/srv/site/sub/a.html", &line, 4, 6, 9, "Caf\xC3\xA9 teh");
  const CCheckReport::Location& location = m_report.GetWords()[0].locations[0];
  EXPECT_EQ(m_report.FileOf(location), "sub/a.html");
  EXPECT_EQ(location.line, 5);
  EXPECT_EQ(location.column, 6);
  EXPECT_EQ(location.endColumn, 9);
  EXPECT_EQ(location.start, 6);
  EXPECT_EQ(location.end, 9);
  EXPECT_EQ(m_report.GetOccurrenceCount(), 1);
}

TEST_F(CheckReportTest, AFileThatChangedKeepsTheByteOffsets) {
  m_report.AddRoot("site", "/srv/site/");
  const std::string shorter = "ab";
  m_report.AddFinding(Word("teh"), 0, "/srv/site/a.html", &shorter, 0, 6, 9, "");
  m_report.AddFinding(Word("teh"), 0, "/srv/site/a.html", nullptr, 1, 2, 5, "");
  const auto& locations = m_report.GetWords()[0].locations;
  EXPECT_EQ(locations[0].column, 7);
  EXPECT_EQ(locations[0].endColumn, 10);
  EXPECT_EQ(locations[1].column, 3);
}

TEST_F(CheckReportTest, APathOutsideTheRootStaysWhole) {
  m_report.AddRoot("site", "/srv/site/");
  m_report.AddFinding(Word("teh"), 0, "/srv/sitemap/a.html", nullptr, 0, 0, 3, "");
  EXPECT_EQ(m_report.FileOf(m_report.GetWords()[0].locations[0]), "/srv/sitemap/a.html");
}

TEST_F(CheckReportTest, FindOrAddWordMergesTheSameText) {
  bool isNew = false;
  m_report.FindOrAddWord("teh", isNew);
  EXPECT_TRUE(isNew);
  m_report.FindOrAddWord("Teh", isNew);
  EXPECT_TRUE(isNew);
  m_report.FindOrAddWord("teh", isNew);
  EXPECT_FALSE(isNew);
  EXPECT_EQ(m_report.GetWordCount(), 2);
}

TEST_F(CheckReportTest, FindingsAreSortedByPathLineColumnThenWord) {
  m_report.AddRoot("site", "/s/");
  const std::string line = "xx yy zz";
  m_report.AddFinding(Word("zz"), 0, "/s/b.html", &line, 0, 6, 8, "");
  m_report.AddFinding(Word("yy"), 0, "/s/a.html", &line, 2, 3, 5, "");
  m_report.AddFinding(Word("xx"), 0, "/s/a.html", &line, 2, 0, 2, "");
  m_report.AddFinding(Word("zz"), 0, "/s/a.html", &line, 0, 6, 8, "");
  m_report.AddFinding(Word("aa"), 0, "/s/a.html", &line, 0, 6, 8, "");
  m_report.AddFinding(Word("xx"), 0, "/s/a.html", &line, 10, 0, 2, "");
  m_report.Sort();

  std::vector<std::string> order;
  for (const CCheckReport::Finding& finding : m_report.GetFindings()) {
    order.push_back(m_report.FileOf(*finding.location) + ":" +
                    std::to_string(finding.location->line) + ":" +
                    std::to_string(finding.location->column) + ":" + finding.word->text);
  }
  // Line 10 after line 2 and line 3: numbers compare as numbers, not as text.
  EXPECT_EQ(order, (std::vector<std::string>{"a.html:1:7:aa", "a.html:1:7:zz", "a.html:3:1:xx",
                                             "a.html:3:4:yy", "a.html:11:1:xx", "b.html:1:7:zz"}));
  std::vector<std::string> words;
  for (const CCheckReport::Word& word : m_report.GetWords()) {
    words.push_back(word.text);
  }
  EXPECT_EQ(words, (std::vector<std::string>{"aa", "xx", "yy", "zz"}));
  // The index follows the sort: adding to a word finds the moved entry.
  bool isNew = true;
  EXPECT_EQ(&m_report.FindOrAddWord("yy", isNew), &m_report.GetWords()[2]);
  EXPECT_FALSE(isNew);
}

// Findings share a path entry per root and file, whatever order they come in; a
// folder given twice keeps its roots apart, and two paths that read the same once
// made relative still sort by line.
TEST_F(CheckReportTest, FindingsShareOnePathPerRootAndFile) {
  m_report.AddRoot("one", "/s/");
  m_report.AddRoot("again", "/s/");
  const struct {
    int root;
    std::string path;
    int line;
  } added[] = {{0, "/s/b.html", 7}, {0, "/s/a.html", 3}, {1, "/s/a.html", 2},
               {0, "/s/b.html", 1}, {0, "b.html", 4},    {0, "/s/a.html", 9}};
  for (const auto& a : added) {
    m_report.AddFinding(Word("teh"), a.root, a.path, nullptr, a.line, 0, 3, "");
  }
  m_report.Sort();
  std::vector<std::string> order;
  for (const CCheckReport::Location& location : m_report.GetWords()[0].locations) {
    order.push_back(m_report.DisplayPath(location) + ":" + std::to_string(location.line));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"one/a.html:4", "one/a.html:10", "one/b.html:2",
                                             "one/b.html:5", "one/b.html:8", "again/a.html:3"}));
  const auto& locations = m_report.GetWords()[0].locations;
  EXPECT_EQ(locations[0].fileIndex, locations[1].fileIndex);
  EXPECT_NE(locations[0].fileIndex, locations[5].fileIndex);
}

TEST_F(CheckReportTest, SeveralRootsPrefixTheirPathsWithTheRootAsGiven) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> roots;
    int root;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{{"site", "/w/site/"}}, 0, "a/b.html"},
      {{{"one", "/w/one/"}, {"two/", "/w/two/"}}, 0, "one/a/b.html"},
      {{{"one", "/w/one/"}, {"two/", "/w/two/"}}, 1, "two/a/b.html"},
      {{{".", "/w/"}, {"../x", "/x/"}}, 0, "./a/b.html"},
  };
  for (const Case& c : cases) {
    CCheckReport report;
    for (const auto& [given, directory] : c.roots) {
      report.AddRoot(given, directory);
    }
    bool isNew = false;
    CCheckReport::Word& word = report.FindOrAddWord("w", isNew);
    report.AddFinding(word, c.root, report.GetRoots()[c.root].directory + "a/b.html", nullptr, 0, 0,
                      1, "");
    EXPECT_EQ(report.DisplayPath(word.locations[0]), c.expected);
  }
}

} // namespace

// Contexts are views: the bytes handed to Keep last as long as the report, whoever
// else let go of them, and each owner is kept once.
TEST_F(CheckReportTest, KeptContextsOutliveTheirGivers) {
  m_report.AddRoot("site", "/s/");
  {
    auto page = std::make_shared<std::string>("one teh two");
    m_report.Keep(page);
    m_report.Keep(page);
    m_report.Keep(nullptr);
    m_report.AddFinding(Word("teh"), 0, "/s/a.html", 0, 4, 7, 4, 7,
                        std::string_view(*page).substr(4, 3));
    EXPECT_EQ(page.use_count(), 2);
  }
  m_report.Sort();
  EXPECT_EQ(m_report.GetWords()[0].locations[0].context, "teh");
}

// Findings grouped by root and file and then sorted within each file, or sorted whole
// when a root was never added: both in the order of one sort by every key.
TEST(CheckReportOrder, FindingsFollowOneSortByEveryKey) {
  for (const int extraRoot : {-1, 3}) {
    CCheckReport report;
    report.AddRoot("a", "/a/");
    report.AddRoot("b", "/b/");
    std::mt19937 random(11);
    const std::vector<std::string> names = {"x.html", "B.html", "sub/x.html", "a.html"};
    for (int k = 0; k < 300; ++k) {
      bool isNew = false;
      CCheckReport::Word& word = report.FindOrAddWord(std::string(1, 'p' + random() % 4), isNew);
      int root = static_cast<int>(random() % 2);
      root = extraRoot >= 0 && k % 50 == 0 ? extraRoot : root;
      const std::string dir = root == 0 ? "/a/" : "/b/";
      const int column = static_cast<int>(random() % 3);
      report.AddFinding(word, root, dir + names[random() % names.size()],
                        static_cast<int>(random() % 4), column, column + 1, column, column + 1, "");
    }
    report.Sort();
    using Key = std::tuple<int, std::string, int, int, int, std::string>;
    std::vector<Key> expected;
    for (const CCheckReport::Word& word : report.GetWords()) {
      for (const CCheckReport::Location& location : word.locations) {
        expected.emplace_back(location.root, report.FileOf(location), location.line,
                              location.column, location.start, word.text);
      }
    }
    std::sort(expected.begin(), expected.end());
    std::vector<Key> found;
    for (const CCheckReport::Finding& finding : report.GetFindings()) {
      const CCheckReport::Location& location = *finding.location;
      found.emplace_back(location.root, report.FileOf(location), location.line, location.column,
                         location.start, finding.word->text);
    }
    EXPECT_EQ(found, expected) << "extra root " << extraRoot;
  }
}
