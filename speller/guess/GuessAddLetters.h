#pragma once

#include "guess/Guess.h"

/// Inserts each letter a to z at each character boundary of the word.
class CGuessAddLetters : public CGuess {
public:
  void Reset() override;
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

private:
  std::size_t m_position = 0; ///< insertion point, a character index
  char m_letter = 'a';        ///< next letter to insert there
  std::string m_buffer;
  std::vector<std::size_t> m_starts;
};
