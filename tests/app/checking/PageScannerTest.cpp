#include "checking/PageScanner.h"
#include "ReferenceScanner.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace {

const std::vector<int> kDictionaries{0};

/// The page scanner and the one-pass-per-step reference on the same pages, where the
/// differential fuzz target would rarely go: findings and page text must be equal.
class PageScannerTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
  }
  static void TearDownTestSuite() { CSpellChecker::DeleteInstance(); }

  /// Scans `lines` both ways, expects the same, and gives the scanner's findings.
  static std::vector<CBadWordsList::SFileFindings>
  ExpectSameAsReference(const std::vector<std::string>& lines) {
    std::vector<std::string> pageText = lines;
    std::vector<std::string> referenceText = lines;
    CPageScanner::MakePageText(pageText);
    CReferenceScanner::MakePageText(referenceText);
    EXPECT_EQ(pageText, referenceText);

    CPageScanner::Lines() = lines;
    CPageScanner::ClearFindings();
    EXPECT_TRUE(CPageScanner(kDictionaries, {}).ScanFile());
    const std::span<CBadWordsList::SFileFindings> found = CPageScanner::Findings();
    const auto expected = CReferenceScanner::ScanFile(lines, kDictionaries);
    EXPECT_EQ(found.size(), expected.size());
    for (std::size_t k = 0; k < std::min(found.size(), expected.size()); ++k) {
      EXPECT_EQ(found[k].text, expected[k].text);
      EXPECT_EQ(found[k].locations.size(), expected[k].locations.size()) << found[k].text;
      for (std::size_t n = 0; n < std::min(found[k].locations.size(), expected[k].locations.size());
           ++n) {
        const CBadWordsList::SFoundLocation& mine = found[k].locations[n];
        const CBadWordsList::SFoundLocation& theirs = expected[k].locations[n];
        EXPECT_EQ(std::vector<int>({mine.line, mine.start, mine.end, mine.column, mine.endColumn}),
                  std::vector<int>(
                      {theirs.line, theirs.start, theirs.end, theirs.column, theirs.endColumn}))
            << found[k].text << " #" << n;
        EXPECT_EQ(mine.context, theirs.context) << found[k].text << " #" << n;
      }
    }
    return {found.begin(), found.end()};
  }
};

TEST_F(PageScannerTest, FindsWhatTheReferenceFindsAcrossLines) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    std::size_t places;
  } cases[] = {
      // Tags made by references, starting on the first line with an "&" and ending on
      // the next, after lines holding a "<" that opens nothing.
      {"decoded tag over two lines", {"a < b teh", "x <= y", "&lt;b teh", "teh&gt; teh"}, 2},
      {"reference split by a tag", {"&l<b>t;teh &<i>amp; teh"}, 2},
      {"reference inside a tag's quoted value", {"<a title='&lt;teh'>teh</a>"}, 1},
      {"decoded tag holding a real one", {"&lt;i <b>teh</b> x&gt; teh"}, 1},
      {"comment opened before the first reference",
       {"<!-- teh", "&amp; teh -->", "teh &lt;b&gt; teh"},
       2},
      {"the same word on and beside an address",
       {"teh teh@exemple.org teh http://teh.org/teh teh"},
       3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::size_t places = 0;
    for (const auto& finding : ExpectSameAsReference(c.lines)) {
      places += finding.locations.size();
    }
    EXPECT_EQ(places, c.places);
  }
}

TEST_F(PageScannerTest, CountsColumnsAcrossALineOfSeveralMegabytes) {
  // Findings on both sides of megabytes of two-byte characters hidden in a comment,
  // and after an invalid byte: the columns count every character before them.
  std::string line = "teh caf\xC3\xA9 <!--";
  for (int k = 0; k < 1 << 20; ++k) {
    line += "\xC3\xA9";
  }
  line += "--> teh \xFF teh";
  const auto findings = ExpectSameAsReference({line});
  ASSERT_FALSE(findings.empty());
  const std::vector<CBadWordsList::SFoundLocation>& places = findings.front().locations;
  ASSERT_EQ(findings.front().text, "teh");
  ASSERT_EQ(places.size(), 3U);
  const int hidden = 1 << 20;
  EXPECT_EQ(places[1].column, 13 + hidden + 4);
  EXPECT_EQ(places[2].column, 13 + hidden + 10);
  EXPECT_EQ(places[2].endColumn, 13 + hidden + 13);
}

} // namespace
