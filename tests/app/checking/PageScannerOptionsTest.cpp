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
  const std::vector<std::string> page = {"teh ZQXW ZQXWs Zqxw zqx1 ZQX1", "ZQXW ZQXW zqx1 zqx1."};
  const struct {
    const char* what;
    CWordShapes shapes;
    const char* found;
  } cases[] = {
      {"both checked",
       {},
       "0:0 teh|0:4 ZQXW|0:9 ZQXWs|0:15 Zqxw|0:20 zqx1|0:25 ZQX1|1:0 ZQXW|1:5 ZQXW|1:5 ZQXW+|"
       "1:10 zqx1|1:15 zqx1|1:15 zqx1+"},
      {"capitals ignored",
       {EUppercase::kIgnored, ENumbers::kChecked},
       "0:0 teh|0:15 Zqxw|0:20 zqx1|0:25 ZQX1|1:5 ZQXW+|1:10 zqx1|1:15 zqx1|1:15 zqx1+"},
      {"numbers ignored",
       {EUppercase::kChecked, ENumbers::kIgnored},
       "0:0 teh|0:4 ZQXW|0:9 ZQXWs|0:15 Zqxw|1:0 ZQXW|1:5 ZQXW|1:5 ZQXW+|1:15 zqx1+"},
      {"both ignored",
       {EUppercase::kIgnored, ENumbers::kIgnored},
       "0:0 teh|0:15 Zqxw|1:5 ZQXW+|1:15 zqx1+"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Found(page, ECodeSamples::kChecked, c.shapes), c.found);
  }
}

// With code samples skipped, the text of inline SVG (labels, titles, descriptions) goes
// with them and the words around it keep their places; checked, it is text like any
// other. "zorp" and "blim" stand inside SVG only where an element holds them.
TEST_F(PageScannerOptionsTest, InlineSvgTextIsACodeSample) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    const char* skipped;
    const char* checked;
  } cases[] = {
      {"labels in text and tspan",
       {"<p>teh</p><svg viewBox=\"0 0 9 9\"><text x=1>zorp <tspan>blim</tspan></text></svg> wrold"},
       "0:3 teh|0:81 wrold",
       "0:3 teh|0:43 zorp|0:55 blim|0:81 wrold"},
      {"title and desc",
       {"<svg><title>zorp</title><desc>blim</desc></svg>teh"},
       "0:47 teh",
       "0:12 zorp|0:30 blim|0:47 teh"},
      {"over lines, in capitals",
       {"teh <SVG", "  width=9><Text>zorp", "blim</TEXT></Svg> wrold"},
       "0:0 teh|2:18 wrold",
       "0:0 teh|1:16 zorp|2:0 blim|2:18 wrold"},
      {"left open to the end",
       {"teh <svg><text>zorp", "blim wrold"},
       "0:0 teh",
       "0:0 teh|0:15 zorp|1:0 blim|1:5 wrold"},
      {"nested, closed by the outer end tag",
       {"<svg><g><svg>zorp</svg>blim</g></svg>teh <svg><svg>zorp</svg> wrold"},
       "0:37 teh",
       "0:13 zorp|0:23 blim|0:37 teh|0:51 zorp|0:62 wrold"},
      // SVG is foreign content: "/>" ends an empty element there, unlike on code.
      {"self-closed, which holds nothing",
       {"<svg/>teh <SVG class='a' /> wrold <svg data=b/>zorp</svg>blim <code/>zorp"},
       "0:6 teh|0:28 wrold|0:57 blim",
       "0:6 teh|0:28 wrold|0:47 zorp|0:57 blim|0:69 zorp"},
      {"a slash inside the tag",
       {"<svg / x>zorp</svg> <svg x='/>'>blim</svg>teh"},
       "0:42 teh",
       "0:9 zorp|0:32 blim|0:42 teh"},
      {"names only beginning like it, and a stray end tag",
       {"<svgs>teh</svgs> <svg-icon>wrold</svg-icon></svg> zorp"},
       "0:6 teh|0:27 wrold|0:50 zorp",
       "0:6 teh|0:27 wrold|0:50 zorp"},
      {"inside a code sample, and a sample inside it",
       {"<code><svg>zorp</svg></code>teh <svg><foreignObject><pre>blim</pre></foreignObject>",
        "zorp</svg> wrold"},
       "0:28 teh|1:11 wrold",
       "0:11 zorp|0:28 teh|0:57 blim|1:0 zorp|1:11 wrold"},
      {"an svg tag in a comment or script",
       {"<!-- <svg> -->teh <script>s='<svg>'</script> wrold"},
       "0:14 teh|0:45 wrold",
       "0:14 teh|0:45 wrold"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Found(c.lines, ECodeSamples::kSkipped), c.skipped);
    EXPECT_EQ(Found(c.lines, ECodeSamples::kChecked), c.checked);
  }
}

} // namespace
