#include "guess/GuessVowelReplacement.h"

bool CGuessVowelReplacement::IsReplaced(char c) const {
  return kVowels.find(c) != std::string_view::npos;
}
