#pragma once

#include <string_view>

/// The shapes of word a project may leave unchecked, as word processors offer: words
/// in capitals ("SATA", "EOF", the plural "FIFOs"), which are mostly acronyms and names
/// of standards, and words holding a digit ("beta1", "v2", "utf8"), which are mostly
/// versions and identifiers. Both are checked by default. The rule reads UTF-8, which
/// may be damaged, and never throws.
class CWordShapes {
public:
  enum class EUppercase : bool { kChecked, kIgnored };
  enum class ENumbers : bool { kChecked, kIgnored };

  constexpr CWordShapes() = default;
  constexpr CWordShapes(EUppercase uppercase, ENumbers numbers)
      : m_uppercase(uppercase), m_numbers(numbers) {}

  /// Whether `word` (as the look-up cleaned it) is of a shape left unchecked.
  bool Ignores(std::string_view word) const;

  /// Every letter a capital, at least one, and no digit; a final small "s" after two
  /// capitals or more is a plural and still counts ("FIFOs", not "As"). A letter
  /// without case (as in Chinese) or a capital that has no small form is not one.
  static bool IsUppercase(std::string_view word);
  /// Whether `word` holds a decimal digit of any script.
  static bool HasDigit(std::string_view word);

  bool operator==(const CWordShapes&) const = default;

private:
  EUppercase m_uppercase = EUppercase::kChecked;
  ENumbers m_numbers = ENumbers::kChecked;
};
