#pragma once

#include <string>
#include <string_view>

/// Cleans a candidate word cut out of page text or typed by the user, and tells
/// whether it is a word to look up at all. Stateless and thread-safe.
class CWordPreprocessor {
public:
  /// Rewrites `word` in place; false when it is to be skipped (the word may already
  /// have been changed then).
  static bool PreprocessWord(std::string& word);
  /// "{FIRST_NAME}", "{ID}": braces around upper-case ASCII, digits and punctuation.
  static bool IsTemplatePlaceholder(std::string_view word);
  /// "10x20", "3X4": digits on both sides of one "x" (or "X").
  static bool IsDimension(std::string_view word);
  /// Length in bytes of the special character (®, ©, °, ±, ¹, ², ³, µ, ¼, ½, ¾, ™,
  /// ‘, ’) that `text` begins with; 0 when it begins with none.
  static std::size_t SpecialCharAtStart(std::string_view text);
  /// As SpecialCharAtStart, for the character that `text` ends with.
  static std::size_t SpecialCharAtEnd(std::string_view text);
};
