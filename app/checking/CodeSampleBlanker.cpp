#include "checking/CodeSampleBlanker.h"

#include "checking/InlineElements.h"
#include "checking/TagWalk.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace {

// Inline SVG counts as one: its text (text, tspan, title, desc) is a diagram's labels,
// names of states and signals rather than prose.
constexpr std::array<std::string_view, 7> kSampleElements = {"code", "pre", "kbd", "samp",
                                                             "var",  "tt",  "svg"};
constexpr std::uint8_t kSvg = 6;
constexpr std::uint8_t kNoSample = 0xFF;

/// The sample element that the tag at `at` (its '<') opens or closes, kNoSample for
/// any other tag. A name runs on through '-' ("<code-block>" is another element).
std::uint8_t SampleElementAt(std::string_view line, std::size_t at, bool& closing) {
  const std::string_view name = CInlineElements::TagNameAt(line, at, closing);
  for (std::size_t kind = 0; kind < kSampleElements.size(); ++kind) {
    if (CStringUtils::EqualsAsciiNoCase(name, kSampleElements[kind])) {
      return static_cast<std::uint8_t>(kind);
    }
  }
  return kNoSample;
}

} // namespace

bool CCodeSampleBlanker::OnTag(const std::vector<std::string>& lines,
                               const CStringUtils::TagPlace& tag) {
  bool closing = false;
  const std::uint8_t kind = SampleElementAt(lines[tag.line], tag.offset, closing);
  if (kind == kNoSample) {
    return false;
  }
  if (!closing) {
    if (kind == kSvg && CTagWalk::IsSelfClosing(lines, tag)) {
      return true;
    }
    if (m_open.empty()) {
      m_start = {tag.endLine, tag.endOffset};
    }
    m_open.push_back(kind);
    return true;
  }
  // An end tag closes its element and every one opened inside it ("<pre><code>x</pre>");
  // one whose element is not open closes nothing.
  const auto open = std::find(m_open.rbegin(), m_open.rend(), kind);
  if (open == m_open.rend()) {
    return true;
  }
  m_open.erase(std::prev(open.base()), m_open.end());
  if (m_open.empty()) {
    m_samples.push_back({m_start, {tag.line, tag.offset}});
  }
  return true;
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
