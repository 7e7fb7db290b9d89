#include "replace/BackupFolders.h"

#include "projects/ProjectNaming.h"

#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileError.h"

#include <cerrno>
#include <cstdint>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr mode_t kPrivateFolderMode = 0700;
constexpr const char* kClearFailedId = "{058C4C8D-8DC2-49C1-8EEA-189AD42C5262}";

// lstat of a folder path given with its trailing "/" (which would follow a link).
bool StatWithoutLinks(const std::string& folder, struct stat& st) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return ::lstat(path.c_str(), &st) == 0;
}

enum class EPartKind : std::uint8_t { Folder, File };
enum class EPartState : std::uint8_t { Usable, Missing, Refused };

// One part of a backup path: what it must be, and that it is the user's own, so that
// no other account can redirect a backup or an undo through it.
EPartState CheckPart(const std::string& part, EPartKind kind, std::string& error) {
  struct stat st {};
  if (!StatWithoutLinks(part, st)) {
    const int errnum = errno;
    error = CFileError::Describe("use the backup folder", part, errnum);
    return errnum == ENOENT ? EPartState::Missing : EPartState::Refused;
  }
  const char* reason = nullptr;
  if (S_ISLNK(st.st_mode)) {
    reason = "it is a symbolic link";
  } else if (kind == EPartKind::Folder && !S_ISDIR(st.st_mode)) {
    reason = "it is not a folder";
  } else if (kind == EPartKind::File && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    reason = "it is not a regular file";
  } else if (st.st_uid != ::geteuid()) {
    reason = "it belongs to another user";
  }
  if (reason != nullptr) {
    error = CFileError::Describe("use the backup folder", part, reason);
    return EPartState::Refused;
  }
  return EPartState::Usable;
}
} // namespace

std::string CBackupFolders::GetBackupRoot(const std::string& fallback) {
  std::string base = CDirUtils::GetTempDir();
  if (base.empty()) {
    base = fallback;
  }
  return base + kRootName;
}

std::string CBackupFolders::GetBackupFolder(const std::string& projectName,
                                            const std::string& fallback) {
  return GetBackupRoot(fallback) + CProjectNaming::FileStem(projectName) + "/";
}

bool CBackupFolders::IsRootUsable(const std::string& root, std::string& error) {
  return CheckPart(root, EPartKind::Folder, error) == EPartState::Usable;
}

bool CBackupFolders::IsPathSafe(const std::string& root, const std::string& path,
                                std::string& error) {
  // "/x/root" must not admit "/x/rootless/...": the root ends at a folder boundary.
  const bool inside =
      !root.empty() && path.compare(0, root.size(), root) == 0 &&
      (root.back() == '/' || path.size() == root.size() || path[root.size()] == '/');
  if (!inside) {
    error = CFileError::Describe("use the backup", path, "it is not inside the backup folder");
    return false;
  }
  // A missing part ends the walk as safe: nothing below it exists.
  if (const EPartState state = CheckPart(root, EPartKind::Folder, error);
      state != EPartState::Usable) {
    return state == EPartState::Missing;
  }
  std::string part = root;
  if (part.back() != '/') {
    part += '/';
  }
  std::size_t at = root.size();
  while (at < path.size()) {
    const std::size_t slash = path.find('/', at);
    const bool last = slash == std::string::npos;
    const std::string_view name =
        std::string_view(path).substr(at, last ? std::string::npos : slash - at);
    at = last ? path.size() : slash + 1;
    if (name.empty()) {
      continue;
    }
    if (name == "." || name == "..") {
      error = CFileError::Describe("use the backup", path, "it climbs out of the backup folder");
      return false;
    }
    part.append(name);
    if (const EPartState state = CheckPart(part, last ? EPartKind::File : EPartKind::Folder, error);
        state != EPartState::Usable) {
      return state == EPartState::Missing;
    }
    part += '/';
  }
  return true;
}

bool CBackupFolders::PrepareRoot(const std::string& root, std::string& error) {
  if (::mkdir(root.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) {
    error = CFileError::Describe("create the backup folder", root, errno);
    return false;
  }
  return IsRootUsable(root, error);
}

bool CBackupFolders::ClearBackupRoot(const std::string& fallback) {
  const std::string root = GetBackupRoot(fallback);
  struct stat st {};
  if (!StatWithoutLinks(root, st) && errno == ENOENT) {
    return true;
  }
  std::string error;
  if (!IsRootUsable(root, error) || !CDirUtils::ClearDirectory(root, error, true, false, true)) {
    CAppLogger::Log(kClearFailedId);
    return false;
  }
  return true;
}
