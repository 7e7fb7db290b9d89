#include "pagelint-check/TerminalText.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr char kShown = '?';

bool IsPlainAscii(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x7F;
}

} // namespace

bool CTerminalText::IsHidden(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
         c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string CTerminalText::Printable(std::string_view text) {
  std::string out;
  AppendPrintable(out, text);
  return out;
}

void CTerminalText::AppendPrintable(std::string& out, std::string_view text) {
  if (std::all_of(text.begin(), text.end(), IsPlainAscii)) {
    out.append(text);
    return;
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    const std::size_t begin = i;
    UChar32 c = 0;
    // A damaged sequence is passed over as a whole and shown once.
    U8_NEXT(data, i, size, c);
    if (c < 0 || IsHidden(static_cast<char32_t>(c))) {
      out += kShown;
    } else {
      out.append(text.substr(begin, i - begin));
    }
  }
}
