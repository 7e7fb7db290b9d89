#include "checking/PageScanner.h"
#include "checking/WordShapes.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::vector<int> kDictionaries{0};

using ECodeSamples = CPageScanner::ECodeSamples;
using EUppercase = CWordShapes::EUppercase;
using ENumbers = CWordShapes::ENumbers;

/// The scanner with the main dictionary, over pages of a few lines.
class PageScannerOptionsTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
  }
  static void TearDownTestSuite() { CSpellChecker::DeleteInstance(); }

  /// Every finding of `lines` in page order as "line:start word", a repeat with "+"
  /// after its word, joined by "|".
  static std::string Found(const std::vector<std::string>& lines, ECodeSamples samples,
                           CWordShapes shapes = {}) {
    CPageScanner::Lines() = lines;
    CPageScanner::ClearFindings();
    EXPECT_TRUE(CPageScanner(kDictionaries, {}, CPageScanner::EExcerpts::kKept, samples,
                             CPageScanner::EAttributeText::kSkipped,
                             CPageScanner::ERepeatedWords::kReported, shapes)
                    .ScanFile());
    std::vector<std::tuple<int, int, std::string>> places;
    for (const CBadWordsList::SFileFindings& word : CPageScanner::Findings()) {
      for (const CBadWordsList::SFoundLocation& at : word.locations) {
        places.emplace_back(at.line, at.start, word.text + (word.duplicate != 0 ? "+" : ""));
      }
    }
    std::sort(places.begin(), places.end());
    std::string text;
    for (const auto& [line, start, word] : places) {
      text += (text.empty() ? "" : "|") + std::to_string(line) + ":" + std::to_string(start) + " " +
              word;
    }
    return text;
  }
};

// An unrecognized word of an ignored shape is no finding; a repeat of it still is, and
// so is every word of another shape. "ZQXW" is in capitals, "ZQXWs" its plural.
TEST_F(PageScannerOptionsTest, WordsOfAnIgnoredShapeAreNoFindingsButRepeatsAre) {
  const std::vector<std::string> page = {"teh ZQXW ZQXWs Zqxw zq1x ZQ1X", "ZQXW ZQXW zq1x zq1x."};
  const struct {
    const char* what;
    CWordShapes shapes;
    const char* found;
  } cases[] = {
      {"both checked",
       {},
       "0:0 teh|0:4 ZQXW|0:9 ZQXWs|0:15 Zqxw|0:20 zq1x|0:25 ZQ1X|1:0 ZQXW|1:5 ZQXW|1:5 ZQXW+|"
       "1:10 zq1x|1:15 zq1x|1:15 zq1x+"},
      {"capitals ignored",
       {EUppercase::kIgnored, ENumbers::kChecked},
       "0:0 teh|0:15 Zqxw|0:20 zq1x|0:25 ZQ1X|1:5 ZQXW+|1:10 zq1x|1:15 zq1x|1:15 zq1x+"},
      {"numbers ignored",
       {EUppercase::kChecked, ENumbers::kIgnored},
       "0:0 teh|0:4 ZQXW|0:9 ZQXWs|0:15 Zqxw|1:0 ZQXW|1:5 ZQXW|1:5 ZQXW+|1:15 zq1x+"},
      {"both ignored",
       {EUppercase::kIgnored, ENumbers::kIgnored},
       "0:0 teh|0:15 Zqxw|1:5 ZQXW+|1:15 zq1x+"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Found(page, ECodeSamples::kChecked, c.shapes), c.found);
  }
}

} // namespace
