#include "guess/GuessUn.h"

#include "utilcore/StringUtils.h"

#include <string_view>

void CGuessUn::Reset() {
  m_first = true;
}

void CGuessUn::MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                           std::vector<std::string>& suggestions, bool findAll,
                           CSpellCheckerImpl* speller) {
  if (speller == nullptr || CountChars(word) < 4 ||
      !CStringUtils::MatchFirstChars(word, "un", false)) {
    return;
  }
  const std::string_view stem = std::string_view(word).substr(2);
  if (!IsKnown(*speller, stem, dictionaryIds)) {
    return;
  }
  if (findAll) {
    suggestions.emplace_back("not ").append(stem);
    suggestions.emplace_back("non-").append(stem);
    Reset();
    return;
  }
  suggestions.emplace_back(m_first ? "not " : "non-").append(stem);
  m_first = !m_first;
}
