#include "utilcore/FileUtils.h"

#include "utilcore/AtomicFile.h"
#include "utilcore/DirUtils.h"
#include "utilcore/DirWalker.h"
#include "utilcore/FileDescriptor.h"
#include "utilcore/FileError.h"
#include "utilcore/FileWriteFaults.h"
#include "utilcore/SystemUtils.h"
#include "utilcore/TextFileCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

// Opens a regular file for reading. O_NONBLOCK keeps a named pipe from blocking the
// open; regular files ignore it.
int OpenRegularForReading(int folderFd, const char* name, int extraFlags, CFileDescriptor& fd,
                          struct stat& st) {
  fd = CFileDescriptor(
      ::openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | extraFlags));
  if (!fd.IsValid()) {
    return errno;
  }
  if (::fstat(fd.Get(), &st) != 0) {
    return errno;
  }
  if (S_ISDIR(st.st_mode)) {
    return EISDIR;
  }
  return S_ISREG(st.st_mode) ? 0 : EINVAL;
}

int OpenRegularForReading(const std::string& path, CFileDescriptor& fd, struct stat& st) {
  return OpenRegularForReading(AT_FDCWD, path.c_str(), 0, fd, st);
}

constexpr std::size_t kKeptBufferBytes = 256 * 1024;

// Reads an open file into `buffer`, whose size only grows (so no byte is zero-filled
// twice); `used` receives the file's length. 0 on success, else an errno value (EFBIG:
// larger than maxBytes).
int ReadOpenFile(const CFileDescriptor& fd, const struct stat& st, std::string& buffer,
                 std::size_t& used, std::uint64_t maxBytes) {
  used = 0;
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    return EFBIG;
  }
  // The size is only a hint: the file may grow or shrink while it is read.
  if (buffer.size() < static_cast<std::size_t>(st.st_size) + 1) {
    buffer.resize(static_cast<std::size_t>(st.st_size) + 1);
  }
  for (;;) {
    if (used == buffer.size()) {
      buffer.resize(std::max(buffer.size() * 2, kChunkBytes));
    }
    const ssize_t n = ::read(fd.Get(), buffer.data() + used, buffer.size() - used);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      used = 0;
      return errno;
    }
    if (n == 0) {
      return 0;
    }
    used += static_cast<std::size_t>(n);
    if (used > maxBytes) {
      used = 0;
      return EFBIG;
    }
  }
}

// ReadOpenFile for the file at `path`.
int ReadIntoBuffer(const std::string& path, std::string& buffer, std::size_t& used,
                   std::uint64_t maxBytes) {
  used = 0;
  CFileDescriptor fd;
  struct stat st {};
  if (const int errnum = OpenRegularForReading(path, fd, st); errnum != 0) {
    return errnum;
  }
  return ReadOpenFile(fd, st, buffer, used, maxBytes);
}

int ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
  bytes.clear();
  std::size_t used = 0;
  const int errnum = ReadIntoBuffer(path, bytes, used, maxBytes);
  bytes.resize(used);
  return errnum;
}

std::string DescribeRead(const std::string& path, int errnum) {
  if (errnum == EINVAL) {
    return CFileError::Describe("read", path, "not a regular file");
  }
  if (errnum == EFBIG) {
    return CFileError::Describe("read", path, "the file is too large");
  }
  return CFileError::Describe("read", path, errnum);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
           return lower(x) == lower(y);
         });
}

bool MatchesExtension(const std::string& path, const std::vector<std::string>& extensions) {
  if (extensions.empty()) {
    return true;
  }
  const std::string ext = CFileUtils::GetFileExt(path);
  return std::any_of(extensions.begin(), extensions.end(), [&ext](std::string_view wanted) {
    // Accept "dic", ".dic" and "*.dic"; "*" matches every file.
    if (wanted == "*" || wanted == "*.*") {
      return true;
    }
    if (wanted.starts_with('*')) {
      wanted.remove_prefix(1);
    }
    if (wanted.starts_with('.')) {
      wanted.remove_prefix(1);
    }
    return EqualsNoCase(ext, wanted);
  });
}

