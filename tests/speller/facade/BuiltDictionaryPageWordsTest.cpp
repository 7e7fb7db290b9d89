// Words of real pages against the main dictionary that the build compiles into the
// program folder: accented words however a page writes them, and their plain forms.
#include "speller/facade/SpellerFixture.h"

#include "dictionaries/MainDictionary.h"
#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/TextArray.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using spellertest::SpellerTest;

class BuiltDictionaryPageWords : public SpellerTest {
protected:
  void SetUp() override {
    SpellerTest::SetUp();
    // The registry takes the main dictionary's file when it learns the program folder.
    CSpellChecker::GetInstance()->SetMainDictionaryFile(CDirUtils::GetAppPath() +
                                                        CMainDictionary::kFileName);
    CSpellChecker& speller = StartSpeller();
    m_ids = {speller.GetDictionaryID(spellertest::kMainName)};
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

struct SPageCase {
  const char* html;
  bool recognised;
};

TEST_F(BuiltDictionaryPageWords, AccentedAndRestoredPlainWordsAreRecognised) {
  const SPageCase cases[] = {
      {"caf\xC3\xA9", true},   {"Caf\xC3\xA9.", true},   {"CAF\xC3\x89", true},
      {"cafe\xCC\x81", true}, // e and a combining acute
      {"caf&eacute;", true},  // a named reference
      {"cafe&#x301;", true},  // a combining accent as a reference
      {"CAF&Eacute;S", true},  {"clich\xC3\xA9s", true}, {"Attach\xC3\xA9's", true},
      {"Z\xC3\xBCrich", true}, {"attaches", true}, // SCOWL lists it only as "attachés"
      {"Attaches", true},      {"cafe", true},           {"cliches", true},
      {"wishlist's", true},   // listed only as a possessive
      {"caf\xC3\xA8", false}, // a grave accent: another word
      {"attachess", false},
  };
  for (const SPageCase& c : cases) {
    const auto words = CheckLine(c.html);
    ASSERT_EQ(words.size(), 1U) << c.html;
    EXPECT_EQ(words[0].second, c.recognised) << c.html << " as " << words[0].first;
  }
}

TEST_F(BuiltDictionaryPageWords, SuggestionsAroundAccentedWordsAreWholeCharacters) {
  CSpellChecker& speller = *CSpellChecker::GetInstance();
  for (const std::string word : {"cafe", "naive", "caf\xC3\xA9", "CAF\xC3\x89S", "cafe\xCC\x81",
                                 "clich\xC3\xA9"
                                 "e",
                                 "attachs"}) {
    for (const bool findAll : {true, false}) {
      std::vector<std::string> suggestions;
      speller.Guess(word, m_ids, suggestions, findAll, true);
      for (const std::string& suggestion : suggestions) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(suggestion.data());
        const auto length = static_cast<std::int32_t>(suggestion.size());
        for (std::int32_t i = 0; i < length;) {
          UChar32 c = 0;
          U8_NEXT(bytes, i, length, c);
          EXPECT_GE(c, 0) << word << " gave " << suggestion;
        }
      }
    }
  }
  std::vector<std::string> suggestions;
  speller.Guess("attachs", m_ids, suggestions, true, true);
  EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "attaches"), suggestions.end());
}

} // namespace
