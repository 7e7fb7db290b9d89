#include "utilcore/StringUtils.h"

#include "utilcore/PageText.h"
#include "utilcore/Utf8.h"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/stringpiece.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

bool IsAsciiDigit(unsigned char c) {
  return CStringUtils::m_tableIsDigit[c];
}
bool IsAsciiLetter(unsigned char c) {
  return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}
bool IsAsciiBlank(unsigned char c) {
  return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

bool HasCategory(UChar32 c, std::uint32_t mask) {
  return CUtf8::IsValid(c) && (U_GET_GC_MASK(c) & mask) != 0;
}

bool IsWhiteSpace(UChar32 c) {
  if (c < 0x80) {
    return IsAsciiBlank(static_cast<unsigned char>(c));
  }
  return CUtf8::IsValid(c) && u_isUWhiteSpace(c);
}

bool IsControl(UChar32 c) {
  if (c < 0x80) {
    return c < 0x20 || c == 0x7F;
  }
  return HasCategory(c, U_GC_CC_MASK);
}

bool IsBlankOrControl(UChar32 c) {
  return IsWhiteSpace(c) || IsControl(c);
}

bool IsInvisible(UChar32 c) {
  if (IsBlankOrControl(c)) {
    return true;
  }
  return HasCategory(c, U_GC_CF_MASK) ||
         (CUtf8::IsValid(c) && u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT));
}

bool IsPunctuationOrSymbol(UChar32 c) {
  if (c < 0x80) {
    return c > 0x20 && c < 0x7F && !IsAsciiDigit(static_cast<unsigned char>(c)) &&
           !IsAsciiLetter(static_cast<unsigned char>(c));
  }
  return HasCategory(c, U_GC_P_MASK | U_GC_S_MASK);
}

// Damaged bytes count as letters: they most likely are letters of a lost encoding.
bool IsWordCharacter(UChar32 c) {
  if (c < 0x80) {
    return IsAsciiDigit(static_cast<unsigned char>(c)) ||
           IsAsciiLetter(static_cast<unsigned char>(c));
  }
  return !CUtf8::IsValid(c) || HasCategory(c, U_GC_L_MASK | U_GC_M_MASK | U_GC_ND_MASK);
}

bool IsApostrophe(UChar32 c) {
  return c == '\'' || c == 0x2019;
}
bool IsJoiner(UChar32 c) {
  return c == '-' || c == 0x2010 || c == 0x2011 || IsApostrophe(c);
}

bool Contains(std::string_view set, UChar32 c) {
  for (std::size_t i = 0; i < set.size();) {
    if (CUtf8::Next(set, i) == c) {
      return true;
    }
  }
  return false;
}

/// The kept part [first, second) of `text` after removing the characters that
/// `trimLeading` / `trimTrailing` accept at each end, each with its filler run.
template <typename Leading, typename Trailing>
std::pair<std::size_t, std::size_t> TrimBounds(std::string_view text, Leading trimLeading,
                                               Trailing trimTrailing) {
  std::size_t begin = 0;
  for (;;) {
    begin = CUtf8::SkipFillers(text, begin);
    if (begin == text.size()) {
      return {begin, begin};
    }
    std::size_t next = begin;
    if (!trimLeading(CUtf8::Next(text, next))) {
      break;
    }
    begin = next;
  }
  std::size_t end = text.size();
  for (;;) {
    std::size_t previous = CUtf8::SkipFillersBack(text, end);
    if (previous <= begin) {
      break;
    }
    const UChar32 c = CUtf8::Previous(text, previous);
    if (previous < begin || !trimTrailing(c)) {
      break;
    }
    end = previous;
  }
  return {begin, end};
}

void KeepRange(std::string& text, std::pair<std::size_t, std::size_t> bounds) {
  text.erase(bounds.second);
  text.erase(0, bounds.first);
}

std::size_t AlignBack(std::string_view text, std::size_t i) {
  for (int steps = 0; steps < 3 && i > 0 && i < text.size() && CUtf8::IsContinuation(text[i]);
       ++steps) {
    --i;
  }
  return i;
}

std::size_t AlignForward(std::string_view text, std::size_t i) {
  for (int steps = 0; steps < 3 && i < text.size() && CUtf8::IsContinuation(text[i]); ++steps) {
    ++i;
  }
  return i;
}

// ---- Word splitting ------------------------------------------------------------------

unsigned char RealByteBefore(std::string_view text, std::size_t i, bool userText) {
  const std::size_t at = userText ? i : CUtf8::SkipFillersBack(text, i);
  return at > 0 ? static_cast<unsigned char>(text[at - 1]) : 0;
}

unsigned char RealByteAfter(std::string_view text, std::size_t i, bool userText) {
  const std::size_t at = userText ? i : CUtf8::SkipFillers(text, i);
  return at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
}

bool IsAsciiSeparator(std::string_view text, std::size_t start, std::size_t next, UChar32 c,
                      bool userText) {
  switch (c) {
  case ' ':
  case '=':
  case '|':
  case '<':
  case '>':
    return true;
  case '/':
  case '\\':
  case ':': // "V:0" and "config::option" are two words; "10:30" is one number
    return !(IsAsciiDigit(RealByteBefore(text, start, userText)) &&
             IsAsciiDigit(RealByteAfter(text, next, userText)));
  case '.':
  case '-':
    return RealByteBefore(text, start, userText) == c || RealByteAfter(text, next, userText) == c;
  default:
    return IsControl(c);
  }
}

bool IsUnicodeSeparator(UChar32 c) {
  switch (c) {
  case 0x200B: // zero-width space
  case 0xFEFF: // zero-width no-break space, a stray byte order mark
  case 0x2012: // figure dash
  case 0x2013: // en dash
  case 0x2014: // em dash
  case 0x2015: // horizontal bar
  case 0x2E3A: // two-em dash
  case 0x2E3B: // three-em dash
  case 0x2026: // ellipsis
    return true;
  default:
    return IsWhiteSpace(c) || IsControl(c);
  }
}

