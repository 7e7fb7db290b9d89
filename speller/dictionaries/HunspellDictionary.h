#pragma once

#include "dictionaries/Dictionary.h"
#include "dictionaries/HunspellFile.h"

#include <nuspell/dictionary.hxx>

#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// A Hunspell dictionary of the desktop (a ".dic" word list and its ".aff" affix rules),
/// read and searched by nuspell. Read-only: it takes no words and writes nothing.
///
/// Loaded once, on first use, into one nuspell dictionary that every thread shares:
/// nuspell's spell and suggest only read it, so that Contains and Suggest may run on
/// any number of threads at once after Load.
class CHunspellDictionary : public CDictionary {
public:
  /// Larger files are refused unread: the largest dictionaries that distributions ship
  /// hold a few megabytes, and nuspell keeps several times a file's size in memory.
  static constexpr std::uint64_t kMaxFileBytes = 64ULL * 1024 * 1024;
  /// Longer words are not looked up: no dictionary lists one, and an affix search over
  /// such a word takes time for nothing.
  static constexpr std::size_t kMaxWordBytes = 256;

  /// `name` as registered (file.name unless that was taken). Nothing is read.
  CHunspellDictionary(int id, std::string name, const SHunspellFile& file);

  /// Reads both files and builds the dictionary. A missing, unreadable, empty, binary,
  /// oversized or damaged file is logged and leaves the dictionary unloaded; while the
  /// two files stay as they were, a later call fails again at once, without reading or
  /// logging them again.
  bool Load() override;
  bool Save() override { return false; }
  /// Whether nuspell accepts `word` (composed, typographic apostrophes made "'"): in any
  /// case its entry allows, as nuspell judges it ("Colour" and "COLOUR" for "colour",
  /// "LONDON" for "London", not "london"), or, written in mixed case, lower-cased. A
  /// word with ASCII punctuation that no word of the dictionary holds (code such as
  /// "os.path_join()") is refused without asking nuspell. Call after a successful Load.
  bool Contains(std::string_view word) const override;
  void AddWord(const std::string&) override {}
  void SetWords(const TextArray&) override {}
  void GetWords(TextArray&) const override {}
  bool IsCustom() const override { return false; }
  EDictionaryKind GetKind() const override { return EDictionaryKind::kHunspell; }
  std::string GetLanguage() const override { return m_language; }
  const std::string& GetAffPath() const { return m_affPath; }

  /// Appends nuspell's suggestions for `word`, its best first, leaving out pieces of
  /// compounds ("-straße", "Haus-"); none for code, which Contains refuses unasked.
  /// Call after a successful Load.
  void Suggest(std::string_view word, std::vector<std::string>& suggestions) const;

private:
  /// What a failed load saw of the two files: the same again means the same failure.
  struct SFileStamp {
    bool operator==(const SFileStamp&) const = default;
    int errnum[2] = {0, 0};
    std::uint64_t size[2] = {0, 0};
    std::uint64_t inode[2] = {0, 0};
    std::int64_t modifiedNs[2] = {0, 0};
  };

  /// Whether `word` holds ASCII punctuation that no word of the dictionary holds: pages
  /// of code are full of such tokens, and nuspell's search would only fail on them.
  bool HoldsForeignSymbols(std::string_view word) const;
  /// Whether `form`, unknown as written and in mixed case, is known in lower case.
  bool ContainsInOtherCase(std::string_view form) const;
  SFileStamp StampFiles() const;
  /// The dictionary built from both files, and in `symbols` the ASCII punctuation its
  /// words may hold; null with the file to blame and why.
  std::unique_ptr<nuspell::Dictionary> Parse(std::bitset<128>& symbols, std::string& file,
                                             std::string& why) const;

  std::string m_affPath;
  std::string m_language;
  std::unique_ptr<nuspell::Dictionary> m_speller;
  std::bitset<128> m_wordSymbols;
  /// Set by a failed load; loads take turns under the base class's load lock.
  std::optional<SFileStamp> m_failedStamp;
};
