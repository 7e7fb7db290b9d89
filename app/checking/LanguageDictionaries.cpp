#include "checking/LanguageDictionaries.h"

#include "checking/LanguageTag.h"

#include "spellcore/DictionaryKind.h"
#include "spellcore/SpellChecker.h"

#include <algorithm>

CLanguageDictionaries::CLanguageDictionaries(std::vector<SDictionary> active)
    : m_active(std::move(active)) {
  std::vector<int> all;
  all.reserve(m_active.size());
  for (const SDictionary& dictionary : m_active) {
    all.push_back(dictionary.id);
  }
  m_sets.push_back(std::move(all));
}

std::vector<CLanguageDictionaries::SDictionary>
CLanguageDictionaries::Describe(const std::vector<int>& ids) {
  std::vector<SDictionary> described;
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  described.reserve(ids.size());
  for (const int id : ids) {
    SDictionary& dictionary = described.emplace_back();
    dictionary.id = id;
    if (speller != nullptr) {
      dictionary.builtIn = speller->GetDictionaryKind(id) == EDictionaryKind::kBuiltIn;
      dictionary.language = speller->GetDictionaryLanguage(id);
    }
  }
  return described;
}

int CLanguageDictionaries::SetFor(const std::string& tag) {
  if (tag.empty()) {
    return 0;
  }
  const auto known = m_byTag.find(tag);
  if (known != m_byTag.end()) {
    return known->second;
  }
  std::vector<int> ids = Choose(tag);
  const int set = ids.empty() ? kUnchecked : Number(std::move(ids));
  m_byTag.emplace(tag, set);
  return set;
}

std::vector<int> CLanguageDictionaries::Choose(const std::string& tag) const {
  const auto isLanguage = [](const SDictionary& d) { return !d.language.empty(); };
  const auto exact = [&](const SDictionary& d) {
    return isLanguage(d) && CLanguageTag::Same(d.language, tag);
  };
  const bool otherEnglish = std::any_of(m_active.begin(), m_active.end(), [](const SDictionary& d) {
    return !d.builtIn && CLanguageTag::SamePrimary(d.language, "en");
  });
  const auto sameLanguage = [&](const SDictionary& d) {
    return isLanguage(d) && CLanguageTag::SamePrimary(d.language, tag) &&
           !(d.builtIn && otherEnglish);
  };
  const bool anyExact = std::any_of(m_active.begin(), m_active.end(), exact);
  std::vector<int> ids;
  for (const SDictionary& dictionary : m_active) {
    if (anyExact ? exact(dictionary) : sameLanguage(dictionary)) {
      ids.push_back(dictionary.id);
    }
  }
  if (ids.empty()) {
    return ids;
  }
  // The word lists keep their places among the chosen, as in the project's order.
  ids.clear();
  for (const SDictionary& dictionary : m_active) {
    if (!isLanguage(dictionary) || (anyExact ? exact(dictionary) : sameLanguage(dictionary))) {
      ids.push_back(dictionary.id);
    }
  }
  return ids;
}

int CLanguageDictionaries::Number(std::vector<int> ids) {
  const auto known = std::find(m_sets.begin(), m_sets.end(), ids);
  if (known != m_sets.end()) {
    return static_cast<int>(known - m_sets.begin());
  }
  m_sets.push_back(std::move(ids));
  return static_cast<int>(m_sets.size() - 1);
}
