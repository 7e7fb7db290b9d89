#pragma once

#include "dictionaries/CompiledDictionaryHeader.h"
#include "dictionaries/Dictionary.h"
#include "dictionaries/MappedFile.h"
#include "dictionaries/WordFilter.h"
#include "utilcore/FileDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// The large read-only word list, compiled into "ZEB.fdc" in the program folder. The
/// file is mapped on first use and searched in place: a list of common words first,
/// then a binary search over a small block index and a short scan of one or two
/// 512-byte blocks, then a rule that accepts numbers. After Load, Contains may be
/// called from any number of threads at once.
class CMainDictionary : public CDictionary {
public:
  static constexpr const char* kName = "ZEB U.S. English";
  static constexpr const char* kFileName = "ZEB.fdc";
  static constexpr const char* kLanguage = "en_US";
  /// The word lists that Save compiles, looked for in the compiled file's folder.
  static constexpr const char* kWordListName = "Dictionary.txt";
  static constexpr const char* kCommonListName = "CommonWords.txt";

  /// Blocks lo to hi - 1 of the word stream.
  struct BlockRange {
    std::uint32_t lo = 0;
    std::uint32_t hi = 0;
    bool operator==(const BlockRange&) const = default;
  };

  /// `path`: the compiled file. Nothing is read until Load.
  CMainDictionary(int id, std::string path);

  /// Maps the compiled file; a damaged file is refused with a log line.
  bool Load() override;
  /// Compiles "Dictionary.txt" and "CommonWords.txt" of the compiled file's folder into
  /// the compiled file, replacing it only when the compile succeeded. Refused while
  /// this dictionary is mapped.
  bool Save() override;
  /// Whether `word`, folded as ToStoredWord folds, is listed, or is a number, or is
  /// digits followed by a recognised word. Allocates nothing.
  bool Contains(std::string_view word) const override;
  void AddWord(const std::string&) override {}
  void SetWords(const TextArray&) override {}
  void GetWords(TextArray&) const override {}
  bool IsCustom() const override { return false; }
  std::string GetLanguage() const override { return kLanguage; }

  /// Hands every word of the word stream, in stream order, to `visit` (nothing when
  /// nothing is mapped). A damaged record ends the walk there.
  void ForEachWord(const std::function<void(std::string_view)>& visit) const;
  /// The blocks that hold every word whose key equals the first 6 bytes of `key`
  /// (which must have at least 6). Empty when nothing is mapped or the index is empty.
  BlockRange FindBlockRange(std::string_view key) const;
  /// Folds a line of the word lists into the form a record stores, as lookups fold
  /// the words they are asked about: lower-cased, composed (NFC), typographic
  /// apostrophes made ASCII. False when the format cannot hold it (empty, longer than
  /// 31 bytes once folded, damaged UTF-8 or a control character): the compile leaves
  /// such words out.
  static bool ToStoredWord(std::string& word);
  /// The number rule over the first `length` bytes of `word`: digits, each of
  /// . , / : - followed by a digit; at the first other character the rest of the word
  /// must be recognised by Contains.
  bool MatchNumber(std::string_view word, std::size_t length) const;

private:
  /// A lower-cased word padded with blanks to the key length.
  struct Key {
    char m_bytes[CompiledDictionaryHeader::kMaxWordLength + 1];
    std::size_t m_length;
  };

  static bool MakeKey(std::string_view word, Key& key);
  bool InCommonList(const Key& key) const;
  bool InWordStream(const Key& key) const;
  void ReadIndex();
  /// Marks every record of the word stream in m_filter; leaves it empty (every word
  /// passes) when the stream is damaged, since the blocks after the damage still answer.
  void BuildFilter();
  /// ForEachWord over a mapping whose header Load checked; true when the walk reached
  /// the stream's end rather than damage.
  template <typename Visit> bool WalkStream(Visit&& visit) const;
  bool MapFile();
  bool HasSoundLayout() const;
  bool CanReplaceFile() const;
  void Unmap();

  CFileDescriptor m_file;
  CMappedFile m_view;
  CompiledDictionaryHeader m_header;
  // The index's keys as numbers, read once at load: a lookup's binary search then runs
  // over one small array instead of decoding file bytes at every step.
  std::vector<std::uint64_t> m_index;
  // Most words a suggestion search asks about are not listed: the filter turns them
  // away before the binary search and the block scan.
  CWordFilter m_filter;
};