// ---- Whole-word occurrences ------------------------------------------------------------

/// Matches `word` at `at`, skipping fillers of both; gives the end of the match in
/// `text`, with the fillers that belong to its last character.
bool MatchThroughFillers(std::string_view text, std::size_t at, std::string_view word,
                         std::size_t& matchEnd) {
  std::size_t i = at;
  std::size_t j = 0;
  while (j < word.size()) {
    if (CUtf8::IsFiller(word[j])) {
      ++j;
      continue;
    }
    if (i > at) {
      i = CUtf8::SkipFillers(text, i);
    }
    if (i >= text.size() || text[i] != word[j]) {
      return false;
    }
    ++i;
    ++j;
  }
  // The word's last character keeps its reference's fillers, not the markup after it.
  matchEnd = CUtf8::SkipReferenceFillers(text, i);
  return true;
}

/// The character before `i` in page text (fillers skipped); false at the start.
bool CharacterBefore(std::string_view text, std::size_t i, UChar32& c, std::size_t& start) {
  start = CUtf8::SkipFillersBack(text, i);
  if (start == 0) {
    return false;
  }
  c = CUtf8::Previous(text, start);
  return true;
}

/// The character at or after `i` in page text (fillers skipped); false at the end.
bool CharacterAfter(std::string_view text, std::size_t i, UChar32& c, std::size_t& next) {
  next = CUtf8::SkipFillers(text, i);
  if (next >= text.size()) {
    return false;
  }
  c = CUtf8::Next(text, next);
  return true;
}

bool IsPossessiveEnding(std::string_view text, std::size_t afterApostrophe) {
  UChar32 s = 0;
  std::size_t next = 0;
  if (!CharacterAfter(text, afterApostrophe, s, next) || (s != 's' && s != 'S')) {
    return false;
  }
  UChar32 following = 0;
  return !CharacterAfter(text, next, following, next) || !IsWordCharacter(following);
}

bool JoinsBefore(std::string_view text, std::size_t start) {
  UChar32 c = 0;
  std::size_t at = 0;
  if (!CharacterBefore(text, start, c, at)) {
    return false;
  }
  if (IsWordCharacter(c)) {
    return true;
  }
  UChar32 beyond = 0;
  return IsJoiner(c) && CharacterBefore(text, at, beyond, at) && IsWordCharacter(beyond) &&
         IsWordCharacter(CUtf8::At(text, start));
}

bool JoinsAfter(std::string_view text, std::size_t start, std::size_t end) {
  UChar32 c = 0;
  std::size_t next = 0;
  if (!CharacterAfter(text, end, c, next)) {
    return false;
  }
  if (IsWordCharacter(c)) {
    return true;
  }
  if (!IsJoiner(c)) {
    return false;
  }
  UChar32 beyond = 0;
  std::size_t ignored = 0;
  std::size_t lastStart = CUtf8::SkipFillersBack(text, end);
  const UChar32 last = lastStart > start ? CUtf8::Previous(text, lastStart) : 0;
  return CharacterAfter(text, next, beyond, ignored) && IsWordCharacter(beyond) &&
         IsWordCharacter(last) && !(IsApostrophe(c) && IsPossessiveEnding(text, next));
}

// ---- Excerpts ---------------------------------------------------------------------------

constexpr std::size_t kExcerptSideBytes = 60;
constexpr std::size_t kExcerptWordBytes = 200;
constexpr std::string_view kEllipsis = "...";

// A filler run belongs to the character before it, so it is blank after a blank and
// part of the word after a word character.
// Both stop early once past `limit`: the excerpt is cut there anyway, and a long run of
// blanked markup would otherwise be walked for every finding of the line.
std::size_t SkipForward(std::string_view text, std::size_t i, bool blanks, std::size_t limit) {
  for (;;) {
    if (i > limit) {
      return i;
    }
    const std::size_t at = CUtf8::SkipFillers(text, i);
    if (at == text.size()) {
      return at;
    }
    i = at;
    if (IsBlankOrControl(CUtf8::Next(text, i)) != blanks) {
      return at;
    }
  }
}

std::size_t SkipBack(std::string_view text, std::size_t i, bool blanks, std::size_t limit) {
  while (i > 0) {
    if (i < limit) {
      return i;
    }
    std::size_t at = CUtf8::SkipFillersBack(text, i);
    if (at == 0) {
      return 0;
    }
    if (IsBlankOrControl(CUtf8::Previous(text, at)) != blanks) {
      return i;
    }
    i = at;
  }
  return 0;
}

