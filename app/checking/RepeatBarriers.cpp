#include "checking/RepeatBarriers.h"

#include <algorithm>

void CRepeatBarriers::Clear() {
  m_breaks.clear();
  m_spelled.clear();
  m_leftOut.clear();
  m_depth = 0;
  m_sorted = true;
}

void CRepeatBarriers::AddSpelledBreak(std::size_t line, std::size_t offset, std::size_t end) {
  m_spelled.emplace_back(At(line, offset), At(line, end));
}

void CRepeatBarriers::OpenLeftOut(std::size_t line, std::size_t offset) {
  if (m_depth++ == 0) {
    m_openedAt = At(line, offset);
  }
}

void CRepeatBarriers::CloseLeftOut(std::size_t endLine, std::size_t endOffset) {
  if (m_depth == 0) {
    return;
  }
  if (--m_depth == 0) {
    m_leftOut.emplace_back(m_openedAt, At(endLine, endOffset));
  }
}

void CRepeatBarriers::Finish(std::size_t lines) {
  if (m_depth > 0) {
    m_leftOut.emplace_back(m_openedAt, At(lines, 0));
    m_depth = 0;
  }
  if (!m_sorted) {
    std::sort(m_breaks.begin(), m_breaks.end());
    m_sorted = true;
  }
}

bool CRepeatBarriers::Overlaps(const std::vector<Range>& ranges, Place from, Place to) {
  // Ranges start in order and never nest, so they end in order too: the first one
  // that ends after `from` is the only one that may reach into [from, to).
  const auto it =
      std::upper_bound(ranges.begin(), ranges.end(), from,
                       [](Place place, const Range& range) { return place < range.second; });
  return it != ranges.end() && it->first < to;
}

bool CRepeatBarriers::Parts(Place from, Place to) const {
  return from < to && (Overlaps(m_breaks, from, to) || Overlaps(m_spelled, from, to));
}

bool CRepeatBarriers::IsLeftOut(Place at) const {
  return Overlaps(m_leftOut, at, at + 1);
}
