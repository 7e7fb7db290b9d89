#include "pagelint-check/CheckReport.h"

#include "checking/BadWordsList.h"

#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
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

/// "path:line:column:word" of each finding in one of the report's orders.
std::vector<std::string> Walk(const CCheckReport& report,
                              const std::vector<CCheckReport::Entry>& entries) {
  std::vector<std::string> walked;
  for (const CCheckReport::Entry& entry : entries) {
    const CCheckReport::Finding finding = report.At(entry);
    walked.push_back(report.DisplayPath(finding.file) + ":" + std::to_string(finding.line) + ":" +
                     std::to_string(finding.column) + ":" + std::string(finding.word));
  }
  return walked;
}

class CheckReportTest : public testing::Test {
protected:
  CCheckReport::Finding Only() {
    m_report.Sort();
    const std::vector<CCheckReport::Entry> entries = m_report.ByPlace();
    EXPECT_EQ(entries.size(), 1U);
    return m_report.At(entries.at(0));
  }

  CCheckReport m_report;
};

TEST_F(CheckReportTest, AddFindingMakesPathsRelativeAndColumnsFromTheLine) {
  m_report.AddRoot("site", "/srv/site/");
  const std::string line = "Caf\xC3\xA9 teh";
  m_report.AddFinding("teh", 0, "/srv/site/sub/a.html", &line, 4, 6, 9, "Caf\xC3\xA9 teh");
  const CCheckReport::Finding finding = Only();
  EXPECT_EQ(m_report.FileOf(finding.file), "sub/a.html");
  EXPECT_EQ(finding.word, "teh");
  EXPECT_EQ(finding.line, 5);
  EXPECT_EQ(finding.column, 6);
  EXPECT_EQ(finding.endColumn, 9);
  EXPECT_EQ(finding.start, 6);
  EXPECT_EQ(finding.end, 9);
  EXPECT_EQ(finding.context, "Caf\xC3\xA9 teh");
  EXPECT_EQ(m_report.GetOccurrenceCount(), 1);
}

TEST_F(CheckReportTest, AFileThatChangedKeepsTheByteOffsets) {
  m_report.AddRoot("site", "/srv/site/");
  const std::string shorter = "ab";
  m_report.AddFinding("teh", 0, "/srv/site/a.html", &shorter, 0, 6, 9, "");
  const CCheckReport::Finding finding = Only();
  EXPECT_EQ(finding.column, 7);
  EXPECT_EQ(finding.endColumn, 10);
}

TEST_F(CheckReportTest, APathOutsideTheRootStaysWhole) {
  m_report.AddRoot("site", "/srv/site/");
  m_report.AddFinding("teh", 0, "/srv/sitemap/a.html", nullptr, 0, 0, 3, "");
  EXPECT_EQ(m_report.FileOf(Only().file), "/srv/sitemap/a.html");
}

TEST_F(CheckReportTest, FindingsAreSortedByPathLineColumnThenWord) {
  m_report.AddRoot("site", "/s/");
  const std::string line = "xx yy zz";
  m_report.AddFinding("zz", 0, "/s/b.html", &line, 0, 6, 8, "");
  m_report.AddFinding("yy", 0, "/s/a.html", &line, 2, 3, 5, "");
  m_report.AddFinding("xx", 0, "/s/a.html", &line, 2, 0, 2, "");
  m_report.AddFinding("zz", 0, "/s/a.html", &line, 0, 6, 8, "");
  m_report.AddFinding("aa", 0, "/s/a.html", &line, 0, 6, 8, "");
  m_report.AddFinding("xx", 0, "/s/a.html", &line, 10, 0, 2, "");
  m_report.AddFinding("Xx", 0, "/s/a.html", &line, 10, 3, 5, "");
  m_report.Sort();
  // Line 10 after line 2 and line 3: numbers compare as numbers, not as text.
  EXPECT_EQ(
      Walk(m_report, m_report.ByPlace()),
      (std::vector<std::string>{"a.html:1:7:aa", "a.html:1:7:zz", "a.html:3:1:xx", "a.html:3:4:yy",
                                "a.html:11:1:xx", "a.html:11:4:Xx", "b.html:1:7:zz"}));
  std::vector<std::string> words;
  for (std::size_t k = 0; k < static_cast<std::size_t>(m_report.GetWordCount()); ++k) {
    words.emplace_back(m_report.GetWordText(k));
  }
  EXPECT_EQ(words, (std::vector<std::string>{"Xx", "aa", "xx", "yy", "zz"}));
}

