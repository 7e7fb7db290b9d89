#include "checking/InlineElements.h"

#include "utilcore/PageText.h"

#include <algorithm>
#include <array>

namespace {

// The rule, once: the tags of these elements join the letters around them...
constexpr auto kJoining = std::to_array<std::string_view>(
    {"a",    "abbr",   "b",   "bdi", "bdo",  "cite", "code", "data", "del",  "dfn",
     "em",   "font",   "i",   "ins", "kbd",  "mark", "q",    "s",    "samp", "small",
     "span", "strong", "sub", "sup", "time", "tt",   "u",    "var",  "wbr"});

// ... the tags of these separate them, and any element named in neither list joins.
constexpr auto kSeparating = std::to_array<std::string_view>(
    {"address",  "area",     "article",  "aside",      "audio",     "base",     "blockquote",
     "body",     "br",       "button",   "canvas",     "caption",   "center",   "col",
     "colgroup", "dd",       "details",  "dialog",     "dir",       "div",      "dl",
     "dt",       "embed",    "fieldset", "figcaption", "figure",    "footer",   "form",
     "frame",    "frameset", "h1",       "h2",         "h3",        "h4",       "h5",
     "h6",       "head",     "header",   "hgroup",     "hr",        "html",     "iframe",
     "img",      "input",    "label",    "legend",     "li",        "link",     "listing",
     "main",     "map",      "marquee",  "math",       "menu",      "meta",     "meter",
     "nav",      "noframes", "noscript", "object",     "ol",        "optgroup", "option",
     "output",   "p",        "param",    "picture",    "plaintext", "pre",      "progress",
     "rp",       "rt",       "ruby",     "section",    "select",    "source",   "summary",
     "svg",      "table",    "tbody",    "td",         "template",  "textarea", "tfoot",
     "th",       "thead",    "title",    "tr",         "track",     "ul"});

static_assert(std::is_sorted(kJoining.begin(), kJoining.end()) &&
              std::is_sorted(kSeparating.begin(), kSeparating.end()));

// No element of either list has a longer name.
constexpr std::size_t kLongestName = 10;

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

std::size_t SkipInvisible(std::string_view line, std::size_t at) {
  while (at < line.size() && CPageText::IsInvisible(line[at])) {
    ++at;
  }
  return at;
}

} // namespace

bool CInlineElements::JoinsWords(std::string_view name) {
  if (name.empty()) {
    return false;
  }
  if (name.size() > kLongestName) {
    return true;
  }
  std::array<char, kLongestName> lower{};
  std::transform(name.begin(), name.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  const std::string_view key(lower.data(), name.size());
  return std::binary_search(kJoining.begin(), kJoining.end(), key) ||
         !std::binary_search(kSeparating.begin(), kSeparating.end(), key);
}

std::string_view CInlineElements::TagNameAt(std::string_view line, std::size_t at, bool& closing) {
  std::size_t next = SkipInvisible(line, at + 1);
  closing = next < line.size() && line[next] == '/';
  if (closing) {
    next = SkipInvisible(line, next + 1);
  }
  // A name starts with a letter: "<!--", "<!DOCTYPE" and "<?xml" name no element.
  if (next >= line.size() ||
      !((line[next] >= 'a' && line[next] <= 'z') || (line[next] >= 'A' && line[next] <= 'Z'))) {
    return {};
  }
  std::size_t end = next;
  while (end < line.size() && IsNameByte(line[end])) {
    ++end;
  }
  return line.substr(next, end - next);
}
