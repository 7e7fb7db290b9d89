#pragma once

#include "guess/Guess.h"

/// Offers "not x" and "non-x" for an unknown "unx" whose x is known.
class CGuessUn : public CGuess {
public:
  void Reset() override;
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

private:
  bool m_first = true; ///< the "not" form comes next
};