/// Appends `text` with fillers left out and every run of blanks and controls as one
/// blank, none at either end.
void AppendCollapsed(std::string& out, std::string_view text) {
  bool pendingBlank = false;
  bool any = false;
  for (std::size_t i = 0; i < text.size();) {
    // Runs of visible ASCII (most of any page) go in with one append.
    std::size_t run = i;
    while (run < text.size() && static_cast<unsigned char>(text[run]) > 0x20 &&
           static_cast<unsigned char>(text[run]) < 0x7F) {
      ++run;
    }
    if (run != i) {
      if (pendingBlank) {
        out.push_back(' ');
        pendingBlank = false;
      }
      out.append(text.substr(i, run - i));
      any = true;
      i = run;
      continue;
    }
    if (CUtf8::IsFiller(text[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    if (IsBlankOrControl(CUtf8::Next(text, i))) {
      pendingBlank = any;
      continue;
    }
    if (pendingBlank) {
      out.push_back(' ');
      pendingBlank = false;
    }
    out.append(text.substr(start, i - start));
    any = true;
  }
}

// ---- Blocks of lines ------------------------------------------------------------------

struct CLinePos {
  std::size_t line = 0;
  std::size_t offset = 0;
};

struct CBlockRule {
  std::string_view start;
  std::string_view end;
  bool html = false;     // case-insensitive, browser rules
  bool tagOpen = false;  // start is "<": quoted attribute values may hold the end
  bool namedTag = false; // start ends in a tag name such as "<script"
};

bool MatchesAt(std::string_view line, std::size_t at, std::string_view token, bool ignoreCase) {
  if (line.size() - at < token.size()) {
    return false;
  }
  for (std::size_t k = 0; k < token.size(); ++k) {
    auto a = static_cast<unsigned char>(line[at + k]);
    auto b = static_cast<unsigned char>(token[k]);
    if (ignoreCase) {
      a = CStringUtils::m_tableUppercase[a];
      b = CStringUtils::m_tableUppercase[b];
    }
    if (a != b) {
      return false;
    }
  }
  return true;
}

bool EqualNoCase(char a, char b) {
  return CStringUtils::m_tableUppercase[static_cast<unsigned char>(a)] ==
         CStringUtils::m_tableUppercase[static_cast<unsigned char>(b)];
}

std::size_t FindToken(std::string_view line, std::string_view token, std::size_t from,
                      bool ignoreCase) {
  const auto first = static_cast<unsigned char>(token[0]);
  const char both[] = {static_cast<char>(first | 0x20), static_cast<char>(first & ~0x20u), 0};
  const bool anyCase = ignoreCase && IsAsciiLetter(first);
  for (std::size_t at = from; at < line.size(); ++at) {
    at = anyCase ? line.find_first_of(both, at) : line.find(token[0], at);
    if (at == kNotFound) {
      return kNotFound;
    }
    if (MatchesAt(line, at, token, ignoreCase)) {
      return at;
    }
  }
  return kNotFound;
}

bool OpensBlock(const CBlockRule& rule, std::string_view line, std::size_t at) {
  const std::size_t after = CUtf8::SkipFillers(line, at + rule.start.size());
  const auto next = after < line.size() ? static_cast<unsigned char>(line[after]) : 0;
  if (rule.tagOpen) {
    return IsAsciiLetter(next) || next == '/' || next == '!' || next == '?';
  }
  if (rule.namedTag) {
    return next == 0 || IsAsciiBlank(next) || next == '/' || next == '>';
  }
  return true;
}

bool FindBlockStart(const std::vector<std::string>& lines, const CBlockRule& rule, CLinePos& pos) {
  for (; pos.line < lines.size(); ++pos.line, pos.offset = 0) {
    const std::string_view line = lines[pos.line];
    for (std::size_t at = pos.offset;
         (at = FindToken(line, rule.start, at, rule.html)) != kNotFound; ++at) {
      if (OpensBlock(rule, line, at)) {
        pos.offset = at;
        return true;
      }
    }
  }
  return false;
}

bool FindCharacter(const std::vector<std::string>& lines, char wanted, CLinePos& pos) {
  for (; pos.line < lines.size(); ++pos.line, pos.offset = 0) {
    const std::size_t at = lines[pos.line].find(wanted, pos.offset);
    if (at != kNotFound) {
      pos.offset = at + 1;
      return true;
    }
  }
  return false;
}

/// Scans a tag for its end as a browser does: a quote opens a value only after "=".
bool FindTagEnd(const std::vector<std::string>& lines, const CBlockRule& rule, CLinePos& pos) {
  bool afterEquals = false;
  while (pos.line < lines.size()) {
    const std::string_view line = lines[pos.line];
    if (pos.offset >= line.size()) {
      ++pos.line;
      pos.offset = 0;
      continue;
    }
    const char c = line[pos.offset];
    if (EqualNoCase(c, rule.end.front()) && MatchesAt(line, pos.offset, rule.end, true)) {
      pos.offset += rule.end.size();
      return true;
    }
    if ((c == '"' || c == '\'') && afterEquals) {
      ++pos.offset;
      if (!FindCharacter(lines, c, pos)) {
        return false;
      }
      afterEquals = false;
      continue;
    }
    if (c == '=') {
      afterEquals = true;
    } else if (!IsAsciiBlank(static_cast<unsigned char>(c)) && !CUtf8::IsFiller(c)) {
      afterEquals = false;
    }
    ++pos.offset;
  }
  return false;
}

/// FindTagEnd for a tag that ends at one byte that is no letter (">"), as fast as the
/// tags of a long page need: outside a value after "=" only that byte or "=" matter,
/// so the bytes between them are passed over without a look at each one's kind.
bool FindTagEndAt(const std::vector<std::string>& lines, char endByte, CLinePos& pos) {
  bool afterEquals = false;
  while (pos.line < lines.size()) {
    const std::string_view line = lines[pos.line];
    std::size_t at = pos.offset;
    if (!afterEquals) {
      while (at < line.size() && line[at] != endByte && line[at] != '=') {
        ++at;
      }
    }
    if (at >= line.size()) {
      ++pos.line;
      pos.offset = 0;
      continue;
    }
    const char c = line[at];
    pos.offset = at + 1;
    if (c == endByte) {
      return true;
    }
    if (afterEquals && (c == '"' || c == '\'')) {
      if (!FindCharacter(lines, c, pos)) {
        return false;
      }
      afterEquals = false;
      continue;
    }
    const bool invisible = IsAsciiBlank(static_cast<unsigned char>(c)) || CUtf8::IsFiller(c);
    afterEquals = c == '=' || (afterEquals && invisible);
  }
  return false;
}

bool FindBlockEnd(const std::vector<std::string>& lines, const CBlockRule& rule, CLinePos& pos) {
  const auto endByte = static_cast<unsigned char>(rule.end[0]);
  if (rule.tagOpen && rule.end.size() == 1 && endByte < 0x80 && !IsAsciiLetter(endByte)) {
    return FindTagEndAt(lines, rule.end[0], pos);
  }
  if (rule.tagOpen) {
    return FindTagEnd(lines, rule, pos);
  }
  for (; pos.line < lines.size(); ++pos.line, pos.offset = 0) {
    const std::size_t at = FindToken(lines[pos.line], rule.end, pos.offset, rule.html);
    if (at != kNotFound) {
      pos.offset = at + rule.end.size();
      return true;
    }
  }
  return false;
}

void BlankRange(std::vector<std::string>& lines, CLinePos from, CLinePos to) {
  for (std::size_t line = from.line; line <= to.line; ++line) {
    std::string& text = lines[line];
    const std::size_t begin = line == from.line ? from.offset : 0;
    const std::size_t end = line == to.line ? to.offset : text.size();
    std::fill(text.begin() + static_cast<std::ptrdiff_t>(begin),
              text.begin() + static_cast<std::ptrdiff_t>(end), ' ');
  }
}

void ReplaceRange(std::vector<std::string>& lines, CLinePos from, CLinePos to,
                  std::string_view replacement) {
  std::string joined = lines[from.line].substr(0, from.offset);
  joined.append(replacement);
  joined.append(lines[to.line], to.offset);
  lines[from.line] = std::move(joined);
  const auto first = lines.begin() + static_cast<std::ptrdiff_t>(from.line);
  lines.erase(first + 1, first + 1 + static_cast<std::ptrdiff_t>(to.line - from.line));
}

// ---- Markup in one walk ----------------------------------------------------------------

CBlockRule MakeBlockRule(std::string_view start, std::string_view end) {
  CBlockRule rule{start, end};
  rule.html = start.front() == '<';
  rule.tagOpen = start == "<";
  rule.namedTag = rule.html && IsAsciiLetter(static_cast<unsigned char>(start.back()));
  return rule;
}

/// The blocks BlankMarkup takes out, in the order it stands for.
enum EMarkup : std::size_t { kComment, kScript, kStyle, kTag, kMarkupKinds };
/// MarkupAt's answer where no block opens, and where the walk cannot tell.
constexpr std::size_t kNoMarkup = kMarkupKinds;
constexpr std::size_t kUnclearMarkup = kMarkupKinds + 1;

const std::array<CBlockRule, kMarkupKinds>& MarkupRules() {
  static const std::array<CBlockRule, kMarkupKinds> rules = {
      MakeBlockRule("<!--", "-->"), MakeBlockRule("<script", "/script>"),
      MakeBlockRule("<style", "/style>"), MakeBlockRule("<", ">")};
  return rules;
}

bool Before(CLinePos a, CLinePos b) {
  return a.line < b.line || (a.line == b.line && a.offset < b.offset);
}

/// Moves `pos` to the next '<' before `limit`.
bool FindOpenBefore(const std::vector<std::string>& lines, CLinePos& pos, CLinePos limit) {
  for (; pos.line <= limit.line; ++pos.line, pos.offset = 0) {
    const std::string_view line = lines[pos.line];
    const std::size_t end = pos.line == limit.line ? limit.offset : line.size();
    if (pos.offset >= end) {
      continue;
    }
    const void* hit = std::memchr(line.data() + pos.offset, '<', end - pos.offset);
    if (hit != nullptr) {
      pos.offset = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
      return true;
    }
  }
  return false;
}

/// The kind of block that the '<' at `at` opens. A "<script" or "<style" right before
/// another '<' is unclear: it opens once a block of an earlier kind there is blanked.
std::size_t MarkupAt(std::string_view line, std::size_t at) {
  const auto& rules = MarkupRules();
  // Most openers are plain tags: only "<!" and "<s" can open a comment, script or style.
  const auto next = at + 1 < line.size() ? static_cast<unsigned char>(line[at + 1]) : 0;
  const bool plainTag = next != '!' && CStringUtils::m_tableUppercase[next] != 'S';
  for (std::size_t kind = plainTag ? kTag : kComment; kind < kMarkupKinds; ++kind) {
    const CBlockRule& rule = rules[kind];
    if (!MatchesAt(line, at, rule.start, true)) {
      continue;
    }
    if (OpensBlock(rule, line, at)) {
      return kind;
    }
    const std::size_t after = CUtf8::SkipFillers(line, at + rule.start.size());
    if (rule.namedTag && after < line.size() && line[after] == '<') {
      return kUnclearMarkup;
    }
  }
  return kNoMarkup;
}

/// Whether the block of `kind` at [from, to) holds no opener of a kind blanked before
/// it. A comment wholly inside a script or style is no trouble: the block ends at the
/// same place whether the comment went first or not.
bool HoldsNoEarlierMarkup(const std::vector<std::string>& lines, std::size_t kind, CLinePos from,
                          CLinePos to) {
  const auto& rules = MarkupRules();
  CLinePos pos{from.line, from.offset + rules[kind].start.size()};
  while (kind != kComment && FindOpenBefore(lines, pos, to)) {
    const std::string_view line = lines[pos.line];
    for (std::size_t earlier = kComment; earlier < kind; ++earlier) {
      if (MatchesAt(line, pos.offset, rules[earlier].start, true) &&
          (earlier != kComment || kind == kTag)) {
        return false;
      }
    }
    if (!MatchesAt(line, pos.offset, rules[kComment].start, false)) {
      ++pos.offset;
      continue;
    }
    CLinePos end{pos.line, pos.offset + rules[kComment].start.size()};
    if (!FindBlockEnd(lines, rules[kComment], end) || Before(to, end)) {
      return false;
    }
    pos = end;
  }
  return true;
}

// ---- Case ---------------------------------------------------------------------------------

template <typename Mapper> void MapWithIcu(std::string& text, Mapper mapper) {
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) {
    return;
  }
  std::string mapped;
  mapped.reserve(text.size() + text.size() / 4);
  icu::StringByteSink<std::string> sink(&mapped);
  UErrorCode error = U_ZERO_ERROR;
  mapper(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())), sink, error);
  if (U_SUCCESS(error)) {
    text.swap(mapped);
  }
}

