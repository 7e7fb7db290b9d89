#include "guess/GuessReversal.h"

#include <string_view>

void CGuessReversal::Reset() {
  m_position = 0;
}

void CGuessReversal::MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                                 std::vector<std::string>& suggestions, bool findAll,
                                 CSpellCheckerImpl* speller) {
  if (speller == nullptr) {
    return;
  }
  const std::size_t count = CharStarts(word, m_starts);
  if (count < 2) {
    return;
  }
  const std::string_view text(word);
  m_buffer = word;
  for (std::size_t position = m_position + 1; position < count; ++position) {
    const std::size_t begin = m_starts[position - 1];
    const std::size_t middle = m_starts[position];
    const std::size_t end = m_starts[position + 1];
    const std::string_view left = text.substr(begin, middle - begin);
    const std::string_view right = text.substr(middle, end - middle);
    if (left == right) {
      continue;
    }
    m_buffer.replace(begin, right.size(), right);
    m_buffer.replace(begin + right.size(), left.size(), left);
    const bool known = IsKnown(*speller, m_buffer, dictionaryIds);
    if (known) {
      suggestions.push_back(m_buffer);
    }
    m_buffer.replace(begin, end - begin, text.substr(begin, end - begin));
    if (known && !findAll) {
      m_position = position;
      return;
    }
  }
  Reset();
}
