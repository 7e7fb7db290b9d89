#pragma once

#include "dictionaries/Dictionary.h"
#include "dictionaries/WordFilter.h"

#include "utilcore/TextArray.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// A word-list dictionary: one word per line in a text file (UTF-8, UTF-16 or
/// Windows-1252), held in memory as a sorted list of trimmed, lower-case words.
///
/// Contains treats the typographic apostrophes U+2019 and U+02BC as "'", on both
/// sides: "don’t" finds "don't" and the other way round. The stored words and the
/// file keep the apostrophes they were given.
class CCustomDictionary : public CDictionary {
public:
  CCustomDictionary(int id, std::string name, std::string path)
      : CDictionary(id, std::move(name), std::move(path)) {}

  /// Reads the file; false (words unchanged) when it is missing or cannot be read. A
  /// file that is there but refused (too large, binary, unreadable) is logged, once for
  /// each reason however often the load is tried again.
  bool Load() override;
  /// Writes the words atomically; the old file stays whole when this fails. Refuses an
  /// existing file that was never read, so that words on disk are never lost.
  bool Save() override;
  /// Allocates nothing for ASCII words of ordinary length.
  bool Contains(std::string_view word) const override;
  void AddWord(const std::string& word) override;
  void SetWords(const TextArray& words) override;
  void GetWords(TextArray& words) const override;
  bool IsCustom() const override { return true; }

  /// Trims and lower-cases every entry (entries blank after trimming stay as they
  /// were), then sorts and removes duplicates.
  static void NormalizeWords(TextArray& words);
  /// Turns U+2019 and U+02BC into "'", in place.
  static void FoldApostrophes(std::string& text);

private:
  /// Whether `key` (trimmed, lowered) is held; `hash` is its hash for the filter.
  bool Holds(std::string_view key, std::uint64_t hash) const;
  void RebuildFolded();
  /// Sizes the filter for the entries held and marks each of them.
  void RebuildFilter();
  void Mark(std::string_view entry);
  void LogRefusal(int errnum);

  TextArray m_words;
  /// The entries that hold a typographic apostrophe, folded; sorted like m_words.
  TextArray m_foldedWords;
  /// The entries of m_words and m_foldedWords by their HashKey: most words looked up
  /// are in no word list, and a suggestion search asks about thousands of them.
  CWordFilter m_filter;
  std::size_t m_marked = 0; ///< entries marked since the filter was sized
  /// The errno of the last refusal logged; 0 after a load that worked. Loads take
  /// turns (the base class's load lock, or the registry's writer access).
  int m_loggedRefusal = 0;
};
