#include "replace/BackupFolders.h"

#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileError.h"
#include "utilcore/FileUtils.h"

#include <cerrno>
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
  return GetBackupRoot(fallback) + CFileUtils::ReplaceBadFileChars(projectName, "_", true) + "/";
}

bool CBackupFolders::IsRootUsable(const std::string& root, std::string& error) {
  struct stat st {};
  if (!StatWithoutLinks(root, st)) {
    error = CFileError::Describe("use the backup folder", root, errno);
    return false;
  }
  if (S_ISLNK(st.st_mode)) {
    error = CFileError::Describe("use the backup folder", root, "it is a symbolic link");
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    error = CFileError::Describe("use the backup folder", root, "it is not a folder");
    return false;
  }
  if (st.st_uid != ::geteuid()) {
    error = CFileError::Describe("use the backup folder", root, "it belongs to another user");
    return false;
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
