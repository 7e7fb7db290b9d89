// The rules by which the dictionary editor turns text into words, reads the
// clipboard and searches its rows.
#include "dictedit/DictionaryWords.h"
#include "dictedit/ClipboardText.h"
#include "dictedit/WordFinder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {
using Words = std::vector<std::string>;

struct SAddCase {
  const char* name;
  Words rows;
  Words texts;
  Words added;
  Words after;
};

const SAddCase kAddCases[] = {
    {"SortedInPlace",
     {"beta", "alpha"},
     {"Gamma,", "delta"},
     {"gamma", "delta"},
     {"alpha", "beta", "delta", "gamma"}},
    {"PresentWordAddsNothing", {"alpha"}, {"alpha", "Alpha."}, {}, {"alpha"}},
    {"RepeatedTextAddedOnce", {}, {"new", "NEW", "(new)"}, {"new"}, {"new"}},
    {"SeveralWordsInOneText", {}, {"\"Two  Words\""}, {"two", "words"}, {"two", "words"}},
    {"InvisibleTextsSkipped", {"a"}, {"", "   ", "!!!", "\xE2\x80\x8B"}, {}, {"a"}},
    {"InnerMarksKept", {}, {"Don't", "E-Mail"}, {"don't", "e-mail"}, {"don't", "e-mail"}},
    {"LowerCasedBeyondAscii",
     {},
     {"\xC3\x89"
      "COLE"},
     {"\xC3\xA9"
      "cole"},
     {"\xC3\xA9"
      "cole"}},
    {"ExactComparisonOnly", {"Zebra"}, {"zebra"}, {"zebra"}, {"Zebra", "zebra"}},
};

class AddTextsTest : public testing::TestWithParam<SAddCase> {};

TEST_P(AddTextsTest, NormalisesSplitsDropsPresentWordsAndSorts) {
  const SAddCase& c = GetParam();
  CDictionaryWords words(c.rows);
  EXPECT_EQ(words.AddTexts(c.texts), c.added);
  EXPECT_EQ(words.Words(), c.after);
}

