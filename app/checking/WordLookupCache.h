#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CSpellChecker;

/// The speller's answers for the tokens of page text one thread has met: pages repeat
/// their words so much that most tokens were looked up before. A token (as cut from the
/// line, before PreprocessWord) maps to skipped, known, or unknown with its cleaned word.
/// A word written like code whose pieces are all known counts as known; an unknown one
/// carries the keys of its unknown pieces.
///
/// It never answers stale: the answers belong to one list of dictionary ids and one
/// value of CSpellChecker::GetChangeCount, and the cache starts over when either
/// differs. Every change that could alter an answer (a word added or a list replaced,
/// a dictionary added, dropped or loaded, a new speller) moves the count on, and the
/// count never comes back to a value it had. The edits wait for the thread's
/// CSpellLookupScope, which is held around BeginLine and the look-ups; the only change
/// that can happen meanwhile is another thread's first load of a dictionary, and each
/// LookUp compares the count again. An answer that depended on a dictionary that could
/// not be loaded is never kept, since a later try might load it.
///
/// Open addressing over one byte arena, with slots of 8 bytes so that the table of a
/// large site's words stays within the processor's caches: a hit allocates nothing.
/// Memory stays bounded (about 4 MB): past kMaxEntries tokens or kMaxBytes of text the
/// cache starts over. Tokens longer than kMaxLength bytes are looked up every time.
class CWordLookupCache {
public:
  enum class EOutcome : std::uint8_t { kSkipped = 1, kKnown, kUnknown };
  struct SAnswer {
    EOutcome outcome;
    /// The word as PreprocessWord left it, for kUnknown; good until the next call.
    std::string_view word;
    /// For a kUnknown word written like code, the keys of its unknown pieces
    /// (CCodeTokens::UnknownPieces); empty for a plain word. Good until the next call.
    std::string_view pieces;
  };

  static constexpr std::size_t kMaxEntries = std::size_t{1} << 17;
  static constexpr std::size_t kMaxBytes = std::size_t{1} << 21;
  static constexpr std::size_t kMaxLength = 255;

  /// Before the look-ups of a line, under the thread's CSpellLookupScope: starts over
  /// when `ids` or the change count differ from those the answers were found under.
  void BeginLine(const std::vector<int>& ids);
  /// PreprocessWord, then LookUp over the ids given to BeginLine, remembered.
  SAnswer LookUp(const CSpellChecker& speller, std::string_view token);

private:
  /// An empty slot is all zero (no outcome).
  struct SSlot {
    std::uint64_t offset : 22;
    std::uint64_t tokenLength : 8;
    std::uint64_t wordLength : 8;
    std::uint64_t outcome : 2;
    std::uint64_t tag : 24;
  };

  static std::uint64_t Hash(std::string_view token);
  void Clear();
  void CheckCount();
  const SSlot* Find(std::string_view token, std::uint64_t hash) const;
  SAnswer Remember(std::string_view token, std::uint64_t hash, EOutcome outcome);
  /// The answer a slot holds.
  SAnswer AnswerAt(const SSlot& slot) const;
  void Grow();
  void Place(const SSlot& slot, std::uint64_t hash);

  std::vector<SSlot> m_slots;
  std::size_t m_count = 0;
  /// Each token's bytes, then for an unknown token its cleaned word, one byte with the
  /// length of its piece keys, and those keys.
  std::string m_arena;
  std::vector<int> m_ids;
  std::uint64_t m_changeCount = 0;
  bool m_valid = false;
  std::string m_word;
  std::string m_pieces;
};