void FullLower(std::string& text) {
  MapWithIcu(text, [](icu::StringPiece in, icu::ByteSink& sink, UErrorCode& error) {
    icu::CaseMap::utf8ToLower("", 0, in, sink, nullptr, error);
  });
}

void FullUpper(std::string& text) {
  MapWithIcu(text, [](icu::StringPiece in, icu::ByteSink& sink, UErrorCode& error) {
    icu::CaseMap::utf8ToUpper("", 0, in, sink, nullptr, error);
  });
}

/// Writes `c` over `text[start, end)` when it has exactly that length.
bool OverwriteInPlace(std::string& text, std::size_t start, std::size_t end, UChar32 c) {
  if (static_cast<std::size_t>(U8_LENGTH(c)) != end - start) {
    return false;
  }
  std::string encoded;
  CUtf8::Append(encoded, c);
  text.replace(start, encoded.size(), encoded);
  return true;
}

/// `i`, moved past every whole eight blanks that follow it: blanked markup leaves long
/// runs of them, taken eight bytes at a time.
std::size_t SkipBlankRuns(std::string_view text, std::size_t i) {
  constexpr std::uint64_t kEightBlanks = 0x2020202020202020ULL;
  while (i + sizeof kEightBlanks <= text.size()) {
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, text.data() + i, sizeof chunk);
    if (chunk != kEightBlanks) {
      break;
    }
    i += sizeof chunk;
  }
  return i;
}

} // namespace

