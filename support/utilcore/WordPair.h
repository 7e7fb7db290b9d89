#pragma once

#include <cstddef>
#include <string_view>

/// The rules by which a word of page text repeats the one right before it ("the the").
/// Page text may hold fillers and joiners (see CPageText) inside words; they are
/// skipped wherever letters are compared.
class CWordPair {
public:
  /// A byte range [begin, end) of a token.
  struct SCore {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool Empty() const { return begin >= end; }
  };

  /// The part of `token` from its first to its last letter, digit or mark (with the
  /// fillers after it), without the punctuation around it; empty when it has none.
  static SCore CoreOf(std::string_view token);
  /// Whether the word `second` repeats `first`: the same characters, or `first`
  /// capitalised and `second` in lower case ("In in", never "AND and"); at least one
  /// of them a letter ("1 1" is no repeated word). Invisible bytes are skipped.
  static bool Repeats(std::string_view first, std::string_view second);
  /// Whether a reader sees `gap` as white space only: Unicode white space (no-break
  /// spaces too) and invisible bytes. Any punctuation or symbol breaks a pair.
  static bool IsBlank(std::string_view gap);
  /// Whether the last visible bytes of two words could belong to a repeat: equal, or
  /// two letters that might differ in case only. A cheap test before Repeats.
  static bool MayRepeat(std::string_view first, std::string_view second);
};
