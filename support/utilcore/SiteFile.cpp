#include "utilcore/SiteFile.h"

#include "utilcore/AtomicFile.h"
#include "utilcore/FileError.h"
#include "utilcore/FileUtils.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::string_view kAction = "reach";

// The parts of a path below the root; false for an absolute path, an empty part, "."
// or "..", any of which could climb out of the root or name the root itself.
bool SplitPlainRelative(std::string_view relative, std::vector<std::string_view>& parts) {
  parts.clear();
  if (relative.empty() || relative.front() == '/' || relative.back() == '/') {
    return false;
  }
  while (!relative.empty()) {
    const std::size_t slash = relative.find('/');
    const std::string_view part = relative.substr(0, slash);
    if (part.empty() || part == "." || part == "..") {
      return false;
    }
    parts.push_back(part);
    relative.remove_prefix(slash == std::string_view::npos ? relative.size() : slash + 1);
  }
  return true;
}

// realpath(3) as a string; false (errno set) when the path does not resolve.
bool RealPath(const std::string& path, std::string& real) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
  if (!resolved) {
    return false;
  }
  real = resolved.get();
  return true;
}

// The part of `real` below `realRoot` ("" for the root itself); false when `real` lies
// elsewhere.
bool BelowRoot(const std::string& realRoot, const std::string& real, std::string& inside) {
  if (real == realRoot) {
    inside.clear();
    return true;
  }
  const std::string prefix = realRoot == "/" ? realRoot : realRoot + "/";
  if (!real.starts_with(prefix)) {
    return false;
  }
  inside = real.substr(prefix.size());
  return true;
}

bool IsLink(int folderFd, const std::string& name) {
  struct stat st {};
  return ::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

// Opens the folder `name` of `parent` without following a link; with kCreate a missing
// one is made first.
CFileDescriptor OpenFolder(int parent, const std::string& name, CSiteFile::EFolders folders) {
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  CFileDescriptor fd(::openat(parent, name.c_str(), kFlags));
  if (!fd.IsValid() && errno == ENOENT && folders == CSiteFile::EFolders::kCreate &&
      (::mkdirat(parent, name.c_str(), 0777) == 0 || errno == EEXIST)) {
    fd = CFileDescriptor(::openat(parent, name.c_str(), kFlags));
  }
  return fd;
}

} // namespace

bool CSiteFile::IsPlainRelative(std::string_view relative) {
  std::vector<std::string_view> parts;
  return SplitPlainRelative(relative, parts);
}

bool CSiteFile::Open(const std::string& root, std::string_view relative, EFolders folders,
                     std::string& error) {
  m_folder.Reset();
  m_folderMissing = false;
  m_path = root;
  if (!m_path.empty() && m_path.back() != '/') {
    m_path += '/';
  }
  m_path.append(relative);
  std::string realRoot;
  std::string inside;
  return Resolve(root, relative, folders, realRoot, inside, error) &&
         Walk(realRoot, inside, folders, error);
}

// Where the file lies below the resolved root: the longest part of its path that
// exists is resolved (links inside the root followed), and the missing rest, which no
// link can be part of, is kept as it is.
bool CSiteFile::Resolve(const std::string& root, std::string_view relative, EFolders folders,
                        std::string& realRoot, std::string& inside, std::string& error) {
  std::vector<std::string_view> parts;
  if (!SplitPlainRelative(relative, parts)) {
    error = CFileError::Describe(kAction, m_path, "it is not a path inside the site's folder");
    return false;
  }
  if (!RealPath(root, realRoot)) {
    m_folderMissing = errno == ENOENT;
    error = CFileError::Describe(kAction, root, errno);
    return false;
  }
  for (std::size_t existing = parts.size() + 1; existing-- > 0;) {
    std::string prefix = root;
    for (std::size_t i = 0; i < existing; ++i) {
      prefix.append("/").append(parts[i]);
    }
    std::string real;
    if (!RealPath(prefix, real)) {
      if (errno == ENOENT) {
        continue;
      }
      error = CFileError::Describe(kAction, m_path, errno);
      return false;
    }
    if (!BelowRoot(realRoot, real, inside)) {
      error = CFileError::Describe(kAction, m_path, kOutsideRoot);
      return false;
    }
    // Only the page itself may be missing, unless folders are to be made.
    if (folders == EFolders::kMustExist && existing + 1 < parts.size()) {
      m_folderMissing = true;
      error = CFileError::Describe(kAction, m_path, ENOENT);
      return false;
    }
    for (std::size_t i = existing; i < parts.size(); ++i) {
      inside.append(inside.empty() ? "" : "/").append(parts[i]);
    }
    return true;
  }
  error = CFileError::Describe(kAction, m_path, ENOENT);
  return false;
}

