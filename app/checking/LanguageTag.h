#pragma once

#include <string>
#include <string_view>

/// Language tags as pages and dictionaries write them: "de-AT" in a lang attribute,
/// "de_AT" in a dictionary's file name. Both spellings, and any letter case, name the
/// same language.
class CLanguageTag {
public:
  /// The tag in its usual form: subtags joined by "-", the language in lower case, a
  /// region in upper case, a script with a capital ("zh-Hant-TW"). Blanks around it go;
  /// empty for an empty or blank value, which names no language. A value that is no
  /// tag at all (other characters than letters, digits, "-" and "_") is kept lower-case
  /// as it is, so it matches no dictionary.
  static std::string Canonical(std::string_view value);
  /// The language subtag: "de" of "de-AT".
  static std::string_view Primary(std::string_view tag);
  /// Whether `a` and `b` name the same language and region ("en-GB", "en_gb").
  static bool Same(std::string_view a, std::string_view b);
  /// Whether their language subtags are the same ("de-AT", "de_DE").
  static bool SamePrimary(std::string_view a, std::string_view b);
};
