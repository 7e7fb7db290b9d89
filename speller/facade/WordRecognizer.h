#pragma once

#include <string_view>
#include <vector>

class CDictionaryRegistry;

/// Recognises a written word as the speller's callers see it: the dictionaries' own
/// words, and, only when the whole word is not found, the same word written with
/// invisible joiners (soft hyphens, zero-width joiners and non-joiners, word joiners),
/// a hyphenated compound whose every part is known, or a listed abbreviation with its
/// period while the main dictionary is among the ids (without it, when the dictionaries
/// know the abbreviation without its period).
///
/// The suggestion strategies keep validating their candidates against the dictionaries
/// alone, so that they never offer a made-up compound. Stateless and thread-safe.
class CWordRecognizer {
public:
  /// As CDictionaryRegistry::LookUp, with the written forms above.
  static bool LookUp(CDictionaryRegistry& registry, std::string_view word,
                     const std::vector<int>& ids, bool* settled);
};
