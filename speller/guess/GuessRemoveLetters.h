#pragma once

#include "guess/Guess.h"

/// Drops one character of the word, at each position in turn.
class CGuessRemoveLetters : public CGuess {
public:
  void Reset() override;
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

private:
  std::size_t m_position = 0; ///< next character to drop
  std::string m_buffer;
  std::vector<std::size_t> m_starts;
};
