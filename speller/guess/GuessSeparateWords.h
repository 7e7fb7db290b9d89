#pragma once

#include "guess/Guess.h"

/// Splits the word in two known words, joined by a blank and by "-".
class CGuessSeparateWords : public CGuess {
public:
  void Reset() override;
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

private:
  bool m_space = true;     ///< the blank form comes next at the current split
  std::size_t m_split = 2; ///< characters of the first part
  std::vector<std::size_t> m_starts;
};
