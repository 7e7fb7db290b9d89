#pragma once

#include <unicode/umachine.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CDictionaryRegistry;

/// The main dictionary's words held in memory for what a lookup cannot tell: the words
/// that sound like a misspelling (by their Double Metaphone keys), the words a couple of
/// edits away from it, and how common a word is (the SCOWL size that lists it, from
/// "WordCommonness.txt" beside the compiled dictionary). Built once, when first needed:
/// the main dictionary never changes once it is loaded. About 4 MB for the shipped lists.
class CMainWordIndex {
public:
  /// Reads the main dictionary of `registry`; false (and empty) when it cannot be loaded.
  bool Build(CDictionaryRegistry& registry);
  /// The name of the commonness list, looked for beside the compiled dictionary.
  static constexpr const char* kCommonnessName = "WordCommonness.txt";
  /// The SCOWL size (10, 20 or 35: the smaller, the commoner) that lists `word`, letter
  /// case aside; 0 for a word the commonness list leaves out.
  int GetCommonness(std::string_view word) const;
  bool IsBuilt() const { return !m_entries.empty(); }

  /// The words whose primary or alternate key equals a key of `word` (lower case), at
  /// most `limit` edits from it.
  void FindSoundAlikes(std::string_view word, int limit, std::vector<std::string>& found) const;
  /// The words at most `limit` edits from `word` (lower case).
  void FindNear(std::string_view word, int limit, std::vector<std::string>& found) const;

private:
  /// Both keys of `word` packed four bits a code (no two keys share a value): primary
  /// first. Keys of a word without alternate codes are equal.
  static std::pair<std::uint16_t, std::uint16_t> PackedKeys(std::string_view word);

  struct SEntry {
    std::uint32_t offset = 0;
    std::uint16_t primary = 0;
    std::uint16_t alternate = 0;
    std::uint8_t bytes = 0;
    std::uint8_t chars = 0;
    std::uint8_t commonness = 0; ///< the SCOWL size that lists the word, 0 for none
  };

  /// The letters a to z (and, as one, any other character) that `chars` holds, bit 0
  /// for "a": once each in the low half, twice or more in the high half. An edit flips
  /// at most two of these bits, so words whose signatures differ in more than twice the
  /// edits allowed need no closer look.
  static std::uint64_t Signature(const std::vector<UChar32>& chars);
  /// The entries whose key given by `key` is one of `keys`, by their index.
  template <typename Key>
  void AddKeyed(const std::vector<std::uint32_t>& byKey, Key key,
                const std::pair<std::uint16_t, std::uint16_t>& keys,
                std::vector<std::uint32_t>& matches) const;
  /// Sorts m_byPrimary and m_byAlternate; the entries are in their final order.
  void IndexKeys();
  /// The entry whose word is `word` exactly, or null.
  SEntry* FindEntry(std::string_view word);
  const SEntry* FindEntry(std::string_view word) const;
  /// Reads the commonness list; a missing or damaged one is logged and ranks nothing.
  void LoadCommonness(const std::string& path);
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
  /// The entries in byte order of their words, for look-ups by text.
  std::vector<std::uint32_t> m_byText;
  /// Each entry's Signature, apart from the entries so that a search reads only these.
  std::vector<std::uint64_t> m_signatures;
  /// The entries by primary key and by alternate key (then by index), so that a
  /// sound-alike search reads only the words that share a key.
  std::vector<std::uint32_t> m_byPrimary;
  std::vector<std::uint32_t> m_byAlternate;
};
