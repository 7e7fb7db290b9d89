#include "utilcore/NumberTextConv.h"

#include <charconv>

std::string CNumberTextConv::NumberToString(std::int64_t n, bool grouping, int width,
                                            std::string_view suffix) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, n);
  const std::string_view plain(digits, static_cast<std::size_t>(end - digits));

  std::string text;
  text.reserve(plain.size() + plain.size() / 3 + suffix.size() + 1);
  if (!grouping) {
    text.append(plain);
  } else {
    const bool negative = plain.front() == '-';
    const std::string_view number = negative ? plain.substr(1) : plain;
    if (negative) {
      text.push_back('-');
    }
    for (std::size_t i = 0; i < number.size(); ++i) {
      if (i > 0 && (number.size() - i) % 3 == 0) {
        text.push_back(',');
      }
      text.push_back(number[i]);
    }
  }
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  }
  text.append(suffix);
  return text;
}
