#pragma once

#include "guess/GuessReplacement.h"

/// Replaces each of the word's consonants by every letter in turn.
class CGuessConsonantReplacement : public CGuessReplacement {
protected:
  bool IsReplaced(char c) const override;
};
