#include "dictedit/DictionaryWords.h"

#include "utilcore/StringUtils.h"
#include "utilcore/TextArray.h"

#include <algorithm>
#include <iterator>

namespace {
/// The editor's order: ascending, letter case aside (TextArray's order for the flags
/// the editor sorts with).
bool Before(const std::string& a, const std::string& b) {
  return CStringUtils::CompareNoCase(a, b) < 0;
}

void SortWords(std::vector<std::string>& words) {
  // A dictionary's words mostly come sorted already; one pass finds that out.
  if (std::is_sorted(words.begin(), words.end(), Before)) {
    return;
  }
  TextArray sorted(std::move(words));
  sorted.Sort(true, false, false, true);
  words = std::move(sorted.Items());
}

void ReplaceLineBreaks(std::string& text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.replace(at, 2, " ");
  }
}

/// The words of one text as the editor keeps them.
void AppendNormalised(std::string text, std::vector<std::string>& words) {
  CStringUtils::TrimPunctuation(text, "", "");
  if (CStringUtils::IsEffectivelyEmpty(text)) {
    return;
  }
  CStringUtils::MakeLower(text);
  TextArray parts;
  CStringUtils::GetWords(text, parts, true);
  for (std::string& part : parts.Items()) {
    CStringUtils::TrimPunctuation(part, "", "");
    if (!CStringUtils::IsEffectivelyEmpty(part)) {
      words.push_back(std::move(part));
    }
  }
}
} // namespace

CDictionaryWords::CDictionaryWords(std::vector<std::string> words) : m_words(std::move(words)) {
  SortWords(m_words);
}

std::vector<std::string> CDictionaryWords::AddTexts(const std::vector<std::string>& texts) {
  std::vector<std::string> added = NewWords(texts);
  Insert(added);
  return added;
}

std::vector<std::string> CDictionaryWords::NewWords(const std::vector<std::string>& texts) const {
  std::vector<std::string> candidates;
  for (const std::string& text : texts) {
    AppendNormalised(text, candidates);
  }
  std::vector<std::string> added;
  for (std::string& word : candidates) {
    if (!Holds(word) && std::find(added.begin(), added.end(), word) == added.end()) {
      added.push_back(std::move(word));
    }
  }
  return added;
}

void CDictionaryWords::Insert(const std::vector<std::string>& words) {
  if (words.empty()) {
    return;
  }
  // Sorting the few new words and merging them in (a stable merge) orders the rows as
  // sorting them all would, without sorting a big dictionary again.
  std::vector<std::string> sorted = words;
  SortWords(sorted);
  const auto middle = static_cast<std::ptrdiff_t>(m_words.size());
  m_words.insert(m_words.end(), std::make_move_iterator(sorted.begin()),
                 std::make_move_iterator(sorted.end()));
  std::inplace_merge(m_words.begin(), m_words.begin() + middle, m_words.end(), Before);
}

bool CDictionaryWords::Holds(const std::string& word) const {
  // Words equal but for letter case are neighbours in the order.
  const auto [first, last] = std::equal_range(m_words.begin(), m_words.end(), word, Before);
  return std::find(first, last, word) != last;
}

void CDictionaryWords::RemoveRows(std::size_t first, std::size_t last) {
  if (first >= m_words.size() || last < first) {
    return;
  }
  const std::size_t end = std::min(last + 1, m_words.size());
  m_words.erase(m_words.begin() + static_cast<std::ptrdiff_t>(first),
                m_words.begin() + static_cast<std::ptrdiff_t>(end));
}

void CDictionaryWords::ReplaceRow(std::size_t row, const std::string& text) {
  RemoveRows(row, row);
  AddTexts({text});
}

std::vector<std::string> CDictionaryWords::SplitTyped(std::string text) {
  ReplaceLineBreaks(text);
  TextArray words;
  CStringUtils::GetWords(text, words, true);
  return std::move(words.Items());
}

std::vector<std::string> CDictionaryWords::SplitPasted(const std::vector<std::string>& entries,
                                                       std::string_view skip) {
  std::vector<std::string> words;
  for (std::string entry : entries) {
    if (entry == skip) {
      continue;
    }
    CStringUtils::Trim(entry);
    if (CStringUtils::IsEffectivelyEmpty(entry)) {
      continue;
    }
    CStringUtils::MakeLower(entry);
    ReplaceLineBreaks(entry);
    TextArray parts;
    CStringUtils::GetWords(entry, parts, true);
    for (std::string& part : parts.Items()) {
      CStringUtils::Trim(part);
      if (!part.empty()) {
        words.push_back(std::move(part));
      }
    }
  }
  return words;
}