// ---- Trimming and emptiness ---------------------------------------------------------------

void CStringUtils::Trim(std::string& text) {
  KeepRange(text, TrimBounds(text, IsWhiteSpace, IsWhiteSpace));
}

std::string_view CStringUtils::TrimView(std::string_view text) {
  const auto bounds = TrimBounds(text, IsWhiteSpace, IsWhiteSpace);
  return text.substr(bounds.first, bounds.second - bounds.first);
}

void CStringUtils::TrimPunctuation(std::string& text, std::string_view keepLeading,
                                   std::string_view keepTrailing) {
  const auto trimmable = [](UChar32 c, std::string_view keep) {
    return (IsPunctuationOrSymbol(c) || IsBlankOrControl(c)) && !Contains(keep, c);
  };
  KeepRange(text, TrimBounds(
                      text, [&](UChar32 c) { return trimmable(c, keepLeading); },
                      [&](UChar32 c) { return trimmable(c, keepTrailing); }));
}

bool CStringUtils::IsEffectivelyEmpty(std::string_view text) {
  for (std::size_t i = SkipBlankRuns(text, 0); i < text.size(); i = SkipBlankRuns(text, i)) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      if (byte > 0x20 && byte < 0x7F) {
        return false;
      }
      ++i;
      continue;
    }
    if (!IsInvisible(CUtf8::Next(text, i))) {
      return false;
    }
  }
  return true;
}

int CStringUtils::CountCharacters(std::string_view text, std::size_t bytes) {
  const std::size_t limit = std::min(bytes, text.size());
  const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
  int count = 0;
  std::size_t i = 0;
  while (i < limit) {
    // Whole runs of ASCII first: most lines hold nothing else.
    while (i + 8 <= limit) {
      std::uint64_t chunk = 0;
      std::memcpy(&chunk, data + i, sizeof chunk);
      if ((chunk & 0x8080808080808080ULL) != 0) {
        break;
      }
      i += 8;
      count += 8;
    }
    if (i >= limit) {
      break;
    }
    if (data[i] < 0x80) {
      ++i;
    } else {
      const std::size_t before = i;
      UChar32 c = 0;
      U8_NEXT(data, i, limit, c);
      if (c < 0) {
        i = before + 1;
      }
    }
    ++count;
  }
  return count;
}

void CStringUtils::RemoveFillers(std::string& text) {
  text.erase(std::remove_if(text.begin(), text.end(), CPageText::IsInvisible), text.end());
}

namespace {

// Whether the character before `i` (fillers skipped) is a word character; ASCII is
// answered without decoding, as it is most of any page.
bool IsWordCharacterBefore(std::string_view text, std::size_t i) {
  const std::size_t end = CUtf8::SkipFillersBack(text, i);
  if (end == 0) {
    return false;
  }
  const auto byte = static_cast<unsigned char>(text[end - 1]);
  if (byte < 0x80) {
    return IsAsciiDigit(byte) || IsAsciiLetter(byte);
  }
  std::size_t start = 0;
  UChar32 c = 0;
  return CharacterBefore(text, i, c, start) && IsWordCharacter(c);
}

bool IsWordCharacterAt(std::string_view text, std::size_t i) {
  const std::size_t at = CUtf8::SkipFillers(text, i);
  if (at >= text.size()) {
    return false;
  }
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80) {
    return IsAsciiDigit(byte) || IsAsciiLetter(byte);
  }
  std::size_t next = 0;
  UChar32 c = 0;
  return CharacterAfter(text, i, c, next) && IsWordCharacter(c);
}

} // namespace

void CStringUtils::SettleJoinerRun(std::string& line, std::size_t begin, std::size_t end) {
  if (IsWordCharacterBefore(line, begin) && IsWordCharacterAt(line, end)) {
    return;
  }
  for (std::size_t i = begin; i < end; ++i) {
    if (line[i] == CPageText::kJoiner) {
      line[i] = ' ';
    }
  }
}

// ---- Words ----------------------------------------------------------------------------------

namespace {
/// The ASCII bytes that belong to a word wherever they stand: printable, and none of
/// the separators or of the characters whose neighbours decide.
constexpr std::array<bool, 256> MakeWordBytes() {
  std::array<bool, 256> table{};
  for (int c = 0x21; c < 0x7F; ++c) {
    table[static_cast<std::size_t>(c)] = true;
  }
  for (const char c : std::string_view("=|<>/\\:.-")) {
    table[static_cast<unsigned char>(c)] = false;
  }
  return table;
}
constexpr std::array<bool, 256> kWordBytes = MakeWordBytes();

/// Bytes that end a word wherever they stand: blanked markup leaves long runs of them,
/// which are skipped without asking the context (the filler is not among them).
constexpr std::array<bool, 256> MakeSeparatorBytes() {
  std::array<bool, 256> table{};
  for (int c = 0; c < 0x20; ++c) {
    table[static_cast<std::size_t>(c)] = true;
  }
  table[0x7F] = true;
  table[static_cast<unsigned char>(CPageText::kFiller)] = false;
  table[static_cast<unsigned char>(CPageText::kJoiner)] = false;
  for (const char c : std::string_view(" =|<>")) {
    table[static_cast<unsigned char>(c)] = true;
  }
  return table;
}
constexpr std::array<bool, 256> kSeparatorBytes = MakeSeparatorBytes();

/// The end of the run of separator bytes from `i`.
std::size_t SkipSeparators(std::string_view text, std::size_t i) {
  i = SkipBlankRuns(text, i);
  while (i < text.size() && kSeparatorBytes[static_cast<unsigned char>(text[i])]) {
    i = SkipBlankRuns(text, i + 1);
  }
  return i;
}

} // namespace

