#include "utilcore/VersionNumber.h"

#include <algorithm>
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
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) {
    ++pos;
  }
  if (pos < text.size() && (text[pos] == 'v' || text[pos] == 'V')) {
    ++pos;
  }
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  while (pos < text.size() && IsDigit(text[pos])) {
    std::uint64_t value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      value = std::min(kMax, value * 10 + static_cast<std::uint64_t>(text[pos] - '0'));
    }
    if (m_count < m_parts.size()) {
      m_parts[m_count++] = static_cast<std::uint32_t>(value);
    }
    if (pos + 1 >= text.size() || (text[pos] != '.' && text[pos] != ',')) {
      break;
    }
    ++pos;
  }
  return IsValid();
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
