#pragma once

#include <string_view>

/// The few English abbreviations that are written with a period and recognised with
/// it ("e.g.", "etc."), although the period is not part of any dictionary word.
/// Letter case aside ("E.g." at the start of a sentence). Stateless and thread-safe.
class CAbbreviations {
public:
  /// Whether `word`, its final period included, is one of them.
  static bool IsListed(std::string_view word);
  /// Whether `stem` followed by a period is one of them ("e.g" for "e.g.").
  static bool IsListedStem(std::string_view stem);
};
