#include "checking/InlineElements.h"

#include "utilcore/PageText.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <array>
#include <cstdint>

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

// Of the joining elements, these set a term or a name apart, as a parameter named in
// its own description ("the signal <em>signal</em>"): a word on either side of their
// tags never repeats the other...
constexpr auto kApart = std::to_array<std::string_view>({"cite", "dfn", "em", "i"});
// ... and the text of these is code, whose names stand side by side on purpose, as does
// the text of pre and of inline SVG (diagram labels such as "expr expr").
constexpr auto kJoiningCode = std::to_array<std::string_view>({"code", "kbd", "samp", "tt", "var"});
constexpr auto kSeparatingLeftOut = std::to_array<std::string_view>({"pre", "svg"});

// Names are looked up as numbers: up to eight lower-case letters packed into one word,
// compared far faster than strings for every tag of a page.
constexpr std::size_t kPackedName = 8;

constexpr std::uint64_t Pack(std::string_view name) {
  std::uint64_t key = 0;
  for (const char c : name) {
    const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    key = (key << 8) | static_cast<unsigned char>(lower);
  }
  return key;
}

template <std::size_t N>
constexpr std::array<std::uint64_t, N> PackAll(const std::array<std::string_view, N>& names) {
  std::array<std::uint64_t, N> keys{};
  for (std::size_t k = 0; k < N; ++k) {
    keys[k] = names[k].size() <= kPackedName ? Pack(names[k]) : 0;
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

constexpr auto kJoiningKeys = PackAll(kJoining);
constexpr auto kApartKeys = PackAll(kApart);
constexpr auto kJoiningCodeKeys = PackAll(kJoiningCode);
constexpr auto kSeparatingLeftOutKeys = PackAll(kSeparatingLeftOut);
constexpr auto kSeparatingKeys = PackAll(kSeparating);

template <std::size_t N>
bool LongNameListed(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::any_of(names.begin(), names.end(), [name](std::string_view entry) {
    return entry.size() > kPackedName && CStringUtils::EqualsAsciiNoCase(name, entry);
  });
}

/// Each byte that goes on with an element name, lower-cased; 0 for every other byte.
/// Every tag of a page has its name read: one look-up a byte instead of four tests.
constexpr std::array<char, 256> MakeNameBytes() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (letter || (c >= '0' && c <= '9') || c == '-') {
      table[static_cast<std::size_t>(c)] =
          static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
  }
  return table;
}
constexpr std::array<char, 256> kNameBytes = MakeNameBytes();

bool IsNameByte(char c) {
  return kNameBytes[static_cast<unsigned char>(c)] != 0;
}

std::size_t SkipInvisible(std::string_view line, std::size_t at) {
  while (at < line.size() && CPageText::IsInvisible(line[at])) {
    ++at;
  }
  return at;
}

template <std::size_t N> bool Listed(const std::array<std::uint64_t, N>& keys, std::uint64_t key) {
  return std::binary_search(keys.begin(), keys.end(), key);
}

/// The tag of the short name packed as `key`, found in the tables.
CInlineElements::ETag FindPackedNameTag(std::uint64_t key) {
  using ETag = CInlineElements::ETag;
  if (Listed(kSeparatingLeftOutKeys, key)) {
    return ETag::kSeparatesLeftOut;
  }
  if (Listed(kJoiningCodeKeys, key)) {
    return ETag::kJoinsLeftOut;
  }
  if (Listed(kApartKeys, key)) {
    return ETag::kJoinsApart;
  }
  return Listed(kJoiningKeys, key) || !Listed(kSeparatingKeys, key) ? ETag::kJoins
                                                                    : ETag::kSeparates;
}

/// The tag of the short name packed as `key`. A page uses a handful of elements over
/// and over: each thread keeps its last answers, in plain data that starts zeroed
/// without a guard on each call (no name packs to 0).
CInlineElements::ETag PackedNameTag(std::uint64_t key) {
  struct SAnswer {
    std::uint64_t key;
    CInlineElements::ETag tag;
  };
  thread_local std::array<SAnswer, 64> answers;
  SAnswer& answer = answers[(key * 0x9E3779B97F4A7C15ULL) >> 58];
  if (answer.key != key) {
    answer = {key, FindPackedNameTag(key)};
  }
  return answer.tag;
}

/// Where the element name of the tag whose "<" is at `at` begins (fillers skipped),
/// noting in `closing` whether it is an end tag; npos when no name follows: a name
/// starts with a letter, and "<!--", "<!DOCTYPE" and "<?xml" name no element.
std::size_t NameStart(std::string_view line, std::size_t at, bool& closing) {
  std::size_t next = SkipInvisible(line, at + 1);
  closing = next < line.size() && line[next] == '/';
  if (closing) {
    next = SkipInvisible(line, next + 1);
  }
  if (next >= line.size() ||
      !((line[next] >= 'a' && line[next] <= 'z') || (line[next] >= 'A' && line[next] <= 'Z'))) {
    return std::string_view::npos;
  }
  return next;
}

} // namespace

CInlineElements::ETag CInlineElements::TagOf(std::string_view name) {
  if (name.empty()) {
    return ETag::kSeparates;
  }
  if (name.size() > kPackedName) {
    return LongNameListed(kSeparating, name) ? ETag::kSeparates : ETag::kJoins;
  }
  return PackedNameTag(Pack(name));
}

CInlineElements::ETag CInlineElements::TagAt(std::string_view line, std::size_t at, bool& closing) {
  const std::size_t next = NameStart(line, at, closing);
  if (next == std::string_view::npos) {
    return ETag::kSeparates;
  }
  // The name is packed as it is read (TagOf of TagNameAt, in one pass over the name);
  // a long one is looked up by its text.
  std::uint64_t key = 0;
  std::size_t end = next;
  for (; end < line.size(); ++end) {
    const char lower = kNameBytes[static_cast<unsigned char>(line[end])];
    if (lower == 0) {
      break;
    }
    key = (key << 8) | static_cast<unsigned char>(lower);
  }
  if (end - next > kPackedName) {
    return TagOf(line.substr(next, end - next));
  }
  return PackedNameTag(key);
}

std::string_view CInlineElements::TagNameAt(std::string_view line, std::size_t at, bool& closing) {
  const std::size_t next = NameStart(line, at, closing);
  if (next == std::string_view::npos) {
    return {};
  }
  std::size_t end = next;
  while (end < line.size() && IsNameByte(line[end])) {
    ++end;
  }
  return line.substr(next, end - next);
}
