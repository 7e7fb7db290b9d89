#pragma once

#include "checking/RepeatBarriers.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
  bool OnToken(std::size_t start, std::size_t length, std::size_t& begin, std::size_t& end);

  /// Whether English allows the word twice in a row ("that that", "had had"); `word` as
  /// it reads, invisible bytes left out.
  static bool IsAllowedDouble(std::string_view word);
  /// `text` without the invisible bytes of page text, appended to `out`.
  static void AppendVisible(std::string_view text, std::string& out);

private:
  /// Whether the page text from `fromOffset` of line `fromLine` to `start` of the
  /// current line is white space that no barrier parts.
  bool IsOpenGap(std::size_t fromLine, std::size_t fromOffset, std::size_t start) const;
  const std::string& LineAt(std::size_t index) const;

  const std::vector<std::string>* m_lines = nullptr;
  const CRepeatBarriers* m_barriers = nullptr;
  const std::string* m_line = nullptr;
  std::size_t m_lineIndex = 0;
  /// The word before, when it can be the first of a pair (nothing after its last
  /// letter): its line and extent.
  bool m_hasPrevious = false;
  std::size_t m_previousLine = 0;
  std::size_t m_previousBegin = 0;
  std::size_t m_previousEnd = 0;
  std::string m_visible; ///< reused for the allowed-doubles test
};
