#include "utilcore/WordPair.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The word of a token: punctuation around it goes, inside it stays; fillers after a
// decoded character belong to it.
TEST(WordPair, TheCoreOfATokenIsFromItsFirstToItsLastLetter) {
  const struct {
    std::string token;
    std::string core;
  } cases[] = {
      {"the", "the"},
      {"(the", "the"},
      {"the).", "the"},
      {"\xE2\x80\x9Cthe\xE2\x80\x9D", "the"},
      {"don't", "don't"},
      {"'90s", "90s"},
      {"caf\xC3\xA9\x1A\x1A\x1A\x1A,", "caf\xC3\xA9\x1A\x1A\x1A\x1A"},
      {"th\x1C"
       "e",
       "th\x1C"
       "e"},
      {"na\xC3\xAFve!", "na\xC3\xAFve"},
      {"\xC2\xBFqu\xC3\xA9?", "qu\xC3\xA9"},
      {"--", ""},
      {"\xE2\x80\xA6", ""},
      {"\xFF", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    const CWordPair::SCore core = CWordPair::CoreOf(c.token);
    EXPECT_EQ(c.token.substr(core.begin, core.end - core.begin), c.core);
  }
}

TEST(WordPair, ASecondWordRepeatsTheFirstInTheSameCaseOrAfterACapital) {
  const struct {
    const char* first;
    const char* second;
    bool repeats;
  } cases[] = {
      {"the", "the", true},
      {"In", "in", true},
      {"THE", "THE", true},
      {"\xC3\x89t\xC3\xA9", "\xC3\xA9t\xC3\xA9", true}, // Été été
      {"th\x1C"
       "e",
       "the", true},
      {"caf\xC3\xA9\x1A\x1A", "caf\xC3\xA9", true},
      {"in", "In", false},
      {"AND", "and", false},
      {"The", "THE", false},
      {"the", "then", false},
      {"thee", "the", false},
      {"1", "1", false},
      {"2.0", "2.0", false},
      {"x1", "x1", true},
      {"", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " " + c.second);
    EXPECT_EQ(CWordPair::Repeats(c.first, c.second), c.repeats);
    // The cheap test never turns away a repeat.
    if (c.repeats) {
      EXPECT_TRUE(CWordPair::MayRepeat(c.first, c.second));
    }
  }
  EXPECT_TRUE(CWordPair::MayRepeat("A", "a"));
  EXPECT_TRUE(CWordPair::MayRepeat("\xC3\x89", "\xC3\xA9"));
  EXPECT_FALSE(CWordPair::MayRepeat("the", "thy"));
}

TEST(WordPair, OnlyWhiteSpaceAndInvisibleBytesLeaveAGapBlank) {
  const struct {
    std::string gap;
    bool blank;
  } cases[] = {
      {"", true},
      {" \t\r", true},
      {"\xC2\xA0\x1A\x1A\x1A\x1A", true}, // &nbsp;
      {"\xE2\x80\x83", true},             // em space
      {"\x1C", true},                     // a joiner
      {",", false},
      {" - ", false},
      {"\xE2\x80\x94", false}, // em dash
      {"\xE2\x80\x8B", false}, // zero-width space: no gap a reader sees
      {"\xC2", false},         // damaged
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gap);
    EXPECT_EQ(CWordPair::IsBlank(c.gap), c.blank);
  }
}

} // namespace
