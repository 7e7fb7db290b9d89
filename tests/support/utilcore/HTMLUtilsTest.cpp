#include "utilcore/HTMLUtils.h"

#include "utilcore/PageText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

/// "~" in an expectation stands for one page-text filler byte.
std::string Fillers(std::string text) {
  std::replace(text.begin(), text.end(), '~', CPageText::kFiller);
  return text;
}

std::string Shrunk(std::string text) {
  CHTMLUtils::ReplaceHTMLReservedChars(text, false, false);
  return text;
}

std::string PageText(std::string text) {
  CHTMLUtils::ReplaceHTMLReservedChars(text, false, true);
  return text;
}

std::string WithoutFillers(std::string text) {
  CHTMLUtils::ReplaceHTMLReservedChars(text, true, false);
  return text;
}

struct CDecodeCase {
  const char* input;
  const char* shrunk;
  const char* pageText; // "~" = filler
  bool pageTextKeepsWholeValue = true;
};

// clang-format off
const CDecodeCase kDecodeCases[] = {
    // Named references, legacy names and the longest match.
    {"caf&eacute;", "café", "café~~~~~~"},
    {"&amp;", "&", "&~~~~"},
    {"&AMP;", "&", "&~~~~"},
    {"&Amp;", "&Amp;", "&Amp;"},
    {"a&nbsp;b", "a\u00A0b", "a\u00A0~~~~b"},
    {"&copy 2024", "© 2024", "©~~~ 2024"},
    {"&copy2024", "©2024", "©~~~2024"},
    {"&amp", "&", "&~~~"},
    {"&lt", "<", "<~~"},
    {"&notit;", "¬it;", "¬~~it;"},
    {"&notin;", "∉", "∉~~~~"},
    {"&rsquo", "&rsquo", "&rsquo"},
    {"&fjlig;", "fj", "fj~~~~~"},
    {"&NotEqualTilde;", "\u2242\u0338", "\u2242\u0338~~~~~~~~~~"},
    {"&CounterClockwiseContourIntegral;", "∳", "∳~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~"},
    {"&Zeta;&zeta;&zwnj;&Aacute;&aacute", "Ζζ\u200CÁá",
     "Ζ~~~~ζ~~~~\u200C~~~Á~~~~~~á~~~~~"},
    // A value longer than its reference keeps only what fits in page text.
    {"&nGt;", "\u226B\u20D2", "\u226B~~", false},
    {"&nLt;x", "\u226A\u20D2x", "\u226A~~x", false},
    {"&amp;&nGt;", "&\u226B\u20D2", "&~~~~\u226B~~", false},
    {"&nGt;&amp;x", "\u226B\u20D2&x", "\u226B~~&~~~~x", false},
    // Numeric references, as browsers read them.
    {"&#65;&#x41;&#X41;", "AAA", "A~~~~A~~~~~A~~~~~"},
    {"&#65x", "Ax", "A~~~x"},
    {"&#0000065;", "A", "A~~~~~~~~~"},
    {"&#8217;", "’", "’~~~~"},
    {"&#x1F600;", "😀", "😀~~~~~"},
    {"&#x10FFFF;", "\U0010FFFF", "\U0010FFFF~~~~~~"},
    {"&#0;", "\uFFFD", "\uFFFD~"},
    {"&#0", "\uFFFD", "\uFFFD"},
    {"&#x110000;", "\uFFFD", "\uFFFD~~~~~~~"},
    {"&#xD800;", "\uFFFD", "\uFFFD~~~~~"},
    {"&#xDFFF;", "\uFFFD", "\uFFFD~~~~~"},
    {"&#99999999999999999999999;", "\uFFFD", "\uFFFD~~~~~~~~~~~~~~~~~~~~~~~"},
    {"&#128;", "€", "€~~~"},
    {"&#x80;", "€", "€~~~"},
    {"&#159;", "Ÿ", "Ÿ~~~~"},
    {"&#x81;", "\u0081", "\u0081~~~~"},
    // Not references: left as they are.
    {"", "", ""},
    {"&", "&", "&"},
    {"&;", "&;", "&;"},
    {"&#;", "&#;", "&#;"},
    {"&#x;", "&#x;", "&#x;"},
    {"&#xg;", "&#xg;", "&#xg;"},
    {"&#", "&#", "&#"},
    {"&unknown;", "&unknown;", "&unknown;"},
    {"& amp;", "& amp;", "& amp;"},
    {"AT&T R&D Q&A", "AT&T R&D Q&A", "AT&T R&D Q&A"},
    {"&am", "&am", "&am"},
    // Text is decoded once: the '&' that a reference yields starts nothing.
    {"&amp;lt;", "&lt;", "&~~~~lt;"},
    {"&&amp;", "&&", "&&~~~~"},
    {"x &lt;b&gt;y", "x <b>y", "x <~~~b>~~~y"},
    {"&lt;&lt;&gt;", "<<>", "<~~~<~~~>~~~"},
};
// clang-format on

