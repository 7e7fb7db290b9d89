#include "utilcore/AtomicFile.h"

#include "utilcore/DirUtils.h"
#include "utilcore/FileError.h"
#include "utilcore/FileUtils.h"
#include "utilcore/FileWriteFaults.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using EStage = CFileWriteFaults::EStage;

// Room for ".", ".tmp-" and the random part within the 255 bytes of a file name.
constexpr std::size_t kMaxNameInTemporary = 200;

std::string RandomSuffix() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 engine{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
  std::string suffix(8, 'x');
  for (char& c : suffix) {
    c = kChars[pick(engine)];
  }
  return suffix;
}

bool WriteAll(int fd, std::string_view bytes, std::uint64_t& written) {
  while (!bytes.empty()) {
    const std::uint64_t allowance = CFileWriteFaults::WriteAllowance(written);
    if (allowance == 0) {
      errno = ENOSPC;
      return false;
    }
    const std::size_t chunk =
        static_cast<std::size_t>(std::min<std::uint64_t>(allowance, bytes.size()));
    const ssize_t n = ::write(fd, bytes.data(), chunk);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    written += static_cast<std::uint64_t>(n);
  }
  return true;
}

// Makes the rename itself survive a crash; a folder that cannot be flushed does not
// undo a write that already happened, so failures here are not reported.
void SyncFolder(const std::string& folder) {
  CFileDescriptor dir(
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.IsValid()) {
    ::fsync(dir.Get());
  }
}

} // namespace

CAtomicFile::~CAtomicFile() {
  Discard();
}

bool CAtomicFile::ResolveTarget(const std::string& path, std::string& resolved,
                                std::string& error) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    resolved = path;
    return true;
  }
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
  if (!real) {
    error = CFileError::Describe("follow the link", path, errno);
    return false;
  }
  resolved = real.get();
  return true;
}

bool CAtomicFile::Open(const std::string& path, std::string& error, mode_t newFileMode) {
  Discard();
  m_folder.Reset();
  CFileWriteFaults::StartFile();
  if (path.empty() || path.back() == '/') {
    return Fail(error, CFileError::Describe("write", path, "not a file name"));
  }
  if (!ResolveTarget(path, m_target, error)) {
    return false;
  }
  m_display = m_target;
  struct stat st {};
  const bool exists = ::stat(m_target.c_str(), &st) == 0;
  return Start(exists, st, newFileMode, error);
}

bool CAtomicFile::OpenIn(int folderFd, const std::string& name, const std::string& displayPath,
                         std::string& error, mode_t newFileMode) {
  Discard();
  CFileWriteFaults::StartFile();
  m_display = displayPath;
  m_target = name;
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
    return Fail(error, CFileError::Describe("write", displayPath, "not a file name"));
  }
  m_folder = CFileDescriptor(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
  if (!m_folder.IsValid()) {
    return Fail(error, CFileError::Describe("write", displayPath, errno));
  }
  struct stat st {};
  const bool exists = ::fstatat(FolderFd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT) {
    return Fail(error, CFileError::Describe("write", displayPath, errno));
  }
  return Start(exists, st, newFileMode, error);
}

void CAtomicFile::RequireUnchanged(const CFileStamp& stamp) {
  m_checkUnchanged = true;
  m_unchanged = stamp;
}

int CAtomicFile::FolderFd() const {
  return m_folder.IsValid() ? m_folder.Get() : AT_FDCWD;
}

bool CAtomicFile::Start(bool exists, const struct stat& st, mode_t newFileMode,
                        std::string& error) {
  m_checkUnchanged = false;
  if (exists && !S_ISREG(st.st_mode)) {
    return Fail(error, CFileError::Describe("write", m_display, "not a regular file"));
  }
  if (exists && !CFileUtils::IsFileWritableAt(FolderFd(), m_target)) {
    return Fail(error, CFileError::Describe("write", m_display, "the file is read-only"));
  }
  if (!CreateTemporary(exists ? S_IRUSR | S_IWUSR : newFileMode, error)) {
    return false;
  }
  if (exists) {
    TakeOverAttributes(st);
  }
  return true;
}

