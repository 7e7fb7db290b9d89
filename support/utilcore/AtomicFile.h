#pragma once

#include "utilcore/FileDescriptor.h"

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
  bool Write(std::string_view bytes, std::string& error);
  /// Gives the file these permissions instead of the target's.
  void SetPermissions(mode_t mode);
  /// Flushes, closes and renames the temporary file over the target.
  bool Commit(std::string& error);
  /// Drops the temporary file; the target stays as it was.
  void Discard();

  /// The file that is written: the path given to Open with symbolic links resolved.
  const std::string& Target() const { return m_target; }

  /// The file a write to `path` replaces: `path` itself, or where its symbolic link
  /// points. False for a link that leads nowhere.
  static bool ResolveTarget(const std::string& path, std::string& resolved, std::string& error);

private:
  bool CreateTemporary(mode_t mode, std::string& error);
  void TakeOverAttributes(const struct stat& target);
  bool Fail(std::string& error, std::string text);

  std::string m_target;
  std::string m_temporary;
  CFileDescriptor m_fd;
  std::uint64_t m_written = 0;
};