std::string_view FileNamePart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string_view(path)
                                    : std::string_view(path).substr(slash + 1);
}

bool CreateParentFolder(const std::string& path, std::string& error) {
  const std::string folder = CDirUtils::ParsePathFromFile(path);
  if (folder.empty() || CDirUtils::CreateDirectoryA(folder)) {
    return true;
  }
  error = CFileError::Describe("create the folder", folder, errno);
  return false;
}

// Streams `source` into an atomic write of `target`. A new target gets the source's
// permissions; with `sourceMode` an existing target gets them too (a move).
bool CopyContent(const std::string& source, const std::string& target, bool sourceMode,
                 std::string& error) {
  CFileDescriptor in;
  struct stat st {};
  if (const int errnum = OpenRegularForReading(source, in, st); errnum != 0) {
    error = DescribeRead(source, errnum);
    return false;
  }
  if (!CreateParentFolder(target, error)) {
    return false;
  }
  CAtomicFile out;
  if (!out.Open(target, error, st.st_mode & 0777)) {
    return false;
  }
  std::string buffer(kChunkBytes, '\0');
  for (;;) {
    const ssize_t n = ::read(in.Get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      error = CFileError::Describe("read", source, errno);
      return false;
    }
    if (n == 0) {
      break;
    }
    if (!out.Write(std::string_view(buffer.data(), static_cast<std::size_t>(n)), error)) {
      return false;
    }
  }
  if (sourceMode) {
    out.SetPermissions(st.st_mode & 07777);
  }
  return out.Commit(error);
}

} // namespace

bool CFileUtils::ReadFileContent(const std::string& path, std::vector<std::string>& lines,
                                 bool append, CTextFileFormat* format) {
  // Reused file after file: a check reads thousands of pages one after the other.
  thread_local std::string buffer;
  thread_local CTextFileFormat found;
  std::size_t used = 0;
  int errnum = ReadIntoBuffer(path, buffer, used, kMaxTextFileBytes);
  if (errnum == 0) {
    CTextFileCodec::DecodeInto(std::string_view(buffer.data(), used), lines,
                               append ? lines.size() : 0, found);
    if (found.encoding == CTextFileFormat::EEncoding::Binary) {
      errnum = EILSEQ; // decoding gave no lines
    }
  } else if (!append) {
    lines.clear();
  }
  if (buffer.size() > kKeptBufferBytes) {
    // A large file's buffer is not held on to: kept, it would tie up that memory for
    // the rest of a check that mostly reads pages a tenth of its size.
    std::string().swap(buffer);
  }
  if (errnum != 0) {
    errno = errnum; // callers that name the failure read it from here
    return false;
  }
  if (format != nullptr) {
    *format = found;
  }
  return true;
}

std::string CFileUtils::DescribeContentReadError(int errnum) {
  switch (errnum) {
  case EFBIG:
    return "larger than " + std::to_string(kMaxTextFileBytes / (1024 * 1024)) + " MiB";
  case EINVAL:
    return "not a regular file";
  case EILSEQ:
    return "binary file";
  default:
    return CSystemUtils::GetLastError(errnum);
  }
}

bool CFileUtils::WriteFileContent(const std::string& path, const std::vector<std::string>& lines,
                                  bool createFolders, const CTextFileFormat* format) {
  std::string error;
  if (createFolders && !CreateParentFolder(path, error)) {
    return false;
  }
  std::string bytes;
  if (format != nullptr) {
    if (!CTextFileCodec::Encode(lines, *format, bytes, error)) {
      return false;
    }
    return WriteFileBytesAtomic(path, bytes, error);
  }
  std::string old;
  const int errnum = ReadWholeFile(path, old, kMaxTextFileBytes);
  if (errnum == ENOENT) {
    if (!CTextFileCodec::Encode(lines, CTextFileFormat{}, bytes, error)) {
      return false;
    }
  } else if (errnum != 0 || !CTextFileCodec::Reencode(lines, old, bytes, error)) {
    // An existing file whose format cannot be learnt is not overwritten in a guessed one.
    return false;
  }
  return WriteFileBytesAtomic(path, bytes, error);
}

