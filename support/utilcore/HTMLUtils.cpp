#include "utilcore/HTMLUtils.h"

#include "utilcore/PageText.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

#include "utilcore/HTMLEntityTable.inc"

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr std::uint32_t kBeyondUnicode = 0x110000;

constexpr std::array<std::string_view, 6> kStaticPageExtensions = {"htm",  "html",  "shtml",
                                                                   "shtm", "xhtml", "xht"};
constexpr std::array<std::string_view, 7> kServerPageExtensions = {"php", "phtml", "asp", "aspx",
                                                                   "jsp", "cfm",   "cfml"};

/// One recognised reference: the bytes it spans in the text (with the '&') and its value.
struct CDecodedReference {
  std::size_t span = 0;
  std::size_t size = 0;
  std::array<char, 8> bytes{};
};

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (!hex) {
    return -1;
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

int FirstLetterBucket(char c) {
  if (c >= 'A' && c <= 'Z') {
    return c - 'A';
  }
  if (c >= 'a' && c <= 'z') {
    return c - 'a' + 26;
  }
  return -1;
}

std::string_view NameOf(const CNamedReference& reference) {
  return {kReferenceNames + reference.nameOffset, reference.nameLength};
}

const CNamedReference* FindNamedReference(std::string_view name) {
  const int bucket = FirstLetterBucket(name.front());
  if (bucket < 0) {
    return nullptr;
  }
  const CNamedReference* begin = kNamedReferences + kFirstLetterStart[bucket];
  const CNamedReference* end = kNamedReferences + kFirstLetterStart[bucket + 1];
  const CNamedReference* found =
      std::lower_bound(begin, end, name, [](const CNamedReference& entry, std::string_view key) {
        return NameOf(entry) < key;
      });
  return found != end && NameOf(*found) == name ? found : nullptr;
}

void SetValue(const CNamedReference& reference, std::size_t span, CDecodedReference& out) {
  out.span = span;
  out.size = reference.valueLength;
  std::memcpy(out.bytes.data(), kReferenceValues + reference.valueOffset, out.size);
}

/// `rest` follows the '&'. The longest name wins: "&notin;" is U+2209, while
/// "&notit;" is the legacy "&not" followed by "it;".
bool DecodeNamed(std::string_view rest, CDecodedReference& out) {
  std::size_t run = 0;
  while (run < rest.size() && run < kLongestReferenceName && IsAsciiAlnum(rest[run])) {
    ++run;
  }
  if (run == 0) {
    return false;
  }
  if (run < rest.size() && rest[run] == ';') {
    if (const CNamedReference* found = FindNamedReference(rest.substr(0, run + 1))) {
      SetValue(*found, run + 2, out);
      return true;
    }
  }
  for (std::size_t length = std::min(run, kLongestLegacyName); length >= kShortestLegacyName;
       --length) {
    if (const CNamedReference* found = FindNamedReference(rest.substr(0, length))) {
      SetValue(*found, length + 1, out);
      return true;
    }
  }
  return false;
}

char32_t BrowserCodePoint(std::uint32_t value) {
  if (value == 0 || value >= kBeyondUnicode || (value >= 0xD800 && value <= 0xDFFF)) {
    return kReplacementCharacter;
  }
  if (value >= 0x80 && value <= 0x9F) {
    return kWindows1252C1[value - 0x80];
  }
  return value;
}

/// `rest` follows the "&#". The ';' is optional, as in browsers.
bool DecodeNumeric(std::string_view rest, CDecodedReference& out) {
  const bool hex = !rest.empty() && (rest.front() == 'x' || rest.front() == 'X');
  const std::size_t firstDigit = hex ? 1 : 0;
  const std::uint32_t base = hex ? 16 : 10;
  std::uint32_t value = 0;
  std::size_t end = firstDigit;
  for (; end < rest.size(); ++end) {
    const int digit = DigitValue(rest[end], hex);
    if (digit < 0) {
      break;
    }
    // Saturate: any run of digits past U+10FFFF means U+FFFD.
    value = std::min(value * base + static_cast<std::uint32_t>(digit), kBeyondUnicode);
  }
  if (end == firstDigit) {
    return false;
  }
  if (end < rest.size() && rest[end] == ';') {
    ++end;
  }
  out.span = end + 2;
  out.size = 0;
  const auto codePoint = static_cast<UChar32>(BrowserCodePoint(value));
  U8_APPEND_UNSAFE(out.bytes.data(), out.size, codePoint);
  return true;
}

/// Decodes the reference that starts with the '&' at `ampersand`, if there is one.
bool DecodeAt(std::string_view text, std::size_t ampersand, CDecodedReference& out) {
  const std::string_view rest = text.substr(ampersand + 1);
  if (!rest.empty() && rest.front() == '#') {
    return DecodeNumeric(rest.substr(1), out);
  }
  return DecodeNamed(rest, out);
}

/// Bytes of the whole code points of `decoded` that fit into `limit` bytes.
std::size_t FittingPrefix(const CDecodedReference& decoded, std::size_t limit) {
  std::size_t fit = 0;
  while (fit < decoded.size) {
    std::size_t next = fit;
    U8_FWD_1_UNSAFE(decoded.bytes.data(), next);
    if (next > limit) {
      break;
    }
    fit = next;
  }
  return fit;
}

void DecodeKeepingPositions(std::string& text) {
  std::size_t ampersand = text.find('&');
  while (ampersand != std::string::npos) {
    CDecodedReference decoded;
    std::size_t resume = ampersand + 1;
    if (DecodeAt(text, ampersand, decoded)) {
      const std::size_t fit = FittingPrefix(decoded, decoded.span);
      std::memcpy(text.data() + ampersand, decoded.bytes.data(), fit);
      std::fill_n(text.begin() + static_cast<std::ptrdiff_t>(ampersand + fit), decoded.span - fit,
                  CPageText::kFiller);
      resume = ampersand + decoded.span;
    }
    ampersand = text.find('&', resume);
  }
}

std::size_t FindSpecial(const std::string& text, std::size_t from, bool dropFillers) {
  static constexpr char kAmpersandOrFiller[] = {'&', CPageText::kFiller, CPageText::kJoiner, '\0'};
  return dropFillers ? text.find_first_of(kAmpersandOrFiller, from) : text.find('&', from);
}

/// Whether the byte before `end` was decoded by an earlier page-text pass (fillers
/// follow it): a reference whose last character came from decoding, as in the page text
/// of «&l&#116;», is text that the browser shows, not a reference.
bool EndsInDecodedCharacter(const std::string& text, std::size_t end) {
  return end < text.size() && CPageText::IsInvisible(text[end]);
}

/// What the text at the read position turns into: `size` bytes at `data` for the
/// `consumed` bytes read (a reference, a run of plain text or dropped fillers).
struct CDecodeStep {
  const char* data = nullptr;
  std::size_t size = 0;
  std::size_t consumed = 0;
};

CDecodeStep NextStep(const std::string& text, std::size_t read, bool dropFillers,
                     CDecodedReference& decoded) {
  const char c = text[read];
  if (dropFillers && CPageText::IsInvisible(c)) {
    static constexpr char kInvisible[] = {CPageText::kFiller, CPageText::kJoiner, '\0'};
    const std::size_t end = text.find_first_not_of(kInvisible, read);
    return {text.data() + read, 0, (end == std::string::npos ? text.size() : end) - read};
  }
  if (c == '&' && DecodeAt(text, read, decoded) &&
      !(dropFillers && EndsInDecodedCharacter(text, read + decoded.span))) {
    return {decoded.bytes.data(), decoded.size, decoded.span};
  }
  std::size_t end = FindSpecial(text, read + 1, dropFillers);
  if (end == std::string::npos) {
    end = text.size();
  }
  return {text.data() + read, end - read, end - read};
}

/// Decodes in place while the output stays behind the input; a value longer than its
/// reference ("&nGt;") that would overtake it moves the rest into a new string.
void DecodeShrinking(std::string& text, bool dropFillers) {
  std::size_t read = FindSpecial(text, 0, dropFillers);
  if (read == std::string::npos) {
    return;
  }
  std::size_t write = read;
  CDecodedReference decoded;
  while (read < text.size()) {
    const CDecodeStep step = NextStep(text, read, dropFillers, decoded);
    if (write + step.size > read + step.consumed) {
      break;
    }
    std::memmove(text.data() + write, step.data, step.size);
    write += step.size;
    read += step.consumed;
  }
  if (read == text.size()) {
    text.resize(write);
    return;
  }
  std::string grown(text, 0, write);
  grown.reserve(text.size() + (text.size() - read) / 4);
  while (read < text.size()) {
    const CDecodeStep step = NextStep(text, read, dropFillers, decoded);
    grown.append(step.data, step.size);
    read += step.consumed;
  }
  text.swap(grown);
}

} // namespace

void CHTMLUtils::ReplaceHTMLReservedChars(std::string& text, bool dropFillers, bool keepPositions) {
  if (keepPositions) {
    DecodeKeepingPositions(text);
    return;
  }
  DecodeShrinking(text, dropFillers);
}

void CHTMLUtils::GetSupportedHTMLFiles(std::vector<std::string>& extensions,
                                       bool includeServerPages) {
  extensions.assign(kStaticPageExtensions.begin(), kStaticPageExtensions.end());
  if (includeServerPages) {
    extensions.insert(extensions.end(), kServerPageExtensions.begin(), kServerPageExtensions.end());
  }
}