// A folder given twice keeps its roots apart, and two paths that read the same once
// made relative still sort by line.
TEST_F(CheckReportTest, EachWordListsItsFindingsByRootFileAndLine) {
  m_report.AddRoot("one", "/s/");
  m_report.AddRoot("again", "/s/");
  const struct {
    int root;
    std::string path;
    int line;
  } added[] = {{0, "/s/b.html", 7}, {0, "/s/a.html", 3}, {1, "/s/a.html", 2},
               {0, "/s/b.html", 1}, {0, "b.html", 4},    {0, "/s/a.html", 9}};
  for (const auto& a : added) {
    m_report.AddFinding("teh", a.root, a.path, nullptr, a.line, 0, 3, "");
  }
  m_report.AddFinding("abc", 1, "/s/z.html", nullptr, 0, 0, 3, "");
  m_report.Sort();
  EXPECT_EQ(
      Walk(m_report, m_report.ByWord()),
      (std::vector<std::string>{"again/z.html:1:1:abc", "one/a.html:4:1:teh", "one/a.html:10:1:teh",
                                "one/b.html:2:1:teh", "one/b.html:5:1:teh", "one/b.html:8:1:teh",
                                "again/a.html:3:1:teh"}));
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
    report.AddFinding("w", c.root, report.GetRoots()[c.root].directory + "a/b.html", nullptr, 0, 0,
                      1, "");
    report.AddFinding("w", 7, "/w/site/c.html", nullptr, 0, 0, 1, "");
    report.Sort();
    ASSERT_EQ(report.GetOccurrenceCount(), 1);
    EXPECT_EQ(report.DisplayPath(report.At(report.ByPlace()[0]).file), c.expected);
  }
}

// The words of two checks, taken as they were recorded: the same text in both roots is
// one word whose suggestions come from the first root added (whichever check came
// first), and a location recorded without columns has them counted from its file, read
// again, or keeps its byte offsets when the file lost that line.
TEST(CheckReportFindings, TakenFromTheChecksOfSeveralRoots) {
  ScopedTempDir site;
  const std::string root = site.Path() + "/";
  std::ofstream(site.Sub("a:b.html")) << "x\ncaf\xC3\xA9 teh\n";
  CCheckReport report;
  report.AddRoot("one", root);
  report.AddRoot("two", "/elsewhere/");
  using Found = CBadWordsList::SFoundLocation;
  CBadWordsList second;
  std::vector<CBadWordsList::SFileFindings> found = {{"teh", {Found{0, 4, 7, 4, 7, "one teh"}}}};
  second.RecordFileFindings("/elsewhere/", "p.html", found);
  CBadWordsList first;
  found = {{"teh", {Found{1, 6, 9, -1, -1, "caf\xC3\xA9 teh"}, Found{5, 1, 3, -1, -1, ""}}},
           {"abc", {Found{0, 0, 1, 0, 1, "x"}}}};
  first.RecordFileFindings(root, "a:b.html", found);
  report.TakeFindings(1, second);
  report.TakeFindings(0, first);
  report.TakeFindings(2, first);
  report.Sort();

  EXPECT_EQ(second.GetWordCount(), 0);
  EXPECT_EQ(report.GetWordCount(), 2);
  EXPECT_EQ(report.GetOccurrenceCount(), 4);
  EXPECT_EQ(report.GetWordText(1), "teh");
  EXPECT_EQ(report.GetWordRoot(1), 0);
  std::vector<std::string> columns;
  for (const CCheckReport::Entry& entry : report.ByWord()) {
    const CCheckReport::Finding finding = report.At(entry);
    columns.push_back(report.DisplayPath(finding.file) + ":" + std::to_string(finding.line) + ":" +
                      std::to_string(finding.column) + "-" + std::to_string(finding.endColumn) +
                      ":" + std::string(finding.context));
  }
  EXPECT_EQ(columns,
            (std::vector<std::string>{"one/a:b.html:1:1-2:x", "one/a:b.html:2:6-9:caf\xC3\xA9 teh",
                                      "one/a:b.html:6:2-4:", "two/p.html:1:5-8:one teh"}));
}

