#pragma once

#include "guess/Guess.h"

/// Swaps each pair of neighbouring characters that differ.
class CGuessReversal : public CGuess {
public:
  void Reset() override;
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

private:
  std::size_t m_position = 0; ///< right character of the last swap tried
  std::string m_buffer;
  std::vector<std::size_t> m_starts;
};
