#pragma once

#include "checking/RepeatBarriers.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// The byte tests of CRepeatFinder's fast path, as constants.
namespace repeatbytes {
constexpr bool IsWord(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}
constexpr unsigned char Fold(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}
/// An ASCII letter or digit in lower case; 0 for any other byte.
inline constexpr std::array<unsigned char, 256> kFolded = [] {
  std::array<unsigned char, 256> table{};
  for (unsigned c = 0; c < table.size(); ++c) {
    const auto byte = static_cast<unsigned char>(c);
    table[c] = IsWord(byte) ? Fold(byte) : 0;
  }
  return table;
}();
} // namespace repeatbytes

/// Finds the words of a page that repeat the word right before them ("We walked to
/// the the harbour"): the same word, or a capitalised one followed by its lower case
/// ("In in"), with only white space or markup that joins words between them, and
/// neither a break of CRepeatBarriers nor punctuation. The words are handed over in
/// page order, token by token, as the scan cuts them.
class CRepeatFinder {
public:
  /// Starts a page. `lines` is its page text (null: each line is a page of its own, and
  /// no pair spans two lines); `barriers` its breaks (null: none). Both must outlive
  /// the page's scan.
  void StartPage(const std::vector<std::string>* lines, const CRepeatBarriers* barriers);
  /// Starts line `index`, whose page text is `line` (kept until the next line starts).
  void StartLine(const std::string& line, std::size_t index);
  /// The token at [start, start + length) of the current line, after those before it.
  /// True when it repeats the word before it; `begin` and `end` are then the extent of
  /// the repeating word, without the punctuation after it.
  bool OnToken(std::size_t start, std::size_t length, std::size_t& begin, std::size_t& end) {
    // Most tokens start with an ASCII letter other than the first of the word before:
    // they are only noted, without a call.
    const unsigned char folded = repeatbytes::kFolded[static_cast<unsigned char>((*m_line)[start])];
    if (folded != 0 && !(m_hasPrevious && m_previousFirst == folded)) {
      m_hasPrevious = true;
      m_previousLine = m_lineIndex;
      m_previousStart = start;
      m_previousLength = length;
      m_previousFirst = folded;
      m_previousWordBegin = 0;
      return false;
    }
    return OnOtherToken(start, length, begin, end);
  }

  /// Whether English allows the word twice in a row ("that that", "had had"); `word` as
  /// it reads, invisible bytes left out.
  static bool IsAllowedDouble(std::string_view word);
  /// `text` without the invisible bytes of page text, appended to `out`.
  static void AppendVisible(std::string_view text, std::string& out);

private:
  static constexpr bool IsAsciiWordByte(unsigned char c) { return repeatbytes::IsWord(c); }
  static constexpr unsigned char Fold(unsigned char c) { return repeatbytes::Fold(c); }
  /// OnToken for a token that may repeat the one before, or whose word may not start
  /// at its first byte.
  bool OnOtherToken(std::size_t start, std::size_t length, std::size_t& begin, std::size_t& end);
  /// Whether the page text from `fromOffset` of line `fromLine` to `start` of the
  /// current line is white space that no barrier parts.
  bool IsOpenGap(std::size_t fromLine, std::size_t fromOffset, std::size_t start) const;
  const std::string& LineAt(std::size_t index) const;

  const std::vector<std::string>* m_lines = nullptr;
  const CRepeatBarriers* m_barriers = nullptr;
  const std::string* m_line = nullptr;
  std::size_t m_lineIndex = 0;
  /// The token before, when it has a word: its line, its extent and the first byte of
  /// its word (most tokens are told apart from the one before by that byte alone, and
  /// only then is the rest of either looked at).
  bool m_hasPrevious = false;
  std::size_t m_previousLine = 0;
  std::size_t m_previousStart = 0;
  std::size_t m_previousLength = 0;
  unsigned char m_previousFirst = 0;   ///< in lower case when ASCII
  std::size_t m_previousWordBegin = 0; ///< of its word in the token
  std::string m_visible;               ///< reused for the allowed-doubles test
};
