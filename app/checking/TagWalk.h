#pragma once

#include "utilcore/StringUtils.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// Walks one tag of a page byte by byte across its lines, reading its name and its
/// attributes as a browser reads them; the end of a line reads as a line break, and the
/// walk ends where the tag does.
class CTagWalk {
public:
  /// A place in a page's lines.
  struct SPlace {
    std::size_t line = 0;
    std::size_t offset = 0;
  };

  CTagWalk(const std::vector<std::string>& lines, const CStringUtils::TagPlace& tag)
      : m_lines(lines), m_at{tag.line, tag.offset}, m_end{tag.endLine, tag.endOffset} {}

  /// Blanks between a tag's name and attributes; a line break is one too, and fillers
  /// are nothing a browser would see.
  static bool IsBlank(char c);
  static bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

  bool AtEnd() const {
    return m_at.line > m_end.line || (m_at.line == m_end.line && m_at.offset >= m_end.offset);
  }
  char Peek() const {
    const std::string& line = m_lines[m_at.line];
    return m_at.offset < line.size() ? line[m_at.offset] : '\n';
  }
  void Advance();
  SPlace Place() const { return m_at; }

  /// Past the "<" and any fillers: the element's name when the tag is a start tag (an
  /// empty view for end tags, comments, declarations and stray "<").
  std::string_view StartTagName();
  void SkipBlanks(bool andSlashes = false);
  /// A tag or attribute name: it ends at a blank (so never runs onto the next line),
  /// "/", ">" or, past its first byte, "=".
  std::string_view Name();
  /// The value after "=": quoted (to its quote, across lines) or unquoted (to a blank or
  /// ">"). Sets where it begins and ends.
  void Value(SPlace& from, SPlace& to);
  /// After an attribute's name: skips "=" and reads the value; false (nothing read)
  /// when the attribute has none.
  bool ValueAfterName(SPlace& from, SPlace& to);
  /// The text from `from` to `to`, line breaks included.
  std::string Text(const SPlace& from, const SPlace& to) const;

  /// Whether `tag` is a start tag that ends in "/>" outside every value, as a browser
  /// reads it. That closes a foreign element such as SVG at once ("<svg/>" holds
  /// nothing); an HTML element ignores it.
  static bool IsSelfClosing(const std::vector<std::string>& lines,
                            const CStringUtils::TagPlace& tag);

private:
  const std::vector<std::string>& m_lines;
  SPlace m_at;
  SPlace m_end;
};
