#include "utilcore/InternetUtils.h"

#include "utilcore/PageText.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

/// A stretch of the line, [start, end) in bytes.
struct CSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};

constexpr std::array<std::string_view, 5> kWebPrefixes = {"https://", "http://", "ftp://",
                                                          "mailto:", "www."};
constexpr std::string_view kWww = "www.";

bool IsTrailByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAsciiLetter(UChar32 c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

/// Letters, digits and combining marks of any script.
bool IsWordChar(UChar32 c) {
  if (c < 0x80) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9');
  }
  return (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK)) != 0;
}

bool IsLetter(UChar32 c) {
  return c < 0x80 ? IsAsciiLetter(c) : u_isalpha(c) != 0;
}

bool IsLocalPartChar(UChar32 c) {
  return IsWordChar(c) || c == '.' || c == '_' || c == '%' || c == '+' || c == '-' || c == '\'';
}

bool IsDomainChar(UChar32 c) {
  return IsWordChar(c) || c == '-';
}

/// What ends an address: white space, controls, quotation marks, '<' and '>', and bytes
/// that are not UTF-8.
bool IsTerminator(UChar32 c) {
  if (c < 0x80) {
    return c <= ' ' || c == 0x7F || c == '"' || c == '\'' || c == '<' || c == '>';
  }
  return u_isUWhiteSpace(c) || u_hasBinaryProperty(c, UCHAR_QUOTATION_MARK) ||
         u_charType(c) == U_CONTROL_CHAR || c == 0x200B;
}

bool IsTrailingPunctuation(UChar32 c) {
  if (c < 0x80) {
    return c == '.' || c == ',' || c == ';' || c == ':' || c == '!' || c == '?';
  }
  const std::int8_t type = u_charType(c);
  return type == U_OTHER_PUNCTUATION || type == U_END_PUNCTUATION || type == U_FINAL_PUNCTUATION;
}

/// The code point at `pos`; `next` receives the position after it and after the
/// page-text fillers that belong to it. Bytes that are not UTF-8 give a negative value.
UChar32 CodePointAt(std::string_view line, std::size_t pos, std::size_t limit, std::size_t& next) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
  UChar32 c = 0;
  U8_NEXT(bytes, pos, limit, c);
  while (pos < limit && CPageText::IsInvisible(line[pos])) {
    ++pos;
  }
  next = pos;
  return c;
}

/// The code point that ends at `end` (with its fillers), not looking before `lo`;
/// `start` receives where it begins. Fillers that follow nothing count as a control.
UChar32 CodePointBefore(std::string_view line, std::size_t lo, std::size_t end,
                        std::size_t& start) {
  std::size_t charEnd = end;
  while (charEnd > lo && CPageText::IsInvisible(line[charEnd - 1])) {
    --charEnd;
  }
  if (charEnd == lo) {
    start = lo;
    return CPageText::kFiller;
  }
  std::size_t begin = charEnd - 1;
  while (begin > lo && charEnd - begin < U8_MAX_LENGTH && IsTrailByte(line[begin])) {
    --begin;
  }
  std::size_t next = 0;
  const UChar32 c = CodePointAt(line.substr(0, charEnd), begin, charEnd, next);
  if (next != charEnd) {
    start = charEnd - 1;
    return -1;
  }
  start = begin;
  return c;
}

void AppendOnce(std::string_view line, CSpan span, std::size_t firstNew,
                std::vector<std::string>& found) {
  const std::string_view address = line.substr(span.start, span.end - span.start);
  const auto from = found.begin() + static_cast<std::ptrdiff_t>(firstNew);
  if (std::find(from, found.end(), address) == found.end()) {
    found.emplace_back(address);
  }
}

// ---- e-mail addresses ----

/// Start of the local part that ends at the '@' at `at`; `at` when there is none.
std::size_t LocalPartStart(std::string_view line, std::size_t lo, std::size_t at) {
  std::size_t start = at;
  while (start > lo) {
    std::size_t previous = 0;
    if (!IsLocalPartChar(CodePointBefore(line, lo, start, previous))) {
      break;
    }
    start = previous;
  }
  // Dots, quotes and dashes in front belong to the sentence, not to the address.
  while (start < at) {
    std::size_t next = 0;
    const UChar32 c = CodePointAt(line, start, at, next);
    if (IsWordChar(c) || c == '_') {
      break;
    }
    start = next;
  }
  return start;
}

/// End of the domain after the '@' at `at`: the end of the last label that makes a
/// valid domain (two labels or more, the last one starting with a letter and at least
/// two characters long); 0 when there is none.
std::size_t DomainEnd(std::string_view line, std::size_t at, std::size_t hi) {
  std::size_t pos = at + 1;
  while (pos < hi && CPageText::IsInvisible(line[pos])) {
    ++pos;
  }
  std::size_t best = 0;
  int labels = 0;
  for (;;) {
    UChar32 first = 0;
    UChar32 last = 0;
    int length = 0;
    while (pos < hi) {
      std::size_t next = 0;
      const UChar32 c = CodePointAt(line, pos, hi, next);
      if (!IsDomainChar(c)) {
        break;
      }
      first = length == 0 ? c : first;
      last = c;
      ++length;
      pos = next;
    }
    if (length == 0 || first == '-' || last == '-') {
      return best;
    }
    ++labels;
    if (labels >= 2 && length >= 2 && IsLetter(first)) {
      best = pos;
    }
    if (pos >= hi || line[pos] != '.') {
      return best;
    }
    ++pos;
    while (pos < hi && CPageText::IsInvisible(line[pos])) {
      ++pos;
    }
  }
}

