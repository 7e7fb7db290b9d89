#include "guess/Guess.h"

#include "facade/SpellCheckerImpl.h"

#include <unicode/utf8.h>

#include <cstdint>

bool CGuess::IsKnown(CSpellCheckerImpl& speller, std::string_view text,
                     const std::vector<int>& ids) {
  return speller.GetRegistry().LookUp(text, ids);
}

std::size_t CGuess::CharStarts(std::string_view text, std::vector<std::size_t>& starts) {
  starts.clear();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  std::int32_t offset = 0;
  while (offset < length) {
    starts.push_back(static_cast<std::size_t>(offset));
    if (bytes[offset] < 0x80) {
      ++offset;
    } else {
      U8_FWD_1(bytes, offset, length);
    }
  }
  starts.push_back(text.size());
  return starts.size() - 1;
}

bool CGuess::IsTooLong(std::string_view word) {
  if (word.size() <= kMaxWordChars) {
    return false;
  }
  // No character takes more than four bytes. Counted as the strategies step over
  // characters, a stray byte being one, so that damaged text cannot pass for short.
  if (word.size() > 4 * kMaxWordChars) {
    return true;
  }
  std::vector<std::size_t> starts;
  return CharStarts(word, starts) > kMaxWordChars;
}

std::size_t CGuess::CountChars(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    // Continuation bytes of UTF-8 do not start a character.
    count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  }
  return count;
}
