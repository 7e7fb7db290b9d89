#include "guess/GuessSeparateWords.h"

#include <string_view>

void CGuessSeparateWords::Reset() {
  m_space = true;
  m_split = 2;
}

namespace {
std::string Join(std::string_view first, char separator, std::string_view rest) {
  std::string text;
  text.reserve(first.size() + 1 + rest.size());
  text.append(first).append(1, separator).append(rest);
  return text;
}
} // namespace

void CGuessSeparateWords::MakeGuesses(const std::string& word,
                                      const std::vector<int>& dictionaryIds,
                                      std::vector<std::string>& suggestions, bool findAll,
                                      CSpellCheckerImpl* speller) {
  if (speller == nullptr) {
    return;
  }
  const std::size_t count = CharStarts(word, m_starts);
  if (count < 4) {
    return;
  }
  const std::string_view text(word);
  for (std::size_t split = m_split; split + 2 <= count; ++split) {
    const std::string_view first = text.substr(0, m_starts[split]);
    const std::string_view rest = text.substr(m_starts[split]);
    if (!IsKnown(*speller, first, dictionaryIds) || !IsKnown(*speller, rest, dictionaryIds)) {
      continue;
    }
    if (findAll) {
      suggestions.push_back(Join(first, ' ', rest));
      suggestions.push_back(Join(first, '-', rest));
      continue;
    }
    suggestions.push_back(Join(first, m_space ? ' ' : '-', rest));
    // The blank form keeps this split current for the "-" form of the next call.
    m_split = m_space ? split : split + 1;
    m_space = !m_space;
    return;
  }
  Reset();
}
