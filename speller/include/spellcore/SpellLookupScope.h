#pragma once

#include "spellcore/SpellChecker.h"

/// Holds the speller's dictionaries for the look-ups of one thread over a scope, such as
/// the lines of one page: every LookUp inside is then re-entrant, and threads checking
/// at once no longer meet on the shared reader count once per word. Keep the scope short
/// and take no other lock in it: a dictionary change waits for it.
class CSpellLookupScope {
public:
  /// Holds nothing for a null speller.
  explicit CSpellLookupScope(const CSpellChecker* speller) : m_speller(speller) {
    if (m_speller != nullptr) {
      m_speller->HoldLookups();
    }
  }
  ~CSpellLookupScope() {
    if (m_speller != nullptr) {
      m_speller->ReleaseLookups();
    }
  }
  CSpellLookupScope(const CSpellLookupScope&) = delete;
  CSpellLookupScope& operator=(const CSpellLookupScope&) = delete;

private:
  const CSpellChecker* m_speller;
};