// A word is its text and kind: an unrecognized and a repeated word of one text stay
// two words (the unrecognized one first), while the same text and kind of several roots,
// whichever was added first, is one word of the first root.
TEST(CheckReportKinds, AWordIsItsTextAndKind) {
  using Kind = CCheckReport::EKind;
  constexpr Kind U = Kind::kUnrecognized;
  constexpr Kind R = Kind::kRepeated;
  struct Added {
    std::string text;
    Kind kind;
    int root;
  };
  struct Word {
    std::string text;
    Kind kind;
    int root;
    int occurrences;
    bool operator==(const Word&) const = default;
  };
  struct Case {
    std::string name;
    std::vector<Added> added;
    std::vector<Word> words;
    int repeated;
  };
  const std::vector<Case> cases = {
      {"RepeatAddedFirst", {{"teh", R, 0}, {"teh", U, 0}}, {{"teh", U, 0, 1}, {"teh", R, 0, 1}}, 1},
      {"SameKindOfTwoRootsIsOneWord",
       {{"the", R, 1}, {"the", R, 0}, {"the", R, 1}},
       {{"the", R, 0, 3}},
       1},
      {"KindsOfTwoRootsStayApart",
       {{"the", R, 1}, {"the", U, 0}},
       {{"the", U, 0, 1}, {"the", R, 1, 1}},
       1},
      {"TextBeforeKind",
       {{"in", R, 0}, {"In", U, 0}, {"in", U, 0}, {"In", R, 0}},
       {{"In", U, 0, 1}, {"In", R, 0, 1}, {"in", U, 0, 1}, {"in", R, 0, 1}},
       2},
      {"UnrecognizedOnly",
       {{"teh", U, 1}, {"wrld", U, 0}},
       {{"teh", U, 1, 1}, {"wrld", U, 0, 1}},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CCheckReport report;
    report.AddRoot("one", "/one/");
    report.AddRoot("two", "/two/");
    int line = 0;
    for (const Added& a : c.added) {
      report.AddFinding(a.text, a.root, (a.root == 0 ? "/one/" : "/two/") + std::string("a.html"),
                        nullptr, line++, 0, 3, "", a.kind);
    }
    report.Sort();
    std::vector<Word> words;
    for (std::size_t k = 0; k < static_cast<std::size_t>(report.GetWordCount()); ++k) {
      words.push_back(
          {std::string(report.GetWordText(k)), report.GetWordKind(k), report.GetWordRoot(k), 0});
    }
    // Each finding reads back the kind of the word it belongs to.
    for (const CCheckReport::Entry& entry : report.ByWord()) {
      const CCheckReport::Finding finding = report.At(entry);
      EXPECT_EQ(finding.kind, report.GetWordKind(finding.wordIndex));
      ++words.at(finding.wordIndex).occurrences;
    }
    EXPECT_EQ(words, c.words);
    EXPECT_EQ(report.GetRepeatedWordCount(), c.repeated);
    EXPECT_EQ(report.GetUnrecognizedWordCount(), report.GetWordCount() - c.repeated);
  }
}

// The check's duplicate flag decides the kind of the words the report takes.
TEST(CheckReportKinds, TakenWordsKeepTheirDuplicateFlag) {
  using Found = CBadWordsList::SFoundLocation;
  CBadWordsList list;
  std::vector<CBadWordsList::SFileFindings> found = {
      {"teh", {Found{0, 4, 7, 4, 7, "teh teh"}}, 0},
      {"teh", {Found{0, 8, 11, 8, 11, "teh teh"}}, 1},
      {"teh", {Found{1, 0, 3, 0, 3, "teh"}}, 0},
  };
  list.RecordFileFindings("/s/", "a.html", found);
  CCheckReport report;
  report.AddRoot("s", "/s/");
  report.TakeFindings(0, list);
  report.Sort();
  std::vector<std::string> walked;
  for (const CCheckReport::Entry& entry : report.ByPlace()) {
    const CCheckReport::Finding f = report.At(entry);
    walked.push_back(std::to_string(f.line) + ":" + std::to_string(f.column) + ":" +
                     std::string(f.word) +
                     (f.kind == CCheckReport::EKind::kRepeated ? " repeated" : ""));
  }
  EXPECT_EQ(walked, (std::vector<std::string>{"1:5:teh", "1:9:teh repeated", "2:1:teh"}));
  EXPECT_EQ(report.GetWordCount(), 2);
  EXPECT_EQ(report.GetRepeatedWordCount(), 1);
}

// The check leaves each word's locations as recorded, pages in the order they were
// done: the report alone puts them in order, by word and by place.
TEST(CheckReportOrder, OrdersLocationsTheCheckLeftAsRecorded) {
  using Found = CBadWordsList::SFoundLocation;
  CBadWordsList list;
  list.SetLocationOrder(CBadWordsList::ELocationOrder::kAsRecorded);
  std::vector<CBadWordsList::SFileFindings> z = {{"teh", {Found{3, 0, 3, 0, 3, ""}}, 0}};
  std::vector<CBadWordsList::SFileFindings> a = {
      {"teh", {Found{7, 0, 3, 0, 3, ""}, Found{2, 4, 7, 4, 7, ""}}, 0},
      {"adn", {Found{5, 0, 3, 0, 3, ""}}, 0}};
  list.RecordFileFindings("/s/", "z.html", z);
  list.RecordFileFindings("/s/", "a.html", a);
  CCheckReport report;
  report.AddRoot("s", "/s/");
  report.TakeFindings(0, list);
  report.Sort();
  EXPECT_EQ(Walk(report, report.ByWord()),
            (std::vector<std::string>{"a.html:6:1:adn", "a.html:3:5:teh", "a.html:8:1:teh",
                                      "z.html:4:1:teh"}));
  EXPECT_EQ(Walk(report, report.ByPlace()),
            (std::vector<std::string>{"a.html:3:5:teh", "a.html:6:1:adn", "a.html:8:1:teh",
                                      "z.html:4:1:teh"}));
}

// Findings grouped by root and file and then sorted within each file (and per word):
// both in the order of one sort by every key. The larger report is sorted on two
// threads, the smaller on one.
TEST(CheckReportOrder, FindingsFollowOneSortByEveryKey) {
  for (const int count : {300, 6000}) {
    SCOPED_TRACE(count);
    CCheckReport report;
    report.AddRoot("a", "/a/");
    report.AddRoot("b", "/b/");
    std::mt19937 random(11);
    const std::vector<std::string> names = {"x.html", "B.html", "sub/x.html", "a.html"};
    using Key = std::tuple<int, std::string, int, int, int, std::string>;
    std::vector<Key> expected;
    for (int k = 0; k < count; ++k) {
      const std::string word(1, static_cast<char>('p' + random() % 4));
      const int root = static_cast<int>(random() % 2);
      const std::string& name = names[random() % names.size()];
      const int line = static_cast<int>(random() % static_cast<unsigned>(count / 75));
      const int column = static_cast<int>(random() % 300);
      report.AddFinding(word, root, (root == 0 ? "/a/" : "/b/") + name, line, column, column + 1,
                        column, column + 1, "");
      expected.emplace_back(root, name, line + 1, column + 1, column, word);
    }
    report.Sort();
    const auto keys = [&report](const std::vector<CCheckReport::Entry>& entries) {
      std::vector<Key> found;
      for (const CCheckReport::Entry& entry : entries) {
        const CCheckReport::Finding f = report.At(entry);
        found.emplace_back(f.root, report.FileOf(f.file), f.line, f.column, f.start, f.word);
      }
      return found;
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(keys(report.ByPlace()), expected);
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Key& a, const Key& b) { return std::get<5>(a) < std::get<5>(b); });
    EXPECT_EQ(keys(report.ByWord()), expected);
  }
}

} // namespace

