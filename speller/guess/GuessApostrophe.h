#pragma once

#include "guess/Guess.h"

/// Restores a contraction whose apostrophe is missing ("youll") and offers its
/// spelled-out forms ("you will", "you shall").
class CGuessApostrophe : public CGuess {
public:
  void Reset() override;
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

private:
  std::size_t m_form = 0; ///< next form of the word's row
};
