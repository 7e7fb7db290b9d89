// Written words as a page or the user gives them, through the facade, against a small
// compiled main dictionary.
#include "speller/facade/SpellerFixture.h"

#include <string>
#include <vector>

namespace {

using spellertest::SpellerTest;
using Ids = std::vector<int>;

class WrittenWordTest : public SpellerTest {
protected:
  void SetUp() override {
    SpellerTest::SetUp();
    WriteFile(AppDir() + "Dictionary.txt", "bit\nbuilt\ncall\ncommand\ncompiler\nin\ninformation\n"
                                           "known\nline\nnon\nonly\nprofit\npython\nread\nwell\n");
    WriteFile(AppDir() + "CommonWords.txt", "the\n");
    WriteDic("site.dic", "Pagelint\netc\n");
    m_speller = &StartSpeller();
    ASSERT_TRUE(m_speller->BuildMainDictionary());
  }

  /// What the checking pipeline reports for `written`: "" when recognised or skipped.
  std::string Reported(const std::string& written) const {
    std::string word = written;
    return !m_speller->PreprocessWord(word) || m_speller->LookUp(word, {0}) ? "" : word;
  }

  CSpellChecker* m_speller = nullptr;
};

// U+00AD soft hyphen, U+200D zero-width joiner, U+200C zero-width non-joiner; "\x1A" is
// the filler byte that page text keeps after a decoded reference.
TEST_F(WrittenWordTest, RecognisesCompoundsAbbreviationsAndJoinedWords) {
  for (const char* written :
       {"built-in", "Well-known.", "(non-profit),", "read-only-command", "64-bit",
        "built\xE2\x80\x90in", "e.g.,", "(E.g.", "i.e.)", "p.m.", "etc.",
        "infor\xC2\xADma\xC2\xADtion", "in&shy;for&shy;ma&shy;tion",
        "infor\xC2\xAD\x1A\x1A\x1Ama\xC2\xAD\x1A\x1A\x1Ation", "informa\xE2\x80\x8Dtion",
        "in&zwj;formation", "informa\xE2\x80\x8Ction", "in&zwnj;formation",
        "com\xC2\xADmand-line."}) {
    EXPECT_EQ(Reported(written), "") << written;
  }
  // A finding keeps its written form, so that it is found and replaced whole.
  const std::pair<const char*, const char*> findings[] = {
      {"mult-compiler", "mult-compiler"},
      {"built-in-lines", "built-in-lines"},
      {"e.g", "e.g"},
      {"teh.", "teh"},
      {"infor\xC2\xADmaton", "infor\xC2\xADmaton"},
      {"informa\xE2\x80\x8C\x1A\x1A\x1Aton", "informa\xE2\x80\x8Cton"}};
  for (const auto& [written, reported] : findings) {
    EXPECT_EQ(Reported(written), reported) << written;
  }
}

TEST_F(WrittenWordTest, PossessiveBeforePunctuationIsThePossessiveAlone) {
  for (const std::string mark : {".", ",", ")", ":", ";", "!", "?", "\xE2\x80\x9D"}) {
    for (const std::string apostrophe : {"'", "\xE2\x80\x99"}) {
      EXPECT_EQ(Reported("Python" + apostrophe + "s" + mark), "") << mark;
      EXPECT_EQ(Reported("(call" + apostrophe + "s" + mark), "") << mark;
      EXPECT_EQ(Reported("Pythn" + apostrophe + "s" + mark), "Pythn") << mark;
    }
  }
}

TEST_F(WrittenWordTest, LookUpAsTypedNeedsEveryPartAndTheMainDictionary) {
  const struct {
    const char* typed;
    Ids ids;
    bool known;
  } cases[] = {{"built-Pagelint", {0}, false},
               {"built-Pagelint", {1, 0}, true},
               {"-built", {0}, false},
               {"built-", {0}, false},
               {"built--in", {0}, false},
               {"built\xE2\x80\x93in", {0}, false},
               {"e.g.", {1}, false},
               {"e.g.", {}, false},
               {"etc.", {1}, true},
               {"vs.", {1}, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(m_speller->LookUp(c.typed, c.ids), c.known) << c.typed;
  }
}

TEST_F(SpellerTest, WrittenFormsWaitForAMainDictionaryThatDidNotLoad) {
  CSpellChecker& speller = StartSpeller();
  bool settled = true;
  EXPECT_FALSE(speller.LookUp("built-in", {0}, settled));
  EXPECT_FALSE(settled);
  EXPECT_FALSE(speller.LookUp("e.g.", {0}));
  // One failed load per word looked up, not one per part.
  EXPECT_EQ(LogCount("{03C7C9A6-55A3-474E-BE43-6F6241B5E3FA}"), 2);
}

} // namespace
