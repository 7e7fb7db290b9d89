#include "dictedit/WordFinder.h"

#include "utilcore/StringUtils.h"

void CWordFinder::Start(std::string text, const SOptions& options) {
  m_text = std::move(text);
  m_options = options;
  m_foundBefore = false;
}

std::optional<std::size_t> CWordFinder::FindNext(const std::vector<std::string>& words,
                                                 std::optional<std::size_t> focused) {
  if (words.empty() || m_text.empty()) {
    return std::nullopt;
  }
  m_needle = m_text;
  if (!m_options.matchCase) {
    CStringUtils::MakeLower(m_needle);
  }
  const std::size_t last = words.size() - 1;
  const bool down = m_options.searchDown;
  std::size_t start = focused.has_value() && *focused <= last ? *focused : 0;
  if (m_foundBefore) {
    const bool leaves = down ? start == last : start == 0;
    if (leaves && m_options.stopAtEnd) {
      return std::nullopt;
    }
    if (leaves) {
      start = down ? 0 : last;
    } else {
      start = down ? start + 1 : start - 1;
    }
  }
  std::optional<std::size_t> found = Scan(words, start, down ? last : 0);
  if (!found && !m_options.stopAtEnd) {
    found = Scan(words, down ? 0 : last, start);
  }
  if (found) {
    m_foundBefore = true;
  }
  return found;
}

std::optional<std::size_t> CWordFinder::Scan(const std::vector<std::string>& words,
                                             std::size_t from, std::size_t to) const {
  const bool down = m_options.searchDown;
  for (std::size_t row = from;; down ? ++row : --row) {
    if (Matches(words[row])) {
      return row;
    }
    if (row == to) {
      return std::nullopt;
    }
  }
}

bool CWordFinder::Matches(const std::string& word) const {
  return word.find(m_needle) != std::string::npos;
}
