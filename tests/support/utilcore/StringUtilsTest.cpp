#include "utilcore/StringUtils.h"

#include "utilcore/PageText.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Page-text fillers, as left behind by a decoded character reference.
std::string Fill(std::size_t count) {
  return std::string(count, CPageText::kFiller);
}

std::string Nbsp() {
  return "\u00A0";
}

std::vector<std::string> Words(const std::string& text, bool userText = false) {
  TextArray words;
  CStringUtils::GetWords(text, words, userText);
  return words.Items();
}

// ---- Tables -----------------------------------------------------------------------------

TEST(StringUtilsTables, UppercaseMapsOnlyAsciiLetters) {
  for (int code = 0; code < 256; ++code) {
    const bool lower = code >= 'a' && code <= 'z';
    EXPECT_EQ(CStringUtils::m_tableUppercase[code], lower ? code - 32 : code) << code;
  }
}

TEST(StringUtilsTables, DigitsAreExactlyZeroToNine) {
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(CStringUtils::m_tableIsDigit[code], code >= '0' && code <= '9') << code;
  }
}

// ---- Trim, TrimPunctuation, IsEffectivelyEmpty --------------------------------------------

struct TrimCase {
  std::string in;
  std::string out;
};

template <typename Transform>
void ExpectInPlace(Transform transform, const std::vector<TrimCase>& cases) {
  for (const auto& c : cases) {
    std::string text = c.in;
    transform(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

TEST(StringUtilsTrim, RemovesUnicodeWhiteSpaceAndItsFillers) {
  const std::vector<TrimCase> cases = {
      {"  word  ", "word"},
      {"\t\r\nword\n", "word"},
      {Nbsp() + "word\u2003\u3000", "word"},
      {" a b ", "a b"},
      {"   ", ""},
      {"", ""},
      {Nbsp() + Fill(4) + "x", "x"},
      {"x" + Nbsp() + Fill(4), "x"},
      {"x\u2019" + Fill(4), "x\u2019" + Fill(4)}, // fillers of a visible character stay
      {"\xFF ", "\xFF"},
  };
  ExpectInPlace(&CStringUtils::Trim, cases);
  for (const auto& c : cases) {
    EXPECT_EQ(CStringUtils::TrimView(c.in), c.out) << c.in;
  }
}

struct TrimPunctuationCase {
  std::string in;
  std::string keepLeading;
  std::string keepTrailing;
  std::string out;
};

TEST(StringUtilsTrimPunctuation, TrimsAsciiAndUnicodeExceptKept) {
  const std::vector<TrimPunctuationCase> cases = {
      {"(see", "", "", "see"},
      {"\u2018quoted\u2019", "", "", "quoted"},
      {"\u201Cword\u201D.", "", "", "word"},
      {"\u00AEBrand\u2122", "", "", "Brand"},
      {"\u00ABmot\u00BB", "", "", "mot"},
      {"\u00A1Hola!", "", "", "Hola"},
      {"$100", "", "", "100"},
      {"1,000.50", "", "", "1,000.50"},
      {"e-mail", "", "", "e-mail"},
      {"word(s)", "", "", "word(s"},
      {" ...?! ", "", "", ""},
      {"{PRODUCT_NAME}", "{", "}", "{PRODUCT_NAME}"},
      {"\u2018{NAME}\u2019.", "{", "}", "{NAME}"},
      {"}x{", "{", "}", "x"}, // each keep list applies to its own end only
      {"{x}", "", "", "x"},
      {"word\u201D" + Fill(6), "", "", "word"},
      {"\u201C" + Fill(6) + "word", "", "", "word"},
      {"caf\u00E9" + Fill(6) + ".", "", "", "caf\u00E9" + Fill(6)},
  };
  for (const auto& c : cases) {
    std::string text = c.in;
    CStringUtils::TrimPunctuation(text, c.keepLeading, c.keepTrailing);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

TEST(StringUtilsIsEffectivelyEmpty, OnlyVisibleCharactersCount) {
  const std::vector<std::string> empty = {
      "",
      " \t\r\n",
      Nbsp(),
      "\u200B",
      "\u200D\u200C",
      "\u00AD",
      "\uFEFF",
      Fill(3),
      Nbsp() + Fill(4),
      "\u2060\u3000",
      // Runs of blanks longer than eight around what is left of them.
      std::string(23, ' '),
      std::string(9, ' ') + "\u200B" + std::string(8, ' '),
  };
  const std::vector<std::string> visible = {
      "a",
      "&",
      "\u00B7",
      "\u200Bx",
      Fill(2) + ".",
      "\xFF",
      "\u00E9",
      "\u2019",
      std::string(16, ' ') + "x",
      std::string(9, ' ') + "x" + std::string(8, ' '),
  };
  for (const auto& text : empty) {
    EXPECT_TRUE(CStringUtils::IsEffectivelyEmpty(text)) << text;
  }
  for (const auto& text : visible) {
    EXPECT_FALSE(CStringUtils::IsEffectivelyEmpty(text)) << text;
  }
}

struct CountCase {
  std::string text;
  std::size_t bytes;
  int characters;
};

// Each byte of a damaged or cut sequence counts as one character, as editors show it.
std::vector<CountCase> CountCases() {
  return {
      {"", 0, 0},
      {"plain", 3, 3},
      {"plain", 99, 5},
      {"h\u00E9llo", 6, 5},
      {"h\u00E9llo", 2, 2}, // cut after the lead byte
      {"\u20AC", 2, 2},     // the euro sign cut in two
      {"\u20AC\u20AC", 6, 2},
      {"\U0001F600 x", 6, 3},
      {"\xC3 x", 3, 3},           // a lead byte without its continuation
      {"\xED\xA0\x80", 3, 3},     // an encoded surrogate
      {"\xC0\xAF", 2, 2},         // an overlong form
      {"\xF4\x90\x80\x80", 4, 4}, // past U+10FFFF
      {"\x80\x80\x80\x80\x80\x80\x80\x80\x80", 9, 9},
      {"\t" + Fill(3) + "\u00A0", 6, 5},
  };
}

TEST(StringUtilsCountCharacters, CountsCodePointsAndDamagedBytes) {
  for (const CountCase& c : CountCases()) {
    EXPECT_EQ(CStringUtils::CountCharacters(c.text, c.bytes), c.characters) << c.text;
  }
}

// The run-of-ASCII shortcut must give what counting one by one gives, wherever the
// ASCII before a tricky sequence ends and wherever the count stops.
TEST(StringUtilsCountCharacters, AsciiRunsOfAnyLengthShiftTheCountExactly) {
  for (const CountCase& c : CountCases()) {
    for (std::size_t pad = 0; pad <= 17; ++pad) {
      const std::string text = std::string(pad, 'a') + c.text + std::string(pad, 'z');
      for (std::size_t bytes = 0; bytes <= c.text.size(); ++bytes) {
        EXPECT_EQ(CStringUtils::CountCharacters(text, pad + bytes),
                  static_cast<int>(pad) + CStringUtils::CountCharacters(c.text, bytes))
            << c.text << " after " << pad << " up to " << bytes;
      }
      EXPECT_EQ(CStringUtils::CountCharacters(text, text.size()),
                static_cast<int>(2 * pad) + CStringUtils::CountCharacters(c.text, c.text.size()))
          << c.text << " padded by " << pad;
    }
  }
}

TEST(StringUtilsRemoveFillers, DropsOnlyFillers) {
  std::string text = "don\u2019" + Fill(4) + "t";
  CStringUtils::RemoveFillers(text);
  EXPECT_EQ(text, "don\u2019t");
}

// ---- GetWords -------------------------------------------------------------------------------

TEST(StringUtilsGetWords, KeepsWordsThatThePreprocessingTrims) {
  const std::string line = "See word(s), \u2018quoted\u2019 {PRODUCT_NAME} \u00AEBrand\u2122 "
                           "1,000.50 at 10:30 \u2014 John\u2019s e-mail";
  const std::vector<std::string> expected = {
      "See", "word(s),", "\u2018quoted\u2019", "{PRODUCT_NAME}", "\u00AEBrand\u2122", "1,000.50",
      "at",  "10:30",    "John\u2019s",        "e-mail"};
  EXPECT_EQ(Words(line), expected);
}

struct SplitCase {
  std::string in;
  std::vector<std::string> out;
};

TEST(StringUtilsGetWords, Separators) {
  const std::vector<SplitCase> cases = {
      {"word\u2014word", {"word", "word"}},
      {"1990\u20132000", {"1990", "2000"}},
      {"wait\u2026what", {"wait", "what"}},
      {"and/or", {"and", "or"}},
      {"km\\h", {"km", "h"}},
      {"1/2 and 12/31/2020", {"1/2", "and", "12/31/2020"}},
      {"V:0, I:12 hh:mm config::low-level 4:3",
       {"V", "0,", "I", "12", "hh", "mm", "config", "low-level", "4:3"}},
      {"a=b|c<d>e", {"a", "b", "c", "d", "e"}},
      {"well--known", {"well", "known"}},
      {"end...start", {"end", "start"}},
      {"e.g. -5 x-ray", {"e.g.", "-5", "x-ray"}},
      {"tab\tnew\nline\u3000ideo", {"tab", "new", "line", "ideo"}},
      {"zero\u200Bwidth", {"zero", "width"}},
      {"join\u200Ded", {"join\u200Ded"}},
      {"", {}},
      {"  \u00A0 ", {}},
      {"C++ and C# at AT&T", {"C++", "and", "C#", "at", "AT&T"}},
      {"bad\xFF\xFE"
       "bytes",
       {"bad\xFF\xFE"
        "bytes"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Words(c.in), c.out) << c.in;
  }
}

TEST(StringUtilsGetWords, PageTextFillersBelongToTheCharacterBefore) {
  const std::string dont = "don\u2019" + Fill(4) + "t";
  EXPECT_EQ(Words(dont), std::vector<std::string>{dont});
  EXPECT_EQ(Words("a" + Nbsp() + Fill(4) + "b"), (std::vector<std::string>{"a", "b"}));
  const std::string cafe = "caf\u00E9" + Fill(6);
  EXPECT_EQ(Words("le " + cafe + " noir"), (std::vector<std::string>{"le", cafe, "noir"}));
  EXPECT_EQ(Words(Fill(3) + "x"), std::vector<std::string>{"x"});
  // "&sol;" decodes to "/" and four fillers: still a fraction between digits.
  EXPECT_EQ(Words("1/" + Fill(4) + "2"), std::vector<std::string>{"1/" + Fill(4) + "2"});
}

TEST(StringUtilsGetWords, UserTextTreatsFillerAsControl) {
  EXPECT_EQ(Words("a\x1A"
                  "b",
                  true),
            (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Words("Two Words", true), (std::vector<std::string>{"Two", "Words"}));
}

TEST(StringUtilsGetWords, SpansAreByteExtentsAndArraysAreReused) {
  std::vector<CStringUtils::Span> spans;
  const std::string line = "  \u00E9t\u00E9 " + Nbsp() + "x";
  CStringUtils::GetWordSpans(line, spans, false);
  EXPECT_EQ(spans, (std::vector<CStringUtils::Span>{{2, 5}, {10, 1}}));
  // Runs of blanks are skipped eight at a time: another separator inside a run, and a
  // run that ends the line, end no word early.
  const std::string blanks = "a" + std::string(9, ' ') + "|" + std::string(8, ' ') + "b" +
                             std::string(16, ' ') + "c" + std::string(8, ' ');
  CStringUtils::GetWordSpans(blanks, spans, false);
  EXPECT_EQ(spans, (std::vector<CStringUtils::Span>{{0, 1}, {19, 1}, {36, 1}}));

  TextArray words;
  CStringUtils::GetWords("one two three", words, false);
  CStringUtils::GetWords("four", words, false);
  EXPECT_EQ(words.Items(), std::vector<std::string>{"four"});
}

// ---- ReplaceTextBlock ---------------------------------------------------------------------

struct BlockCase {
  std::string name;
  std::vector<std::string> in;
  std::string start;
  std::string end;
  std::vector<std::string> out;
};

class StringUtilsReplaceTextBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(StringUtilsReplaceTextBlock, BlanksBlocksAndKeepsEveryOtherByteInPlace) {
  const BlockCase& c = GetParam();
  std::vector<std::string> lines = c.in;
  CStringUtils::ReplaceTextBlock(lines, c.start, c.end, "", true);
  ASSERT_EQ(lines.size(), c.in.size());
  for (std::size_t k = 0; k < lines.size(); ++k) {
    EXPECT_EQ(lines[k].size(), c.in[k].size()) << "line " << k;
  }
  EXPECT_EQ(lines, c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringUtilsReplaceTextBlock,
    testing::Values(
        BlockCase{"CommentAcrossLinesWithUtf8",
                  {"ab<!-- c", "d\u00E9 -->ef"},
                  "<!--",
                  "-->",
                  {"ab      ", "       ef"}},
        BlockCase{"ScriptAcrossLines",
                  {"x<SCRIPT type='a'>", "var s = '<b>';", "</Script> y"},
                  "<script",
                  "/script>",
                  {"x                 ", "              ", "          y"}},
        BlockCase{"ScriptNameMustEnd",
                  {"<scripts>x</scripts> y"},
                  "<script",
                  "/script>",
                  {"<scripts>x</scripts> y"}},
        BlockCase{"ScriptNameAtEndOfLine",
                  {"<script", "src=x></script>z"},
                  "<script",
                  "/script>",
                  {"       ", "               z"}},
        BlockCase{"GreaterThanInQuotedValue",
                  {"<a title=\"x > y\">link</a>"},
                  "<",
                  ">",
                  {"                 link    "}},
        BlockCase{"ApostrophesOutsideTags",
                  {"it's <b>bold</b> isn't"},
                  "<",
                  ">",
                  {"it's    bold     isn't"}},
        BlockCase{"QuoteNotAfterEquals", {"<p class=x'y>text"}, "<", ">", {"             text"}},
        BlockCase{"QuotedValueAcrossLines",
                  {"<a title='one", "two>'>x"},
                  "<",
                  ">",
                  {"             ", "      x"}},
        BlockCase{"BlanksBetweenEqualsAndQuote",
                  {"<a title =  \"x>y\">z"},
                  "<",
                  ">",
                  {"                  z"}},
        BlockCase{"EqualsEndsALineQuoteOnTheNext",
                  {"<a title=", "'x>y'>z"},
                  "<",
                  ">",
                  {"         ", "      z"}},
        BlockCase{"FillerBetweenEqualsAndQuote", {"<a t=\x1A'>'>z"}, "<", ">", {"          z"}},
        BlockCase{"ValueWithoutQuotesThenQuote", {"<a t= b 'c>d'"}, "<", ">", {"           d'"}},
        BlockCase{"UnterminatedQuotedValue", {"<a t='x>", "y"}, "<", ">", {"        ", " "}},
        BlockCase{"LessThanInText", {"a < b and c > d"}, "<", ">", {"a < b and c > d"}},
        BlockCase{"Unterminated",
                  {"text <!-- open", "still", "more"},
                  "<!--",
                  "-->",
                  {"text          ", "     ", "    "}},
        BlockCase{"SeveralOnOneLine", {"<b>x</b><i>y</i>"}, "<", ">", {"   x       y    "}},
        BlockCase{"DecodedTagWithFillers",
                  {"x <\x1A\x1A\x1A"
                   "b>\x1A\x1A\x1Ay"},
                  "<",
                  ">",
                  {"x          y"}},
        BlockCase{"NothingToDo", {"plain", ""}, "<!--", "-->", {"plain", ""}}),
    [](const testing::TestParamInfo<BlockCase>& param) { return param.param.name; });

TEST(StringUtilsReplaceTextBlockJoin, WithoutKeepingPositionsBlocksAreReplaced) {
  std::vector<std::string> lines = {"a<!--b", "c", "d-->e", "f"};
  CStringUtils::ReplaceTextBlock(lines, "<!--", "-->", "X", false);
  EXPECT_EQ(lines, (std::vector<std::string>{"aXe", "f"}));

  lines = {"1<b>2<i>3"};
  CStringUtils::ReplaceTextBlock(lines, "<", ">", "<>", false);
  EXPECT_EQ(lines, std::vector<std::string>{"1<>2<>3"});

  lines = {"open <!-- never", "closed"};
  CStringUtils::ReplaceTextBlock(lines, "<!--", "-->", "", false);
  EXPECT_EQ(lines, std::vector<std::string>{"open "});
}

TEST(StringUtilsReplaceTextBlock, BlocksStartAtTheFirstLineGiven) {
  // A block opened before the first line is not there: its end closes nothing.
  std::vector<std::string> lines = {"<b>a <i", "b>c <i>d", "e</i>"};
  CStringUtils::ReplaceTextBlock(lines, "<", ">", "", true, 1);
  EXPECT_EQ(lines, (std::vector<std::string>{"<b>a <i", "b>c    d", "e    "}));
}

TEST(StringUtilsReplaceTextBlockJoin, EmptyArgumentsChangeNothing) {
  std::vector<std::string> lines = {"a<b>c"};
  CStringUtils::ReplaceTextBlock(lines, "", ">", "", true);
  CStringUtils::ReplaceTextBlock(lines, "<", "", "", true);
  EXPECT_EQ(lines, std::vector<std::string>{"a<b>c"});
  std::vector<std::string> none;
  CStringUtils::ReplaceTextBlock(none, "<", ">", "", true);
  EXPECT_TRUE(none.empty());
}

// ---- BlankMarkup --------------------------------------------------------------------------

TEST(StringUtilsBlankMarkup, EqualsTheFourBlockKindsInOrderOrStopsWhereItCannotTell) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    bool walked;
  } cases[] = {
      {"no lines", {}, true},
      {"every kind, any case, across lines",
       {"<P>a<!-- b", "c --><SCRIPT x>d</Script>e<style", ">f</STYLE>g<a", "title='>'>h"},
       true},
      {"unterminated", {"a<style x", "b"}, true},
      {"fillers after an end and before a name", {"<b>" + Fill(2) + "a<" + Fill(1) + "i>b"}, true},
      {"names that only open tags", {"a < b <scripts> <3 <!-> c"}, true},
      {"comments wholly inside a script and a style",
       {"<script><!--", "a<b //--></script>c<style><!--d--><!----></style>e"},
       true},
      {"a comment past the end of a script, after blocks walked",
       {"<i>a</i><!-- b -->c<script>a<!--</script>-->b</script>c"},
       false},
      {"an unterminated comment in a style", {"<style>a<!--b"}, false},
      {"a comment inside a tag", {"<a title='<!--'>b", "-->c"}, false},
      {"a script inside a style", {"<style>a<script>b</style>c</script>d"}, false},
      {"a style inside a tag", {"<a title='<style>'>b</style>c"}, false},
      {"a style that opens once the comment after it is gone",
       {"<style<!-- a -->b</style>c"},
       false},
      {"a script before a tag", {"<script" + Fill(1) + "<b>a</script>c"}, false},
  };
  const auto blockByBlockButTags = [](std::vector<std::string>& lines) {
    for (const auto& [start, end] :
         {std::pair{"<!--", "-->"}, {"<script", "/script>"}, {"<style", "/style>"}}) {
      CStringUtils::ReplaceTextBlock(lines, start, end, "", true);
    }
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> walked = c.lines;
    std::vector<std::string> beforeTags = c.lines;
    blockByBlockButTags(beforeTags);
    std::vector<std::string> expected = beforeTags;
    CStringUtils::ReplaceTextBlock(expected, "<", ">", "", true);
    // The tags told are, in page order and still unblanked, exactly what the last
    // pass blanks.
    std::vector<CStringUtils::TagPlace> told;
    const bool walkedToTheEnd = CStringUtils::BlankMarkup(
        walked, [&told](const std::vector<std::string>& lines, const CStringUtils::TagPlace& tag) {
          EXPECT_EQ(lines[tag.line][tag.offset], '<');
          told.push_back(tag);
        });
    EXPECT_EQ(walkedToTheEnd, c.walked);
    EXPECT_EQ(walked, expected);
    std::vector<std::string> blankedTold = beforeTags;
    CStringUtils::TagPlace previous;
    for (const CStringUtils::TagPlace& tag : told) {
      EXPECT_GE(std::pair(tag.line, tag.offset), std::pair(previous.endLine, previous.endOffset));
      for (std::size_t line = tag.line; line <= tag.endLine; ++line) {
        const std::size_t from = line == tag.line ? tag.offset : 0;
        const std::size_t to = line == tag.endLine ? tag.endOffset : blankedTold[line].size();
        blankedTold[line].replace(from, to - from, to - from, ' ');
      }
      previous = tag;
    }
    EXPECT_EQ(blankedTold, expected);
  }
}

// ---- Occurrences ------------------------------------------------------------------------------

struct OccurrenceCase {
  std::string text;
  std::string word;
  int n;
  bool wholeWord;
  int expected;
};

TEST(StringUtilsFindOccurrenceIndex, NthWholeWordOccurrence) {
  const std::vector<OccurrenceCase> cases = {
      {"teh cat teh", "teh", 1, true, 0},
      {"teh cat teh", "teh", 2, true, 8},
      {"teh cat teh", "teh", 3, true, -1},
      {"tehteh teh", "teh", 1, true, 7},
      {"tehteh teh", "teh", 1, false, 0},
      {"tehteh teh", "teh", 2, false, 3},
      {"e-mail mail", "mail", 1, true, 7},
      {"John\u2019s hat", "John", 1, true, 0},
      {"John's hat", "John", 1, true, 0},
      {"don\u2019t don", "don", 1, true, 8},
      {"(see) see", "see", 1, true, 1},
      {"(see) see", "see", 2, true, 6},
      {"\u00E9teh teh", "teh", 1, true, 6},
      {"un caf\u00E9 noir", "caf\u00E9", 1, true, 3},
      {"caf\u00E9s caf\u00E9", "caf\u00E9", 1, true, 7},
      {"word", "word", 0, true, -1},
      {"word", "", 1, true, -1},
      {"", "word", 1, true, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CStringUtils::FindOccurrenceIndex(c.text, c.word, c.n, c.wholeWord), c.expected)
        << c.text << " / " << c.word << " / " << c.n;
  }
}

TEST(StringUtilsFindOccurrenceIndex, MatchesThroughPageTextFillers) {
  const std::string dont = "don\u2019" + Fill(4) + "t";
  const std::string line = "x " + dont + " y";
  CStringUtils::Span span;
  ASSERT_TRUE(CStringUtils::FindOccurrence(line, "don\u2019t", 1, true, span));
  EXPECT_EQ(span, (CStringUtils::Span{2, dont.size()}));
  ASSERT_TRUE(CStringUtils::FindOccurrence(line, dont, 1, true, span));
  EXPECT_EQ(span, (CStringUtils::Span{2, dont.size()}));
  // The fillers after a word belong to its last character.
  const std::string cafe = "caf\u00E9" + Fill(6);
  ASSERT_TRUE(CStringUtils::FindOccurrence("un " + cafe + " noir", "caf\u00E9", 1, true, span));
  EXPECT_EQ(span, (CStringUtils::Span{3, cafe.size()}));
  // "a&nbsp;b": the fillers belong to the no-break space, so "b" is a whole word.
  EXPECT_EQ(CStringUtils::FindOccurrenceIndex("a" + Nbsp() + Fill(4) + "b", "b", 1, true), 7);
}

// Walking with FindOccurrenceFrom from the end of each match must meet exactly the
// occurrences that FindOccurrence counts, fillers and joined words included.
TEST(StringUtilsFindOccurrenceFrom, WalkMatchesNthOccurrence) {
  const std::string dont = "don\u2019" + Fill(4) + "t";
  const struct {
    std::string text;
    std::string word;
    bool wholeWord;
  } cases[] = {
      {"teh cat teh", "teh", true},
      {"tehteh teh teh", "teh", true},
      {"tehteh teh", "teh", false},
      {"aaaa", "aa", false},
      {"e-mail mail mail", "mail", true},
      {dont + " " + dont + "x " + dont, "don\u2019t", true},
      {"", "word", true},
      {"word", "", true},
  };
  for (const auto& c : cases) {
    std::size_t from = 0;
    for (int n = 1; n <= 5; ++n) {
      CStringUtils::Span expected;
      const bool exists = CStringUtils::FindOccurrence(c.text, c.word, n, c.wholeWord, expected);
      CStringUtils::Span walked;
      ASSERT_EQ(CStringUtils::FindOccurrenceFrom(c.text, c.word, from, c.wholeWord, walked), exists)
          << c.text << " / " << c.word << " / " << n;
      if (!exists) {
        break;
      }
      EXPECT_EQ(walked, expected) << c.text << " / " << n;
      from = walked.start + walked.length;
    }
  }
  CStringUtils::Span span;
  EXPECT_FALSE(CStringUtils::FindOccurrenceFrom("teh", "teh", 4, true, span));
  EXPECT_TRUE(CStringUtils::FindOccurrenceFrom("xteh teh", "teh", 1, true, span));
  EXPECT_EQ(span, (CStringUtils::Span{5, 3})); // "xteh" is no whole word even from inside
}

struct PairCase {
  std::string text;
  int n;
  int first;
  int last;
};

TEST(StringUtilsFindOccurrencePair, FindsMatchingPairs) {
  const std::vector<PairCase> cases = {
      {"word(s)", 1, 4, 6},    {"(word)", 1, 0, 5},   {"no pair", 1, -1, -1},
      {"(open", 1, -1, -1},    {"a(b(c)d)", 1, 1, 7}, {"(a)(b)", 2, 3, 5},
      {"close) (", 1, -1, -1}, {"(a)", 2, -1, -1},    {"(a)", 0, -1, -1},
  };
  for (const auto& c : cases) {
    int first = 0;
    int last = 0;
    const bool found = CStringUtils::FindOccurrencePair(c.text, "(", ")", c.n, first, last);
    EXPECT_EQ(found, c.first >= 0) << c.text;
    EXPECT_EQ(first, c.first) << c.text;
    EXPECT_EQ(last, c.last) << c.text;
  }
  int first = 0;
  int last = 0;
  EXPECT_TRUE(CStringUtils::FindOccurrencePair("say \"hi\" now", "\"", "\"", 1, first, last));
  EXPECT_EQ(first, 4);
  EXPECT_EQ(last, 7);
}

// ---- Excerpts ----------------------------------------------------------------------------------

TEST(StringUtilsEllipsisSurroundingWord, WordsEachSideWithEllipsisWhereCut) {
  const std::string line = "one two three four five teh six seven eight nine ten";
  EXPECT_EQ(CStringUtils::EllipsisSurroundingWord(line, 24, 3, 4),
            "...two three four five teh six seven eight nine...");
  EXPECT_EQ(CStringUtils::EllipsisSurroundingWord(line, 0, 3, 4), "one two three four five...");
  EXPECT_EQ(CStringUtils::EllipsisSurroundingWord("  a    teh\t b  ", 7, 3, 4), "a teh b");
  EXPECT_EQ(CStringUtils::EllipsisSurroundingWord("x don\u2019" + Fill(4) + "t teh", 14, 3, 4),
            "x don\u2019t teh");
  EXPECT_EQ(CStringUtils::EllipsisSurroundingWord("a b c", 2, 1, 0), "...b...");
}

TEST(StringUtilsEllipsisSurroundingWord, CutsAtTheSideLengthAfterLongBlankRuns) {
  const auto blanks = [](int count) { return std::string(static_cast<std::size_t>(count), ' '); };
  // 60 bytes each side are kept whole, 61 are cut; a cut never splits a character.
  EXPECT_EQ(CStringUtils::EllipsisSurroundingWord("ab" + blanks(58) + "teh" + blanks(58) + "cd", 60,
                                                  3, 4),
            "ab teh cd");
  EXPECT_EQ(CStringUtils::EllipsisSurroundingWord("ab" + blanks(59) + "teh" + blanks(59) + "cd", 61,
                                                  3, 4),
            "...b teh c...");
  EXPECT_EQ(CStringUtils::EllipsisSurroundingWord("\u00E9" + blanks(59) + "teh", 61, 3, 4),
            "...teh");
  EXPECT_EQ(
      CStringUtils::EllipsisSurroundingWord("a" + Fill(70) + " teh " + blanks(900) + "b", 72, 3, 4),
      "...teh...");
}

TEST(StringUtilsEllipsisSurroundingWord, NeverThrowsNorCutsCharacters) {
  const std::string line = "\u00E9\u00E9 \u00E9\u00E9\u00E9 \u00E9";
  for (int start = -3; start < static_cast<int>(line.size()) + 3; ++start) {
    for (int length = -1; length < 6; ++length) {
      const std::string excerpt = CStringUtils::EllipsisSurroundingWord(line, start, length, 4);
      for (std::size_t k = 0; k < excerpt.size(); ++k) {
        const auto byte = static_cast<unsigned char>(excerpt[k]);
        if (byte == 0xC3) {
          ASSERT_LT(k + 1, excerpt.size());
          EXPECT_EQ(static_cast<unsigned char>(excerpt[k + 1]), 0xA9);
        } else if (byte == 0xA9) {
          ASSERT_GT(k, 0u);
          EXPECT_EQ(static_cast<unsigned char>(excerpt[k - 1]), 0xC3);
        }
      }
    }
  }
  const std::string huge(100000, 'a');
  EXPECT_LT(CStringUtils::EllipsisSurroundingWord(huge + " teh " + huge, 100001, 3, 4).size(),
            200u);
  EXPECT_LT(CStringUtils::EllipsisSurroundingWord(huge, 0, 100000, 4).size(), 300u);
}

// ---- PadString ------------------------------------------------------------------------------

TEST(StringUtilsPadString, PadsOnTheRight) {
  struct Case {
    std::string in;
    std::size_t length;
    std::string pad;
    bool truncate;
    std::string out;
  };
  const std::vector<Case> cases = {
      {"ab", 6, " ", false, "ab    "},
      {"abcdefgh", 6, " ", false, "abcdefgh"},
      {"abcdefgh", 6, " ", true, "abcdef"},
      {"", 5, " ", true, "     "},
      {"", 5, "ab", false, "abab"},
      {"x", 3, "", false, "x  "},
      {"\u00E9\u00E9", 3, " ", true, "\u00E9 "},
  };
  for (const auto& c : cases) {
    std::string text = c.in;
    CStringUtils::PadString(text, c.length, c.pad, c.truncate);
    EXPECT_EQ(text, c.out) << c.in << " " << c.length;
  }
}

// ---- Matching ------------------------------------------------------------------------------

struct MatchCase {
  std::string text;
  std::string pattern;
  bool caseSensitive;
  bool expected;
};

using MatchFunction = bool (*)(std::string_view, std::string_view, bool);

void ExpectMatches(MatchFunction match, const std::vector<MatchCase>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(match(c.text, c.pattern, c.caseSensitive), c.expected)
        << c.text << " / " << c.pattern << " / " << c.caseSensitive;
  }
}

TEST(StringUtilsMatch, FirstChars) {
  const std::vector<MatchCase> cases = {
      {"Unhappy", "un", false, true},
      {"Unhappy", "un", true, false},
      {"gnome", "gn", true, true},
      {"x", "", false, false},
      {"a", "ab", false, false},
      {"\u00C9COLE", "\u00E9c", false, true},
      {"sub/dir/a.htm", "SUB/", false, true},
      {"/usr/lib", "/usr/", false, true},
      {"\u212Aing", "ki", false, false}, // Kelvin sign folds to "k" but is 3 bytes long
  };
  ExpectMatches(&CStringUtils::MatchFirstChars, cases);
}

TEST(StringUtilsMatch, LastChars) {
  const std::vector<MatchCase> cases = {
      {"John's", "'s", false, true},
      {"John\u2019S", "\u2019s", false, true},
      {"John\u2019S", "\u2019s", true, false},
      {"word(S)", "(s)", false, true},
      {"s", "'s", false, false},
      {"x", "", true, false},
      {"CAF\u00C9", "f\u00E9", false, true},
      {"word(\u017F)", "(s)", false, false}, // long s folds to "s" but is 2 bytes long
  };
  ExpectMatches(&CStringUtils::MatchLastChars, cases);
}

TEST(StringUtilsMatch, Wildcards) {
  const std::vector<MatchCase> cases = {
      {"index.htm", "*.htm", false, true},
      {"index.html", "*.htm", false, false},
      {"a/b/c.htm", "a/*", false, true},
      {"INDEX.HTM", "index.htm", false, true},
      {"INDEX.HTM", "index.htm", true, false},
      {"abc", "a?c", false, true},
      {"ac", "a?c", false, false},
      {"\u00E9", "?", false, true},
      {"\u00E9t\u00E9", "\u00C9*", false, true},
      {"", "*", false, true},
      {"", "", false, true},
      {"a", "", false, false},
      {"abc", "*b*", false, true},
      {"abc", "*d*", false, false},
      {"abcbd", "*b?", false, true},
      {"draft_1.htm", "draft_?.htm", true, true},
      {"mississippi", "m*iss*ppi", true, true},
      {"mississippi", "m*iss*x", true, false},
      {std::string(300, 'a') + "b", "*a*a*a*a*a*a*a*a*a*a*c", true, false},
  };
  ExpectMatches(&CStringUtils::MatchSpec, cases);
}

TEST(StringUtilsMatch, FindInListAndCompareNoCase) {
  const std::vector<std::string> list = {"/site/a.htm", "/site/B.htm"};
  EXPECT_TRUE(CStringUtils::FindInList("/site/B.htm", list, true));
  EXPECT_FALSE(CStringUtils::FindInList("/site/b.htm", list, true));
  EXPECT_TRUE(CStringUtils::FindInList("/site/b.htm", list, false));
  EXPECT_FALSE(CStringUtils::FindInList("/site/a.htm", {}, false));

  EXPECT_EQ(CStringUtils::CompareNoCase("Apple", "apple"), 0);
  EXPECT_EQ(CStringUtils::CompareNoCase("a", "B"), -1);
  EXPECT_EQ(CStringUtils::CompareNoCase("\u00C9t\u00E9", "\u00E9T\u00C9"), 0);
  EXPECT_EQ(CStringUtils::CompareNoCase("ab", "a"), 1);
}

// ---- Case -----------------------------------------------------------------------------------

struct CaseCase {
  std::string model;
  std::string text;
  std::string out;
};

TEST(StringUtilsPreserveCase, CopiesTheCapitalisationPattern) {
  const std::vector<CaseCase> cases = {
      {"TEH", "the", "THE"},
      {"Teh", "the end", "The end"},
      {"teh", "the", "the"},
      {"tEH", "the", "the"},
      {"A", "an", "An"},
      {"OK", "okay", "OKAY"},
      {"\u00C9COLE", "\u00E9cole", "\u00C9COLE"},
      {"GROSS", "gro\u00DF", "GROSS"},
      {"\u00DCber", "\u00FCber", "\u00DCber"},
      {"\u2018Teh", "\u2018the", "\u2018The"},
      {"123", "abc", "abc"},
      {"Teh", "", ""},
      // Capitals without a small form carry no case: such a model is its own lower case.
      {"\u2119\u2119", "teh", "teh"},
      {"\u2119eh", "the", "the"},
      {"\u2119TEH", "the", "THE"},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    CStringUtils::PreserveCase(c.model, text);
    EXPECT_EQ(text, c.out) << c.model << " / " << c.text;
  }
}

TEST(StringUtilsCase, MakeLower) {
  const std::vector<TrimCase> cases = {
      {"HeLLo", "hello"},
      {"\u00C9COLE", "\u00E9cole"},
      {"\u0130", "i\u0307"},
      {"\u039F\u0394\u039F\u03A3", "\u03BF\u03B4\u03BF\u03C2"},
      {"\u212A", "k"},
      {"\u023A", "\u2C65"},
      {"A\xFF"
       "B\xC3",
       "a\xFF"
       "b\xC3"},
      {"", ""},
  };
  ExpectInPlace(&CStringUtils::MakeLower, cases);
}

TEST(StringUtilsCase, MakeUpper) {
  const std::vector<TrimCase> cases = {
      {"abc", "ABC"},
      {"stra\u00DFe", "STRASSE"},
      {"\u00E9cole", "\u00C9COLE"},
      {"a\xFF", "A\xFF"},
  };
  ExpectInPlace(&CStringUtils::MakeUpper, cases);
}

// ---- Threads -------------------------------------------------------------------------------

// The check workers of several projects split and look up words at the same time.
TEST(StringUtilsThreads, WorkersShareNothing) {
  const std::string line = "Our caf\u00E9 \u2014 don\u2019" + Fill(4) + "t miss it, \u00C9COLE";
  const TextArray dictionary{"caf\u00E9", "don\u2019t", "it", "miss", "our"};
  std::vector<std::thread> workers;
  std::vector<int> found(4, 0);
  for (std::size_t w = 0; w < found.size(); ++w) {
    workers.emplace_back([&, w] {
      TextArray words;
      for (int round = 0; round < 200; ++round) {
        CStringUtils::GetWords(line, words, false);
        for (const std::string& word : words) {
          std::string key = word;
          CStringUtils::RemoveFillers(key);
          CStringUtils::TrimPunctuation(key, "", "");
          CStringUtils::MakeLower(key);
          bool hit = false;
          dictionary.Find(key, true, hit, true, false, true);
          found[w] += hit ? 1 : 0;
        }
      }
    });
  }
  for (auto& worker : workers) {
    worker.join();
  }
  for (const int hits : found) {
    EXPECT_EQ(hits, 200 * 5);
  }
}

} // namespace
