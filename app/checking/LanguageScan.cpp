#include "checking/LanguageScan.h"

#include "checking/LanguageNames.h"

#include <algorithm>

void CLanguageScan::StartPage(const std::vector<int>& ids, CPageLanguages* languages) {
  m_languages = languages != nullptr && languages->HasLanguages() ? languages : nullptr;
  m_language = CLanguageNames::kNone;
  // Line numbers start over with each page: every cache begins its next line afresh.
  for (const std::unique_ptr<SCache>& entry : m_caches) {
    if (entry != nullptr) {
      entry->line = kNoLine;
    }
  }
  m_wordTest.line = kNoLine;
  if (m_languages == nullptr) {
    return;
  }
  // A dictionary's language never changes under its id, so the choice is made again
  // only for another list of ids.
  if (!m_dictionaries || !m_dictionaries->IsFor(ids)) {
    m_dictionaries.emplace(CLanguageDictionaries::Describe(ids));
    m_caches.clear();
  }
  const std::vector<std::string>& tags = m_languages->Languages();
  m_pageLanguages.resize(tags.size());
  for (std::size_t k = 0; k < tags.size(); ++k) {
    m_pageLanguages[k] = {m_dictionaries->SetFor(tags[k]), CLanguageNames::Number(tags[k])};
  }
  m_languages->StartScan();
}

int CLanguageScan::SetAt(std::size_t line, std::size_t offset) {
  const SPageLanguage& language = m_pageLanguages[m_languages->LanguageAt(line, offset)];
  m_language = language.number;
  return language.set;
}

CWordLookupCache& CLanguageScan::CacheFor(int set, std::size_t line) {
  const auto index = static_cast<std::size_t>(set);
  if (m_caches.size() <= index) {
    m_caches.resize(index + 1);
  }
  if (m_caches[index] == nullptr) {
    m_caches[index] = std::make_unique<SCache>();
  }
  SCache& entry = *m_caches[index];
  if (entry.line != line) {
    entry.cache.BeginLine(Ids(set));
    entry.line = line;
  }
  return entry.cache;
}

void CLanguageScan::CountUnchecked(const CSpellChecker& speller, std::string_view token,
                                   std::size_t line) {
  // Without dictionaries the cache only tells whether the token is a word at all.
  static const std::vector<int> kNoDictionaries;
  if (m_wordTest.line != line) {
    m_wordTest.cache.BeginLine(kNoDictionaries);
    m_wordTest.line = line;
  }
  if (m_wordTest.cache.LookUp(speller, token).outcome == CWordLookupCache::EOutcome::kSkipped) {
    return;
  }
  const auto entry = std::find_if(m_unchecked.begin(), m_unchecked.end(),
                                  [this](const SUnchecked& u) { return u.language == m_language; });
  if (entry != m_unchecked.end()) {
    ++entry->words;
    return;
  }
  m_unchecked.push_back({m_language, 1});
}
