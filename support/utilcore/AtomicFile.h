#pragma once

#include "utilcore/FileDescriptor.h"
#include "utilcore/FileStamp.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

/// Writes a file so that a crash, a full disk or any failure never leaves it half
/// written: the bytes go to a temporary file in the target's folder, which is flushed
/// to disk and renamed over the target only when everything worked. An existing
/// target keeps its permissions (and, where allowed, its owner); a symbolic link is
/// written through, so the link stays. Without Commit the target is left untouched
/// and the temporary file is removed.
class CAtomicFile {
public:
  CAtomicFile() = default;
  ~CAtomicFile();
  CAtomicFile(const CAtomicFile&) = delete;
  CAtomicFile& operator=(const CAtomicFile&) = delete;

  /// Starts a write to `path`. A new file gets `newFileMode` less the umask. Fails when
  /// the target is a folder or another non-regular file, or is read-only.
  bool Open(const std::string& path, std::string& error, mode_t newFileMode = 0666);
  /// Starts a write to the file `name` of the open folder `folderFd` (kept open until
  /// the write ends). `name` holds no "/" and is never followed as a link: a link there
  /// fails like any other non-regular file. `displayPath` names the file in errors.
  bool OpenIn(int folderFd, const std::string& name, const std::string& displayPath,
              std::string& error, mode_t newFileMode = 0666);
  /// Makes Commit fail, leaving the target alone, unless the target still has this
  /// stamp (as a file read before the write had): another program's save in between
  /// is never overwritten. Only for OpenIn.
  void RequireUnchanged(const CFileStamp& stamp);
  bool Write(std::string_view bytes, std::string& error);
  /// Gives the file these permissions instead of the target's.
  void SetPermissions(mode_t mode);
  /// Flushes, closes and renames the temporary file over the target.
  bool Commit(std::string& error);
  /// Drops the temporary file; the target stays as it was.
  void Discard();

  /// The file that is written: the path given to Open with symbolic links resolved,
  /// or OpenIn's display path.
  const std::string& Target() const { return m_display; }

  /// The file a write to `path` replaces: `path` itself, or where its symbolic link
  /// points. False for a link that leads nowhere.
  static bool ResolveTarget(const std::string& path, std::string& resolved, std::string& error);

private:
  bool Start(bool exists, const struct stat& st, mode_t newFileMode, std::string& error);
  bool CreateTemporary(mode_t mode, std::string& error);
  void TakeOverAttributes(const struct stat& target);
  bool IsTargetUnchanged(std::string& error) const;
  bool Fail(std::string& error, std::string text);
  /// The folder the names are relative to: AT_FDCWD after Open (full paths).
  int FolderFd() const;

  CFileDescriptor m_folder; ///< OpenIn's folder; invalid after Open
  std::string m_target;     ///< relative to FolderFd()
  std::string m_display;
  std::string m_temporary; ///< relative to FolderFd()
  bool m_checkUnchanged = false;
  CFileStamp m_unchanged;
  CFileDescriptor m_fd;
  std::uint64_t m_written = 0;
};