bool CAtomicFile::CreateTemporary(mode_t mode, std::string& error) {
  const std::string folder = CDirUtils::ParsePathFromFile(m_target);
  std::string name = m_target.substr(folder.size());
  name.resize(std::min(name.size(), kMaxNameInTemporary));
  const std::string shownFolder = CDirUtils::ParsePathFromFile(m_display);
  if (CFileWriteFaults::Fails(EStage::Open)) {
    return Fail(error, CFileError::Describe("create a file in", shownFolder, EACCES));
  }
  // A name that no file list picks up: hidden, and its extension is not the target's.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = folder + "." + name + ".tmp-" + RandomSuffix();
    const int fd = ::openat(FolderFd(), temporary.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd >= 0) {
      m_fd = CFileDescriptor(fd);
      m_temporary = std::move(temporary);
      m_written = 0;
      return true;
    }
    if (errno != EEXIST) {
      return Fail(error, CFileError::Describe("create a file in",
                                              shownFolder.empty() ? "." : shownFolder, errno));
    }
  }
  return Fail(error, CFileError::Describe("create a file in", shownFolder, EEXIST));
}

void CAtomicFile::TakeOverAttributes(const struct stat& target) {
  // Owner first: changing it clears set-id bits, which the mode then restores. Only
  // root may give a file away; anyone else keeps their own file.
  struct stat own {};
  if (::fstat(m_fd.Get(), &own) == 0 &&
      (own.st_uid != target.st_uid || own.st_gid != target.st_gid)) {
    if (::fchown(m_fd.Get(), target.st_uid, target.st_gid) != 0) {
      // A group the user belongs to can still be kept.
      [[maybe_unused]] const int ignored =
          ::fchown(m_fd.Get(), static_cast<uid_t>(-1), target.st_gid);
    }
  }
  ::fchmod(m_fd.Get(), target.st_mode & 07777);
}

void CAtomicFile::SetPermissions(mode_t mode) {
  if (m_fd.IsValid()) {
    ::fchmod(m_fd.Get(), mode);
  }
}

bool CAtomicFile::Write(std::string_view bytes, std::string& error) {
  if (!m_fd.IsValid()) {
    return Fail(error, CFileError::Describe("write", m_display, EBADF));
  }
  if (!WriteAll(m_fd.Get(), bytes, m_written)) {
    return Fail(error, CFileError::Describe("write", m_display, errno));
  }
  return true;
}

bool CAtomicFile::Commit(std::string& error) {
  if (!m_fd.IsValid()) {
    return Fail(error, CFileError::Describe("write", m_display, EBADF));
  }
  if (CFileWriteFaults::Fails(EStage::Sync)) {
    return Fail(error, CFileError::Describe("flush", m_display, EIO));
  }
  if (::fsync(m_fd.Get()) != 0) {
    return Fail(error, CFileError::Describe("flush", m_display, errno));
  }
  // Some file systems report a failed write only when the file is closed.
  if (m_fd.Reset() != 0) {
    return Fail(error, CFileError::Describe("write", m_display, errno));
  }
  if (CFileWriteFaults::Fails(EStage::Rename)) {
    return Fail(error, CFileError::Describe("replace", m_display, EIO));
  }
  if (std::string why; m_checkUnchanged && !IsTargetUnchanged(why)) {
    return Fail(error, std::move(why));
  }
  if (::renameat(FolderFd(), m_temporary.c_str(), FolderFd(), m_target.c_str()) != 0) {
    return Fail(error, CFileError::Describe("replace", m_display, errno));
  }
  m_temporary.clear();
  if (m_folder.IsValid()) {
    ::fsync(m_folder.Get());
  } else {
    SyncFolder(CDirUtils::ParsePathFromFile(m_target));
  }
  return true;
}

bool CAtomicFile::IsTargetUnchanged(std::string& error) const {
  struct stat st {};
  if (::fstatat(FolderFd(), m_target.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(st.st_mode) || CFileStamp::From(st) != m_unchanged) {
    error = CFileError::Describe("replace", m_display, "it was changed meanwhile");
    return false;
  }
  return true;
}

void CAtomicFile::Discard() {
  m_fd.Reset();
  if (!m_temporary.empty()) {
    ::unlinkat(FolderFd(), m_temporary.c_str(), 0);
    m_temporary.clear();
  }
}

bool CAtomicFile::Fail(std::string& error, std::string text) {
  error = std::move(text);
  Discard();
  return false;
}
