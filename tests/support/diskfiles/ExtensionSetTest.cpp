#include "diskfiles/ExtensionSet.h"

#include <gtest/gtest.h>

namespace {
struct MatchCase {
  const char* fileName;
  bool expected;
};

void PrintTo(const MatchCase& match, std::ostream* out) {
  *out << match.fileName;
}

class ExtensionSetMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(ExtensionSetMatch, ComparesTheLastExtensionWithoutCase) {
  const CExtensionSet set({"htm", ".HTML", "*.shtml", "ÉTÉ"});
  EXPECT_EQ(set.Matches(GetParam().fileName), GetParam().expected) << GetParam().fileName;
}

INSTANTIATE_TEST_SUITE_P(Table, ExtensionSetMatch,
                         testing::Values(MatchCase{"index.htm", true}, MatchCase{"INDEX.HTM", true},
                                         MatchCase{"a.Html", true}, MatchCase{"b.shtml", true},
                                         MatchCase{"page.été", true}, MatchCase{"page.ÉtÉ", true},
                                         MatchCase{"archive.htm.gz", false},
                                         MatchCase{"htm", false}, MatchCase{"file.", false},
                                         MatchCase{"file.ht", false}, MatchCase{"file.htmx", false},
                                         MatchCase{"", false}, MatchCase{"bad.\xff\xfe", false}));
} // namespace

TEST(ExtensionSet, NormalizeDropsWildcardAndDotsAndFoldsCase) {
  EXPECT_EQ(CExtensionSet::Normalize("*.HTM"), "htm");
  EXPECT_EQ(CExtensionSet::Normalize(".Php"), "php");
  EXPECT_EQ(CExtensionSet::Normalize("ÄSP"), "äsp");
  EXPECT_EQ(CExtensionSet::Normalize(""), "");
  // Bytes that are not UTF-8 survive; only their ASCII letters are folded.
  EXPECT_EQ(CExtensionSet::Normalize("A\xff"), "a\xff");
}

TEST(ExtensionSet, StarAcceptsEverythingAndEmptyAcceptsNothing) {
  EXPECT_TRUE(CExtensionSet({"*"}).Matches("anything.xyz"));
  EXPECT_TRUE(CExtensionSet({"*.*"}).Matches("noextension"));
  EXPECT_FALSE(CExtensionSet().Matches("index.htm"));
  EXPECT_TRUE(CExtensionSet().IsEmpty());
  EXPECT_FALSE(CExtensionSet({"", "."}).Matches("a."));
}
