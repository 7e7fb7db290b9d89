#pragma once

#include "utilcore/FileDescriptor.h"
#include "utilcore/FileStamp.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/stat.h>

/// A file below a folder (a site's root) that is read and written without ever leaving
/// that folder. Its path is resolved once, links that stay inside the root included;
/// then every folder from the root down is opened without following a link, and the
/// file itself is never followed either. A page or folder swapped for a link that leads
/// elsewhere is refused, never read or written, whenever the swap happens.
class CSiteFile {
public:
  enum class EFolders { kMustExist, kCreate };

  /// Opens the folder of `relative`, a path below `root` without "." or ".." parts.
  /// False, with `error` saying why, when the file or a folder on its way leads outside
  /// the root, or a folder is missing (created instead with kCreate).
  bool Open(const std::string& root, std::string_view relative, EFolders folders,
            std::string& error);

  /// root + relative, as given to Open.
  const std::string& Path() const { return m_path; }

  /// The file's stamp. False when it is missing (`missing` set, `error` empty) or is
  /// a link or no regular file.
  bool Stat(CFileStamp& stamp, bool& missing, std::string& error) const;
  /// Reads the whole file, at most `maxBytes`; `info` is the file's as it was read.
  bool Read(std::string& bytes, struct stat& info, std::string& error,
            std::uint64_t maxBytes) const;
  /// Whether the file may be written (a read-only file is left as it is).
  bool IsWritable() const;
  /// Whether Open failed because a folder on the way, or the site's folder, is missing.
  bool IsFolderMissing() const { return m_folderMissing; }
  /// Replaces the file's content atomically (keeping its permissions; a new file gets
  /// `newFileMode` less the umask). With `unchangedSince`, only while the file still
  /// has that stamp.
  bool Write(std::string_view bytes, const CFileStamp* unchangedSince, std::string& error,
             unsigned newFileMode = 0666) const;

  /// Whether `relative` names a file below a folder: not empty, not absolute, and
  /// without an empty, "." or ".." part that could name the folder or climb out of it.
  static bool IsPlainRelative(std::string_view relative);

  /// The reason given when a file or folder leads outside the root.
  static constexpr std::string_view kOutsideRoot = "it leads outside the site's folder";

private:
  bool Resolve(const std::string& root, std::string_view relative, EFolders folders,
               std::string& realRoot, std::string& inside, std::string& error);
  bool Walk(const std::string& realRoot, std::string_view inside, EFolders folders,
            std::string& error);

  std::string m_path;
  std::string m_name;
  CFileDescriptor m_folder;
  bool m_folderMissing = false;
};
