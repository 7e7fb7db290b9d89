#pragma once

#include "checking/LanguageDictionaries.h"
#include "checking/PageLanguages.h"
#include "checking/WordLookupCache.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class CSpellChecker;

/// One scanning thread's view of the languages of the page it scans: for each token,
/// the dictionaries that check it (a set of CLanguageDictionaries) and the language a
/// finding records, and a count of the words left unchecked in each language no
/// active dictionary is for. A page without lang attributes takes none of this: every
/// token goes to set 0, the project's dictionaries, as before.
class CLanguageScan {
public:
  /// Words of one language left unchecked in the page.
  struct SUnchecked {
    std::uint16_t language = 0; ///< CLanguageNames number
    std::size_t words = 0;
  };

  /// Before the page's tokens: `languages` were heard while the page was made into
  /// text (null for a line scanned without its page).
  void StartPage(const std::vector<int>& ids, CPageLanguages* languages);
  /// Whether the page has text in any language (else every token uses set 0).
  bool IsActive() const { return m_languages != nullptr; }

  /// The set for the token at a place (places in page order); kUnchecked when no
  /// active dictionary is for its language. Also sets Language().
  int SetAt(std::size_t line, std::size_t offset);
  /// The CLanguageNames number of the language at the last SetAt.
  std::uint16_t Language() const { return m_language; }
  /// The ids of a set and its cache of answers, begun for the current line.
  CWordLookupCache& CacheFor(int set, std::size_t line);
  const std::vector<int>& Ids(int set) const { return m_dictionaries->Ids(set); }
  /// Counts `token` as left unchecked in Language() when it is a word at all.
  void CountUnchecked(const CSpellChecker& speller, std::string_view token, std::size_t line);

  /// The page's unchecked words by language, in the order met.
  std::span<const SUnchecked> Unchecked() const { return m_unchecked; }
  void ClearUnchecked() { m_unchecked.clear(); }

private:
  static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);
  struct SCache {
    CWordLookupCache cache;
    std::size_t line = kNoLine;
  };
  /// Per page language: its set and its CLanguageNames number.
  struct SPageLanguage {
    int set = 0;
    std::uint16_t number = 0;
  };

  std::optional<CLanguageDictionaries> m_dictionaries;
  std::vector<std::unique_ptr<SCache>> m_caches;
  SCache m_wordTest;
  std::vector<SPageLanguage> m_pageLanguages;
  CPageLanguages* m_languages = nullptr;
  std::uint16_t m_language = 0;
  std::vector<SUnchecked> m_unchecked;
};
