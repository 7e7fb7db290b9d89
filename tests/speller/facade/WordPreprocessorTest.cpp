#include "facade/WordPreprocessor.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>

namespace {

struct SCase {
  std::string input;
  bool lookUp;
  std::string output; ///< the word after the call; checked when lookUp is true
};

void PrintTo(const SCase& c, std::ostream* out) {
  *out << '"' << c.input << '"';
}

class PreprocessWordTest : public testing::TestWithParam<SCase> {};

TEST_P(PreprocessWordTest, CleansAndDecides) {
  const SCase& c = GetParam();
  std::string word = c.input;
  EXPECT_EQ(CWordPreprocessor::PreprocessWord(word), c.lookUp);
  if (c.lookUp) {
    EXPECT_EQ(word, c.output);
  }
}

// "\x1A" is the filler byte that page text keeps after a decoded character reference.
INSTANTIATE_TEST_SUITE_P(
    Table, PreprocessWordTest,
    testing::Values(SCase{"  word  ", true, "word"}, SCase{"\xC2\xA0word\t", true, "word"},
                    SCase{"\xC2\xAE"
                          "Brand\xE2\x84\xA2",
                          true, "Brand"},
                    SCase{"\xE2\x80\x98quoted\xE2\x80\x99", true, "quoted"},
                    SCase{"\xC2\xB0"
                          "C",
                          true, "C"},
                    SCase{"\xC2\xB5m\xC2\xB2\xC2\xB3", true, "m"}, SCase{"John's", true, "John"},
                    SCase{"John\xE2\x80\x99s", true, "John"}, SCase{"JOHN'S", true, "JOHN"},
                    SCase{"'s", false, ""},
                    SCase{"\xE2\x80\x99s", true, "s"} /* ’ is cut as a special character first */,
                    SCase{"(see", true, "see"}, SCase{"word(s)", true, "word(s)"},
                    SCase{"(word)", true, "word"}, SCase{"\"(word),\"", true, "word"},
                    SCase{"word.", true, "word"}, SCase{"\"Hello,\"", true, "Hello"},
                    // A listed abbreviation keeps the period that follows it, and a
                    // possessive before punctuation goes as if alone.
                    SCase{"e.g.,", true, "e.g."}, SCase{"(E.g.)", true, "E.g."},
                    SCase{"(etc).", true, "etc"}, SCase{"e.q.", true, "e.q"},
                    SCase{"John\xE2\x80\x99s.", true, "John"}, SCase{"(John's)", true, "John"},
                    SCase{"&amp;", false, ""}, SCase{"caf&eacute;", true, "caf\xC3\xA9"},
                    SCase{"{PRODUCT_NAME}", false, ""}, SCase{"{ID}", false, ""},
                    SCase{"\"{FIRST_NAME}\",", false, ""}, SCase{"{product}", true, "product"},
                    SCase{"{Name}", true, "Name"}, SCase{"1024x768", false, ""},
                    SCase{"3X4", false, ""}, SCase{"(1024x768)", false, ""},
                    SCase{"x86", true, "x86"}, SCase{"10x", true, "10x"},
                    SCase{"10x20x3", true, "10x20x3"}, SCase{"", false, ""},
                    SCase{"   ", false, ""}, SCase{"\xC2\xAE\xE2\x84\xA2\xC2\xBD", false, ""},
                    SCase{"\xC2\xBC", false, ""},
                    SCase{"\xC2\xA9\xC2\xAE\xE2\x84\xA2"
                          "Brand",
                          true, "Brand"},
                    // Page text: "John&rsquo;s", "&reg;Brand", "Brand&trade;".
                    SCase{"John\xE2\x80\x99\x1A\x1A\x1A\x1As", true, "John"},
                    SCase{"\xC2\xAE\x1A\x1A\x1A"
                          "Brand",
                          true, "Brand"},
                    SCase{"Brand\xE2\x84\xA2\x1A\x1A\x1A\x1A\x1A", true, "Brand"},
                    SCase{"don\xE2\x80\x99\x1A\x1A\x1A\x1At", true, "don\xE2\x80\x99t"},
                    // Page text "&amp;eacute;" shows "&eacute;": decoded once, never twice.
                    SCase{"&\x1A\x1A\x1A\x1A"
                          "eacute;",
                          true, "eacute"},
                    SCase{"\x1A\x1A", false, ""}));

struct SVerdict {
  const char* word;
  bool expected;
};

void ExpectVerdicts(bool (*test)(std::string_view), std::initializer_list<SVerdict> cases) {
  for (const SVerdict& c : cases) {
    EXPECT_EQ(test(c.word), c.expected) << c.word;
  }
}

TEST(WordPreprocessor, TemplatePlaceholders) {
  ExpectVerdicts(&CWordPreprocessor::IsTemplatePlaceholder, {{"{FIRST_NAME}", true},
                                                             {"{ID}", true},
                                                             {"{A}", true},
                                                             {"({X-1}).", true},
                                                             {"{}", false},
                                                             {"{Name}", false},
                                                             {"{\xC3\x84}", false},
                                                             {"{A}x", false},
                                                             {"ID}", false},
                                                             {"{ID", false},
                                                             {"x{ID}y", false}});
}

TEST(WordPreprocessor, Dimensions) {
  ExpectVerdicts(&CWordPreprocessor::IsDimension, {{"10x20", true},
                                                   {"3X4", true},
                                                   {"1x1", true},
                                                   {"x20", false},
                                                   {"10x", false},
                                                   {"10x20x3", false},
                                                   {"axb", false},
                                                   {"10X20x", false},
                                                   {"1.5x2", false},
                                                   {"x", false},
                                                   {"", false},
                                                   {"12", false}});
}

TEST(WordPreprocessor, SpecialCharactersAtEitherEnd) {
  EXPECT_EQ(CWordPreprocessor::SpecialCharAtStart("\xE2\x84\xA2x"), 3U);
  EXPECT_EQ(CWordPreprocessor::SpecialCharAtStart("\xC2\xA9"), 2U);
  EXPECT_EQ(CWordPreprocessor::SpecialCharAtStart("\xC2\xA0x"), 0U);    // no-break space
  EXPECT_EQ(CWordPreprocessor::SpecialCharAtStart("\xE2\x80\x9C"), 0U); // left double quote
  EXPECT_EQ(CWordPreprocessor::SpecialCharAtEnd("x\xC2\xBE"), 2U);
  EXPECT_EQ(CWordPreprocessor::SpecialCharAtEnd("x\xE2\x80\x98"), 3U);
  EXPECT_EQ(CWordPreprocessor::SpecialCharAtEnd("\xC3\xA9"), 0U);
  EXPECT_EQ(CWordPreprocessor::SpecialCharAtEnd(""), 0U);
}

} // namespace