void CStringUtils::GetWordSpans(std::string_view text, std::vector<Span>& spans, bool userText) {
  spans.clear();
  bool inWord = false;
  std::size_t wordStart = 0;
  for (std::size_t i = 0; i < text.size();) {
    // Most bytes are plain letters: they only start a word or go on with one.
    if (kWordBytes[static_cast<unsigned char>(text[i])]) {
      if (!inWord) {
        wordStart = i;
        inWord = true;
      }
      do {
        ++i;
      } while (i < text.size() && kWordBytes[static_cast<unsigned char>(text[i])]);
      continue;
    }
    if (kSeparatorBytes[static_cast<unsigned char>(text[i])]) {
      if (inWord) {
        spans.push_back({wordStart, i - wordStart});
        inWord = false;
      }
      i = SkipSeparators(text, i + 1);
      continue;
    }
    if (!userText && CUtf8::IsFiller(text[i])) {
      ++i; // belongs to the character before it, word or separator
      continue;
    }
    const std::size_t start = i;
    const UChar32 c = CUtf8::Next(text, i);
    const bool separator =
        c < 0x80 ? IsAsciiSeparator(text, start, i, c, userText) : IsUnicodeSeparator(c);
    if (separator && inWord) {
      spans.push_back({wordStart, start - wordStart});
      inWord = false;
    } else if (!separator && !inWord) {
      wordStart = start;
      inWord = true;
    }
  }
  if (inWord) {
    spans.push_back({wordStart, text.size() - wordStart});
  }
}

void CStringUtils::GetWords(std::string_view text, TextArray& words, bool userText) {
  thread_local std::vector<Span> spans;
  GetWordSpans(text, spans, userText);
  // Assigning into the existing entries reuses their buffers line after line.
  std::vector<std::string>& items = words.Items();
  items.resize(spans.size());
  for (std::size_t k = 0; k < spans.size(); ++k) {
    items[k].assign(text.substr(spans[k].start, spans[k].length));
  }
}

// ---- Blocks -----------------------------------------------------------------------------------

namespace {

// Out of the walk's way: inlined, the call grows the walk enough that its helpers are
// no longer inlined, and the page text is made more slowly even without an observer.
[[gnu::cold, gnu::noinline]] void TellTag(const std::vector<std::string>& lines,
                                          const CStringUtils::TagSeen& tagSeen, CLinePos from,
                                          CLinePos to) {
  tagSeen(lines, CStringUtils::TagPlace{from.line, from.offset, to.line, to.offset});
}

/// Every block of `rule` replaced by `replacement`, or blanked with `keepPositions`
/// (and then each told to `blockSeen` first).
void ReplaceBlocks(std::vector<std::string>& lines, const CBlockRule& rule,
                   std::string_view replacement, bool keepPositions,
                   const CStringUtils::TagSeen& blockSeen = {}, std::size_t firstLine = 0) {
  CLinePos from{firstLine, 0};
  while (FindBlockStart(lines, rule, from)) {
    CLinePos to{from.line, from.offset + rule.start.size()};
    if (!FindBlockEnd(lines, rule, to)) {
      to = {lines.size() - 1, lines.back().size()};
    }
    to.offset = CUtf8::SkipFillers(lines[to.line], to.offset);
    if (keepPositions) {
      if (blockSeen) {
        TellTag(lines, blockSeen, from, to);
      }
      BlankRange(lines, from, to);
      from = to;
    } else {
      ReplaceRange(lines, from, to, replacement);
      from.offset += replacement.size();
    }
  }
}

/// BlankMarkup's one walk; false where it stopped, what it blanked so far left so.
bool WalkMarkup(std::vector<std::string>& lines, const CStringUtils::TagSeen& tagSeen,
                const CStringUtils::TagSeen& commentSeen) {
  if (lines.empty()) {
    return true;
  }
  const auto& rules = MarkupRules();
  const CLinePos endOfText{lines.size() - 1, lines.back().size()};
  const bool tellTags = static_cast<bool>(tagSeen);
  const bool tellComments = static_cast<bool>(commentSeen);
  CLinePos pos;
  while (FindOpenBefore(lines, pos, endOfText)) {
    const std::size_t kind = MarkupAt(lines[pos.line], pos.offset);
    if (kind == kUnclearMarkup) {
      return false;
    }
    if (kind == kNoMarkup) {
      ++pos.offset;
      continue;
    }
    CLinePos to{pos.line, pos.offset + rules[kind].start.size()};
    if (!FindBlockEnd(lines, rules[kind], to)) {
      to = endOfText;
    }
    to.offset = CUtf8::SkipFillers(lines[to.line], to.offset);
    if (!HoldsNoEarlierMarkup(lines, kind, pos, to)) {
      return false;
    }
    if (tellTags && kind == kTag) {
      TellTag(lines, tagSeen, pos, to);
    } else if (tellComments && kind == kComment) {
      TellTag(lines, commentSeen, pos, to);
    }
    BlankRange(lines, pos, to);
    pos = to;
  }
  return true;
}

} // namespace

void CStringUtils::ReplaceTextBlock(std::vector<std::string>& lines, std::string_view start,
                                    std::string_view end, std::string_view replacement,
                                    bool keepPositions, std::size_t firstLine,
                                    const TagSeen& blockSeen) {
  if (start.empty() || end.empty()) {
    return;
  }
  ReplaceBlocks(lines, MakeBlockRule(start, end), replacement, keepPositions, blockSeen, firstLine);
}

