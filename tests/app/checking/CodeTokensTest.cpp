#include "checking/CodeTokens.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string JoinedPieces(std::string_view word) {
  std::vector<std::string_view> pieces;
  CCodeTokens::SplitPieces(word, pieces);
  std::string joined;
  for (const std::string_view piece : pieces) {
    joined += joined.empty() ? "" : "|";
    joined += piece;
  }
  return joined;
}

TEST(CodeTokens, TellsCodeFromPlainWordsAndCutsItsPieces) {
  const struct {
    const char* word;
    bool code;
    const char* pieces;
  } cases[] = {
      {"auto_vaccum", true, "auto|vaccum"},
      {"allowedSignersFile", true, "allowed|Signers|File"},
      {"core.sparseCheckoutCone", true, "core|sparse|Checkout|Cone"},
      {"SQLITE_CONFIG_PCACHE_HDRSZ", true, "SQLITE|CONFIG|PCACHE|HDRSZ"},
      {"lang_select.html#values", true, "lang|select|html|values"},
      {"aliasconv.bash", true, "aliasconv|bash"},
      {"geoploy_overlap()", true, "geoploy|overlap"},
      {"190c2507", true, "c"},
      {"v2.5", true, "v"},
      {"1.4e+14", true, "e"},
      {"1,NULL,4", true, "NULL"},
      {"x[i", true, "x|i"},
      {"a*b", true, "a|b"},
      {"{key}", true, "key"},
      {"a=b", true, "a|b"},
      {"std::vector", true, "std|vector"},
      {"getHTTPResponseCode", true, "get|HTTP|Response|Code"},
      {"OpensSSH", true, "Opens|SSH"},
      {"iOS", true, "i|OS"},
      {"beta1", true, "beta"},
      {"caf\xC3\xA9_cr\xC3\xA8me", true, "caf\xC3\xA9|cr\xC3\xA8me"},
      {"\xC3\xA9t\xC3\xA9\xC3\x89t\xC3\xA9", true, "\xC3\xA9t\xC3\xA9|\xC3\x89t\xC3\xA9"},
      // Letters, apostrophes and hyphens make a plain word, checked whole as always;
      // a run of capitals before a capitalised word is no sign of code on its own.
      {"datatypes", false, "datatypes"},
      {"HTTPServer", false, "HTTP|Server"},
      {"don't", false, "don|t"},
      {"case-insenitive", false, "case|insenitive"},
      {"Vaccum", false, "Vaccum"},
      {"SATA", false, "SATA"},
      {"FIFOs", false, "FIFOs"},
      {"FIFOs_x", true, "FIFOs|x"},
      {"\xC3\x89T\xC3\x89", false, "\xC3\x89T\xC3\x89"},
      // An abbreviation's period ends the word; inside one, a period is code.
      {"approx.", false, "approx"},
      {"e.g", true, "e|g"},
      {"", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CCodeTokens::IsCodeLike(c.word), c.code) << c.word;
    EXPECT_EQ(JoinedPieces(c.word), c.pieces) << c.word;
  }
}

TEST(CodeTokens, PlainKeysAndFormsMeetTheKeysOfPieces) {
  EXPECT_EQ(CCodeTokens::PlainKey("Vaccum"), "vaccum");
  EXPECT_EQ(CCodeTokens::PlainKey("VACCUM"), "vaccum");
  EXPECT_EQ(CCodeTokens::PlainKey("\xC3\x89lan"), "\xC3\xA9lan");
  // Only a word that could be a piece itself counts under a key.
  for (const char* none : {"don't", "ab", "multi-word", "x1y", ""}) {
    EXPECT_EQ(CCodeTokens::PlainKey(none), "") << none;
  }
  EXPECT_EQ(CCodeTokens::PlainForms("vaccum"),
            (std::vector<std::string>{"vaccum", "Vaccum", "VACCUM"}));
  EXPECT_EQ(CCodeTokens::PlainForms("\xC3\xA9lan"),
            (std::vector<std::string>{"\xC3\xA9lan", "\xC3\x89lan", "\xC3\x89LAN"}));
  EXPECT_EQ(CCodeTokens::PlainForms("x"), (std::vector<std::string>{"x", "X"}));
  std::vector<std::string> keys;
  CCodeTokens::ForEachKey("vaccum\nsetlk\n", [&](std::string_view key) { keys.emplace_back(key); });
  EXPECT_EQ(keys, (std::vector<std::string>{"vaccum", "setlk"}));
}

class CodeTokensSpeller : public testing::Test {
protected:
  static void SetUpTestSuite() {
    CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
  }
  static void TearDownTestSuite() { CSpellChecker::DeleteInstance(); }
};

TEST_F(CodeTokensSpeller, ListsTheUnknownPiecesOfThreeLettersOrMoreOnce) {
  const std::vector<int> ids{0};
  const struct {
    const char* word;
    const char* unknown;
  } cases[] = {
      {"auto_vaccum", "vaccum\n"},
      {"allowedSignersFile", ""},
      {"SQLITE_EANBLE_SETLK_TIMEOUT", "eanble\nsetlk\n"},
      {"geoploy_overlap()", "geoploy\n"},
      {"Vaccum_vaccum.VACCUM", "vaccum\n"},
      {"190c2507", ""},
      {"x[i]", ""},
      {"OpensSSH", ""},
      {"get_wrold_count", "wrold\n"},
      {"fe3e1db5-6454-46d6-a14c-071208ebe4b1", ""},
      {"0x1fab2", ""},
      {"abc123_wrold", "wrold\n"},
      {"fab_zzq1", "zzq\n"},
  };
  for (const auto& c : cases) {
    bool settled = true;
    EXPECT_EQ(CCodeTokens::UnknownPieces(*CSpellChecker::GetInstance(), c.word, ids, settled),
              c.unknown)
        << c.word;
    EXPECT_TRUE(settled) << c.word;
  }
}

} // namespace
