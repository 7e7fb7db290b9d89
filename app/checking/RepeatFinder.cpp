#include "checking/RepeatFinder.h"

#include "utilcore/PageText.h"
#include "utilcore/WordPair.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

/// Words English uses twice in a row on purpose: "that that" and "had had" are
/// grammar, "is is" ends a clause ("what it is is..."), the rest are set phrases.
constexpr std::array<std::string_view, 9> kAllowedDoubles = {
    "bye", "ha", "had", "is", "no", "so", "that", "there", "blah",
};

} // namespace

void CRepeatFinder::StartPage(const std::vector<std::string>* lines,
                              const CRepeatBarriers* barriers) {
  m_lines = lines;
  m_barriers = barriers;
  m_line = nullptr;
  m_hasPrevious = false;
}

void CRepeatFinder::StartLine(const std::string& line, std::size_t index) {
  m_line = &line;
  m_lineIndex = index;
  if (m_lines == nullptr) {
    m_hasPrevious = false;
  }
}

const std::string& CRepeatFinder::LineAt(std::size_t index) const {
  return index == m_lineIndex || m_lines == nullptr ? *m_line : (*m_lines)[index];
}

bool CRepeatFinder::OnToken(std::size_t start, std::size_t length, std::size_t& begin,
                            std::size_t& end) {
  const std::string_view token = std::string_view(*m_line).substr(start, length);
  const CWordPair::SCore core = CWordPair::CoreOf(token);
  const bool hadPrevious = m_hasPrevious;
  const std::size_t previousLine = m_previousLine;
  const std::size_t previousBegin = m_previousBegin;
  const std::size_t previousEnd = m_previousEnd;
  // Only a word with nothing after its last letter can be the first of a pair...
  m_hasPrevious = !core.Empty() && core.end == token.size();
  m_previousLine = m_lineIndex;
  m_previousBegin = start + core.begin;
  m_previousEnd = start + core.end;
  // ...and only one with nothing before its first letter the second.
  if (!hadPrevious || core.Empty() || core.begin != 0) {
    return false;
  }
  const std::string_view word = token.substr(0, core.end);
  const std::string_view before =
      std::string_view(LineAt(previousLine)).substr(previousBegin, previousEnd - previousBegin);
  if (!CWordPair::MayRepeat(before, word) || !CWordPair::Repeats(before, word) ||
      !IsOpenGap(previousLine, previousEnd, start)) {
    return false;
  }
  if (m_barriers != nullptr && m_barriers->IsLeftOut(CRepeatBarriers::At(m_lineIndex, start))) {
    return false;
  }
  m_visible.clear();
  AppendVisible(word, m_visible);
  if (IsAllowedDouble(m_visible)) {
    return false;
  }
  begin = start;
  end = start + core.end;
  return true;
}

bool CRepeatFinder::IsOpenGap(std::size_t fromLine, std::size_t fromOffset,
                              std::size_t start) const {
  if (m_barriers != nullptr && m_barriers->Parts(CRepeatBarriers::At(fromLine, fromOffset),
                                                 CRepeatBarriers::At(m_lineIndex, start))) {
    return false;
  }
  if (fromLine == m_lineIndex) {
    return CWordPair::IsBlank(std::string_view(*m_line).substr(fromOffset, start - fromOffset));
  }
  if (!CWordPair::IsBlank(std::string_view(LineAt(fromLine)).substr(fromOffset))) {
    return false;
  }
  for (std::size_t k = fromLine + 1; k < m_lineIndex; ++k) {
    if (!CWordPair::IsBlank(LineAt(k))) {
      return false;
    }
  }
  return CWordPair::IsBlank(std::string_view(*m_line).substr(0, start));
}

bool CRepeatFinder::IsAllowedDouble(std::string_view word) {
  return std::any_of(
      kAllowedDoubles.begin(), kAllowedDoubles.end(), [word](std::string_view allowed) {
        return word.size() == allowed.size() &&
               std::equal(word.begin(), word.end(), allowed.begin(), [](char a, char b) {
                 return std::tolower(static_cast<unsigned char>(a)) == b;
               });
      });
}

void CRepeatFinder::AppendVisible(std::string_view text, std::string& out) {
  for (const char c : text) {
    if (!CPageText::IsInvisible(c)) {
      out.push_back(c);
    }
  }
}
