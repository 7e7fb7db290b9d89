#include "checking/PageScanner.h"
#include "ReferenceScanner.h"
#include "checking/LanguageNames.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"
#include "utilcore/TextArray.h"
#include "utilcore/ZebUtils.h"

#include "testkit/FileBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

const std::vector<int> kDictionaries{0};

/// Lines holding `count` made-up words ("zqab", "zqac"...), each on two lines.
/// `first`, `count` lines of "teh", then `last`.
std::vector<std::string> ManyLines(const std::string& first, int count, const std::string& last) {
  std::vector<std::string> lines = {first};
  lines.insert(lines.end(), static_cast<std::size_t>(count), "teh");
  lines.push_back(last);
  return lines;
}

std::vector<std::string> ManyMadeUpWords(int count) {
  std::vector<std::string> lines(4);
  for (int k = 0; k < count; ++k) {
    const std::string word =
        std::string("zq") + static_cast<char>('a' + k / 26) + static_cast<char>('a' + k % 26);
    lines[static_cast<std::size_t>(k % 2)] += word + ' ';
    lines[static_cast<std::size_t>(2 + k % 2)] += word + ' ';
  }
  return lines;
}

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
      EXPECT_EQ(found[k].pieces, expected[k].pieces) << found[k].text;
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
      // A "<" made by a reference starts a tag only where its ">" follows on the same
      // line with no "<" in between; anything else it makes is text.
      {"decoded '<' with its '>' on the next line",
       {"a < b teh", "x <= y", "&lt;b teh", "teh&gt; teh"},
       4},
      {"escaped '<' before letters",
       {"A&lt;B and teh B&lt;C then A&lt;C", "teh", "<p>x</p> teh &gt;"},
       3},
      {"the next '>' hundreds of lines later", ManyLines("if a&lt;b teh", 300, "x&gt;y teh"), 302},
      {"decoded tag with a '<' before its '>'", {"&lt;b &lt;i&gt; teh&gt; teh"}, 2},
      {"decoded '<!' and '<?' are text", {"&lt;!teh&gt; &lt;?teh&gt;"}, 2},
      {"decoded end tag", {"a&lt;/teh&gt;b teh"}, 1},
      // The joiners of markup are no reference's fillers: they never make a '<' typed
      // before a tag open a decoded one.
      {"a stray '<' before an inline end tag", {"x<</my-el>/tehh> teh", "x&amp;<</b>/tehh>"}, 3},
      {"reference split by a tag", {"&l<b>t;teh &<i>amp; teh"}, 2},
      {"reference inside a tag's quoted value", {"<a title='&lt;teh'>teh</a>"}, 1},
      {"decoded tag holding a real one", {"&lt;i <b>teh</b> x&gt; teh"}, 1},
      {"comment opened before the first reference",
       {"<!-- teh", "&amp; teh -->", "teh &lt;b&gt; teh"},
       2},
      // Blocks of one kind inside those of another, taken out one kind after the other.
      {"script ending inside a comment", {"<script>teh<!--</script>-->teh</script>teh"}, 1},
      {"comment inside a tag", {"<a title='<!--'>teh", "-->'> teh"}, 1},
      {"tag opened by a reference after a real '<'", {"<&#98;>teh</b> teh"}, 2},
      // Words are found again through a table that grows past 32 words of a page.
      {"a hundred made-up words, each twice", ManyMadeUpWords(100), 200},
      // Its buffers are freed after it: the pages after it must not miss them.
      {"a page larger than the buffers kept",
       {"caf\xC3\xA9 teh <!--" + std::string(300 << 10, ' ') + "--> teh", "teh"},
       3},
      {"the same word on and beside an address",
       {"teh teh@exemple.org teh http://teh.org/teh teh"},
       3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::size_t places = 0;
    for (const auto& finding : ExpectSameAsReference(c.lines)) {
      places += finding.duplicate == 0 ? finding.locations.size() : 0;
    }
    EXPECT_EQ(places, c.places);
  }
}

