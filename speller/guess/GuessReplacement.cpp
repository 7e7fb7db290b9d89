#include "guess/GuessReplacement.h"

void CGuessReplacement::Reset() {
  m_position = 0;
  m_letter = 0;
}

void CGuessReplacement::MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                                    std::vector<std::string>& suggestions, bool findAll,
                                    CSpellCheckerImpl* speller) {
  if (speller == nullptr) {
    return;
  }
  if (CharStarts(word, m_starts) < 2) {
    return;
  }
  // Every replaced character is ASCII, and no byte of a multi-byte UTF-8 character
  // is, so walking bytes never cuts one.
  m_buffer = word;
  for (std::size_t position = m_position; position < word.size(); ++position) {
    if (!IsReplaced(word[position])) {
      m_letter = 0;
      continue;
    }
    for (std::size_t letter = m_letter; letter < kAlphabet.size(); ++letter) {
      m_buffer[position] = kAlphabet[letter];
      if (!IsKnown(*speller, m_buffer, dictionaryIds)) {
        continue;
      }
      suggestions.push_back(m_buffer);
      if (!findAll) {
        m_position = position;
        m_letter = letter + 1;
        return;
      }
    }
    m_buffer[position] = word[position];
    m_letter = 0;
  }
  Reset();
}
