#pragma once

#include "utilcore/TextArray.h"
#include "utilcore/TextFileFormat.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <vector>

/// Files: text files read and written byte-exactly in their own encoding, safe
/// (atomic) writes, copies, moves and file lists. Paths use "/"; nothing here throws.
class CFileUtils {
public:
  /// Text files larger than this are not read (a site's pages and word lists are far
  /// smaller; anything bigger is not a text file meant for Pagelint).
  static constexpr std::uint64_t kMaxTextFileBytes = 128ULL * 1024 * 1024;

  /// Reads a text file as UTF-8 lines without their endings. UTF-8 (with or without
  /// byte order mark), UTF-16 (with byte order mark, or plainly so without), and
  /// anything else as Windows-1252. `lines` is emptied first unless `append`; `format`
  /// (optional) receives what it takes to write the file back the same way. An
  /// unreadable file gives no lines and false, with errno saying why (EFBIG: over
  /// kMaxTextFileBytes; EINVAL: not a regular file; EILSEQ: binary, not text).
  static bool ReadFileContent(const std::string& path, std::vector<std::string>& lines,
                              bool append = false, CTextFileFormat* format = nullptr);
  /// Why ReadFileContent failed with `errnum`, in a few words ("larger than 128 MiB",
  /// "not a regular file", "binary file", else the system's text).
  static std::string DescribeContentReadError(int errnum);
  /// Writes lines as a text file, atomically. Without `format`, an existing file keeps
  /// its encoding, byte order mark, line endings and final newline, and unchanged lines
  /// keep their bytes; a new file is UTF-8 with LF endings and a final newline. Text
  /// the encoding cannot hold fails and leaves the file untouched. `createFolders`
  /// creates missing parent folders.
  static bool WriteFileContent(const std::string& path, const std::vector<std::string>& lines,
                               bool createFolders = false, const CTextFileFormat* format = nullptr);

  /// The same two operations on a TextArray, the form in which callers keep lines.
  static bool ReadFileContent(const std::string& path, TextArray& lines, bool append = false,
                              CTextFileFormat* format = nullptr) {
    return ReadFileContent(path, lines.Items(), append, format);
  }
  static bool WriteFileContent(const std::string& path, const TextArray& lines,
                               bool createFolders = false,
                               const CTextFileFormat* format = nullptr) {
    return WriteFileContent(path, lines.Items(), createFolders, format);
  }

  /// Reads a whole regular file; fails (nothing read) when it is larger than `maxBytes`.
  static bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error,
                            std::uint64_t maxBytes = kMaxTextFileBytes);
  /// The same for the file `name` of the open folder `folderFd`, never following a link
  /// there; `info` is the file's as it was opened, `displayPath` names it in errors.
  static bool ReadFileBytesAt(int folderFd, const std::string& name, const std::string& displayPath,
                              std::string& bytes, struct stat& info, std::string& error,
                              std::uint64_t maxBytes = kMaxTextFileBytes);
  /// Replaces (or creates) a file with `bytes` through a temporary file in the same
  /// folder; on any failure the old file stays byte for byte.
  static bool WriteFileBytesAtomic(const std::string& path, const std::string& bytes,
                                   std::string& error);

  /// True for anything that exists at `path`, folders included.
  static bool DoesFileExist(const std::string& path);
  /// True for an existing file that is not read-only and that this process may write.
  static bool IsFileWritable(const std::string& path);
  /// The same for the file `name` of the open folder `folderFd` (AT_FDCWD: `name` is a path).
  static bool IsFileWritableAt(int folderFd, const std::string& name);
  /// Gives a read-only file its owner's write permission; true when it is writable.
  static bool EnsureFileIsWritable(const std::string& path);
  /// Deletes a file (a symbolic link itself, never its target; never a folder).
  /// `missingIsSuccess`: a file that is not there counts as deleted. `keepReadOnly`:
  /// a read-only file is not deleted.
  static bool DeleteFileA(const std::string& path, std::string& error,
                          bool missingIsSuccess = false, bool keepReadOnly = false);
  /// Copies a file atomically, creating missing folders of `target`. A new target gets
  /// the source's permissions; an existing one keeps its own.
  static bool CopyFileA(const std::string& source, const std::string& target, std::string& error);
  /// Moves a file, replacing `target` and creating its missing folders; works across
  /// file systems.
  static bool MoveFileA(const std::string& source, const std::string& target, std::string& error);

  /// Appends the full paths of the files in `folder` whose extension is one of
  /// `extensions` (without dot, any case; none means every file). `recursive` includes
  /// sub-folders; `followFolderLinks` enters folders reached through symbolic links
  /// (never twice); `sorted` sorts what was found. `includeHidden` lists names that
  /// begin with a dot. False when `folder` cannot be read.
  static bool GetFileList(const std::string& folder, const std::vector<std::string>& extensions,
                          bool includeHidden, std::vector<std::string>& found,
                          bool recursive = false, bool followFolderLinks = false,
                          bool sorted = true);
  /// Whether `folder` holds a matching file (see GetFileList). `skipEmpty`: empty files
  /// do not count.
  static bool HasFile(const std::string& folder, const std::vector<std::string>& extensions,
                      bool recursive = false, bool followFolderLinks = true,
                      bool includeHidden = true, bool skipEmpty = true);

  /// The part after the last "/"; without the extension unless `withExtension`.
  static std::string ParseFileNameFromPath(const std::string& path, bool withExtension);
  /// The file name's extension without the dot, as written ("" when none; a leading
  /// dot, as in ".htaccess", starts no extension).
  static std::string GetFileExt(const std::string& path);
  /// Replaces the characters no file name may hold (/ \ : * ? " < > | and control
  /// characters) by `replacement`. `wholeName`: the result names a file or folder of
  /// its own, so it is also never empty, never hidden and never "." or "..".
  static std::string ReplaceBadFileChars(const std::string& name, const std::string& replacement,
                                         bool wholeName);
  /// Size in bytes (0 when missing) and modification time (seconds since 1970, UTC;
  /// 0 when missing); either pointer may be null. False when the file is missing.
  static bool GetFileInfo(const std::string& path, std::int64_t* size, std::time_t* mtime);
};