TEST_F(PageScannerTest, JudgesWordsWrittenLikeCodeByTheirPieces) {
  const struct {
    const char* line;
    std::vector<std::string> reported;
    std::vector<std::string> pieces;
  } cases[] = {
      {"set auto_vaccum and allowedSignersFile", {"auto_vaccum"}, {"vaccum\n"}},
      {"hex 190c2507, v2.5, 1.4e+14 and x[i]", {}, {}},
      {"use geoploy_overlap() then geoploy_overlap()", {"geoploy_overlap()"}, {"geoploy\n"}},
      {"SQLITE_EANBLE_SETLK teh", {"SQLITE_EANBLE_SETLK", "teh"}, {"eanble\nsetlk\n", ""}},
      {"OpensSSH and iOS", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    // Twice: the second scan answers from the thread's remembered look-ups.
    for (int pass = 0; pass < 2; ++pass) {
      std::vector<std::string> reported;
      std::vector<std::string> pieces;
      for (const auto& finding : ExpectSameAsReference({c.line})) {
        reported.push_back(finding.text);
        pieces.push_back(finding.pieces);
      }
      EXPECT_EQ(reported, c.reported);
      EXPECT_EQ(pieces, c.pieces);
    }
  }
}

TEST_F(PageScannerTest, KeepsTheExcerptsAskedForAndFindsTheSamePlaces) {
  const std::vector<std::string> page = {"<p>teh first teh</p>", "caf\xC3\xA9 teh &amp; wrold"};
  const auto scan = [&](CPageScanner::EExcerpts excerpts) {
    CPageScanner::Lines() = page;
    CPageScanner::ClearFindings();
    EXPECT_TRUE(CPageScanner(kDictionaries, {}, excerpts).ScanFile());
    const std::span<CBadWordsList::SFileFindings> found = CPageScanner::Findings();
    return std::vector<CBadWordsList::SFileFindings>(found.begin(), found.end());
  };
  // Kept after left out: excerpt buffers reused from an earlier page hold nothing of it.
  const auto leftOut = scan(CPageScanner::EExcerpts::kLeftOut);
  const auto kept = scan(CPageScanner::EExcerpts::kKept);
  const auto firstOnly = scan(CPageScanner::EExcerpts::kFirstInPage);
  ASSERT_EQ(kept, ExpectSameAsReference(page));
  ASSERT_EQ(leftOut.size(), kept.size());
  ASSERT_EQ(firstOnly.size(), kept.size());
  for (std::size_t k = 0; k < kept.size(); ++k) {
    ASSERT_EQ(leftOut[k].locations.size(), kept[k].locations.size());
    ASSERT_EQ(firstOnly[k].locations.size(), kept[k].locations.size());
    for (std::size_t n = 0; n < kept[k].locations.size(); ++n) {
      CBadWordsList::SFoundLocation withExcerpt = kept[k].locations[n];
      EXPECT_FALSE(withExcerpt.context.empty());
      // Only a word's first place in the page keeps its excerpt ("teh" is found thrice).
      EXPECT_EQ(firstOnly[k].locations[n].context, n == 0 ? withExcerpt.context : "");
      withExcerpt.context.clear();
      EXPECT_EQ(leftOut[k].locations[n], withExcerpt) << kept[k].text << " #" << n;
    }
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

/// Every place found in `lines` scanned with the given options, in page order, as
/// "line:start:<third> word" joined by "|"; `third` gives the third number of a place.
/// Places whose excerpt does not show the word whole are added to `cutWords`.
template <typename Third>
std::string Found(const std::vector<std::string>& lines, CPageScanner::ECodeSamples samples,
                  CPageScanner::EAttributeText attributes, char separator, Third third,
                  std::string* cutWords = nullptr) {
  CPageScanner::Lines() = lines;
  CPageScanner::ClearFindings();
  EXPECT_TRUE(CPageScanner(kDictionaries, {}, CPageScanner::EExcerpts::kKept, samples, attributes)
                  .ScanFile());
  std::vector<std::tuple<int, int, int, std::string>> places;
  for (const CBadWordsList::SFileFindings& word : CPageScanner::Findings()) {
    for (const CBadWordsList::SFoundLocation& at : word.locations) {
      places.emplace_back(at.line, at.start, third(at), word.text);
      if (cutWords != nullptr && at.context.find(word.text) == std::string::npos) {
        *cutWords += at.context + "|";
      }
    }
  }
  std::sort(places.begin(), places.end());
  std::string text;
  for (const auto& [line, start, number, word] : places) {
    text += (text.empty() ? "" : "|") + std::to_string(line) + ":" + std::to_string(start) +
            separator + std::to_string(number) + " " + word;
  }
  return text;
}

/// The findings as "line:start:column word".
std::string PlacesFound(const std::vector<std::string>& lines, CPageScanner::ECodeSamples samples,
                        CPageScanner::EAttributeText attributes) {
  return Found(lines, samples, attributes, ':',
               [](const CBadWordsList::SFoundLocation& at) { return at.column; });
}

// Skipped, code samples go and every other word keeps its place; checked, the page is
// scanned as the reference scans it. Every "zorp" and "blim" lies in a code sample.
TEST_F(PageScannerTest, SkippedCodeSamplesLeaveTheRestInPlace) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    const char* skipped;
  } cases[] = {
      {"inside a paragraph", {"<p>teh <code>zorp</code> wrold</p>"}, "0:3:3 teh|0:25:25 wrold"},
      {"pre over lines", {"teh <pre>", "zorp blim", "blim</pre> wrold"}, "0:0:0 teh|2:11:11 wrold"},
      {"nested, upper case, attributes",
       {"<PRE class=\"x\"><Code>zorp</code> blim</PRE> teh"},
       "0:44:44 teh"},
      {"unclosed to the end", {"teh <kbd>zorp", "blim wrold"}, "0:0:0 teh"},
      {"the other elements", {"<samp>zorp</samp>teh <var>zorp</var> <tt>zorp</tt>"}, "0:17:17 teh"},
      {"outer end tag closes inner", {"<pre><code>zorp</pre> teh"}, "0:22:22 teh"},
      {"other end tags close nothing",
       {"<code>zorp</kbd> blim</code> teh", "</code>wrold"},
       "0:29:29 teh|1:7:7 wrold"},
      {"names only beginning like one",
       {"<codex>teh</codex> <code-block>wrold</code-block>"},
       "0:7:7 teh|0:31:31 wrold"},
      {"tags in comments and scripts",
       {"<!-- <code> -->teh <script>x='<pre>'</script> wrold"},
       "0:15:15 teh|0:46:46 wrold"},
      {"end tag in a quoted value", {"<code title='</code>'>zorp</code> teh"}, "0:34:34 teh"},
      {"references", {"<code>&lt;zorp&gt;</code> teh &amp; wrold"}, "0:26:26 teh|0:36:36 wrold"},
      {"columns count characters", {"\xE2\x80\x94 <code>zorp</code> teh"}, "0:22:20 teh"},
      // The "<style" opens only once the comment after it is gone: the walk stops there
      // and the rest is blanked kind by kind.
      {"markup blanked kind by kind",
       {"<code>zorp</code> teh <style<!---->>p{}</style> <code>zorp</code> wrold"},
       "0:18:18 teh|0:66:66 wrold"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PlacesFound(c.lines, CPageScanner::ECodeSamples::kSkipped,
                          CPageScanner::EAttributeText::kSkipped),
              c.skipped);
    ExpectSameAsReference(c.lines);
  }
}

// Checked, the values of alt (img, area, input) and title are words at their own bytes
// and columns, and the words around their tags keep theirs; left out, the page is
// scanned as the reference scans it. "x" and "i" are known words.
TEST_F(PageScannerTest, CheckedAttributeValuesAreFoundInPlace) {
  using EAttributeText = CPageScanner::EAttributeText;
  using ECodeSamples = CPageScanner::ECodeSamples;
  const struct {
    const char* what;
    std::vector<std::string> lines;
    const char* checked;
    ECodeSamples samples = ECodeSamples::kChecked;
  } cases[] = {
      {"alt on an image",
       {"<p>A <img src=\"x.png\" alt=\"teh cat\"> wrold</p>"},
       "0:27:27 teh|0:37:37 wrold"},
      {"title on a link", {"<a href=\"/\" title=\"a teh tip\">link</a>"}, "0:21:21 teh"},
      {"quotes, unquoted, upper case, blanks",
       {"<IMG ALT='teh' TITLE=wrold><img alt = \"blim\">"},
       "0:10:10 teh|0:21:21 wrold|0:39:39 blim"},
      {"references in the value",
       {"<img alt=\"&lt;teh&gt; &amp; wrold\">"},
       "0:14:14 teh|0:28:28 wrold"},
      {"a tag over lines", {"<img src=x", "  alt=\"a teh", "wrold\">"}, "1:9:9 teh|2:0:0 wrold"},
      {"title anywhere, alt on area and input",
       {"<span title=\"teh\">x</span><area alt=\"wrold\"><input type=image alt=\"blim\">"},
       "0:13:13 teh|0:37:37 wrold|0:67:67 blim"},
      {"names that only end like one",
       {"<a alt=\"teh\" data-title=\"wrold\"><img xalt=\"blim\" titles=\"zorp\"></a>"},
       ""},
      {"end tags, comments, scripts",
       {"</a title=\"teh\"><!-- <img alt=\"wrold\"> --><script>x='<a title=\"zorp\">'</script>"},
       ""},
      {"first of two, valueless",
       {"<img alt=\"cat\" alt=\"teh\"><img alt title=\"wrold\" alt=blim>"},
       "0:41:41 wrold"},
      // A decoded "<" is the tooltip's text: it opens no tag that would blank the page.
      {"a decoded tag opener in a value",
       {"<a title='&lt;i teh'>wrold</a> blim"},
       "0:16:16 teh|0:21:21 wrold|0:31:31 blim"},
      {"columns count characters", {"\xE2\x80\x94 <img alt=\"teh\">"}, "0:14:12 teh"},
      // The text of controls: accessible names, hints of fields, captions of buttons, and
      // what search engines and link previews show.
      {"aria-label anywhere, placeholder on fields",
       {"<div aria-label=\"teh\"><input placeholder='wrold'><textarea placeholder=blim>"
        "</textarea><p placeholder=\"zorp\">"},
       "0:17:17 teh|0:42:42 wrold|0:71:71 blim"},
      {"values of buttons only",
       {"<input type=submit value=\"teh\"><input value='wrold' TYPE='Reset'><input type=text "
        "value=\"blim\"><button value=zorp>"},
       "0:26:26 teh|0:45:45 wrold"},
      {"descriptions for search engines and previews",
       {"<meta name=\"description\" content=\"teh\"><meta property='og:title' content=wrold>"
        "<meta name=keywords content=blim><meta content=\"zorp\" NAME=\"og:description\">"},
       "0:34:34 teh|0:73:73 wrold|0:127:127 zorp"},
      // A sample's own tag is outside it; the tags inside are part of the sample.
      {"with code samples skipped",
       {"<pre title=\"teh\"><img alt=\"zorp\"></pre><code><b title=blim>x</b></code> wrold"},
       "0:12:12 teh|0:72:72 wrold",
       ECodeSamples::kSkipped},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PlacesFound(c.lines, c.samples, EAttributeText::kChecked), c.checked);
    ExpectSameAsReference(c.lines);
  }
}