bool CSiteFile::Walk(const std::string& realRoot, std::string_view inside, EFolders folders,
                     std::string& error) {
  std::vector<std::string_view> parts;
  if (!SplitPlainRelative(inside, parts)) {
    // The path resolved to the root itself, or to a folder of it.
    error = CFileError::Describe(kAction, m_path, "not a regular file");
    return false;
  }
  CFileDescriptor folder(::open(realRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  for (std::size_t i = 0; folder.IsValid() && i + 1 < parts.size(); ++i) {
    const std::string name(parts[i]);
    CFileDescriptor next = OpenFolder(folder.Get(), name, folders);
    if (!next.IsValid()) {
      // A folder swapped for a link since the path was resolved.
      const int errnum = errno;
      error = IsLink(folder.Get(), name) ? CFileError::Describe(kAction, m_path, kOutsideRoot)
                                         : CFileError::Describe(kAction, m_path, errnum);
      return false;
    }
    folder = std::move(next);
  }
  if (!folder.IsValid()) {
    error = CFileError::Describe(kAction, realRoot, errno);
    return false;
  }
  m_folder = std::move(folder);
  m_name = std::string(parts.back());
  return true;
}

bool CSiteFile::Stat(CFileStamp& stamp, bool& missing, std::string& error) const {
  missing = false;
  error.clear();
  struct stat st {};
  if (::fstatat(m_folder.Get(), m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    missing = errno == ENOENT;
    if (!missing) {
      error = CFileError::Describe(kAction, m_path, errno);
    }
    return false;
  }
  // The resolved path holds no link: one here now was swapped in, or leads nowhere.
  if (S_ISLNK(st.st_mode)) {
    error = CFileError::Describe(kAction, m_path, kOutsideRoot);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = CFileError::Describe(kAction, m_path, "not a regular file");
    return false;
  }
  stamp = CFileStamp::From(st);
  return true;
}

bool CSiteFile::Read(std::string& bytes, struct stat& info, std::string& error,
                     std::uint64_t maxBytes) const {
  bool missing = false;
  if (CFileStamp stamp; !Stat(stamp, missing, error)) {
    if (missing) {
      error = CFileError::Describe("read", m_path, ENOENT);
    }
    return false;
  }
  return CFileUtils::ReadFileBytesAt(m_folder.Get(), m_name, m_path, bytes, info, error, maxBytes);
}

bool CSiteFile::IsWritable() const {
  return m_folder.IsValid() && CFileUtils::IsFileWritableAt(m_folder.Get(), m_name);
}

bool CSiteFile::Write(std::string_view bytes, const CFileStamp* unchangedSince, std::string& error,
                      unsigned newFileMode) const {
  CAtomicFile file;
  if (!file.OpenIn(m_folder.Get(), m_name, m_path, error, static_cast<mode_t>(newFileMode))) {
    return false;
  }
  if (unchangedSince != nullptr) {
    file.RequireUnchanged(*unchangedSince);
  }
  return file.Write(bytes, error) && file.Commit(error);
}
