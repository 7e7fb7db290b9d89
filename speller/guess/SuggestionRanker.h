#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// Puts the suggestions for a misspelling in the order a user wants to read them: the
/// likeliest correction first. Likely means few and small edits (CEditDistance's
/// weights), the same sound (Double Metaphone keys), a common word (by the SCOWL size
/// that lists it) and the misspelling's letter case; a split into two words counts one edit more.
/// Fragments go to the end: the word itself, a prefix that only cuts the word short ("ca" for
/// "calculatin") and a split with a piece that is no everyday word ("ch oses").
class CSuggestionRanker {
public:
  /// The SCOWL size that lists a word (10, 20, 35: the smaller, the commoner), 0 for
  /// none.
  using Commonness = std::function<int(std::string_view)>;
  /// Whether sounding alike counts: the keys are English ones.
  enum class ESound { kCompared, kIgnored };

  /// Reorders `suggestions` for `word`, best first; equal ones keep their order.
  static void Rank(std::string_view word, std::vector<std::string>& suggestions,
                   const Commonness& commonness = {}, ESound sound = ESound::kCompared);

  /// Whether `suggestion` is `word` itself, only cuts it short or splits off a piece
  /// that is no everyday word.
  static bool IsFragment(std::string_view word, std::string_view suggestion);
};
