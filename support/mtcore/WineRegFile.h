#pragma once

#include <string>
#include <string_view>

/// Reads keys of Wine's registry files (user.reg, system.reg), only as far as needed to
/// tell whether a key's values changed. Key names are compared without ASCII case;
/// names holding characters outside ASCII (which Wine writes escaped) are not matched.
class CWineRegFile {
public:
  /// The Wine prefix folder ($WINEPREFIX, else ~/.wine), ending in "/".
  static std::string GetPrefixPath();
  /// The file holding HKEY_CURRENT_USER: the prefix + "user.reg".
  static std::string GetUserRegPath();

  /// The values of `key` (backslash-separated, e.g. "Software\\Wine"), and with
  /// `subtree` those of every key below it, as one text that changes exactly when a
  /// value, a value's data or (with `subtree`) the set of keys below it changes.
  /// Empty when the file cannot be read or holds no such key.
  static std::string ReadKey(const std::string& file, std::string_view key, bool subtree);

  /// The key name of a section header line ("[Software\\\\Wine] 1234" gives
  /// "Software\\Wine"), unescaped; false when the line is no complete header.
  static bool ParseHeader(std::string_view line, std::string& key);
};
