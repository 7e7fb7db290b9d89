#include "checking/AttributeTextKeeper.h"

#include "utilcore/HTMLUtils.h"
#include "utilcore/Utf8.h"

#include <algorithm>
#include <string_view>

namespace {

/// Blanks between a tag's name and attributes; a line break is one too, and fillers
/// are nothing a browser would see.
bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r') || CUtf8::IsFiller(c);
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

/// A place in a page's lines.
struct SPlace {
  std::size_t line = 0;
  std::size_t offset = 0;
};

/// Walks one tag byte by byte across its lines; the end of a line reads as a line
/// break, and the walk ends where the tag does.
class CTagWalk {
public:
  CTagWalk(const std::vector<std::string>& lines, const CStringUtils::TagPlace& tag)
      : m_lines(lines), m_at{tag.line, tag.offset}, m_end{tag.endLine, tag.endOffset} {}

  bool AtEnd() const {
    return m_at.line > m_end.line || (m_at.line == m_end.line && m_at.offset >= m_end.offset);
  }
  char Peek() const {
    const std::string& line = m_lines[m_at.line];
    return m_at.offset < line.size() ? line[m_at.offset] : '\n';
  }
  void Advance() {
    if (m_at.offset < m_lines[m_at.line].size()) {
      ++m_at.offset;
    } else {
      ++m_at.line;
      m_at.offset = 0;
    }
  }
  SPlace Place() const { return m_at; }

  void SkipBlanks(bool andSlashes = false) {
    while (!AtEnd() && (IsBlank(Peek()) || (andSlashes && Peek() == '/'))) {
      Advance();
    }
  }
  /// A tag or attribute name: it ends at a blank (so never runs onto the next line),
  /// "/", ">" or, past its first byte, "=".
  std::string_view Name() {
    const SPlace start = m_at;
    while (!AtEnd()) {
      const char c = Peek();
      if (IsBlank(c) || c == '/' || c == '>' || (c == '=' && m_at.offset != start.offset)) {
        break;
      }
      Advance();
    }
    return std::string_view(m_lines[start.line]).substr(start.offset, m_at.offset - start.offset);
  }
  /// The value after "=": quoted (to its quote, across lines) or unquoted (to a blank or
  /// ">"). Sets where it begins and ends.
  void Value(SPlace& from, SPlace& to) {
    const char quote = AtEnd() ? '\0' : Peek();
    const bool quoted = quote == '"' || quote == '\'';
    if (quoted) {
      Advance();
    }
    from = m_at;
    while (!AtEnd() && (quoted ? Peek() != quote : !IsBlank(Peek()) && Peek() != '>')) {
      Advance();
    }
    to = m_at;
    if (quoted && !AtEnd()) {
      Advance();
    }
  }

private:
  const std::vector<std::string>& m_lines;
  SPlace m_at;
  SPlace m_end;
};

/// Whether alt on this element is a text readers meet in place of the element.
bool TakesAlt(std::string_view element) {
  return CStringUtils::EqualsAsciiNoCase(element, "img") ||
         CStringUtils::EqualsAsciiNoCase(element, "area") ||
         CStringUtils::EqualsAsciiNoCase(element, "input");
}

} // namespace

void CAttributeTextKeeper::OnTag(const std::vector<std::string>& lines,
                                 const CStringUtils::TagPlace& tag) {
  CTagWalk walk(lines, tag);
  walk.Advance();
  while (!walk.AtEnd() && CUtf8::IsFiller(walk.Peek())) {
    walk.Advance();
  }
  // End tags, declarations and processing instructions hold no attributes.
  if (walk.AtEnd() || !IsAsciiLetter(walk.Peek())) {
    return;
  }
  const bool takesAlt = TakesAlt(walk.Name());
  // A browser keeps the first of two attributes of one name (even one without a value)
  // and drops the second.
  bool altSeen = false;
  bool titleSeen = false;
  for (;;) {
    walk.SkipBlanks(true);
    if (walk.AtEnd() || walk.Peek() == '>') {
      return;
    }
    const std::string_view name = walk.Name();
    bool* seen = CStringUtils::EqualsAsciiNoCase(name, "title")             ? &titleSeen
                 : takesAlt && CStringUtils::EqualsAsciiNoCase(name, "alt") ? &altSeen
                                                                            : nullptr;
    const bool kept = seen != nullptr && !*seen;
    if (seen != nullptr) {
      *seen = true;
    }
    walk.SkipBlanks();
    if (walk.AtEnd() || walk.Peek() != '=') {
      continue;
    }
    walk.Advance();
    walk.SkipBlanks();
    SPlace from;
    SPlace to;
    walk.Value(from, to);
    if (!kept) {
      continue;
    }
    for (std::size_t line = from.line; line <= to.line; ++line) {
      const std::size_t begin = line == from.line ? from.offset : 0;
      const std::size_t end = line == to.line ? to.offset : lines[line].size();
      if (begin < end) {
        m_pieces.push_back({line, begin, lines[line].substr(begin, end - begin)});
      }
    }
  }
}

void CAttributeTextKeeper::Restore(std::vector<std::string>& lines) {
  for (SPiece& piece : m_pieces) {
    if (piece.text.find('&') != std::string::npos) {
      CHTMLUtils::ReplaceHTMLReservedChars(piece.text, false, true);
    }
    std::string& line = lines[piece.line];
    if (piece.offset + piece.text.size() <= line.size()) {
      line.replace(piece.offset, piece.text.size(), piece.text);
    }
  }
  m_pieces.clear();
}
