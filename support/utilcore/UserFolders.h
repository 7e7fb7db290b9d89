#pragma once

#include <string>

/// The user's home and configuration folders as the environment names them.
class CUserFolders {
public:
  /// $HOME, else the account's home from the password database; no trailing "/".
  static std::string GetHomeDir();
  /// $XDG_CONFIG_HOME when it is an absolute path, else the home + "/.config";
  /// ends in "/".
  static std::string GetConfigDir();
  /// True when the home folder does not exist and the configuration folder lies inside
  /// it: making the configuration folder would make a home from nothing.
  static bool IsHomeMissing();
};
