#include "guess/GuessPluralSingular.h"

#include "utilcore/StringUtils.h"

#include <string_view>

void CGuessPluralSingular::Reset() {
  m_first = true;
}

namespace {
std::string OrForm(std::string_view stem) {
  std::string text(stem);
  text.append(" or ").append(stem).append(1, 's');
  return text;
}
std::string SlashForm(std::string_view stem) {
  std::string text(stem);
  text.append(1, '/').append(stem).append(1, 's');
  return text;
}
} // namespace

void CGuessPluralSingular::MakeGuesses(const std::string& word,
                                       const std::vector<int>& dictionaryIds,
                                       std::vector<std::string>& suggestions, bool findAll,
                                       CSpellCheckerImpl* speller) {
  if (speller == nullptr || CountChars(word) < 4 ||
      !CStringUtils::MatchLastChars(word, "(s)", false)) {
    return;
  }
  const std::string_view stem = std::string_view(word).substr(0, word.size() - 3);
  m_buffer.assign(stem).append(1, 's');
  if (!IsKnown(*speller, stem, dictionaryIds) || !IsKnown(*speller, m_buffer, dictionaryIds)) {
    return;
  }
  if (findAll) {
    suggestions.push_back(OrForm(stem));
    suggestions.push_back(SlashForm(stem));
    Reset();
    return;
  }
  suggestions.push_back(m_first ? OrForm(stem) : SlashForm(stem));
  m_first = !m_first;
}
