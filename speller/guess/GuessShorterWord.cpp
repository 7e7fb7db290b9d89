#include "guess/GuessShorterWord.h"

#include <string_view>

void CGuessShorterWord::Reset() {
  m_cut = 2;
}

void CGuessShorterWord::MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                                    std::vector<std::string>& suggestions, bool findAll,
                                    CSpellCheckerImpl* speller) {
  if (speller == nullptr) {
    return;
  }
  const std::size_t count = CharStarts(word, m_starts);
  if (count < 2) {
    return;
  }
  // A prefix is a view of the word: nothing is copied until it is accepted.
  const std::string_view text(word);
  while (m_cut + 2 <= count) {
    const std::string_view prefix = text.substr(0, m_starts[count - m_cut]);
    ++m_cut;
    if (!IsKnown(*speller, prefix, dictionaryIds)) {
      continue;
    }
    suggestions.emplace_back(prefix);
    if (!findAll) {
      return;
    }
  }
  Reset();
}
