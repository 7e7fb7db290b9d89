#include "guess/GuessConsonantReplacement.h"

bool CGuessConsonantReplacement::IsReplaced(char c) const {
  return kConsonants.find(c) != std::string_view::npos;
}