bool CStringUtils::BlankMarkup(std::vector<std::string>& lines, const TagSeen& tagSeen,
                               const TagSeen& commentSeen) {
  if (WalkMarkup(lines, tagSeen, commentSeen)) {
    return true;
  }
  // Blocks of one kind inside those of another: one kind after the other settles the
  // rest of the page. Comments go first and tags last, after the walk's; only they are
  // told.
  static const TagSeen kNotTold;
  const auto& rules = MarkupRules();
  for (std::size_t kind = 0; kind < kMarkupKinds; ++kind) {
    ReplaceBlocks(lines, rules[kind], "", true,
                  kind == kTag       ? tagSeen
                  : kind == kComment ? commentSeen
                                     : kNotTold);
  }
  return false;
}

// ---- Occurrences -------------------------------------------------------------------------------

namespace {
/// `word` without the fillers at its ends; empty when nothing else is left.
std::string_view StripWordFillers(std::string_view word) {
  const std::size_t wordBegin = CUtf8::SkipFillers(word, 0);
  return word.substr(wordBegin, CUtf8::SkipFillersBack(word, word.size()) - wordBegin);
}
} // namespace

bool CStringUtils::FindOccurrenceFrom(std::string_view text, std::string_view word,
                                      std::size_t from, bool wholeWord, Span& found) {
  found = {};
  word = StripWordFillers(word);
  if (word.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
    return false;
  }
  for (std::size_t at = from; (at = text.find(word.front(), at)) != kNotFound; ++at) {
    std::size_t matchEnd = 0;
    if (MatchThroughFillers(text, at, word, matchEnd) &&
        (!wholeWord || (!JoinsBefore(text, at) && !JoinsAfter(text, at, matchEnd)))) {
      found = {at, matchEnd - at};
      return true;
    }
  }
  return false;
}

bool CStringUtils::FindOccurrence(std::string_view text, std::string_view word, int n,
                                  bool wholeWord, Span& found) {
  found = {};
  if (n < 1) {
    return false;
  }
  std::size_t from = 0;
  for (int count = 0; count < n; ++count) {
    if (!FindOccurrenceFrom(text, word, from, wholeWord, found)) {
      found = {};
      return false;
    }
    from = found.start + found.length;
  }
  return true;
}

int CStringUtils::FindOccurrenceIndex(std::string_view text, std::string_view word, int n,
                                      bool wholeWord) {
  Span found;
  return FindOccurrence(text, word, n, wholeWord, found) ? static_cast<int>(found.start) : -1;
}

bool CStringUtils::FindOccurrencePair(std::string_view text, std::string_view open,
                                      std::string_view close, int n, int& first, int& last) {
  first = -1;
  last = -1;
  if (open.empty() || close.empty() || n < 1 || text.size() > static_cast<std::size_t>(INT_MAX)) {
    return false;
  }
  std::size_t openAt = kNotFound;
  for (std::size_t from = 0, count = 0; count < static_cast<std::size_t>(n); ++count) {
    openAt = text.find(open, from);
    if (openAt == kNotFound) {
      return false;
    }
    from = openAt + open.size();
  }
  int depth = 0;
  for (std::size_t at = openAt + open.size(); at < text.size();) {
    if (open != close && text.substr(at).starts_with(open)) {
      ++depth;
      at += open.size();
    } else if (text.substr(at).starts_with(close)) {
      if (depth == 0) {
        first = static_cast<int>(openAt);
        last = static_cast<int>(at);
        return true;
      }
      --depth;
      at += close.size();
    } else {
      ++at;
    }
  }
  return false;
}

std::string CStringUtils::EllipsisSurroundingWord(std::string_view line, int start, int length,
                                                  int wordsEachSide) {
  // Built in a reused buffer and copied once: the excerpt is kept, and growing it piece
  // by piece would both reallocate and leave it with unused capacity.
  thread_local std::string excerpt;
  excerpt.clear();
  AppendEllipsisSurroundingWord(excerpt, line, start, length, wordsEachSide);
  return std::string(excerpt);
}

void CStringUtils::AppendEllipsisSurroundingWord(std::string& out, std::string_view line, int start,
                                                 int length, int wordsEachSide) {
  const std::size_t size = line.size();
  std::size_t wordStart = std::min(static_cast<std::size_t>(std::max(start, 0)), size);
  std::size_t wordEnd =
      wordStart + std::min(static_cast<std::size_t>(std::max(length, 0)), size - wordStart);
  wordStart = AlignBack(line, wordStart);
  wordEnd = AlignForward(line, wordEnd);
  bool cutWord = false;
  if (wordEnd - wordStart > kExcerptWordBytes) {
    wordEnd = AlignBack(line, wordStart + kExcerptWordBytes);
    cutWord = true;
  }

  // Any place beyond these is cut back to the side's length below.
  const std::size_t leftLimit = wordStart > kExcerptSideBytes ? wordStart - kExcerptSideBytes : 0;
  const std::size_t rightLimit = wordEnd + kExcerptSideBytes;
  std::size_t left = wordStart;
  std::size_t right = wordEnd;
  for (int counted = 0; counted < wordsEachSide; ++counted) {
    left = SkipBack(line, SkipBack(line, left, true, leftLimit), false, leftLimit);
    if (!cutWord) {
      right = SkipForward(line, SkipForward(line, right, true, rightLimit), false, rightLimit);
    }
  }
  if (wordStart - left > kExcerptSideBytes) {
    left = AlignForward(line, wordStart - kExcerptSideBytes);
  }
  if (right - wordEnd > kExcerptSideBytes) {
    right = AlignBack(line, wordEnd + kExcerptSideBytes);
  }

  if (!IsEffectivelyEmpty(line.substr(0, left))) {
    out.append(kEllipsis);
  }
  AppendCollapsed(out, line.substr(left, right - left));
  if (!IsEffectivelyEmpty(line.substr(right))) {
    out.append(kEllipsis);
  }
}

