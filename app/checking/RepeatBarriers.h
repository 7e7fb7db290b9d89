#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

/// What page text no longer shows but a reader does: the markup between two words that
/// ends a sentence's run of text (a paragraph, a cell, a line break, an image, a tag a
/// character reference spelled out), and the parts of a page whose words are never a
/// repeat (inline SVG, where diagrams put labels side by side). Both are ranges of
/// (line, byte offset) places, gathered while the page is made into text.
class CRepeatBarriers {
public:
  /// A place of the page, ordered as the page reads: line, then byte offset.
  using Place = std::uint64_t;
  static Place At(std::size_t line, std::size_t offset) {
    return (static_cast<Place>(line) << 32) | static_cast<Place>(offset & 0xFFFFFFFFU);
  }

  void Clear();
  /// Markup from (line, offset) up to (endLine, endOffset) that parts two words.
  void AddBreak(std::size_t line, std::size_t offset, std::size_t endLine, std::size_t endOffset) {
    const Range range{At(line, offset), At(endLine, endOffset)};
    // Tags come in page order, unless the markup walk had to start over kind by kind.
    m_sorted = m_sorted && (m_breaks.empty() || m_breaks.back().first <= range.first);
    m_breaks.push_back(range);
  }
  /// A tag that character references spelled, at [offset, end) of `line`: these come
  /// line by line after every real tag, and are kept apart so that neither list needs
  /// sorting.
  void AddSpelledBreak(std::size_t line, std::size_t offset, std::size_t end);
  /// The opening and closing tag of an element whose words are left out; they nest.
  void OpenLeftOut(std::size_t line, std::size_t offset);
  void CloseLeftOut(std::size_t endLine, std::size_t endOffset);
  /// Ends the gathering of a page of `lines` lines: an element still open runs to its end.
  void Finish(std::size_t lines);

  /// Whether a break lies anywhere in [from, to).
  bool Parts(Place from, Place to) const;
  /// Whether `at` lies in a part whose words are left out.
  bool IsLeftOut(Place at) const;

private:
  using Range = std::pair<Place, Place>;
  static bool Overlaps(const std::vector<Range>& ranges, Place from, Place to);

  std::vector<Range> m_breaks;
  std::vector<Range> m_spelled;
  std::vector<Range> m_leftOut;
  Place m_openedAt = 0;
  int m_depth = 0;
  bool m_sorted = true;
};
