#include "utilcore/VersionNumber.h"

#include <limits>

namespace {
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

CVersionNumber::CVersionNumber(std::string_view text) {
  Set(text);
}

CVersionNumber::CVersionNumber(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                               std::uint32_t revision)
    : m_parts{major, minor, build, revision}, m_count(4) {}

bool CVersionNumber::Set(std::string_view text) {
  m_parts = {};
  m_count = 0;
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  if (!text.empty() && (text.front() == 'v' || text.front() == 'V')) {
    text.remove_prefix(1);
  }
  std::array<std::uint32_t, 4> parts{};
  std::size_t count = 0;
  std::size_t pos = 0;
  while (true) {
    const std::size_t first = pos;
    std::uint64_t value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      // More digits than the largest number has are refused before they can overflow.
      if (pos - first == kMaxDigits) {
        return false;
      }
      value = value * 10 + static_cast<std::uint64_t>(text[pos] - '0');
    }
    if (pos == first || value > std::numeric_limits<std::uint32_t>::max() ||
        count == parts.size()) {
      return false;
    }
    parts[count++] = static_cast<std::uint32_t>(value);
    if (pos == text.size()) {
      break;
    }
    // Only a separator followed by another number may come next: anything else
    // (letters, a NUL, a trailing separator) makes the whole text no version.
    if (text[pos] != '.' && text[pos] != ',') {
      return false;
    }
    ++pos;
  }
  m_parts = parts;
  m_count = count;
  return true;
}

std::string CVersionNumber::GetString() const {
  std::string text;
  for (std::size_t i = 0; i < m_count; ++i) {
    if (i > 0) {
      text.push_back('.');
    }
    text.append(std::to_string(m_parts[i]));
  }
  return text;
}