/// The findings as "line:start-end word"; `cutWords` as for Found.
std::string ExtentsFound(const std::vector<std::string>& lines, CPageScanner::ECodeSamples samples,
                         CPageScanner::EAttributeText attributes, std::string& cutWords) {
  return Found(
      lines, samples, attributes, '-',
      [](const CBadWordsList::SFoundLocation& at) { return at.end; }, &cutWords);
}

// A browser shows no gap for inline tags and comments: the letters on either side are
// one word, found from its first letter through its last, and shown whole.
TEST_F(PageScannerTest, InlineMarkupDoesNotSplitAWord) {
  using EAttributeText = CPageScanner::EAttributeText;
  using ECodeSamples = CPageScanner::ECodeSamples;
  const struct {
    const char* what;
    std::vector<std::string> lines;
    const char* found;
    ECodeSamples samples = ECodeSamples::kChecked;
    EAttributeText attributes = EAttributeText::kSkipped;
    bool excerptWhole = true; ///< false: longer than an excerpt shows of a word
  } cases[] = {
      {"a first letter in bold", {"<b>T</b>eh cat"}, "0:3-10 Teh"},
      {"inline tags inside", {"un<em>beleiv</em>able"}, "0:0-21 unbeleivable"},
      {"a word break opportunity", {"internation<wbr>alizaton"}, "0:0-24 internationalizaton"},
      {"a comment", {"qzq<!-- c -->jxj"}, "0:0-16 qzqjxj"},
      {"an unknown element", {"qzq<my-widget>jxj</my-widget>"}, "0:0-17 qzqjxj"},
      {"tags in any case, with attributes", {"qzq<SPAN class=\"x\">jxj</Span>"}, "0:0-22 qzqjxj"},
      {"the tag after a word is not part of it", {"teh</b> cat"}, "0:0-3 teh"},
      {"a reference in a joined word", {"qz&eacute;<b>jxj</b>"}, "0:0-16 qz\xC3\xA9jxj"},
      // Markup joins letters, never a word to punctuation: highlighted code such as
      // "self</span><span>.</span><span>connect" stays in pieces.
      {"punctuation between tags", {"qzq<span>.</span>jxj"}, "0:0-3 qzq|0:17-20 jxj"},
      {"markup at a line's ends", {"<b>qzq</b>", "<i>jxj</i>"}, "0:3-6 qzq|1:3-6 jxj"},
      {"blocks separate", {"<p>qzq</p><p>jxj</p>"}, "0:3-6 qzq|0:13-16 jxj"},
      {"a line break, an image, a rule separate",
       {"qzq<br>jxj qzq<img src=a>jxj qzq<hr>jxj"},
       "0:0-3 qzq|0:7-10 jxj|0:11-14 qzq|0:25-28 jxj|0:29-32 qzq|0:36-39 jxj"},
      {"a tag over two lines separates", {"qzq<b", "class=x>jxj"}, "0:0-3 qzq|1:8-11 jxj"},
      // Markup after a blank joins nothing, unless joining markup right before it
      // filled that blank.
      {"a comment and a tag one after the other", {"qzq<!-- c --><b>jxj</b>"}, "0:0-19 qzqjxj"},
      {"a tag after a blank, then two that join",
       {"qzq <b>jx</b><i>j</i>"},
       "0:0-3 qzq|0:7-17 jxj"},
      {"an inline tag right after a block tag", {"qzq</p><b>jxj"}, "0:0-3 qzq|0:10-13 jxj"},
      {"a tab before a tag", {"qzq\t<b>jxj</b>kkq"}, "0:0-3 qzq|0:7-17 jxjkkq"},
      {"markup walked twice, once unclear",
       {"qz<b>q</b><i title=<!-->x</i>--> <b>jx</b><i>j</i> kq<b></b>q"},
       "0:0-46 qzqjxj|0:51-61 kqq"},
      {"a word broken by two hundred tags",
       {"t" +
        [] {
          std::string tags;
          for (int k = 0; k < 200; ++k) {
            tags += "<b></b>";
          }
          return tags;
        }() +
        "eh"},
       "0:0-1403 teh",
       ECodeSamples::kChecked,
       EAttributeText::kSkipped,
       false},
      // A word is never joined into or out of a skipped code sample, nor with a value
      // kept inside a tag.
      {"a code sample checked", {"<code>qzq</code>jxj"}, "0:6-19 qzqjxj"},
      {"a code sample skipped", {"<code>qzq</code>jxj"}, "0:16-19 jxj", ECodeSamples::kSkipped},
      {"a tooltip inside the word",
       {"qzq<span title=\"teh\">jxj</span>"},
       "0:0-3 qzq|0:16-19 teh|0:21-24 jxj",
       ECodeSamples::kChecked,
       EAttributeText::kChecked},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string cut;
    EXPECT_EQ(ExtentsFound(c.lines, c.samples, c.attributes, cut), c.found);
    EXPECT_EQ(cut.empty(), c.excerptWhole) << cut;
    if (c.samples == ECodeSamples::kChecked && c.attributes == EAttributeText::kSkipped) {
      ExpectSameAsReference(c.lines);
    }
  }
}

