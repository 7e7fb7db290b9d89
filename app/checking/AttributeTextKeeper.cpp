#include "checking/AttributeTextKeeper.h"

#include "checking/TagWalk.h"

#include "utilcore/HTMLUtils.h"
#include "utilcore/Utf8.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

namespace {

using SPlace = CTagWalk::SPlace;

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
  // End tags, declarations and processing instructions hold no attributes.
  const std::string_view element = walk.StartTagName();
  if (element.empty()) {
    return false;
  }
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
    SPlace from;
    SPlace to;
    if (!walk.ValueAfterName(from, to)) {
      continue;
    }
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
