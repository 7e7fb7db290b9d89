#include "checking/AttributeTextKeeper.h"

#include "utilcore/HTMLUtils.h"
#include "utilcore/Utf8.h"

#include <algorithm>
#include <array>
#include <initializer_list>
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

/// The attributes whose values a tag's text depends on: the texts kept, and those that
/// say whether a text is one readers meet.
enum EAttribute : std::size_t {
  kTitle,
  kAriaLabel,
  kAlt,
  kPlaceholder,
  kValue,
  kContent,
  kType,
  kName,
  kProperty,
  kAttributeCount
};

constexpr std::array<std::string_view, kAttributeCount> kAttributeNames = {
    "title", "aria-label", "alt", "placeholder", "value", "content", "type", "name", "property"};

/// Where a tag holds the first attribute of one name: a browser keeps the first of two
/// (even one without a value) and drops the second.
struct SAttributeValue {
  bool seen = false;
  bool hasValue = false;
  SPlace from;
  SPlace to;
};

using TagValues = std::array<SAttributeValue, kAttributeCount>;

bool IsElement(std::string_view element, std::initializer_list<std::string_view> names) {
  return std::any_of(names.begin(), names.end(), [element](std::string_view name) {
    return CStringUtils::EqualsAsciiNoCase(element, name);
  });
}

/// The value of an attribute as written (across lines), for the attributes that decide.
std::string ValueText(const std::vector<std::string>& lines, const SAttributeValue& value) {
  std::string text;
  for (std::size_t line = value.from.line; value.hasValue && line <= value.to.line; ++line) {
    const std::size_t begin = line == value.from.line ? value.from.offset : 0;
    const std::size_t end = line == value.to.line ? value.to.offset : lines[line].size();
    if (line != value.from.line) {
      text += '\n';
    }
    text.append(lines[line], begin, end - begin);
  }
  return text;
}

bool ValueIsOneOf(const std::vector<std::string>& lines, const SAttributeValue& value,
                  std::initializer_list<std::string_view> wanted) {
  return value.hasValue && IsElement(ValueText(lines, value), wanted);
}

/// Which of a tag's values are text that readers meet: tooltips and accessible names
/// anywhere, an image's description, a field's hint, a button's caption, and the
/// description and title a page gives search engines and link previews.
std::array<bool, kAttributeCount> ReadersMeet(const std::vector<std::string>& lines,
                                              std::string_view element, const TagValues& values) {
  std::array<bool, kAttributeCount> meet{};
  meet[kTitle] = true;
  meet[kAriaLabel] = true;
  meet[kAlt] = IsElement(element, {"img", "area", "input"});
  meet[kPlaceholder] = IsElement(element, {"input", "textarea"});
  meet[kValue] = IsElement(element, {"input"}) &&
                 ValueIsOneOf(lines, values[kType], {"button", "submit", "reset"});
  meet[kContent] =
      IsElement(element, {"meta"}) &&
      (ValueIsOneOf(lines, values[kName], {"description", "og:title", "og:description"}) ||
       ValueIsOneOf(lines, values[kProperty], {"og:title", "og:description"}));
  return meet;
}

} // namespace

bool CAttributeTextKeeper::OnTag(const std::vector<std::string>& lines,
                                 const CStringUtils::TagPlace& tag) {
  CTagWalk walk(lines, tag);
  walk.Advance();
  while (!walk.AtEnd() && CUtf8::IsFiller(walk.Peek())) {
    walk.Advance();
  }
  // End tags, declarations and processing instructions hold no attributes.
  if (walk.AtEnd() || !IsAsciiLetter(walk.Peek())) {
    return false;
  }
  const std::string_view element = walk.Name();
  TagValues values;
  for (;;) {
    walk.SkipBlanks(true);
    if (walk.AtEnd() || walk.Peek() == '>') {
      break;
    }
    const std::string_view name = walk.Name();
    const auto known =
        std::find_if(kAttributeNames.begin(), kAttributeNames.end(), [name](std::string_view k) {
          return CStringUtils::EqualsAsciiNoCase(name, k);
        });
    SAttributeValue* value = nullptr;
    if (known != kAttributeNames.end()) {
      SAttributeValue& first = values[static_cast<std::size_t>(known - kAttributeNames.begin())];
      value = first.seen ? nullptr : &first;
      first.seen = true;
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
    if (value != nullptr) {
      *value = {true, true, from, to};
    }
  }
  const std::array<bool, kAttributeCount> meet = ReadersMeet(lines, element, values);
  bool kept = false;
  for (std::size_t k = 0; k < kAttributeCount; ++k) {
    if (meet[k] && values[k].hasValue) {
      Keep(lines, values[k].from.line, values[k].from.offset, values[k].to.line,
           values[k].to.offset);
      kept = true;
    }
  }
  return kept;
}

void CAttributeTextKeeper::Keep(const std::vector<std::string>& lines, std::size_t fromLine,
                                std::size_t fromOffset, std::size_t toLine, std::size_t toOffset) {
  for (std::size_t line = fromLine; line <= toLine; ++line) {
    const std::size_t begin = line == fromLine ? fromOffset : 0;
    const std::size_t end = line == toLine ? toOffset : lines[line].size();
    if (begin < end) {
      m_pieces.push_back({line, begin, lines[line].substr(begin, end - begin)});
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