void CStringUtils::PadString(std::string& text, std::size_t length, std::string_view pad,
                             bool truncate) {
  if (truncate && text.size() > length) {
    text.resize(AlignBack(text, length));
  }
  const std::string_view unit = pad.empty() ? std::string_view(" ") : pad;
  if (text.size() + unit.size() > length) {
    return;
  }
  const std::size_t copies = (length - text.size()) / unit.size();
  if (unit.size() == 1) {
    text.append(copies, unit.front());
    return;
  }
  text.reserve(text.size() + copies * unit.size());
  for (std::size_t k = 0; k < copies; ++k) {
    text.append(unit);
  }
}

// ---- Matching ------------------------------------------------------------------------------

bool CStringUtils::MatchFirstChars(std::string_view text, std::string_view prefix,
                                   bool caseSensitive) {
  if (prefix.empty()) {
    return false;
  }
  if (caseSensitive) {
    return text.starts_with(prefix);
  }
  std::size_t i = 0;
  for (std::size_t j = 0; j < prefix.size();) {
    if (i >= text.size() ||
        CUtf8::Fold(CUtf8::Next(text, i)) != CUtf8::Fold(CUtf8::Next(prefix, j))) {
      return false;
    }
  }
  return i == prefix.size();
}

bool CStringUtils::MatchLastChars(std::string_view text, std::string_view suffix,
                                  bool caseSensitive) {
  if (suffix.empty()) {
    return false;
  }
  if (caseSensitive) {
    return text.ends_with(suffix);
  }
  std::size_t i = text.size();
  for (std::size_t j = suffix.size(); j > 0;) {
    if (i == 0 ||
        CUtf8::Fold(CUtf8::Previous(text, i)) != CUtf8::Fold(CUtf8::Previous(suffix, j))) {
      return false;
    }
  }
  return text.size() - i == suffix.size();
}

bool CStringUtils::MatchSpec(std::string_view text, std::string_view pattern, bool caseSensitive) {
  const auto same = [caseSensitive](UChar32 a, UChar32 b) {
    return caseSensitive ? a == b : CUtf8::Fold(a) == CUtf8::Fold(b);
  };
  std::size_t t = 0;
  std::size_t p = 0;
  std::size_t starPattern = kNotFound; // pattern position after the last "*" seen
  std::size_t starText = 0;            // text position that "*" is matched up to
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starPattern = ++p;
      starText = t;
      continue;
    }
    if (p < pattern.size()) {
      std::size_t nextP = p;
      std::size_t nextT = t;
      const UChar32 wanted = CUtf8::Next(pattern, nextP);
      const UChar32 actual = CUtf8::Next(text, nextT);
      if (wanted == '?' || same(wanted, actual)) {
        p = nextP;
        t = nextT;
        continue;
      }
    }
    if (starPattern == kNotFound) {
      return false;
    }
    // Let the last "*" take one more character and try again from there.
    CUtf8::Next(text, starText);
    t = starText;
    p = starPattern;
  }
  while (p < pattern.size() && pattern[p] == '*') {
    ++p;
  }
  return p == pattern.size();
}

bool CStringUtils::FindInList(std::string_view text, std::span<const std::string> list,
                              bool caseSensitive) {
  return std::any_of(list.begin(), list.end(), [&](const std::string& entry) {
    return caseSensitive ? entry == text : CompareNoCase(entry, text) == 0;
  });
}

int CStringUtils::CompareNoCase(std::string_view a, std::string_view b) {
  return CUtf8::Compare(a, b, true, false);
}

bool CStringUtils::EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return m_tableUppercase[static_cast<unsigned char>(x)] ==
                  m_tableUppercase[static_cast<unsigned char>(y)];
         });
}

// ---- Case -------------------------------------------------------------------------------------

void CStringUtils::PreserveCase(std::string_view model, std::string& text) {
  int upper = 0;
  int lower = 0;
  bool seenLetter = false;
  bool firstUpper = false;
  for (std::size_t i = 0; i < model.size();) {
    const UChar32 c = CUtf8::Next(model, i);
    if (!CUtf8::IsValid(c) || !u_isalpha(c)) {
      continue;
    }
    // A capital without a small form (the double-struck letters, mathematical
    // alphabets) is written so in any case: it says nothing about the word's case,
    // and a word that lower-cases to itself must never count as capitalised.
    const bool isUpper = (u_isupper(c) || u_istitle(c)) && u_tolower(c) != c;
    upper += isUpper ? 1 : 0;
    lower += u_islower(c) ? 1 : 0;
    if (!seenLetter) {
      seenLetter = true;
      firstUpper = isUpper;
    }
  }
  if (upper >= 2 && lower == 0) {
    MakeUpper(text);
    return;
  }
  if (!firstUpper) {
    return;
  }
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    const UChar32 c = CUtf8::Next(text, i);
    if (CUtf8::IsValid(c) && u_isalpha(c)) {
      std::string title;
      CUtf8::Append(title, u_totitle(c));
      text.replace(start, i - start, title);
      return;
    }
  }
}

void CStringUtils::MakeLower(std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      if (byte >= 'A' && byte <= 'Z') {
        text[i] = static_cast<char>(byte | 0x20);
      }
      ++i;
      continue;
    }
    const std::size_t start = i;
    const UChar32 c = CUtf8::Next(text, i);
    if (!CUtf8::IsValid(c)) {
      continue;
    }
    // Dotted capital I and capital sigma have mappings that depend on more than the
    // character itself; ICU applies them. Lower case is idempotent, so the part already
    // done in place is unaffected.
    const UChar32 lowered = u_tolower(c);
    if (c == 0x130 || c == 0x3A3 || (lowered != c && !OverwriteInPlace(text, start, i, lowered))) {
      FullLower(text);
      return;
    }
  }
}

void CStringUtils::MakeUpper(std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      FullUpper(text);
      return;
    }
    text[i] = static_cast<char>(m_tableUppercase[byte]);
  }
}
