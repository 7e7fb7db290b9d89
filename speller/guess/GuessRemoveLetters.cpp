#include "guess/GuessRemoveLetters.h"

void CGuessRemoveLetters::Reset() {
  m_position = 0;
}

void CGuessRemoveLetters::MakeGuesses(const std::string& word,
                                      const std::vector<int>& dictionaryIds,
                                      std::vector<std::string>& suggestions, bool findAll,
                                      CSpellCheckerImpl* speller) {
  if (speller == nullptr) {
    return;
  }
  const std::size_t count = CharStarts(word, m_starts);
  if (count < 2) {
    return;
  }
  for (std::size_t position = m_position; position < count; ++position) {
    m_buffer.assign(word, 0, m_starts[position]);
    m_buffer.append(word, m_starts[position + 1]);
    if (!IsKnown(*speller, m_buffer, dictionaryIds)) {
      continue;
    }
    suggestions.push_back(m_buffer);
    if (!findAll) {
      m_position = position + 1;
      return;
    }
  }
  Reset();
}
