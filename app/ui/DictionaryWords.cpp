#include "DictionaryWords.h"

#include "utilcore/StringUtils.h"
#include "utilcore/TextArray.h"

#include <algorithm>
#include <unordered_set>

namespace {
void SortWords(std::vector<std::string>& words) {
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
  std::vector<std::string> candidates;
  for (const std::string& text : texts) {
    AppendNormalised(text, candidates);
  }
  std::vector<std::string> added;
  if (candidates.empty()) {
    return added;
  }
  std::unordered_set<std::string> present(m_words.begin(), m_words.end());
  for (std::string& word : candidates) {
    if (present.insert(word).second) {
      added.push_back(std::move(word));
    }
  }
  if (added.empty()) {
    return added;
  }
  m_words.insert(m_words.end(), added.begin(), added.end());
  SortWords(m_words);
  return added;
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
