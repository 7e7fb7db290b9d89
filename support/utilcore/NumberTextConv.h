#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Numbers as text for messages and value names; independent of the locale.
class CNumberTextConv {
public:
  /// The decimal text of `n`, with "," between groups of three digits when
  /// `grouping` is set ("1,234,567"), padded with blanks on the left to at least
  /// `width` characters, then `suffix` appended.
  static std::string NumberToString(std::int64_t n, bool grouping, int width,
                                    std::string_view suffix);
};
