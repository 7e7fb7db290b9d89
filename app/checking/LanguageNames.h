#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// The language tags met in a process, each numbered once, so that a finding carries
/// its language in two bytes. Any thread.
class CLanguageNames {
public:
  /// No language: the number of an empty tag.
  static constexpr std::uint16_t kNone = 0;

  /// The number of `tag` (in its usual form), given on first sight. Past 65,535 tags
  /// the rest get kNone.
  static std::uint16_t Number(std::string_view tag);
  /// The tag of a number; empty for kNone and numbers never given.
  static std::string Tag(std::uint16_t number);
};
