#include "facade/Abbreviations.h"

#include "utilcore/StringUtils.h"

#include <array>

namespace {

// Each without its final period. Only the ones a reader meets in running text: the
// Latin ones, the times of day and "et al.".
constexpr std::array<std::string_view, 9> kStems = {"a.m", "al",  "cf",  "e.g", "etc",
                                                    "i.e", "p.m", "viz", "vs"};

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (CStringUtils::m_tableUppercase[static_cast<unsigned char>(a[i])] !=
        CStringUtils::m_tableUppercase[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}

} // namespace

bool CAbbreviations::IsListed(std::string_view word) {
  return word.size() > 1 && word.back() == '.' && IsListedStem(word.substr(0, word.size() - 1));
}

bool CAbbreviations::IsListedStem(std::string_view stem) {
  for (const std::string_view listed : kStems) {
    if (SameLetters(stem, listed)) {
      return true;
    }
  }
  return false;
}
