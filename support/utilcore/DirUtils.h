#pragma once

#include <string>
#include <vector>

/// Folders: path parts, creation, renaming, emptying, listing, and the folders of the
/// platform (temporary, application data, program). Folder paths end in "/".
class CDirUtils {
public:
  static constexpr int kApplicationData = 26;
  static constexpr int kProgramFiles = 42;

  /// The folder part of a path, up to and including the last "/"; "" for a bare name.
  static std::string ParsePathFromFile(const std::string& path);
  /// Appends "/" to a non-empty path that lacks it; returns `path`.
  static std::string& EnsureTrailingBackslash(std::string& path);
  static bool DoesDirExist(const std::string& path);
  /// Creates the folder and its missing parents; true when it exists afterwards. On
  /// failure errno tells why, and `error` (optional) too.
  static bool CreateDirectoryA(const std::string& path, std::string* error = nullptr);
  /// Renames a folder; an existing non-empty target is not replaced.
  static bool RenameDirectory(const std::string& from, const std::string& to, std::string& error);
  /// Deletes the content of a folder without ever following a symbolic link (a link
  /// is deleted, not what it points to). `includeSubfolders`: sub-folders are emptied
  /// and deleted too (else only files go); `removeFolder`: the folder itself goes as
  /// well; `forceReadOnly`: folders that the user may not change are made changeable
  /// first. A missing folder counts as cleared; a folder that is a link is refused.
  static bool ClearDirectory(const std::string& path, std::string& error,
                             bool includeSubfolders = true, bool removeFolder = false,
                             bool forceReadOnly = true);
  /// $XDG_RUNTIME_DIR/, else $TMPDIR/, else /tmp/: the first that is a folder; "" when
  /// none is.
  static std::string GetTempDir();
  /// kApplicationData: $XDG_CONFIG_HOME/, else ~/.config/; kProgramFiles: /usr/; ""
  /// for any other id. Not created.
  static std::string GetSpecialFolder(int id);
  /// Appends the full paths (ending in "/") of the folders below `folder`, at most
  /// `maxDepth` levels down; folders reached through links are listed once.
  static bool GetDirectoryList(const std::string& folder, std::vector<std::string>& folders,
                               int maxDepth);
  /// Removes the leading `base` folder from every path below it; others stay as given.
  static void MakePathsRelative(std::vector<std::string>& paths, const std::string& base);
  /// The folder of the running program, ending in "/" ("" when unknown).
  static std::string GetAppPath();
};