TEST_F(PageScannerTest, ReportsCompoundsAndSoftHyphenatedWordsWhole) {
  // Known: "built-in", a soft-hyphenated "information". Found whole: a compound with an
  // unknown part, a soft-hyphenated misspelling written with references and in UTF-8.
  const std::string misspelt = "infor\xC2\xADma\xC2\xADton";
  std::vector<std::string> places;
  for (const auto& finding :
       ExpectSameAsReference({"<p>A case-insenitive, built-in infor&shy;ma&shy;ton.</p>",
                              "infor\xC2\xADma\xC2\xADtion mult-compiler " + misspelt})) {
    for (const CBadWordsList::SFoundLocation& at : finding.locations) {
      places.push_back(finding.text + " " + std::to_string(at.line) + ":" +
                       std::to_string(at.start) + "-" + std::to_string(at.end) + " " +
                       std::to_string(at.column) + "-" + std::to_string(at.endColumn));
    }
  }
  EXPECT_EQ(places,
            (std::vector<std::string>{"case-insenitive 0:5-20 5-20", misspelt + " 0:31-51 31-51",
                                      misspelt + " 1:30-44 28-40", "mult-compiler 1:16-29 14-27"}));
}

/// The words ScanLine finds unknown in `line`, by first occurrence.
std::vector<std::string> UnknownWords(const std::string& line, const std::vector<int>& ids) {
  CPageScanner::ClearFindings();
  CPageScanner(ids, {}).ScanLine(line, nullptr, 0);
  std::vector<std::string> words;
  for (const CBadWordsList::SFileFindings& finding : CPageScanner::Findings()) {
    words.push_back(finding.text);
  }
  return words;
}

