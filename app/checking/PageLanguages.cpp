#include "checking/PageLanguages.h"

#include "checking/InlineElements.h"
#include "checking/LanguageTag.h"
#include "checking/TagWalk.h"

#include <algorithm>
#include <initializer_list>
#include <span>

namespace {

using Names = std::span<const std::string_view>;

/// Elements that never hold others: their start tag is the whole element.
constexpr std::string_view kVoidElements[] = {"area",  "base",   "br",    "col",  "embed",
                                              "hr",    "img",    "input", "link", "meta",
                                              "param", "source", "track", "wbr",  "keygen"};

/// Start tags that close an open <p>, as a browser does.
constexpr std::string_view kClosesParagraph[] = {
    "address",    "article", "aside",  "blockquote", "details", "dialog", "div", "dl", "fieldset",
    "figcaption", "figure",  "footer", "form",       "h1",      "h2",     "h3",  "h4", "h5",
    "h6",         "header",  "hgroup", "hr",         "main",    "menu",   "nav", "ol", "p",
    "pre",        "section", "table",  "ul",         "li",      "dt",     "dd"};

/// Where a search for an element to close implicitly stops.
constexpr std::string_view kScopeBarriers[] = {"table",  "td",     "th",       "caption", "html",
                                               "button", "object", "template", "marquee"};

/// A start tag of one of `starts` closes the innermost open element of `closes`,
/// unless one of `barriers` is open inside it.
struct SImpliedClose {
  std::initializer_list<std::string_view> starts;
  std::initializer_list<std::string_view> closes;
  std::initializer_list<std::string_view> barriers;
};

/// The elements whose language holds for the whole page.
bool IsPageElement(const std::array<char, 16>& name) {
  static const std::array<char, 16> kHtml = {'h', 't', 'm', 'l'};
  static const std::array<char, 16> kBody = {'b', 'o', 'd', 'y'};
  return name == kHtml || name == kBody;
}

bool IsOneOf(std::string_view name, Names names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

/// Whether `part` holds "lang" in any letter case. It runs over every byte of every
/// tag, so it looks at the last byte of each window first and moves on as far as that
/// byte allows (most bytes of a tag allow four).
bool HoldsLang(std::string_view part) {
  for (std::size_t at = 0; at + 4 <= part.size();) {
    switch (part[at + 3] | 0x20) {
    case 'g':
      if ((part[at] | 0x20) == 'l' && (part[at + 1] | 0x20) == 'a' &&
          (part[at + 2] | 0x20) == 'n') {
        return true;
      }
      at += 4;
      break;
    case 'l':
      at += 3;
      break;
    case 'a':
      at += 2;
      break;
    case 'n':
      at += 1;
      break;
    default:
      at += 4;
      break;
    }
  }
  return false;
}

/// Whether the tag names a language at all: most tags do not, and need no reading.
bool MentionsLang(const std::vector<std::string>& lines, const CStringUtils::TagPlace& tag) {
  for (std::size_t line = tag.line; line <= tag.endLine && line < lines.size(); ++line) {
    const std::size_t begin = line == tag.line ? tag.offset : 0;
    const std::size_t end =
        std::min(line == tag.endLine ? tag.endOffset : lines[line].size(), lines[line].size());
    if (begin < end && HoldsLang(std::string_view(lines[line]).substr(begin, end - begin))) {
      return true;
    }
  }
  return false;
}

} // namespace

void CPageLanguages::Clear() {
  m_pageLanguage = kUnknown;
  m_open.clear();
  m_changes.clear();
  m_languages.resize(1);
  StartScan();
}

CPageLanguages::Name CPageLanguages::MakeName(std::string_view text) {
  Name name{};
  const std::size_t size = std::min(text.size(), kNameBytes);
  for (std::size_t i = 0; i < size; ++i) {
    const char c = text[i];
    name[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return name;
}

void CPageLanguages::OnTag(const std::vector<std::string>& lines,
                           const CStringUtils::TagPlace& tag) {
  // An end tag names no language: outside every element with one it changes nothing.
  const std::string& first = lines[tag.line];
  const bool endTag = tag.offset + 1 < first.size() && first[tag.offset + 1] == '/';
  if (m_open.empty() && endTag) {
    return;
  }
  const bool mentionsLang = !endTag && MentionsLang(lines, tag);
  if (m_open.empty() && !mentionsLang) {
    return;
  }
  bool closing = false;
  const std::string_view text = CInlineElements::TagNameAt(lines[tag.line], tag.offset, closing);
  if (text.empty()) {
    return;
  }
  const Name name = MakeName(text);
  if (closing) {
    OnEndTag(name, tag);
    return;
  }
  std::uint16_t language = kUnknown;
  const bool hasLanguage = mentionsLang && ReadLanguage(lines, tag, language);
  if (m_open.empty() && !hasLanguage) {
    return;
  }
  const std::size_t end = tag.endLine < lines.size() ? tag.endOffset : 0;
  const bool selfClosing =
      end >= 2 && tag.endLine < lines.size() && lines[tag.endLine].compare(end - 2, 2, "/>") == 0;
  OnStartTag(name, IsOneOf(name.data(), kVoidElements) || selfClosing, hasLanguage, language, tag);
}

bool CPageLanguages::ReadLanguage(const std::vector<std::string>& lines,
                                  const CStringUtils::TagPlace& tag, std::uint16_t& language) {
  CTagWalk walk(lines, tag);
  if (walk.StartTagName().empty()) {
    return false;
  }
  bool found = false;
  bool fromXml = false;
  for (;;) {
    walk.SkipBlanks(true);
    if (walk.AtEnd() || walk.Peek() == '>') {
      break;
    }
    const std::string_view name = walk.Name();
    const bool lang = CStringUtils::EqualsAsciiNoCase(name, "lang");
    const bool xmlLang = CStringUtils::EqualsAsciiNoCase(name, "xml:lang");
    CTagWalk::SPlace from;
    CTagWalk::SPlace to;
    const bool hasValue = walk.ValueAfterName(from, to);
    // A browser keeps the first of two attributes of one name; xml:lang outranks lang.
    if ((lang && !found) || (xmlLang && !fromXml)) {
      language = Number(CLanguageTag::Canonical(hasValue ? walk.Text(from, to) : std::string()));
      found = true;
      fromXml = xmlLang;
    }
  }
  return found;
}

std::uint16_t CPageLanguages::Number(const std::string& tag) {
  if (tag.empty()) {
    return kUnknown;
  }
  const auto known = std::find(m_languages.begin(), m_languages.end(), tag);
  if (known != m_languages.end()) {
    return static_cast<std::uint16_t>(known - m_languages.begin());
  }
  // A page naming thousands of languages is no page; the rest count as unknown.
  if (m_languages.size() >= 0xFFFF) {
    return kUnknown;
  }
  m_languages.push_back(tag);
  return static_cast<std::uint16_t>(m_languages.size() - 1);
}

void CPageLanguages::ChangeTo(std::uint16_t language, std::size_t line, std::size_t offset) {
  const std::uint16_t before = m_changes.empty() ? kUnknown : m_changes.back().language;
  if (language == before) {
    return;
  }
  // Two changes at one place: the later one holds.
  if (!m_changes.empty() && m_changes.back().line == line && m_changes.back().offset == offset) {
    m_changes.pop_back();
    ChangeTo(language, line, offset);
    return;
  }
  m_changes.push_back({line, offset, language});
}

void CPageLanguages::OnStartTag(const Name& name, bool empty, bool hasLanguage,
                                std::uint16_t language, const CStringUtils::TagPlace& tag) {
  // The language of html or body holds for the whole page (their end tags close
  // nothing here): it needs no element kept open, so a page with one language costs no
  // more than a page without.
  if (hasLanguage && m_open.empty() && IsPageElement(name)) {
    m_pageLanguage = language;
    ChangeTo(language, tag.line, tag.offset);
    return;
  }
  CloseImplied(name);
  if (!hasLanguage) {
    language = Current();
  }
  ChangeTo(language, tag.line, tag.offset);
  if (empty) {
    // Its attributes are in its language, what follows in its parent's.
    ChangeTo(Current(), tag.endLine, tag.endOffset);
    return;
  }
  m_open.push_back({name, language});
}

void CPageLanguages::OnEndTag(const Name& name, const CStringUtils::TagPlace& tag) {
  // The language given on html or body holds for text after their end tags too.
  if (IsPageElement(name)) {
    return;
  }
  const auto open = std::find_if(m_open.rbegin(), m_open.rend(),
                                 [&name](const SElement& element) { return element.name == name; });
  if (open == m_open.rend()) {
    return;
  }
  m_open.erase(std::next(open).base(), m_open.end());
  ChangeTo(Current(), tag.line, tag.offset);
}

void CPageLanguages::CloseImplied(const Name& name) {
  static const SImpliedClose kRules[] = {
      {{"li"}, {"li"}, {"ul", "ol", "menu"}},
      {{"dt", "dd"}, {"dt", "dd"}, {"dl"}},
      {{"tr"}, {"tr"}, {"table", "thead", "tbody", "tfoot"}},
      {{"td", "th"}, {"td", "th"}, {"tr", "table"}},
      {{"thead", "tbody", "tfoot"}, {"thead", "tbody", "tfoot"}, {"table"}},
      {{"option", "optgroup"}, {"option"}, {"select", "datalist", "optgroup"}},
  };
  const std::string_view element = name.data();
  for (const SImpliedClose& rule : kRules) {
    if (IsOneOf(element, rule.starts)) {
      CloseOpen(rule.closes, rule.barriers);
    }
  }
  static const std::string_view kParagraph[] = {"p"};
  if (IsOneOf(element, kClosesParagraph)) {
    CloseOpen(kParagraph, kScopeBarriers);
  }
}

int CPageLanguages::FindOpen(std::span<const std::string_view> names,
                             std::span<const std::string_view> barriers) const {
  for (int index = static_cast<int>(m_open.size()) - 1; index >= 0; --index) {
    const std::string_view open = m_open[static_cast<std::size_t>(index)].name.data();
    if (IsOneOf(open, names)) {
      return index;
    }
    if (IsOneOf(open, barriers)) {
      return -1;
    }
  }
  return -1;
}

void CPageLanguages::CloseOpen(std::span<const std::string_view> names,
                               std::span<const std::string_view> barriers) {
  const int index = FindOpen(names, barriers);
  if (index >= 0) {
    m_open.resize(static_cast<std::size_t>(index));
  }
}

void CPageLanguages::StartScan() {
  m_cursor = 0;
  m_scanLanguage = kUnknown;
}

std::uint16_t CPageLanguages::LanguageAt(std::size_t line, std::size_t offset) {
  while (m_cursor < m_changes.size()) {
    const SChange& change = m_changes[m_cursor];
    if (change.line > line || (change.line == line && change.offset > offset)) {
      break;
    }
    m_scanLanguage = change.language;
    ++m_cursor;
  }
  return m_scanLanguage;
}
