#pragma once

#include "guess/Guess.h"

/// Rewrites a "(s)" plural such as "file(s)" as "file or files" and "file/files".
class CGuessPluralSingular : public CGuess {
public:
  void Reset() override;
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

private:
  bool m_first = true; ///< the "or" form comes next
  std::string m_buffer;
};
