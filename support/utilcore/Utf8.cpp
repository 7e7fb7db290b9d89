#include "utilcore/Utf8.h"

namespace {

bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t DigitRunEnd(std::string_view s, std::size_t i) {
  while (i < s.size() && IsAsciiDigit(s[i])) {
    ++i;
  }
  return i;
}

// Leading zeros do not change a number's value; one digit is always kept.
std::size_t SkipLeadingZeros(std::string_view s, std::size_t i, std::size_t end) {
  while (end - i > 1 && s[i] == '0') {
    ++i;
  }
  return i;
}

int CompareNumbers(std::string_view a, std::size_t& i, std::string_view b, std::size_t& j) {
  const std::size_t aEnd = DigitRunEnd(a, i);
  const std::size_t bEnd = DigitRunEnd(b, j);
  const std::size_t aStart = SkipLeadingZeros(a, i, aEnd);
  const std::size_t bStart = SkipLeadingZeros(b, j, bEnd);
  i = aEnd;
  j = bEnd;
  const std::size_t aLength = aEnd - aStart;
  const std::size_t bLength = bEnd - bStart;
  if (aLength != bLength) {
    return aLength < bLength ? -1 : 1;
  }
  const int digits = a.substr(aStart, aLength).compare(b.substr(bStart, bLength));
  return (digits > 0) - (digits < 0);
}

} // namespace

int CUtf8::Compare(std::string_view a, std::string_view b, bool fold, bool numbers) {
  // Equal bytes are equal however they are read; sorted paths mostly share their folder.
  if (a == b) {
    return 0;
  }
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (numbers && IsAsciiDigit(a[i]) && IsAsciiDigit(b[j])) {
      const int byValue = CompareNumbers(a, i, b, j);
      if (byValue != 0) {
        return byValue;
      }
      continue;
    }
    UChar32 ca = Next(a, i);
    UChar32 cb = Next(b, j);
    if (fold) {
      ca = Fold(ca);
      cb = Fold(cb);
    }
    if (ca != cb) {
      return ca < cb ? -1 : 1;
    }
  }
  const bool aLeft = i < a.size();
  const bool bLeft = j < b.size();
  return static_cast<int>(aLeft) - static_cast<int>(bLeft);
}
