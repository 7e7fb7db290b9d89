#pragma once

#include <unicode/umachine.h>

#include <cstddef>
#include <string_view>
#include <vector>

/// Distances between two words counted in characters (code points; each byte of damaged
/// UTF-8 is one), letter case aside. An edit inserts, deletes or replaces a character,
/// or swaps two neighbours.
class CEditDistance {
public:
  /// The characters of `text`, lower-cased.
  static void LowerChars(std::string_view text, std::vector<UChar32>& chars);

  /// Whether `a` and `b` are at most `limit` edits apart, each edit counting 1.
  static bool IsWithin(const std::vector<UChar32>& a, const std::vector<UChar32>& b, int limit);

  /// The cost of turning `from` into `to` as typing slips weigh: a swap of neighbours
  /// or a doubled letter gained or lost (the commonest slips) cost half an edit, a
  /// vowel put for another vowel three quarters, any other edit one.
  static double Weighted(const std::vector<UChar32>& from, const std::vector<UChar32>& to);
};
