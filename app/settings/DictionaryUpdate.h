#pragma once

#include <cstdint>
#include <string>

/// Puts a downloaded compiled main dictionary in place at exit, and tells the next
/// start which one to use. The program folder's "ZEB.fdc" is replaced when that folder
/// can be written; otherwise (a program installed under /usr) the new dictionary is
/// kept in the settings folder and preferred while it is not older than the program
/// folder's.
class CDictionaryUpdate {
public:
  static constexpr const char* kFileName = "ZEB.fdc";

  /// The dictionary file to use: the kept copy in `keptFolder` when it is there and not
  /// older than the one in `appFolder`, else the one in `appFolder`. Folders end in "/".
  static std::string ChooseMainFile(const std::string& appFolder, const std::string& keptFolder);

  /// Checks `download` (its size when `expectedSize` is not -1 and against the largest
  /// size a dictionary may be announced with, then the layout a load checks) and
  /// copies it atomically onto the program folder's dictionary, or the kept copy when
  /// that fails. A refused or failed update leaves the old files as they were. The
  /// download is deleted in every case. Returns the file that now holds the new
  /// dictionary, or "" (logged).
  static std::string Apply(const std::string& download, std::int64_t expectedSize,
                           const std::string& appFolder, const std::string& keptFolder);
};