void FindEmailAddresses(std::string_view line, std::size_t lo, std::size_t hi, std::size_t firstNew,
                        std::vector<std::string>& found) {
  std::size_t at = line.find('@', lo);
  while (at < hi) {
    std::size_t resume = at + 1;
    const std::size_t start = LocalPartStart(line, lo, at);
    const std::size_t end = start < at ? DomainEnd(line, at, hi) : 0;
    if (end != 0) {
      AppendOnce(line, {start, end}, firstNew, found);
      resume = end;
    }
    at = line.find('@', resume);
  }
}

// ---- web addresses ----

bool StartsWithNoCase(std::string_view line, std::size_t pos, std::string_view prefix) {
  if (line.size() - pos < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(line[pos + i]) != prefix[i]) {
      return false;
    }
  }
  return true;
}

bool ContainsWww(std::string_view line) {
  for (std::size_t dot = line.find('.', 3); dot != std::string_view::npos;
       dot = line.find('.', dot + 1)) {
    if (StartsWithNoCase(line, dot - 3, kWww)) {
      return true;
    }
  }
  return false;
}

/// "www" inside «my.www.site» or «a-www.b» is not where an address starts.
bool AtWordStart(std::string_view line, std::size_t pos, bool isWww) {
  if (pos == 0) {
    return true;
  }
  std::size_t previous = 0;
  const UChar32 c = CodePointBefore(line, 0, pos, previous);
  if (IsWordChar(c)) {
    return false;
  }
  return !isWww || (c != '.' && c != '@' && c != '-' && c != '_');
}

constexpr std::string_view kOpeners = "([{";
constexpr std::string_view kClosers = ")]}";

/// Per bracket kind, how many more closers than openers the address holds, so that
/// «(see https://en.wikipedia.org/wiki/Foo_(bar))» keeps only the inner ')'.
std::array<std::ptrdiff_t, 3> CloserSurplus(std::string_view address) {
  std::array<std::ptrdiff_t, 3> surplus{};
  for (const char c : address) {
    if (const auto open = kOpeners.find(c); open != std::string_view::npos) {
      --surplus[open];
    } else if (const auto close = kClosers.find(c); close != std::string_view::npos) {
      ++surplus[close];
    }
  }
  return surplus;
}

/// End of the address whose text after the prefix starts at `body`.
std::size_t WebAddressEnd(std::string_view line, std::size_t start, std::size_t body) {
  std::size_t end = body;
  while (end < line.size()) {
    std::size_t next = 0;
    if (IsTerminator(CodePointAt(line, end, line.size(), next))) {
      break;
    }
    end = next;
  }
  auto surplus = CloserSurplus(line.substr(start, end - start));
  while (end > body) {
    std::size_t previous = 0;
    const UChar32 c = CodePointBefore(line, body, end, previous);
    const auto closer = c < 0x80 ? kClosers.find(static_cast<char>(c)) : std::string_view::npos;
    if (closer != std::string_view::npos && surplus[closer] > 0) {
      --surplus[closer];
    } else if (!IsTrailingPunctuation(c)) {
      break;
    }
    end = previous;
  }
  return end;
}

bool WebAddressAt(std::string_view line, std::size_t pos, CSpan& span) {
  for (const std::string_view prefix : kWebPrefixes) {
    if (!StartsWithNoCase(line, pos, prefix)) {
      continue;
    }
    const bool isWww = prefix == kWww;
    const std::size_t body = pos + prefix.size();
    if (body >= line.size() || !AtWordStart(line, pos, isWww)) {
      return false;
    }
    std::size_t next = 0;
    const UChar32 c = CodePointAt(line, body, line.size(), next);
    if (isWww ? !IsWordChar(c) : IsTerminator(c)) {
      return false;
    }
    span = {pos, WebAddressEnd(line, pos, body)};
    return span.end > body;
  }
  return false;
}

/// Whether a web address may start in `line`: every prefix holds "://", "mailto:" or
/// "www.". Most lines hold none, and a colon alone ("Note:") is not worth a walk.
bool MayHoldWebAddress(std::string_view line) {
  constexpr std::string_view kMailto = "mailto";
  for (std::size_t colon = line.find(':'); colon != std::string_view::npos;
       colon = line.find(':', colon + 1)) {
    if (line.substr(colon + 1, 2) == "//" ||
        (colon >= kMailto.size() && StartsWithNoCase(line, colon - kMailto.size(), kMailto))) {
      return true;
    }
  }
  return ContainsWww(line);
}

/// Calls `onAddress(CSpan)` for every web address of the line, left to right.
template <typename OnAddress> void ForEachWebAddress(std::string_view line, OnAddress onAddress) {
  if (!MayHoldWebAddress(line)) {
    return;
  }
  std::size_t pos = 0;
  while (pos < line.size()) {
    const char c = AsciiLower(line[pos]);
    CSpan span;
    if ((c == 'h' || c == 'f' || c == 'm' || c == 'w') && WebAddressAt(line, pos, span)) {
      onAddress(span);
      pos = span.end;
      continue;
    }
    ++pos;
  }
}

} // namespace

void CInternetUtils::ParseEmailAddresses(const std::string& line, std::vector<std::string>& found) {
  if (line.find('@') == std::string::npos) {
    return;
  }
  const std::size_t firstNew = found.size();
  std::size_t gapStart = 0;
  ForEachWebAddress(line, [&](CSpan web) {
    FindEmailAddresses(line, gapStart, web.start, firstNew, found);
    gapStart = web.end;
  });
  FindEmailAddresses(line, gapStart, line.size(), firstNew, found);
}

void CInternetUtils::ParseWebSiteAddresses(const std::string& line,
                                           std::vector<std::string>& found) {
  const std::size_t firstNew = found.size();
  ForEachWebAddress(line, [&](CSpan web) { AppendOnce(line, web, firstNew, found); });
}
