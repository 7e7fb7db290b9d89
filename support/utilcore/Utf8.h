#pragma once

// Internal to utilcore: included only by its own .cpp files, because it pulls in ICU,
// which the library links privately.

#include "utilcore/PageText.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// Code point stepping over UTF-8 text that may be damaged. A byte that does not start
/// a well-formed sequence is one unit of its own, reported as kInvalidBase + byte, so
/// that no byte is ever lost or merged with its neighbours.
class CUtf8 {
public:
  static constexpr UChar32 kInvalidBase = 0x110000;

  static bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
  }
  /// A filler or a joiner of page text (see CPageText).
  static bool IsFiller(char byte) { return CPageText::IsInvisible(byte); }
  static bool IsValid(UChar32 c) { return c >= 0 && c < kInvalidBase; }

  /// The code point at `i`; moves `i` past it.
  static UChar32 Next(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
      ++i;
      return lead;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(s.data());
    const std::size_t start = i;
    UChar32 c = 0;
    U8_NEXT(bytes, i, s.size(), c);
    if (c < 0) {
      i = start + 1;
      return kInvalidBase + lead;
    }
    return c;
  }

  /// The code point that ends at `i`; moves `i` to its first byte.
  static UChar32 Previous(std::string_view s, std::size_t& i) {
    const std::size_t end = i;
    const std::size_t last = end - 1;
    const auto lastByte = static_cast<unsigned char>(s[last]);
    if (lastByte < 0x80) {
      i = last;
      return lastByte;
    }
    std::size_t lead = last;
    for (int back = 0; back < 3 && lead > 0 && IsContinuation(s[lead]); ++back) {
      --lead;
    }
    std::size_t probe = lead;
    const UChar32 c = Next(s, probe);
    if (probe == end && IsValid(c)) {
      i = lead;
      return c;
    }
    i = last;
    return kInvalidBase + lastByte;
  }

  /// The code point at `i` without moving; `i` must be inside `s`.
  static UChar32 At(std::string_view s, std::size_t i) { return Next(s, i); }

  /// Appends the UTF-8 form of `c` (an invalid unit gives back its byte).
  static void Append(std::string& out, UChar32 c) {
    if (!IsValid(c)) {
      out.push_back(static_cast<char>(c - kInvalidBase));
      return;
    }
    char buffer[U8_MAX_LENGTH];
    std::size_t length = 0;
    bool error = false;
    U8_APPEND(buffer, length, sizeof buffer, c, error);
    if (!error) {
      out.append(buffer, length);
    }
  }

  /// Simple (one to one) case folding; invalid units stay as they are.
  static UChar32 Fold(UChar32 c) {
    if (c < 0x80) {
      return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    }
    return IsValid(c) ? u_foldCase(c, U_FOLD_CASE_DEFAULT) : c;
  }

  /// Three-way comparison by code point, case-folded with `fold`; with `numbers`, runs
  /// of ASCII digits compare by value (ties on value, such as "01" and "1", are left
  /// for the caller to break).
  static int Compare(std::string_view a, std::string_view b, bool fold, bool numbers);

  /// Page text: the first position at or after `i` that is not a filler byte.
  static std::size_t SkipFillers(std::string_view s, std::size_t i) {
    while (i < s.size() && IsFiller(s[i])) {
      ++i;
    }
    return i;
  }

  /// Page text: `i` moved past the fillers of a decoded reference only, not past the
  /// joiners of markup.
  static std::size_t SkipReferenceFillers(std::string_view s, std::size_t i) {
    while (i < s.size() && s[i] == CPageText::kFiller) {
      ++i;
    }
    return i;
  }

  /// Page text: the position after the last non-filler byte before `i`.
  static std::size_t SkipFillersBack(std::string_view s, std::size_t i) {
    while (i > 0 && IsFiller(s[i - 1])) {
      --i;
    }
    return i;
  }
};
