// Words of real pages against the main dictionary that the build compiles into the
// program folder: accented words however a page writes them, and their plain forms.
#include "speller/facade/SpellerFixture.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/TextArray.h"
#include "utilcore/TextFileCodec.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using spellertest::SpellerTest;

class BuiltDictionaryPageWords : public SpellerTest {
protected:
  void SetUp() override {
    SpellerTest::SetUp();
    m_ids = StartWithBuiltMainDictionary();
  }

  /// The words of one line of HTML as the page scanner cuts them: references decoded
  /// in place (with fillers), split, preprocessed; each with its lookup's answer.
  std::vector<std::pair<std::string, bool>> CheckLine(std::string html) const {
    const CSpellChecker& speller = *CSpellChecker::GetInstance();
    CHTMLUtils::ReplaceHTMLReservedChars(html, false, true);
    TextArray tokens;
    CStringUtils::GetWords(html, tokens, false);
    std::vector<std::pair<std::string, bool>> words;
    for (std::string word : tokens.Items()) {
      if (speller.PreprocessWord(word)) {
        words.emplace_back(word, speller.LookUp(word, m_ids));
      }
    }
    return words;
  }

  std::vector<int> m_ids;
};

// Accented words however a page writes them: composed, in capitals, with a combining
// accent, as references; plain forms that SCOWL lists only with accents ("attaches"
// only as "attachés"); a stem listed only in a possessive ("wishlist's").
TEST_F(BuiltDictionaryPageWords, AccentedAndRestoredPlainWordsAreRecognised) {
  const std::vector<std::string> recognised = {
      "caf\xC3\xA9", "Caf\xC3\xA9.", "CAF\xC3\x89",    "cafe\xCC\x81",     "caf&eacute;",
      "cafe&#x301;", "CAF&Eacute;S", "clich\xC3\xA9s", "Attach\xC3\xA9's", "Z\xC3\xBCrich",
      "attaches",    "Attaches",     "cafe",           "cliches",          "wishlist's"};
  // A grave accent makes another word.
  const std::vector<std::string> unknown = {"caf\xC3\xA8", "attachess"};
  for (const auto& [words, expected] : {std::pair(recognised, true), std::pair(unknown, false)}) {
    for (const std::string& html : words) {
      const auto checked = CheckLine(html);
      ASSERT_EQ(checked.size(), 1U) << html;
      EXPECT_EQ(checked[0].second, expected) << html << " as " << checked[0].first;
    }
  }
}

TEST_F(BuiltDictionaryPageWords, SuggestionsAroundAccentedWordsAreWholeCharacters) {
  CSpellChecker& speller = *CSpellChecker::GetInstance();
  for (const std::string word : {"cafe", "naive", "CAF\xC3\x89S", "cafe\xCC\x81", "attachs"}) {
    for (const bool findAll : {true, false}) {
      std::vector<std::string> suggestions;
      speller.Guess(word, m_ids, suggestions, findAll, true);
      for (const std::string& suggestion : suggestions) {
        EXPECT_TRUE(CTextFileCodec::IsValidUtf8(suggestion)) << word << " gave " << suggestion;
      }
    }
  }
  std::vector<std::string> suggestions;
  speller.Guess("attachs", m_ids, suggestions, true, true);
  EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "attaches"), suggestions.end());
}

} // namespace
