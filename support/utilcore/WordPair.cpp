#include "utilcore/WordPair.h"

#include "utilcore/Utf8.h"

#include <unicode/uchar.h>

namespace {

bool IsWordCharacter(UChar32 c) {
  if (c < 0x80) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  }
  if (!CUtf8::IsValid(c)) {
    return false;
  }
  return u_isalnum(c) || (U_GET_GC_MASK(c) & U_GC_M_MASK) != 0;
}

/// The last visible byte before `end`, or 0.
unsigned char LastVisible(std::string_view text) {
  const std::size_t end = CUtf8::SkipFillersBack(text, text.size());
  return end == 0 ? 0 : static_cast<unsigned char>(text[end - 1]);
}

} // namespace

CWordPair::SCore CWordPair::CoreOf(std::string_view token) {
  SCore core;
  const auto first = static_cast<unsigned char>(token.empty() ? 0 : token.front());
  const auto last = LastVisible(token);
  // Most tokens are plain ASCII words with nothing around them.
  if (first < 0x80 && last < 0x80 && IsWordCharacter(first) && IsWordCharacter(last)) {
    core.end = token.size();
    return core;
  }
  std::size_t i = 0;
  core.begin = token.size();
  while (i < token.size()) {
    const std::size_t at = i;
    const UChar32 c = CUtf8::Next(token, i);
    if (IsWordCharacter(c)) {
      if (core.begin == token.size()) {
        core.begin = at;
      }
      core.end = CUtf8::SkipFillers(token, i);
    }
  }
  if (core.begin == token.size()) {
    return {};
  }
  return core;
}

bool CWordPair::MayRepeat(std::string_view first, std::string_view second) {
  const unsigned char a = LastVisible(first);
  const unsigned char b = LastVisible(second);
  if (a == b) {
    return a != 0;
  }
  if (a >= 0x80 && b >= 0x80) {
    return true;
  }
  const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return fold(a) == fold(b);
}

bool CWordPair::Repeats(std::string_view first, std::string_view second) {
  std::size_t i = CUtf8::SkipFillers(first, 0);
  std::size_t j = CUtf8::SkipFillers(second, 0);
  bool letter = false;
  bool firstCharacter = true;
  while (i < first.size() && j < second.size()) {
    const UChar32 a = CUtf8::Next(first, i);
    const UChar32 b = CUtf8::Next(second, j);
    const bool valid = CUtf8::IsValid(a);
    if (a != b && !(firstCharacter && valid && u_isupper(a) && u_tolower(a) == b)) {
      return false;
    }
    letter = letter || (valid && u_isalpha(a));
    firstCharacter = false;
    i = CUtf8::SkipFillers(first, i);
    j = CUtf8::SkipFillers(second, j);
  }
  return letter && i == first.size() && j == second.size();
}

bool CWordPair::IsBlank(std::string_view gap) {
  for (std::size_t i = 0; i < gap.size();) {
    if (CUtf8::IsFiller(gap[i])) {
      ++i;
      continue;
    }
    const UChar32 c = CUtf8::Next(gap, i);
    if (!CUtf8::IsValid(c) || !u_isUWhiteSpace(c)) {
      return false;
    }
  }
  return true;
}
