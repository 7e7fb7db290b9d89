#pragma once

#include "spellcore/DictionaryKind.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

class CSpellChecker;

/// The dictionaries as pagelint-check shows them and as --dictionary names them: by
/// name or by language tag, letter case aside.
class CDictionaryChoice {
public:
  struct Entry {
    int id = -1;
    std::string name;
    EDictionaryKind kind = EDictionaryKind::kWordList;
    std::string language;
  };

  /// Every dictionary of `speller`: the built-in one and the word lists in the
  /// speller's order, then the Hunspell dictionaries by name.
  static std::vector<Entry> List(const CSpellChecker& speller);
  /// "built-in", "word list" or "hunspell".
  static const char* KindWord(EDictionaryKind kind);
  /// One line per entry: name, kind and language, separated by tabs (the language is
  /// empty for word lists).
  static void Write(const std::vector<Entry>& entries, std::ostream& out);
  /// The id that `given` names, -1 for none. A dictionary's name first; else a language
  /// tag, "-" or "_" alike ("en_GB", "en-gb"): the Hunspell dictionary of that tag or
  /// language, else the built-in dictionary when the language is its own.
  static int Resolve(const std::vector<Entry>& entries, std::string_view given);
  /// The dictionaries of a folder check: `mains` (when any) in place of the built-in
  /// dictionary of `defaults`, with the word lists of `defaults` and `lists` after them.
  static std::vector<int> Combine(const CSpellChecker& speller, const std::vector<int>& defaults,
                                  const std::vector<int>& mains, const std::vector<int>& lists);
};