INSTANTIATE_TEST_SUITE_P(DictionaryWords, AddTextsTest, testing::ValuesIn(kAddCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(DictionaryWords, RemoveAndReplaceKeepTheOrder) {
  const Words rows{"alpha", "beta", "gamma", "omega"};
  struct SCase {
    std::size_t first, last;
    Words after;
  };
  for (const SCase& c : {SCase{1, 2, {"alpha", "omega"}}, SCase{2, 99, {"alpha", "beta"}},
                         SCase{4, 5, rows}, SCase{2, 1, rows}}) {
    CDictionaryWords words(rows);
    words.RemoveRows(c.first, c.last);
    EXPECT_EQ(words.Words(), c.after) << c.first << "-" << c.last;
  }
  struct SEdit {
    const char* text;
    Words after;
  };
  for (const SEdit& c : {SEdit{"Two Words", {"alpha", "gamma", "omega", "two", "words"}},
                         SEdit{"", {"alpha", "gamma", "omega"}},
                         SEdit{"Alpha", {"alpha", "gamma", "omega"}}, SEdit{"beta", rows}}) {
    CDictionaryWords words(rows);
    words.ReplaceRow(1, c.text);
    EXPECT_EQ(words.Words(), c.after) << c.text;
  }
}

TEST(DictionaryWords, TypedAndPastedTextsSplitIntoWords) {
  EXPECT_EQ(CDictionaryWords::SplitTyped("Gamma, delta\r\nepsilon\nzeta"),
            (Words{"Gamma,", "delta", "epsilon", "zeta"}));
  EXPECT_EQ(CDictionaryWords::SplitTyped(" \r\n "), Words{});
  EXPECT_EQ(CDictionaryWords::SplitPasted({"~", "  Hello World ", "", " \t", "X\r\nY", "~~"}, "~"),
            (Words{"hello", "world", "x", "y", "~~"}));
}

TEST(ClipboardText, ParsesRowsAndCells) {
  struct SCase {
    const char* text;
    bool parsed;
    Words entries;
  };
  const SCase cases[] = {
      {"", false, {}},
      {"a", true, {"a"}},
      {"a\nb\n", true, {"a", "b"}},
      {"a\r\nb", true, {"a", "b"}},
      {"a\r\rb", true, {"a", "~", "b"}},
      {"a\tb\n\tc", true, {"a", "b", "~", "c"}},
      {"a\t", true, {"a", "~"}},
      {"\n", true, {"~"}},
  };
  for (const SCase& c : cases) {
    Words entries{"kept"};
    EXPECT_EQ(CClipboardText::Parse(c.text, "~", entries), c.parsed) << c.text;
    entries.erase(entries.begin());
    EXPECT_EQ(entries, c.entries) << c.text;
  }
}

constexpr int kNone = -1;

struct SFindCase {
  const char* name;
  const char* text;
  CWordFinder::SOptions options;
  int focused; ///< kNone: no focused row
  /// The rows found by the first search and each search again; kNone where nothing
  /// is found (the search stops there).
  std::vector<int> found;
  const char* message; ///< after kNone
};

const SFindCase kFindCases[] = {
    {"DownWraps", "ph", {false, true, false}, 0, {0, 1, 2, 0, 1}, nullptr},
    {"DownStops", "ph", {false, true, true}, 0, {0, 1, 2, kNone}, CWordFinder::kNoMoreFound},
    {"UpWraps", "ph", {false, false, false}, 0, {0, 2, 1, 0}, nullptr},
    {"UpStops", "ph", {false, false, true}, 2, {2, 1, 0, kNone}, CWordFinder::kNoMoreFound},
    {"FirstSearchWrapsToEarlierRows", "alp", {false, true, false}, 1, {0, 0}, nullptr},
    {"FirstSearchStopsAtTheEnd",
     "alp",
     {false, true, true},
     1,
     {kNone},
     CWordFinder::kNothingFound},
    {"NoFocusStartsAtTheFirstRow",
     "a",
     {false, false, true},
     kNone,
     {0, kNone},
     CWordFinder::kNoMoreFound},
    {"IgnoringCase", "PH", {false, true, false}, 1, {1}, nullptr},
    {"MatchingCase", "PH", {true, true, false}, 1, {kNone}, CWordFinder::kNothingFound},
    {"NoMatch", "xyz", {false, true, false}, 0, {kNone}, CWordFinder::kNothingFound},
};

class WordFinderTest : public testing::TestWithParam<SFindCase> {};

TEST_P(WordFinderTest, WalksTheRowsAsTheOptionsSay) {
  const SFindCase& c = GetParam();
  const Words rows{"alpha", "graph", "phone"};
  CWordFinder finder;
  finder.Start(c.text, c.options);
  std::optional<std::size_t> focused;
  if (c.focused != kNone) {
    focused = static_cast<std::size_t>(c.focused);
  }
  for (std::size_t step = 0; step < c.found.size(); ++step) {
    const std::optional<std::size_t> found = finder.FindNext(rows, focused);
    if (c.found[step] == kNone) {
      EXPECT_FALSE(found.has_value()) << "step " << step;
      EXPECT_STREQ(finder.NotFoundMessage(), c.message);
      return;
    }
    ASSERT_TRUE(found.has_value()) << "step " << step;
    EXPECT_EQ(*found, static_cast<std::size_t>(c.found[step])) << "step " << step;
    focused = found;
  }
}

INSTANTIATE_TEST_SUITE_P(DictionaryWords, WordFinderTest, testing::ValuesIn(kFindCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(WordFinder, ANewSearchForgetsWhatWasFoundAndTheTextsAreExact) {
  const Words rows{"alpha"};
  CWordFinder finder;
  finder.Start("alp", {false, true, true});
  ASSERT_TRUE(finder.FindNext(rows, 0).has_value());
  EXPECT_FALSE(finder.FindNext(rows, 0).has_value());
  EXPECT_STREQ(finder.NotFoundMessage(),
               "Given your search criteria, there were no more matching texts found.");
  finder.Start("alp", {false, true, true});
  EXPECT_STREQ(finder.NotFoundMessage(),
               "Given your search criteria, there was no matching text found.");
  EXPECT_STREQ(CWordFinder::kPrompt,
               "Enter one or more words in the field below to attempt to find the text in the "
               "dictionary. Afterwards, press F3 to find it again.");
  EXPECT_FALSE(CWordFinder().FindNext(rows, 0).has_value()) << "no text";
}

} // namespace
