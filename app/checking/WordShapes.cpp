#include "checking/WordShapes.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>

namespace {

/// What the letters and digits of a word are, read in one pass.
struct SShape {
  std::size_t capitals = 0;
  /// Letters that are not capitals: small, title case or without case.
  std::size_t others = 0;
  bool digit = false;
  /// Whether the last letter was a small "s" with only capitals before it.
  bool pluralS = false;
};

bool IsCapital(UChar32 c) {
  // A capital that lower-cases to itself (the mathematical alphabets) says nothing
  // about how the word is written.
  return u_isupper(c) != 0 && u_tolower(c) != c;
}

SShape ShapeOf(std::string_view word) {
  SShape shape;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(word.data());
  const auto length = static_cast<std::int32_t>(word.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c = 0;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) {
      continue; // a damaged byte is neither letter nor digit
    }
    if (u_isdigit(c) != 0) {
      shape.digit = true;
      continue;
    }
    if (u_isalpha(c) == 0) {
      continue; // hyphens, apostrophes, marks over letters
    }
    const bool plural = c == 's' && shape.capitals >= 2 && shape.others == 0;
    if (IsCapital(c) && !shape.pluralS) {
      ++shape.capitals;
      continue;
    }
    ++shape.others;
    shape.pluralS = plural;
  }
  return shape;
}

} // namespace

bool CWordShapes::Ignores(std::string_view word) const {
  const bool uppercase = m_uppercase == EUppercase::kIgnored;
  const bool numbers = m_numbers == ENumbers::kIgnored;
  if (!uppercase && !numbers) {
    return false;
  }
  return (numbers && HasDigit(word)) || (uppercase && IsUppercase(word));
}

bool CWordShapes::IsUppercase(std::string_view word) {
  const SShape shape = ShapeOf(word);
  if (shape.digit || shape.capitals == 0) {
    return false;
  }
  return shape.others == 0 || (shape.others == 1 && shape.pluralS);
}

bool CWordShapes::HasDigit(std::string_view word) {
  return ShapeOf(word).digit;
}
