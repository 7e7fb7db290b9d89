#pragma once

#include "guess/GuessReplacement.h"

/// Replaces each of the word's vowels by every letter in turn.
class CGuessVowelReplacement : public CGuessReplacement {
protected:
  bool IsReplaced(char c) const override;
};
