#pragma once

#include "guess/GuessReplacement.h"

/// Replaces each of the word's decimal digits (ASCII) by every letter in turn.
class CGuessNumberReplacement : public CGuessReplacement {
protected:
  bool IsReplaced(char c) const override;
};
