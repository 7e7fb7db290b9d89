#include "guess/GuessAddLetters.h"

void CGuessAddLetters::Reset() {
  m_position = 0;
  m_letter = 'a';
}

void CGuessAddLetters::MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                                   std::vector<std::string>& suggestions, bool findAll,
                                   CSpellCheckerImpl* speller) {
  if (speller == nullptr) {
    return;
  }
  const std::size_t count = CharStarts(word, m_starts);
  if (m_position > count) {
    Reset();
  }
  // One buffer for every candidate: the gap moves right one character at a time.
  std::size_t gap = m_starts[m_position];
  m_buffer.assign(word, 0, gap);
  m_buffer += 'a';
  m_buffer.append(word, gap);
  for (std::size_t position = m_position;; ++position) {
    for (char letter = m_letter; letter <= 'z'; ++letter) {
      m_buffer[gap] = letter;
      if (!IsKnown(*speller, m_buffer, dictionaryIds)) {
        continue;
      }
      suggestions.push_back(m_buffer);
      if (!findAll) {
        m_position = position;
        m_letter = static_cast<char>(letter + 1);
        return;
      }
    }
    m_letter = 'a';
    if (position == count) {
      break;
    }
    const std::size_t next = m_starts[position + 1];
    m_buffer.replace(gap, next - gap, word, gap, next - gap);
    gap = next;
    m_buffer[gap] = 'a';
  }
  Reset();
}
