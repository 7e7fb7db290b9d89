#pragma once

#include <unicode/umachine.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDictionaryRegistry;

/// The main dictionary's words held in memory for the two searches a lookup cannot
/// make: the words that sound like a misspelling (by their Double Metaphone keys) and
/// the words a couple of edits away from it. Built once, when first needed: the main
/// dictionary never changes once it is loaded. About 3 MB for the shipped word list.
class CMainWordIndex {
public:
  /// Reads the main dictionary of `registry`; false (and empty) when it cannot be loaded.
  bool Build(CDictionaryRegistry& registry);
  bool IsBuilt() const { return m_built; }
  std::size_t GetWordCount() const { return m_entries.size(); }

  /// The words whose primary or alternate key equals a key of `word` (lower case), at
  /// most `limit` edits from it.
  void FindSoundAlikes(std::string_view word, int limit, std::vector<std::string>& found) const;
  /// The words at most `limit` edits from `word` (lower case).
  void FindNear(std::string_view word, int limit, std::vector<std::string>& found) const;

  /// Both keys of `word` packed four bits a code (no two keys share a value): primary
  /// first. Keys of a word without alternate codes are equal.
  static std::pair<std::uint16_t, std::uint16_t> PackedKeys(std::string_view word);

private:
  struct SEntry {
    std::uint32_t offset = 0;
    std::uint32_t letters = 0; ///< a bit per letter a to z it holds, bit 26 for any other
    std::uint16_t primary = 0;
    std::uint16_t alternate = 0;
    std::uint8_t bytes = 0;
    std::uint8_t chars = 0;
  };

  static std::uint32_t LetterMask(const std::vector<UChar32>& chars);
  /// Appends the entry's word when it lies within `limit` edits of `chars`.
  void AddIfNear(const SEntry& entry, const std::vector<UChar32>& chars, int limit,
                 std::vector<std::string>& found) const;
  /// The entries of `chars` characters and of up to `limit` more or fewer.
  std::pair<std::size_t, std::size_t> EntriesNear(std::size_t chars, int limit) const;
  std::string_view TextOf(const SEntry& entry) const {
    return std::string_view(m_text).substr(entry.offset, entry.bytes);
  }

  std::string m_text;
  std::vector<SEntry> m_entries; ///< by length in characters, then in list order
  /// Where the entries of each length begin (one past the longest: the end).
  std::vector<std::size_t> m_lengthStarts;
  bool m_built = false;
};
