#include "utilcore/TextFileFormat.h"

#include <array>

CTextFileFormat::ELineEnding CTextFileFormat::DominantEnding() const {
  std::array<std::size_t, 4> counts{};
  for (const ELineEnding ending : endings) {
    ++counts[static_cast<std::size_t>(ending)];
  }
  // Ties go to the first in this order; a file without endings gets LF.
  ELineEnding best = ELineEnding::LF;
  for (const ELineEnding ending : {ELineEnding::LF, ELineEnding::CRLF, ELineEnding::CR}) {
    if (counts[static_cast<std::size_t>(ending)] > counts[static_cast<std::size_t>(best)]) {
      best = ending;
    }
  }
  return best;
}

bool CTextFileFormat::HasFinalNewline() const {
  return endings.empty() || endings.back() != ELineEnding::None;
}