bool CFileUtils::ReadFileBytes(const std::string& path, std::string& bytes, std::string& error,
                               std::uint64_t maxBytes) {
  const int errnum = ReadWholeFile(path, bytes, maxBytes);
  if (errnum != 0) {
    error = DescribeRead(path, errnum);
    return false;
  }
  return true;
}

bool CFileUtils::ReadFileBytesAt(int folderFd, const std::string& name,
                                 const std::string& displayPath, std::string& bytes,
                                 struct stat& info, std::string& error, std::uint64_t maxBytes) {
  bytes.clear();
  CFileDescriptor fd;
  std::size_t used = 0;
  int errnum = OpenRegularForReading(folderFd, name.c_str(), O_NOFOLLOW, fd, info);
  if (errnum == 0) {
    errnum = ReadOpenFile(fd, info, bytes, used, maxBytes);
  }
  bytes.resize(used);
  if (errnum != 0) {
    error = DescribeRead(displayPath, errnum);
    return false;
  }
  return true;
}

bool CFileUtils::WriteFileBytesAtomic(const std::string& path, const std::string& bytes,
                                      std::string& error) {
  CAtomicFile file;
  return file.Open(path, error) && file.Write(bytes, error) && file.Commit(error);
}

bool CFileUtils::DoesFileExist(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool CFileUtils::IsFileWritable(const std::string& path) {
  return IsFileWritableAt(AT_FDCWD, path);
}

bool CFileUtils::IsFileWritableAt(int folderFd, const std::string& name) {
  struct stat st {};
  if (name.empty() || ::fstatat(folderFd, name.c_str(), &st, 0) != 0) {
    return false;
  }
  // Root may write anything; a file without any write permission still counts as
  // read-only, as the user marked it so.
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
         ::faccessat(folderFd, name.c_str(), W_OK, 0) == 0;
}

bool CFileUtils::EnsureFileIsWritable(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) {
    return false;
  }
  if (IsFileWritable(path)) {
    return true;
  }
  return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0 && IsFileWritable(path);
}

bool CFileUtils::DeleteFileA(const std::string& path, std::string& error, bool missingIsSuccess,
                             bool keepReadOnly) {
  struct stat st {};
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) {
    if (missingIsSuccess && errno == ENOENT) {
      return true;
    }
    error = CFileError::Describe("delete", path, path.empty() ? ENOENT : errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error = CFileError::Describe("delete", path, EISDIR);
    return false;
  }
  if (keepReadOnly && !S_ISLNK(st.st_mode) && !IsFileWritable(path)) {
    error = CFileError::Describe("delete", path, "the file is read-only");
    return false;
  }
  if (::unlink(path.c_str()) != 0) {
    error = CFileError::Describe("delete", path, errno);
    return false;
  }
  return true;
}

bool CFileUtils::CopyFileA(const std::string& source, const std::string& target,
                           std::string& error) {
  return CopyContent(source, target, false, error);
}

