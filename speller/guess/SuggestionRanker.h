#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// Puts the suggestions for a misspelling in the order a user wants to read them: the
/// likeliest correction first. Likely means few and small edits (CEditDistance's
/// weights), the same sound (Double Metaphone keys), and the misspelling's letter
/// case; a split into two words counts one edit more. Fragments go to the end: the
/// word itself, a prefix that only cuts the word short ("ca" for "calculatin") and a
/// split with a piece that is no everyday word ("ch oses").
class CSuggestionRanker {
public:
  /// Reorders `suggestions` for `word`, best first; equal ones keep their order.
  static void Rank(std::string_view word, std::vector<std::string>& suggestions);

  /// Whether `suggestion` is `word` itself, only cuts it short or splits off a piece
  /// that is no everyday word.
  static bool IsFragment(std::string_view word, std::string_view suggestion);
  /// The cost by which Rank orders the suggestions that are no fragments (lower first).
  static double Cost(std::string_view word, std::string_view suggestion);
};