class DecodeTest : public testing::TestWithParam<CDecodeCase> {};

TEST_P(DecodeTest, ShrinksOutsidePageText) {
  EXPECT_EQ(Shrunk(GetParam().input), GetParam().shrunk);
}

TEST_P(DecodeTest, KeepsEveryOffsetInPageText) {
  const std::string input = GetParam().input;
  const std::string decoded = PageText(input);
  EXPECT_EQ(decoded, Fillers(GetParam().pageText));
  EXPECT_EQ(decoded.size(), input.size());
}

TEST_P(DecodeTest, PageTextWithoutFillersIsTheShrunkText) {
  const std::string input = GetParam().input;
  if (GetParam().pageTextKeepsWholeValue) {
    EXPECT_EQ(WithoutFillers(PageText(input)), Shrunk(input));
  } else {
    EXPECT_NE(WithoutFillers(PageText(input)), Shrunk(input));
  }
}

INSTANTIATE_TEST_SUITE_P(References, DecodeTest, testing::ValuesIn(kDecodeCases));

TEST(HTMLUtilsPageText, SentinelsOutsideReferencesKeepTheirOffsets) {
  const std::string line = "|a&amp;|b&#x20AC;|c&bogus;|d&nbsp|e&#;|f&rsquo;|";
  std::vector<std::size_t> sentinels;
  for (std::size_t i = line.find('|'); i != std::string::npos; i = line.find('|', i + 1)) {
    sentinels.push_back(i);
  }
  const std::string decoded = PageText(line);
  ASSERT_EQ(decoded.size(), line.size());
  for (const std::size_t offset : sentinels) {
    EXPECT_EQ(decoded[offset], '|') << "offset " << offset;
  }
  EXPECT_EQ(decoded.substr(2, 1), "&");
  EXPECT_EQ(decoded.substr(9, 3), "€");
  EXPECT_EQ(decoded.substr(19, 7), "&bogus;");
}

TEST(HTMLUtilsPageText, ReferenceInsideAWordLeavesOneWord) {
  for (const char* line : {"don&rsquo;t", "don&#8217;t", "na&iuml;ve"}) {
    const std::string decoded = PageText(line);
    EXPECT_EQ(decoded.find(' '), std::string::npos) << line;
    EXPECT_EQ(decoded.front(), line[0]) << line;
    EXPECT_EQ(decoded.back(), std::string(line).back()) << line;
  }
  EXPECT_EQ(PageText("don&rsquo;t"), Fillers("don’~~~~t"));
  EXPECT_EQ(PageText("na&iuml;ve"), Fillers("naï~~~~ve"));
}

TEST(HTMLUtilsWords, DropFillersCleansAWordCutFromPageText) {
  EXPECT_EQ(WithoutFillers(Fillers("don’~~~~t")), "don’t");
  EXPECT_EQ(WithoutFillers(Fillers("~~~~")), "");
  // A filler breaks what would otherwise be read as a reference again.
  EXPECT_EQ(WithoutFillers(Fillers("&~~~~lt;")), "&lt;");
  EXPECT_EQ(WithoutFillers(Fillers("a~&amp;b")), "a&b");
  // Nor does a reference end in a character that an earlier pass decoded: the page
  // text of «&amp;l&#116;» shows "&lt", not "<".
  EXPECT_EQ(WithoutFillers(PageText("&l&#116;")), "&lt");
  EXPECT_EQ(WithoutFillers(PageText("&#x&#65;")), "&#xA");
  EXPECT_EQ(WithoutFillers("caf&eacute;"), "café");
}

