#pragma once

#include <cstdint>
#include <span>

class BkgStyle;

/// The shadings Pagelint gives its user interface components before the user changes
/// any.
class CDefaultShades {
public:
  struct SRow {
    int component;
    const char* name;
    std::uint8_t red, green, blue;
    std::uint8_t lighten, gloss, darken;
    std::int32_t pattern;
  };

  static std::span<const SRow> GetTable();
  /// Sets every row as its component's default (enabled), then makes the defaults the
  /// user's shadings. Nothing happens without a `style`.
  static void Apply(BkgStyle* style);
};