bool CFileUtils::MoveFileA(const std::string& source, const std::string& target,
                           std::string& error) {
  struct stat st {};
  if (source.empty() || ::lstat(source.c_str(), &st) != 0) {
    error = CFileError::Describe("move", source, source.empty() ? ENOENT : errno);
    return false;
  }
  std::string resolved;
  if (!CAtomicFile::ResolveTarget(target, resolved, error) ||
      !CreateParentFolder(resolved, error)) {
    return false;
  }
  if (DoesFileExist(resolved) && !IsFileWritable(resolved)) {
    error = CFileError::Describe("replace", resolved, "the file is read-only");
    return false;
  }
  const bool crossDevice = CFileWriteFaults::Fails(CFileWriteFaults::EStage::CrossDevice);
  if (!crossDevice && ::rename(source.c_str(), resolved.c_str()) == 0) {
    return true;
  }
  if (!crossDevice && errno != EXDEV) {
    error = CFileError::Describe("move", source, errno);
    return false;
  }
  // Another file system: copy, then remove the source. A source that cannot be
  // removed leaves a copy behind, but the target is in place.
  if (!CopyContent(source, resolved, true, error)) {
    return false;
  }
  if (::unlink(source.c_str()) != 0) {
    error = CFileError::Describe("remove the moved file", source, errno);
  }
  return true;
}

bool CFileUtils::GetFileList(const std::string& folder, const std::vector<std::string>& extensions,
                             bool includeHidden, std::vector<std::string>& found, bool recursive,
                             bool followFolderLinks, bool sorted) {
  const std::size_t before = found.size();
  CDirWalker::COptions options;
  options.recursive = recursive;
  options.followFolderLinks = followFolderLinks;
  options.includeHidden = includeHidden;
  const bool ok = CDirWalker::Walk(folder, options, [&](const std::string& path, bool isFolder) {
    if (!isFolder && MatchesExtension(path, extensions)) {
      found.push_back(path);
    }
    return true;
  });
  if (sorted) {
    std::sort(found.begin() + static_cast<std::ptrdiff_t>(before), found.end());
  }
  return ok;
}

bool CFileUtils::HasFile(const std::string& folder, const std::vector<std::string>& extensions,
                         bool recursive, bool followFolderLinks, bool includeHidden,
                         bool skipEmpty) {
  CDirWalker::COptions options;
  options.recursive = recursive;
  options.followFolderLinks = followFolderLinks;
  options.includeHidden = includeHidden;
  bool has = false;
  CDirWalker::Walk(folder, options, [&](const std::string& path, bool isFolder) {
    if (isFolder || !MatchesExtension(path, extensions)) {
      return true;
    }
    std::int64_t size = 0;
    has = !skipEmpty || (GetFileInfo(path, &size, nullptr) && size > 0);
    return !has;
  });
  return has;
}

std::string CFileUtils::ParseFileNameFromPath(const std::string& path, bool withExtension) {
  const std::string_view name = FileNamePart(path);
  const std::size_t dot = name.rfind('.');
  if (withExtension || dot == std::string_view::npos || dot == 0) {
    return std::string(name);
  }
  return std::string(name.substr(0, dot));
}

std::string CFileUtils::GetFileExt(const std::string& path) {
  const std::string_view name = FileNamePart(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) {
    return {};
  }
  return std::string(name.substr(dot + 1));
}

std::string CFileUtils::ReplaceBadFileChars(const std::string& name, const std::string& replacement,
                                            bool wholeName) {
  std::string result;
  result.reserve(name.size());
  bool leading = wholeName;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool bad = byte < 0x20 || byte == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr;
    // A whole name may not start with a dot: hidden, or "." and ".." (a way out).
    if (bad || (leading && c == '.')) {
      result.append(replacement);
      continue;
    }
    leading = false;
    result.push_back(c);
  }
  if (wholeName && (result.empty() || result == "." || result == "..")) {
    result = replacement.empty() || replacement == "." || replacement == ".." ? "_" : replacement;
  }
  return result;
}

bool CFileUtils::GetFileInfo(const std::string& path, std::int64_t* size, std::time_t* mtime) {
  struct stat st {};
  const bool exists = !path.empty() && ::stat(path.c_str(), &st) == 0;
  if (size != nullptr) {
    *size = exists ? static_cast<std::int64_t>(st.st_size) : 0;
  }
  if (mtime != nullptr) {
    *mtime = exists ? st.st_mtime : 0;
  }
  return exists;
}
