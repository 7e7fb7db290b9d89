#include "guess/GuessApostrophe.h"

#include <array>
#include <span>
#include <string_view>

namespace {

struct SContraction {
  std::string_view ending;
  std::span<const std::string_view> forms;
};

constexpr std::array<std::string_view, 4> kWould{"'ld", " would", " should", " could"};
constexpr std::array<std::string_view, 5> kHad{"'d", " had", " would", " should", " could"};
constexpr std::array<std::string_view, 3> kWill{"'ll", " will", " shall"};
constexpr std::array<std::string_view, 4> kIs{"'s", " is", " was", " has"};
constexpr std::array<std::string_view, 2> kHave{"'ve", " have"};

/// Tested in this order: "ld" before "d", and "s" before "ll" cannot clash.
constexpr std::array<SContraction, 5> kContractions{
    {{"ld", kWould}, {"d", kHad}, {"ll", kWill}, {"s", kIs}, {"ve", kHave}}};

const SContraction* FindContraction(std::string_view word) {
  for (const SContraction& contraction : kContractions) {
    if (word.ends_with(contraction.ending)) {
      return &contraction;
    }
  }
  return nullptr;
}

} // namespace

void CGuessApostrophe::Reset() {
  m_form = 0;
}

void CGuessApostrophe::MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                                   std::vector<std::string>& suggestions, bool findAll,
                                   CSpellCheckerImpl* speller) {
  if (speller == nullptr || CountChars(word) < 3) {
    return;
  }
  const SContraction* contraction = FindContraction(word);
  if (contraction == nullptr) {
    Reset();
    return;
  }
  const std::string_view stem =
      std::string_view(word).substr(0, word.size() - contraction->ending.size());
  if (!IsKnown(*speller, stem, dictionaryIds)) {
    return;
  }
  const auto forms = contraction->forms;
  if (findAll) {
    for (const std::string_view form : forms) {
      suggestions.emplace_back(stem).append(form);
    }
    Reset();
    return;
  }
  if (m_form >= forms.size()) {
    Reset();
    return;
  }
  suggestions.emplace_back(stem).append(forms[m_form]);
  ++m_form;
}
