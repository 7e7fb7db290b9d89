#pragma once

#include "testkit/FileBytes.h"

#include <filesystem>
#include <string>

/// Small Hunspell dictionaries that the tests write into their own folders, so that no
/// test depends on the dictionaries installed on the machine.
namespace hunspelltest {

/// British spelling with a plural rule and an input conversion of the typographic
/// apostrophe, as the real en_GB has, and like it a proper noun that is an American
/// spelling in lower case.
inline const std::string kEnglishAff = "SET UTF-8\n"
                                       "TRY esianrtolcdugmphbyfvkwzESIANRTOLCDUGMPHBYFVKWZ'\n"
                                       "ICONV 1\n"
                                       "ICONV \xE2\x80\x99 '\n"
                                       "SFX S Y 1\n"
                                       "SFX S 0 s .\n";
inline const std::string kEnglishDic = "8\n"
                                       "colour/S\n"
                                       "favour/S\n"
                                       "London\n"
                                       "don't\n"
                                       "well\n"
                                       "known\n"
                                       "centre/S\n"
                                       "Center\n";

/// German in ISO 8859-1, as the real de_DE is written: "Haus", "Häuser", "Straße".
inline const std::string kGermanAff = "SET ISO8859-1\n"
                                      "TRY esijanrtolcdugmphbyfvkw\xE4\xFC\xF6\xDF\n"
                                      "SFX N Y 1\n"
                                      "SFX N 0 n .\n"
                                      "SFX S Y 1\n"
                                      "SFX S 0 es .\n";
inline const std::string kGermanDic = "3\n"
                                      "Haus/S\n"
                                      "H\xE4user/N\n"
                                      "Stra\xDF"
                                      "e/N\n";

/// Writes "<folder>/<stem>.aff" and "<folder>/<stem>.dic", creating the folder.
inline void WritePair(const std::string& folder, const std::string& stem, const std::string& aff,
                      const std::string& dic) {
  std::filesystem::create_directories(folder);
  testkit::WriteBytes(folder + "/" + stem + ".aff", aff);
  testkit::WriteBytes(folder + "/" + stem + ".dic", dic);
}

/// en_GB and de_DE as above, and de_BE linked to de_DE as Debian links it.
inline void WriteSamples(const std::string& folder) {
  WritePair(folder, "en_GB", kEnglishAff, kEnglishDic);
  WritePair(folder, "de_DE", kGermanAff, kGermanDic);
  std::filesystem::create_symlink("de_DE.aff", folder + "/de_BE.aff");
  std::filesystem::create_symlink("de_DE.dic", folder + "/de_BE.dic");
}

} // namespace hunspelltest
