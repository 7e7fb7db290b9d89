#include "checking/CodeSampleBlanker.h"

#include "utilcore/Utf8.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 6> kSampleElements = {"code", "pre", "kbd",
                                                             "samp", "var", "tt"};
constexpr std::uint8_t kNoSample = 0xFF;

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

/// The sample element that the tag at `at` (its '<') opens or closes, kNoSample for
/// any other tag. A name runs on through '-' ("<code-block>" is another element).
std::uint8_t SampleElementAt(std::string_view line, std::size_t at, bool& closing) {
  std::size_t next = CUtf8::SkipFillers(line, at + 1);
  closing = next < line.size() && line[next] == '/';
  if (closing) {
    next = CUtf8::SkipFillers(line, next + 1);
  }
  std::size_t end = next;
  while (end < line.size() && IsNameByte(line[end])) {
    ++end;
  }
  const std::string_view name = line.substr(next, end - next);
  for (std::size_t kind = 0; kind < kSampleElements.size(); ++kind) {
    if (CStringUtils::EqualsAsciiNoCase(name, kSampleElements[kind])) {
      return static_cast<std::uint8_t>(kind);
    }
  }
  return kNoSample;
}

} // namespace

void CCodeSampleBlanker::OnTag(const std::vector<std::string>& lines,
                               const CStringUtils::TagPlace& tag) {
  bool closing = false;
  const std::uint8_t kind = SampleElementAt(lines[tag.line], tag.offset, closing);
  if (kind == kNoSample) {
    return;
  }
  if (!closing) {
    if (m_open.empty()) {
      m_start = {tag.endLine, tag.endOffset};
    }
    m_open.push_back(kind);
    return;
  }
  // An end tag closes its element and every one opened inside it ("<pre><code>x</pre>");
  // one whose element is not open closes nothing.
  const auto open = std::find(m_open.rbegin(), m_open.rend(), kind);
  if (open == m_open.rend()) {
    return;
  }
  m_open.erase(std::prev(open.base()), m_open.end());
  if (m_open.empty()) {
    m_samples.push_back({m_start, {tag.line, tag.offset}});
  }
}

void CCodeSampleBlanker::BlankSamples(std::vector<std::string>& lines) {
  if (!m_open.empty() && !lines.empty()) {
    m_samples.push_back({m_start, {lines.size() - 1, lines.back().size()}});
    m_open.clear();
  }
  for (const SSample& sample : m_samples) {
    for (std::size_t line = sample.from.line; line <= sample.to.line; ++line) {
      std::string& text = lines[line];
      const std::size_t begin = line == sample.from.line ? sample.from.offset : 0;
      const std::size_t end = line == sample.to.line ? sample.to.offset : text.size();
      if (begin >= end) {
        continue;
      }
      std::fill(text.begin() + static_cast<std::ptrdiff_t>(begin),
                text.begin() + static_cast<std::ptrdiff_t>(end), ' ');
    }
  }
}
