#include "pagelint-check/TerminalText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct ShownCase {
  const char* name;
  std::string in;
  std::string shown;
};

void PrintTo(const ShownCase& c, std::ostream* os) {
  *os << c.name;
}

class TerminalTextShown : public testing::TestWithParam<ShownCase> {};

TEST_P(TerminalTextShown, Printable) {
  EXPECT_EQ(CTerminalText::Printable(GetParam().in), GetParam().shown);
  std::string appended = "x";
  CTerminalText::AppendPrintable(appended, GetParam().in);
  EXPECT_EQ(appended, "x" + GetParam().shown);
}

// Each character at the edges of what is hidden, between two letters.
INSTANTIATE_TEST_SUITE_P(
    Characters, TerminalTextShown,
    testing::Values(ShownCase{"Plain", "a b~", "a b~"}, ShownCase{"Empty", "", ""},
                    ShownCase{"Nul", std::string("a\0b", 3), "a?b"},
                    ShownCase{"Tab", "a\tb", "a?b"}, ShownCase{"NewLine", "a\nb", "a?b"},
                    ShownCase{"CarriageReturn", "a\rb", "a?b"},
                    ShownCase{"Escape", "a\x1b[2Jb", "a?[2Jb"},
                    ShownCase{"UnitSeparator",
                              "a\x1f"
                              "b",
                              "a?b"},
                    ShownCase{"Delete",
                              "a\x7f"
                              "b",
                              "a?b"},
                    ShownCase{"C1First",
                              "a\xC2\x80"
                              "b",
                              "a?b"},
                    ShownCase{"C1NextLine",
                              "a\xC2\x85"
                              "b",
                              "a?b"},
                    ShownCase{"C1ControlSequenceIntroducer",
                              "a\xC2\x9B"
                              "2Jb",
                              "a?2Jb"},
                    ShownCase{"C1Last",
                              "a\xC2\x9F"
                              "b",
                              "a?b"},
                    ShownCase{"NoBreakSpace",
                              "a\xC2\xA0"
                              "b",
                              "a\xC2\xA0"
                              "b"},
                    ShownCase{"Accented", "caf\xC3\xA9", "caf\xC3\xA9"},
                    ShownCase{"ArabicLetterMark",
                              "a\xD8\x9C"
                              "b",
                              "a?b"},
                    ShownCase{"ZeroWidthJoiner",
                              "a\xE2\x80\x8D"
                              "b",
                              "a\xE2\x80\x8D"
                              "b"},
                    ShownCase{"LeftToRightMark",
                              "a\xE2\x80\x8E"
                              "b",
                              "a?b"},
                    ShownCase{"RightToLeftMark",
                              "a\xE2\x80\x8F"
                              "b",
                              "a?b"},
                    ShownCase{"LineSeparator",
                              "a\xE2\x80\xA8"
                              "b",
                              "a?b"},
                    ShownCase{"ParagraphSeparator",
                              "a\xE2\x80\xA9"
                              "b",
                              "a?b"},
                    ShownCase{"BeforeEmbeddings",
                              "a\xE2\x80\xA7"
                              "b",
                              "a\xE2\x80\xA7"
                              "b"},
                    ShownCase{"LeftToRightEmbedding",
                              "a\xE2\x80\xAA"
                              "b",
                              "a?b"},
                    ShownCase{"RightToLeftOverride",
                              "a\xE2\x80\xAE"
                              "b",
                              "a?b"},
                    ShownCase{"NarrowNoBreakSpace",
                              "a\xE2\x80\xAF"
                              "b",
                              "a\xE2\x80\xAF"
                              "b"},
                    ShownCase{"BeforeIsolates",
                              "a\xE2\x81\xA5"
                              "b",
                              "a\xE2\x81\xA5"
                              "b"},
                    ShownCase{"LeftToRightIsolate",
                              "a\xE2\x81\xA6"
                              "b",
                              "a?b"},
                    ShownCase{"PopDirectionalIsolate",
                              "a\xE2\x81\xA9"
                              "b",
                              "a?b"},
                    ShownCase{"AfterIsolates",
                              "a\xE2\x81\xAA"
                              "b",
                              "a\xE2\x81\xAA"
                              "b"},
                    ShownCase{"Emoji", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
                    ShownCase{"LoneContinuationByte",
                              "a\x80"
                              "b",
                              "a?b"},
                    ShownCase{"Truncated", "a\xE2\x80", "a?"},
                    ShownCase{"Overlong",
                              "a\xC0\xAF"
                              "b",
                              "a??b"},
                    ShownCase{"Surrogate",
                              "a\xED\xA0\x80"
                              "b",
                              "a???b"},
                    ShownCase{"BeyondUnicode",
                              "a\xF4\x90\x80\x80"
                              "b",
                              "a????b"},
                    ShownCase{"InvalidByte",
                              "a\xFF"
                              "b",
                              "a?b"}),
    [](const testing::TestParamInfo<ShownCase>& param) { return std::string(param.param.name); });

} // namespace
