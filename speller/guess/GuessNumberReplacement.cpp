#include "guess/GuessNumberReplacement.h"

#include "utilcore/StringUtils.h"

bool CGuessNumberReplacement::IsReplaced(char c) const {
  return static_cast<unsigned char>(c) < 128 &&
         CStringUtils::m_tableIsDigit[static_cast<unsigned char>(c)];
}
