#include "checking/RepeatFinder.h"

#include "utilcore/PageText.h"
#include "utilcore/WordPair.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

/// Words English uses twice in a row on purpose: "that that" and "had had" are
/// grammar, "is is" ends a clause ("what it is is..."), the rest are set phrases ("a
/// long long time", and C's "long long" in running text).
constexpr std::array<std::string_view, 10> kAllowedDoubles = {
    "bye", "ha", "had", "is", "long", "no", "so", "that", "there", "blah",
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

bool CRepeatFinder::OnOtherToken(std::size_t start, std::size_t length, std::size_t& begin,
                                 std::size_t& end) {
  const std::string_view token = std::string_view(*m_line).substr(start, length);
  const auto first = static_cast<unsigned char>(token.front());
  // The first byte of this token's word: the token's own first byte, unless that is
  // punctuation or may be ("(the", a curly quote), which asks for the word's extent.
  const bool plain = IsAsciiWordByte(first);
  std::size_t wordBegin = 0;
  if (!plain) {
    // ASCII punctuation first is skipped here; the rest asks what a character is.
    while (wordBegin < token.size() && static_cast<unsigned char>(token[wordBegin]) < 0x80 &&
           repeatbytes::kFolded[static_cast<unsigned char>(token[wordBegin])] == 0) {
      ++wordBegin;
    }
    if (wordBegin < token.size() && static_cast<unsigned char>(token[wordBegin]) >= 0x80) {
      const CWordPair::SCore core = CWordPair::CoreOf(token);
      wordBegin = core.Empty() ? token.size() : core.begin;
    }
  }
  // Two words may be the same only when their first bytes are the same byte, the same
  // ASCII letter in either case, or two non-ASCII bytes.
  const bool candidate =
      m_hasPrevious && wordBegin == 0 &&
      (Fold(m_previousFirst) == Fold(first) || (m_previousFirst >= 0x80 && first >= 0x80));
  const std::size_t previousLine = m_previousLine;
  const std::size_t previousEnd = m_previousStart + m_previousLength;
  const std::size_t previousWordBegin = m_previousWordBegin;
  const std::string_view previous =
      candidate ? std::string_view(LineAt(previousLine)).substr(m_previousStart, m_previousLength)
                : std::string_view();
  m_hasPrevious = wordBegin < token.size();
  m_previousLine = m_lineIndex;
  m_previousStart = start;
  m_previousLength = length;
  m_previousFirst = m_hasPrevious ? Fold(static_cast<unsigned char>(token[wordBegin])) : 0;
  m_previousWordBegin = wordBegin;
  if (!candidate) {
    return false;
  }
  // The second characters of two words that repeat are the same bytes (only the first
  // may differ in case), unless a filler or joiner stands between.
  const std::string_view earlierWord = previous.substr(previousWordBegin);
  if (earlierWord.size() > 1 && token.size() > 1 && earlierWord[1] != token[1] &&
      !CPageText::IsInvisible(earlierWord[1]) && !CPageText::IsInvisible(token[1]) &&
      static_cast<unsigned char>(token[0]) < 0x80) {
    return false;
  }
  // Only a word with nothing after its last letter can be the first of a pair, and only
  // one with nothing before its first letter the second.
  const CWordPair::SCore before = CWordPair::CoreOf(previous);
  const CWordPair::SCore after = CWordPair::CoreOf(token);
  if (before.Empty() || before.end != previous.size() || after.Empty() || after.begin != 0) {
    return false;
  }
  const std::string_view earlier = previous.substr(before.begin);
  const std::string_view word = token.substr(0, after.end);
  if (!CWordPair::MayRepeat(earlier, word) || !CWordPair::Repeats(earlier, word) ||
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
  end = start + after.end;
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
