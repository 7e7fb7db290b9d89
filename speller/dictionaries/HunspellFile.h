#pragma once

#include <string>

/// One Hunspell dictionary found on disk: a ".dic" word list and the ".aff" affix
/// file of the same stem beside it, with what its stem says about its language.
struct SHunspellFile {
  std::string dicPath; ///< as found, a link not resolved
  std::string affPath;
  /// The file stem with "-" written "_": "en_GB", "de_DE_frami".
  std::string tag;
  /// Language, script and region with "_" ("en_GB", "de_DE"); empty when the stem
  /// names no language.
  std::string language;
  /// The English name of the language with the tag, "English (United Kingdom) en_GB";
  /// the tag alone when the language has no English name.
  std::string name;
};