TEST_F(PageScannerTest, NeverAnswersFromBeforeADictionaryChange) {
  // The same line on the same thread again and again: the remembered answers for its
  // tokens must follow every change of the dictionaries between two scans.
  const std::string name = "Scanner Ignore";
  const std::string file = CZebUtils::GetCustomDictionaryPath() + name + ".dic";
  // An identifier follows its pieces' answers too.
  const std::string line = "qwzx teh (qwzx), blorf's get_qwzx()";
  std::vector<int> ids;
  const auto restart = [&] {
    CSpellChecker::DeleteInstance();
    CSpellChecker* speller = CSpellChecker::GetInstance();
    speller->SetAppPath(CDirUtils::GetAppPath());
    // Creates the list the first time; later the folder scan registers it.
    speller->AddCustomDictionary(name);
    ids = {0, speller->GetDictionaryID(name)};
  };
  restart();
  restart();
  const int ignore = ids[1];
  const auto words = [](std::vector<std::string> added) {
    TextArray list;
    list.Items() = std::move(added);
    return list;
  };
  const struct {
    const char* what;
    std::function<void()> change;
    std::vector<std::string> unknown;
  } steps[] = {
      {"nothing changed", [] {}, {"qwzx", "teh", "blorf", "get_qwzx()"}},
      {"a word added to the ignore list",
       [&] { CSpellChecker::GetInstance()->AddWord(ignore, "QWZX"); },
       {"teh", "blorf"}},
      {"the ignore list replaced",
       [&] { CSpellChecker::GetInstance()->SetWords(ignore, words({"blorf"})); },
       {"qwzx", "teh", "get_qwzx()"}},
      // A new speller hands out the same ids; its list was edited on disk meanwhile.
      {"a new speller with other words under the same id",
       [&] {
         testkit::WriteBytes(file, "teh\n");
         restart();
         EXPECT_EQ(ids, std::vector<int>({0, ignore}));
       },
       {"qwzx", "blorf", "get_qwzx()"}},
      {"the list left out of the ids", [&] { ids = {0}; }, {"qwzx", "teh", "blorf", "get_qwzx()"}},
      // The list cannot be loaded: no answer that depends on it may be kept, since the
      // next look-up loads it once the file is back.
      {"the list's file gone before its first load",
       [&] {
         restart();
         std::filesystem::remove(file);
       },
       {"qwzx", "teh", "blorf", "get_qwzx()"}},
      {"the list's file back", [&] { testkit::WriteBytes(file, "qwzx\nblorf\n"); }, {"teh"}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.change();
    // Twice: the first scan may fill the cache, the second answers from it.
    EXPECT_EQ(UnknownWords(line, ids), step.unknown);
    EXPECT_EQ(UnknownWords(line, ids), step.unknown);
  }
}

TEST_F(PageScannerTest, ThreadsScanningMeanwhileSeeAnAddedWord) {
  CSpellChecker& speller = *CSpellChecker::GetInstance();
  speller.AddCustomDictionary("Scanner Threads");
  const std::vector<int> ids{0, speller.GetDictionaryID("Scanner Threads")};
  const std::string line = "zzqx teh zzqx";
  const auto unknown = [&] {
    const std::vector<std::string> words = UnknownWords(line, ids);
    return std::find(words.begin(), words.end(), "zzqx") != words.end();
  };
  // Each thread has met the word unknown before it is added, and goes on scanning the
  // same line while it is added and after.
  std::atomic<int> ready{0};
  std::atomic<bool> added{false};
  std::atomic<int> stale{0};
  const auto scan = [&] {
    EXPECT_TRUE(unknown());
    ++ready;
    for (int after = 0; after < 100;) {
      const bool wasAdded = added.load();
      const bool found = unknown();
      if (wasAdded) {
        stale += found ? 1 : 0;
        ++after;
      }
    }
  };
  {
    const std::jthread first(scan);
    const std::jthread second(scan);
    while (ready.load() < 2) {
      std::this_thread::yield();
    }
    speller.AddWord(ids[1], "zzqx");
    added = true;
  }
  EXPECT_EQ(stale.load(), 0);
  EXPECT_EQ(UnknownWords(line, ids), std::vector<std::string>({"teh"}));
}

/// The repeated words the scanner finds in `lines`, as "line:start:end text", and the
/// same from the reference when it scans as the scanner does.
std::string
RepeatsFound(const std::vector<std::string>& lines,
             CPageScanner::ECodeSamples samples = CPageScanner::ECodeSamples::kChecked,
             CPageScanner::ERepeatedWords repeats = CPageScanner::ERepeatedWords::kReported,
             const std::vector<int>& ids = kDictionaries) {
  CPageScanner::Lines() = lines;
  CPageScanner::ClearFindings();
  EXPECT_TRUE(CPageScanner(ids, {}, CPageScanner::EExcerpts::kKept, samples,
                           CPageScanner::EAttributeText::kSkipped, repeats)
                  .ScanFile());
  std::vector<std::tuple<int, int, std::string>> places;
  for (const CBadWordsList::SFileFindings& finding : CPageScanner::Findings()) {
    for (const CBadWordsList::SFoundLocation& at : finding.locations) {
      if (finding.duplicate == 1) {
        places.emplace_back(at.line, at.start,
                            std::to_string(at.line) + ":" + std::to_string(at.start) + ":" +
                                std::to_string(at.end) + " " + finding.text);
      }
    }
  }
  std::sort(places.begin(), places.end());
  std::string joined;
  for (const auto& place : places) {
    joined += (joined.empty() ? "" : "|") + std::get<2>(place);
  }
  return joined;
}

// A word that repeats the one right before it, with only white space or joining markup
// between, is found at its own place; anything a reader sees as a break parts the two.
TEST_F(PageScannerTest, FindsAWordRepeatedRightAfterItself) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    const char* repeats;
  } cases[] = {
      {"in a sentence", {"We walked to the the harbour."}, "0:17:20 the"},
      {"capitalised, then lower case", {"In in the morning"}, "0:3:5 in"},
      {"not the other way round, nor capitals", {"in In; AND and; THE The"}, ""},
      {"all capitals twice", {"THE THE end"}, "0:4:7 THE"},
      {"across a line break", {"walked to the", "   the harbour"}, "1:3:6 the"},
      {"across blank lines", {"to the", "", "  ", "the end"}, "3:0:3 the"},
      {"across inline markup", {"to <b>the</b> <span>the</span> end"}, "0:20:23 the"},
      {"a term set apart", {"the signal <em>signal</em> <i>x</i> x <em>in in</em>"}, "0:45:47 in"},
      {"code is left out",
       {"<code>x x</code> <pre>a", "a</pre> <var>n n</var> ok ok"},
       "1:26:28 ok"},
      {"across a comment and a script", {"the <!-- x --> <script>y</script> the"}, "0:34:37 the"},
      {"a word joined by markup", {"to th<b>e</b> the end"}, "0:14:17 the"},
      {"the second word ending a sentence", {"over and over the the."}, "0:18:21 the"},
      {"inside quotes and brackets", {"(the the) \"in in\""}, "0:5:8 the|0:14:16 in"},
      {"punctuation between parts them", {"the, the; the. The the-end"}, ""},
      {"a dash between parts them", {"the \xE2\x80\x94 the - the"}, ""},
      {"no-break spaces join them", {"the&nbsp;the x\xC2\xA0x"}, "0:9:12 the|0:16:17 x"},
      {"a paragraph parts them", {"<p>the</p><p>the</p>"}, ""},
      {"a line break parts them", {"the<br>the <br/> the"}, ""},
      {"a block over two lines parts them", {"the </p", ">", "<p>the"}, ""},
      {"an image parts them", {"the <img src=x.png> the"}, ""},
      {"a tag spelled by references parts them", {"the &lt;b&gt; the"}, ""},
      {"an address parts them", {"the http://the.example.org/ the"}, ""},
      {"numbers are no words", {"1 1 2.0 2.0 x1 x1"}, "0:15:17 x1"},
      {"English allows a few", {"that that; had had; It is is; no no"}, ""},
      {"three in a row are two repeats", {"the the the"}, "0:4:7 the|0:8:11 the"},
      {"inline SVG is left out", {"<svg><text>expr expr</text></svg> the the"}, "0:38:41 the"},
      {"SVG in capitals", {"<sVg>b b"}, ""},
      {"SVG nested and left open", {"<svg><svg>a a</svg> b b</svg> c c <svg>d d"}, "0:32:33 c"},
      // As foreign content, SVG closes at once on "/>", and <code/> does not.
      {"SVG closed at once",
       {"<svg/>the the <svg a='/' />b b <code/>c c"},
       "0:10:13 the|0:29:30 b"},
      {"accented letters",
       {"\xC3\x89t\xC3\xA9 \xC3\xA9t\xC3\xA9 caf&eacute; caf\xC3\xA9"},
       "0:6:11 \xC3\xA9t\xC3\xA9|0:24:29 caf\xC3\xA9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RepeatsFound(c.lines), c.repeats);
    ExpectSameAsReference(c.lines);
  }
}