TEST(HTMLUtilsWords, FillersStayWithoutDropFillers) {
  std::string word = Fillers("don’~~~~t");
  CHTMLUtils::ReplaceHTMLReservedChars(word, false, false);
  EXPECT_EQ(word, Fillers("don’~~~~t"));
  // Page text must not move bytes, whatever the first flag says.
  word = Fillers("a~&amp;");
  CHTMLUtils::ReplaceHTMLReservedChars(word, true, true);
  EXPECT_EQ(word, Fillers("a~&~~~~"));
}

TEST(HTMLUtilsHugeInput, LongLinesAndLongRunsAreHandled) {
  std::string many;
  for (int i = 0; i < 100000; ++i) {
    many += "&amp;";
  }
  EXPECT_EQ(Shrunk(many), std::string(100000, '&'));
  EXPECT_EQ(PageText(many).size(), many.size());

  const std::string longName = "&" + std::string(100000, 'a') + ";";
  EXPECT_EQ(Shrunk(longName), longName);
  const std::string longNumber = "&#" + std::string(100000, '9') + ";x";
  EXPECT_EQ(Shrunk(longNumber), "\uFFFDx");

  // Values longer than their references grow the text, without moving it each time.
  std::string grown;
  for (int i = 0; i < 100000; ++i) {
    grown += "&nGt;";
  }
  std::string expected;
  for (int i = 0; i < 100000; ++i) {
    expected += "\u226B\u20D2";
  }
  EXPECT_EQ(Shrunk(grown), expected);
}

TEST(HTMLUtilsHugeInput, RandomTextKeepsTheInvariants) {
  // Pieces chosen to form references, near-references and broken UTF-8.
  const std::vector<std::string> pieces = {
      "&", "#", "x", ";",    "amp",  "lt",   "copy", "eacute", "not",  "in",   "1",   "9",    "0",
      "F", "a", " ", "\xC3", "\xA9", "\xFF", "&#x",  "&#",     "zwnj", "D800", "128", "rsquo"};
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  for (int round = 0; round < 2000; ++round) {
    std::string line;
    for (int i = 0; i < 20; ++i) {
      line += pieces[pick(random)];
    }
    const std::string page = PageText(line);
    ASSERT_EQ(page.size(), line.size()) << line;
    // A decoded U+001A or U+001C is a filler or joiner byte too, so it goes with them.
    std::string shrunk = Shrunk(line);
    shrunk.erase(std::remove_if(shrunk.begin(), shrunk.end(), CPageText::IsInvisible),
                 shrunk.end());
    ASSERT_EQ(WithoutFillers(page), shrunk) << line;
  }
}

TEST(HTMLUtilsFiles, SupportedExtensions) {
  std::vector<std::string> extensions = {"stale"};
  CHTMLUtils::GetSupportedHTMLFiles(extensions, false);
  const auto has = [&](const char* ext) {
    return std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
  };
  for (const char* ext : {"htm", "html", "xhtml", "shtml"}) {
    EXPECT_TRUE(has(ext)) << ext;
  }
  EXPECT_FALSE(has("stale"));
  EXPECT_FALSE(has("php"));

  CHTMLUtils::GetSupportedHTMLFiles(extensions, true);
  for (const char* ext : {"htm", "html", "php", "asp", "aspx", "jsp", "cfm"}) {
    EXPECT_TRUE(has(ext)) << ext;
  }
  std::vector<std::string> sorted = extensions;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  for (const std::string& ext : extensions) {
    EXPECT_FALSE(ext.empty());
    EXPECT_TRUE(std::all_of(ext.begin(), ext.end(), [](char c) {
      return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    })) << ext;
  }
}

} // namespace
