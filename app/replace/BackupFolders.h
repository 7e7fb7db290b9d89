#pragma once

#include <string>

/// Where the backups of replaced files live: one folder per project below the backup
/// root "Pagelint_Backup/" in the temporary folder. The root is private to the user
/// (mode 0700) and used only while it is a real folder the user owns, so that no other
/// account can plant or swap backups that an undo would copy into a site.
class CBackupFolders {
public:
  static constexpr const char* kRootName = "Pagelint_Backup/";

  /// The temporary folder, or `fallback` when there is none, + "Pagelint_Backup/".
  static std::string GetBackupRoot(const std::string& fallback);
  /// The backup root + the project name made a valid folder name + "/".
  static std::string GetBackupFolder(const std::string& projectName, const std::string& fallback);

  /// Whether `root` is a folder (not a symbolic link) owned by the user. A missing
  /// root is not usable; `error` says why not.
  static bool IsRootUsable(const std::string& root, std::string& error);
  /// Creates the root with mode 0700 when missing; true when it is usable afterwards.
  static bool PrepareRoot(const std::string& root, std::string& error);
  /// Whether every existing part of `path` from `root` down (root included) is a real
  /// folder (or, for the last part, a regular file) owned by the user, none a symbolic
  /// link; `path` must begin with `root` and never climbs out of it ("." and ".." parts
  /// are refused). A missing part ends the walk: nothing below it exists either.
  /// `error` says why not.
  static bool IsPathSafe(const std::string& root, const std::string& path, std::string& error);

  /// Empties the backup root (at document close). A missing root is empty already; a
  /// root that is not usable is left alone. Failures are logged; false then.
  static bool ClearBackupRoot(const std::string& fallback);
};
