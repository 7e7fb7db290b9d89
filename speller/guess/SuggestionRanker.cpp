#include "guess/SuggestionRanker.h"

#include "guess/EditDistance.h"
#include "spellcore/Metaphone.h"

#include "utilcore/StringUtils.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <unicode/uchar.h>

namespace {

/// Sounding alike makes a candidate likelier than its spelling alone says.
constexpr double kSameSound = 0.3;
/// A candidate whose first letter's case differs from the misspelling's.
constexpr double kOtherCase = 0.2;
/// A common word is likelier meant than a rare one at the same distance; the bonus stays
/// below half an edit, so that commonness only settles near ties.
double CommonnessBonus(int size) {
  if (size <= 0) {
    return 0.0;
  }
  return size <= 10 ? 0.45 : size <= 20 ? 0.3 : 0.15;
}
/// Two words for one: likelier a slip inside one word than a missing space.
constexpr double kSplit = 1.0;

/// Words of one or two letters that everyday English writes alone: a split may leave
/// one of these, while "ch" or "ca" are only abbreviations the word list also holds.
constexpr std::array<std::string_view, 40> kShortWords = {
    "a",  "i",  "am", "an", "as", "at", "be", "by", "do", "go", "he", "hi", "if", "in",
    "is", "it", "me", "my", "no", "of", "oh", "ok", "on", "or", "ox", "so", "to", "up",
    "us", "we", "ah", "ax", "eh", "ha", "lo", "ma", "pa", "uh", "um", "ye"};

bool IsEverydayPiece(std::string_view piece) {
  if (piece.size() > 2) {
    return true;
  }
  std::string lower(piece);
  CStringUtils::MakeLower(lower);
  return std::find(kShortWords.begin(), kShortWords.end(), lower) != kShortWords.end();
}

bool IsSplit(std::string_view word, std::string_view suggestion) {
  return suggestion.find_first_of(" -") != std::string_view::npos &&
         word.find_first_of(" -") == std::string_view::npos;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         CStringUtils::CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

bool FirstIsUpper(std::string_view text) {
  return !text.empty() && std::isupper(static_cast<unsigned char>(text.front())) != 0;
}

/// Metaphone reads lower-case letters only.
Metaphone LowerKeys(std::string_view text) {
  std::string lower(text);
  CStringUtils::MakeLower(lower);
  return Metaphone(lower);
}

/// The misspelling as every suggestion is measured against it, worked out once.
struct SMisspelling {
  SMisspelling(std::string_view word, bool withSound)
      : text(word), keys(LowerKeys(withSound ? word : std::string_view())), compareSound(withSound),
        firstIsUpper(FirstIsUpper(word)) {
    CEditDistance::LowerChars(word, chars);
  }

  std::string_view text;
  std::vector<UChar32> chars;
  Metaphone keys;
  bool compareSound;
  bool firstIsUpper;
};

/// The cost by which the suggestions that are no fragments are ordered (lower first).
double Cost(const SMisspelling& word, std::string_view suggestion, int commonness) {
  std::vector<UChar32> to;
  CEditDistance::LowerChars(suggestion, to);
  double cost = CEditDistance::Weighted(word.chars, to);
  if (IsSplit(word.text, suggestion)) {
    cost += kSplit;
  }
  if (word.compareSound && word.keys == LowerKeys(suggestion)) {
    cost -= kSameSound;
  }
  if (word.firstIsUpper != FirstIsUpper(suggestion)) {
    cost += kOtherCase;
  }
  return cost - CommonnessBonus(commonness);
}

} // namespace

bool CSuggestionRanker::IsFragment(std::string_view word, std::string_view suggestion) {
  // The word itself (a strategy may put a letter back in its place) changes nothing.
  if (suggestion == word) {
    return true;
  }
  if (IsSplit(word, suggestion)) {
    std::size_t start = 0;
    while (start <= suggestion.size()) {
      const std::size_t end = std::min(suggestion.find_first_of(" -", start), suggestion.size());
      if (!IsEverydayPiece(suggestion.substr(start, end - start))) {
        return true;
      }
      start = end + 1;
    }
    return false;
  }
  // A prefix two or more characters short only says where the word began.
  return CStringUtils::CountCharacters(suggestion, suggestion.size()) + 2 <=
             CStringUtils::CountCharacters(word, word.size()) &&
         StartsWithNoCase(word, suggestion);
}

void CSuggestionRanker::Rank(std::string_view word, std::vector<std::string>& suggestions,
                             const Commonness& commonness, ESound sound) {
  struct SScored {
    bool fragment;
    double cost;
    std::string text;
  };
  const SMisspelling misspelling(word, sound == ESound::kCompared);
  std::vector<SScored> scored;
  scored.reserve(suggestions.size());
  for (std::string& suggestion : suggestions) {
    const bool fragment = IsFragment(word, suggestion);
    const double cost = Cost(misspelling, suggestion, commonness ? commonness(suggestion) : 0);
    scored.push_back(SScored{fragment, cost, std::move(suggestion)});
  }
  std::stable_sort(scored.begin(), scored.end(), [](const SScored& a, const SScored& b) {
    return a.fragment != b.fragment ? b.fragment : a.cost < b.cost;
  });
  suggestions.clear();
  for (SScored& entry : scored) {
    suggestions.push_back(std::move(entry.text));
  }
}
