#include "checking/UncheckedLanguages.h"

#include "checking/LanguageNames.h"

#include <algorithm>

void CUncheckedLanguages::Add(std::span<const CLanguageScan::SUnchecked> page) {
  if (page.empty()) {
    return;
  }
  const std::lock_guard lock(m_mutex);
  for (const CLanguageScan::SUnchecked& entry : page) {
    const auto known = std::find_if(m_counts.begin(), m_counts.end(), [&](const auto& counted) {
      return counted.language == entry.language;
    });
    if (known != m_counts.end()) {
      known->words += entry.words;
    } else {
      m_counts.push_back(entry);
    }
  }
}

void CUncheckedLanguages::Clear() {
  const std::lock_guard lock(m_mutex);
  m_counts.clear();
}

std::vector<CUncheckedLanguages::SLanguage> CUncheckedLanguages::Get() const {
  std::vector<SLanguage> languages;
  {
    const std::lock_guard lock(m_mutex);
    for (const CLanguageScan::SUnchecked& entry : m_counts) {
      languages.push_back({CLanguageNames::Tag(entry.language), entry.words});
    }
  }
  std::sort(languages.begin(), languages.end(),
            [](const SLanguage& a, const SLanguage& b) { return a.tag < b.tag; });
  return languages;
}

std::string CUncheckedLanguages::Describe(const SLanguage& language) {
  const std::string count = std::to_string(language.words);
  return count + (language.words == 1 ? " word in " : " words in ") + language.tag +
         " left unchecked: no dictionary for it";
}

std::string CUncheckedLanguages::DescribeAll(const std::vector<SLanguage>& languages) {
  std::string all;
  for (const SLanguage& language : languages) {
    all += (all.empty() ? "" : "; ") + Describe(language);
  }
  return all;
}
