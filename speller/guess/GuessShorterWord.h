#pragma once

#include "guess/Guess.h"

/// Cuts two, then three, ... characters off the end, down to the first two.
class CGuessShorterWord : public CGuess {
public:
  void Reset() override;
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

private:
  std::size_t m_cut = 2; ///< characters removed from the end for the next candidate
  std::vector<std::size_t> m_starts;
};