TEST_F(PageScannerTest, RepeatsFollowTheOptionsAndTheIgnoreDictionary) {
  const std::vector<std::string> page = {"teh teh <code>x</code> x and and"};
  // Code, checked or skipped, never holds nor makes a repeat.
  EXPECT_EQ(RepeatsFound(page), "0:4:7 teh|0:29:32 and");
  EXPECT_EQ(RepeatsFound(page, CPageScanner::ECodeSamples::kSkipped), "0:4:7 teh|0:29:32 and");
  EXPECT_EQ(RepeatsFound(page, CPageScanner::ECodeSamples::kChecked,
                         CPageScanner::ERepeatedWords::kLeftOut),
            "");
  // "teh teh" is an unrecognized word twice and a repeat once, listed apart.
  CPageScanner::Lines() = page;
  CPageScanner::ClearFindings();
  ASSERT_TRUE(CPageScanner(kDictionaries, {}).ScanFile());
  const auto teh = std::count_if(
      CPageScanner::Findings().begin(), CPageScanner::Findings().end(),
      [](const CBadWordsList::SFileFindings& finding) { return finding.text == "teh"; });
  EXPECT_EQ(teh, 2);

  // Ignored, a repeat is held as the word twice: no single word of a page ever matches.
  const std::string name = "Repeats Ignore";
  CSpellChecker* speller = CSpellChecker::GetInstance();
  speller->AddCustomDictionary(name);
  const int ignore = speller->GetDictionaryID(name);
  ASSERT_GE(ignore, 0);
  EXPECT_EQ(CPageScanner::IgnoredRepeatForm("and"), "and and");
  speller->AddWord(ignore, CPageScanner::IgnoredRepeatForm("And"));
  EXPECT_EQ(RepeatsFound(page, CPageScanner::ECodeSamples::kChecked,
                         CPageScanner::ERepeatedWords::kReported, {0, ignore}),
            "0:4:7 teh");
  EXPECT_FALSE(speller->LookUp("and", {ignore}));
  std::filesystem::remove(CZebUtils::GetCustomDictionaryPath() + name + ".dic");
}

