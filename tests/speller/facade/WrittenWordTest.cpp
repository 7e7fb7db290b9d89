// Written words as a page or the user gives them: preprocessed, then looked up through
// the facade, against a small compiled main dictionary.
#include "speller/facade/SpellerFixture.h"

#include "spellcore/SpellChecker.h"

#include <string>
#include <vector>

namespace {

using spellertest::SpellerTest;
using Ids = std::vector<int>;

class WrittenWordTest : public SpellerTest {
protected:
  void SetUp() override {
    SpellerTest::SetUp();
    WriteFile(AppDir() + "Dictionary.txt", "bit\nbuilt\ncall\ncase\ncommand\ncompiler\nin\n"
                                           "information\ninsensitive\nknown\nline\nnon\nonly\n"
                                           "profit\npython\nread\nwell\n");
    WriteFile(AppDir() + "CommonWords.txt", "the\nand\n");
    WriteDic("site.dic", "Pagelint\n");
    m_speller = &StartSpeller();
    ASSERT_TRUE(m_speller->BuildMainDictionary());
  }

  /// What the checking pipeline reports for `written`: nothing (recognised or
  /// skipped) as "", otherwise the cleaned word.
  std::string Reported(const std::string& written, const Ids& ids = {0}) const {
    std::string word = written;
    if (!m_speller->PreprocessWord(word) || m_speller->LookUp(word, ids)) {
      return "";
    }
    return word;
  }

  CSpellChecker* m_speller = nullptr;
};

TEST_F(WrittenWordTest, RecognisesWrittenForms) {
  const struct {
    const char* written;
    const char* reported; ///< "" when recognised
  } cases[] = {
      // Compounds: every part known, the whole word reported otherwise.
      {"built-in", ""},
      {"read-only,", ""},
      {"Well-known.", ""},
      {"non-profit", ""},
      {"(command-line)", ""},
      {"well-known-compiler", ""},
      {"64-bit", ""},
      {"built\xE2\x80\x90in", ""}, // U+2010 HYPHEN
      {"case-insenitive", "case-insenitive"},
      {"mult-compiler", "mult-compiler"},
      {"built-in-lines", "built-in-lines"},
      // Abbreviations keep their period; a sentence's end does not.
      {"e.g.", ""},
      {"e.g.,", ""},
      {"(e.g.", ""},
      {"E.g.", ""},
      {"i.e.)", ""},
      {"p.m.", ""},
      {"etc.", ""},
      {"al.", ""},
      {"e.g", "e.g"},
      {"etc", "etc"},
      {"(etc).", "etc"},
      {"e.q.", "e.q"},
      {"teh.", "teh"},
      // Soft hyphens and zero-width (non-)joiners are no part of the word; as UTF-8, as
      // references typed by the user, and as page text (decoded, with fillers).
      {"in\xC2\xAD"
       "for\xC2\xAD"
       "ma\xC2\xAD"
       "tion",
       ""},
      {"in&shy;for&shy;ma&shy;tion", ""},
      {"in\xC2\xAD\x1A\x1A\x1A"
       "for\xC2\xAD\x1A\x1A\x1A"
       "mation",
       ""},
      {"in\xE2\x80\x8D"
       "formation",
       ""},
      {"in&zwnj;formation", ""},
      {"com\xC2\xAD"
       "mand-line.",
       ""},
      {"in\xC2\xAD"
       "for\xC2\xAD"
       "ma\xC2\xAD"
       "ton",
       "in\xC2\xAD"
       "for\xC2\xAD"
       "ma\xC2\xAD"
       "ton"},
      {"in\xE2\x80\x8C\x1A\x1A\x1A"
       "formaton",
       "in\xE2\x80\x8C"
       "formaton"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Reported(c.written), c.reported) << c.written;
  }
}

TEST_F(WrittenWordTest, PossessiveBeforePunctuationIsThePossessiveAlone) {
  for (const std::string punctuation : {".", ",", ")", ":", ";", "!", "?", "\xE2\x80\x9D"}) {
    for (const std::string apostrophe : {"'", "\xE2\x80\x99"}) {
      EXPECT_EQ(Reported("Python" + apostrophe + "s" + punctuation), "") << punctuation;
      EXPECT_EQ(Reported("Pythn" + apostrophe + "s" + punctuation), "Pythn") << punctuation;
      EXPECT_EQ(Reported("(call" + apostrophe + "s" + punctuation), "") << punctuation;
    }
  }
}

TEST_F(WrittenWordTest, LookUpAsTypedNeedsEveryPartAndTheMainDictionary) {
  const struct {
    const char* typed;
    Ids ids;
    bool known;
  } cases[] = {
      {"built-in", {0}, true},
      {"built-Pagelint", {0}, false}, // a part known only to another dictionary
      {"built-Pagelint", {1, 0}, true},
      {"-built", {0}, false},
      {"built-", {0}, false},
      {"built--in", {0}, false},
      {"built\xE2\x80\x93in", {0}, false}, // en dash
      {"built\xE2\x80\x94in", {0}, false}, // em dash
      {"e.g.", {0}, true},
      {"e.g.", {1}, false},
      {"e.g.", {}, false},
  };
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
