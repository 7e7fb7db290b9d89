#include "checking/WordShapes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string_view>

namespace {

using EUppercase = CWordShapes::EUppercase;
using ENumbers = CWordShapes::ENumbers;

struct ShapeCase {
  std::string_view word;
  bool uppercase; ///< ignored with "Ignore words in UPPERCASE"
  bool digit;     ///< ignored with "Ignore words with numbers"
};

void PrintTo(const ShapeCase& c, std::ostream* os) {
  *os << '"' << c.word << '"';
}

class WordShapesTable : public testing::TestWithParam<ShapeCase> {};

// Each option ignores its own shape only, both together either, and neither nothing:
// a word of both shapes does not exist, since a digit makes a word no capitals word.
TEST_P(WordShapesTable, EachOptionIgnoresItsShape) {
  const ShapeCase& c = GetParam();
  EXPECT_EQ(CWordShapes::IsUppercase(c.word), c.uppercase);
  EXPECT_EQ(CWordShapes::HasDigit(c.word), c.digit);
  EXPECT_FALSE(CWordShapes().Ignores(c.word));
  EXPECT_EQ(CWordShapes(EUppercase::kIgnored, ENumbers::kChecked).Ignores(c.word), c.uppercase);
  EXPECT_EQ(CWordShapes(EUppercase::kChecked, ENumbers::kIgnored).Ignores(c.word), c.digit);
  EXPECT_EQ(CWordShapes(EUppercase::kIgnored, ENumbers::kIgnored).Ignores(c.word),
            c.uppercase || c.digit);
}

INSTANTIATE_TEST_SUITE_P(
    Capitals, WordShapesTable,
    testing::Values(ShapeCase{"SATA", true, false}, ShapeCase{"EOF", true, false},
                    ShapeCase{"ALWAY", true, false}, ShapeCase{"A", true, false},
                    // A plural "s" after two capitals or more, and only at the end.
                    ShapeCase{"FIFOs", true, false}, ShapeCase{"ABs", true, false},
                    ShapeCase{"As", false, false}, ShapeCase{"FIFOss", false, false},
                    ShapeCase{"FIFOsX", false, false}, ShapeCase{"sATA", false, false},
                    ShapeCase{"FIFOes", false, false},
                    // Any other small letter makes a word to check.
                    ShapeCase{"Fifos", false, false}, ShapeCase{"iOS", false, false},
                    ShapeCase{"SATAx", false, false}, ShapeCase{"SATA-based", false, false},
                    // Marks and punctuation inside are not letters.
                    ShapeCase{"DON'T", true, false}, ShapeCase{"RS-232C", false, true},
                    ShapeCase{"S.M.A.R.T", true, false}));

INSTANTIATE_TEST_SUITE_P(
    Digits, WordShapesTable,
    testing::Values(ShapeCase{"beta1", false, true}, ShapeCase{"v2", false, true},
                    ShapeCase{"utf8", false, true}, ShapeCase{"UTF-8", false, true},
                    ShapeCase{"SQLITE3", false, true}, ShapeCase{"1990s", false, true},
                    // Arabic-Indic and full-width digits are digits too.
                    ShapeCase{"x\xD9\xA3", false, true},
                    ShapeCase{"\xEF\xBC\xB6\xEF\xBC\x92", false, true},
                    // Superscript two is a number but no decimal digit.
                    ShapeCase{"x\xC2\xB2y", false, false}));

INSTANTIATE_TEST_SUITE_P(
    OtherScripts, WordShapesTable,
    testing::Values(
        // ÉTÉ precomposed, and decomposed with combining acute accents.
        ShapeCase{"\xC3\x89T\xC3\x89", true, false}, ShapeCase{"E\xCC\x81TE\xCC\x81", true, false},
        ShapeCase{"\xC3\xA9t\xC3\xA9", false, false},
        // GROẞ with the capital sharp s; GROß with the small one.
        ShapeCase{"GRO\xE1\xBA\x9E", true, false}, ShapeCase{"GRO\xC3\x9F", false, false},
        // Greek ΑΒΓ and Ωμέγα; Cyrillic СССР.
        ShapeCase{"\xCE\x91\xCE\x92\xCE\x93", true, false},
        ShapeCase{"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", false, false},
        ShapeCase{"\xD0\xA1\xD0\xA1\xD0\xA1\xD0\xA0", true, false},
        // Letters without case (中文), alone or after capitals, are no capitals.
        ShapeCase{"\xE4\xB8\xAD\xE6\x96\x87", false, false},
        ShapeCase{"ABC\xE4\xB8\xAD", false, false},
        // Mathematical bold capitals have no small form: they say nothing of case.
        ShapeCase{"\xF0\x9D\x90\x80\xF0\x9D\x90\x81", false, false}));

// Text that is no word, or damaged UTF-8, never breaks the rule: a damaged byte is
// neither letter nor digit.
INSTANTIATE_TEST_SUITE_P(NoWords, WordShapesTable,
                         testing::Values(ShapeCase{"", false, false},
                                         ShapeCase{"---", false, false},
                                         ShapeCase{"ABC\xFF", true, false},
                                         ShapeCase{"\xC3", false, false},
                                         ShapeCase{"A\xC3(1", false, true},
                                         ShapeCase{std::string_view("AB\0C", 4), true, false}));

} // namespace