// A huge run of tags and blank lines between two words stays linear and exact.
TEST_F(PageScannerTest, RepeatsAcrossHugeRunsOfMarkup) {
  std::string tags;
  for (int k = 0; k < 100000; ++k) {
    tags += "<b></b>";
  }
  std::vector<std::string> lines = {"the " + tags + " the"};
  lines.insert(lines.end(), 5000, "   ");
  lines.push_back("the");
  EXPECT_EQ(RepeatsFound(lines), "0:700005:700008 the|5001:0:3 the");
}

} // namespace

namespace {

TEST_F(PageScannerTest, LeavesTextOfALanguageWithoutDictionaryUncheckedAndCountsIt) {
  const std::vector<std::string> page = {
      "<html lang=\"en\"><body><p>teh start</p>",
      "<p lang=\"fr\">le chat noir <img lang=\"de\" src=x> dans la maison teh</p>",
      "<blockquote lang=\"de\">ein Haus</blockquote><p>wrold end</p></body></html>"};
  const auto found = ExpectSameAsReference(page);
  std::vector<std::string> words;
  for (const auto& finding : found) {
    for (const auto& location : finding.locations) {
      words.push_back(finding.text + ":" + CLanguageNames::Tag(location.language));
    }
  }
  // The French "teh" is not checked; the English text is, and knows its language.
  EXPECT_EQ(words, (std::vector<std::string>{"teh:en", "wrold:en"}));
  std::vector<std::string> unchecked;
  for (const CLanguageScan::SUnchecked& entry : CPageScanner::UncheckedWords()) {
    unchecked.push_back(CLanguageNames::Tag(entry.language) + "=" + std::to_string(entry.words));
  }
  EXPECT_EQ(unchecked, (std::vector<std::string>{"fr=7", "de=2"}));
}

} // namespace