namespace {

TEST(CheckReportCode, JudgesPiecesOverEveryRootOfTheRun) {
  const auto record = [](CBadWordsList& list, const std::vector<std::string>& words) {
    std::vector<CBadWordsList::SFileFindings> found;
    for (const std::string& word : words) {
      CBadWordsList::SFileFindings& finding = found.emplace_back();
      finding.text = word;
      finding.pieces = word == "teh" ? "" : "vaccum\n";
      finding.locations.push_back(CBadWordsList::SFoundLocation{0, 0, 3, 0, 3, ""});
    }
    list.RecordFileFindings("/r/", "p.html", found);
  };
  const struct {
    const char* what;
    std::vector<std::string> first;
    std::vector<std::string> second;
    std::vector<std::string> reported;
  } cases[] = {
      {"two words under each root make the piece common",
       {"a_vaccum", "b_vaccum"},
       {"c_vaccum", "teh"},
       {"teh"}},
      {"a word under both roots counts once",
       {"a_vaccum", "b_vaccum"},
       {"a_vaccum"},
       {"a_vaccum", "b_vaccum"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CCheckReport report;
    report.AddRoot("one", "/r/");
    report.AddRoot("two", "/s/");
    CBadWordsList first;
    CBadWordsList second;
    record(first, c.first);
    record(second, c.second);
    report.TakeFindings(0, first);
    report.TakeFindings(1, second);
    report.Sort();
    std::vector<std::string> reported;
    for (int word = 0; word < report.GetWordCount(); ++word) {
      reported.emplace_back(report.GetWordText(static_cast<std::size_t>(word)));
    }
    EXPECT_EQ(reported, c.reported);
    EXPECT_EQ(report.GetOccurrenceCount(),
              static_cast<int>(std::count_if(c.first.begin(), c.first.end(),
                                             [&](const std::string& w) {
                                               return std::find(reported.begin(), reported.end(),
                                                                w) != reported.end();
                                             })) +
                  static_cast<int>(
                      std::count_if(c.second.begin(), c.second.end(), [&](const std::string& w) {
                        return std::find(reported.begin(), reported.end(), w) != reported.end();
                      })));
  }
}

} // namespace
