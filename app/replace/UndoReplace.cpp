#include "replace/UndoReplace.h"

#include "replace/BackupFolders.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileError.h"
#include "utilcore/FileUtils.h"
#include "utilcore/NumberTextConv.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr const char* kBackupMissingId = "{39343EF6-B750-4FE6-8595-437A7EDEA4DB}";
constexpr const char* kRestoreFailedId = "{F49E758D-CB5C-411E-AAB8-CBC3CAEBF503}";
constexpr std::string_view kRestoreAction = "restore the backup";

/// Whether `path` is a regular file itself (a folder is never moved into a site).
bool IsRegularFile(const std::string& path, std::string& error) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    error = CFileError::Describe(kRestoreAction, path, errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = CFileError::Describe(kRestoreAction, path, "it is not a regular file");
    return false;
  }
  return true;
}

/// Whether `relative` stays below the folder it is appended to.
bool IsInsideRoot(std::string_view relative) {
  if (relative.empty() || relative.front() == '/' || relative.back() == '/') {
    return false;
  }
  std::size_t begin = 0;
  while (begin <= relative.size()) {
    std::size_t end = relative.find('/', begin);
    if (end == std::string_view::npos) {
      end = relative.size();
    }
    const std::string_view part = relative.substr(begin, end - begin);
    if (part == "." || part == "..") {
      return false;
    }
    begin = end + 1;
  }
  return true;
}

/// The file a backup belongs to, relative to the site's root: the part after the
/// project's backup folder without the "b<number>" the backup name ends in. The
/// backup root (up to and including "Pagelint_Backup/") goes to `backupRoot`.
bool SplitBackupPath(const std::string& backup, const std::string& projectName,
                     std::string& backupRoot, std::string& relative, std::string& error) {
  const std::string projectFolder = std::string(CBackupFolders::kRootName) +
                                    CFileUtils::ReplaceBadFileChars(projectName, "_", true) + "/";
  const std::size_t at = backup.find(projectFolder);
  if (at == std::string::npos) {
    error =
        CFileError::Describe(kRestoreAction, backup, "it is not in the project's backup folder");
    return false;
  }
  backupRoot = backup.substr(0, at + std::strlen(CBackupFolders::kRootName));
  relative = backup.substr(at + projectFolder.size());
  const std::size_t number = relative.rfind('b');
  const std::size_t slash = relative.rfind('/');
  const bool numbered = number != std::string::npos && number + 1 < relative.size() &&
                        (slash == std::string::npos || number > slash) &&
                        relative.find_first_not_of("0123456789", number + 1) == std::string::npos;
  if (!numbered) {
    error = CFileError::Describe(kRestoreAction, backup, "it is not a backup's name");
    return false;
  }
  relative.erase(number);
  if (!IsInsideRoot(relative)) {
    error = CFileError::Describe(kRestoreAction, backup, "it would restore outside the site");
    return false;
  }
  return true;
}

bool RestoreOne(const std::string& rootDirectory, const std::string& projectName,
                const std::string& backup, std::string& error) {
  std::string backupRoot;
  std::string relative;
  if (!SplitBackupPath(backup, projectName, backupRoot, relative, error) ||
      !CBackupFolders::IsRootUsable(backupRoot, error) ||
      !CBackupFolders::IsPathSafe(backupRoot, backup, error) || !IsRegularFile(backup, error)) {
    return false;
  }
  std::string target = rootDirectory;
  if (!target.empty() && target.back() != '/') {
    target += '/';
  }
  return CFileUtils::MoveFileA(backup, target + relative, error);
}

} // namespace

CUndoReplace::CUndoReplace(std::string word, std::string replacement,
                           std::vector<std::string> backups)
    : m_word(std::move(word)), m_replacement(std::move(replacement)),
      m_backups(std::move(backups)) {}

std::string CUndoReplace::GetUndoPrompt() const {
  if (m_backups.empty()) {
    return {};
  }
  const std::string count = m_backups.size() == 1
                                ? std::string("one file")
                                : CNumberTextConv::NumberToString(
                                      static_cast<std::int64_t>(m_backups.size()), true, 0, "") +
                                      " files";
  return "Pagelint is about to undo the last replacement you applied. This will restore the " +
         count + " wherein \"" + m_word + "\" was replaced with \"" + m_replacement +
         "\".\n\nContinue?";
}

void CUndoReplace::RewriteBackupPaths(const std::string& oldFolder, const std::string& newFolder) {
  if (oldFolder.empty() || oldFolder == newFolder) {
    return;
  }
  for (std::string& backup : m_backups) {
    if (backup.starts_with(oldFolder)) {
      backup.replace(0, oldFolder.size(), newFolder);
    }
  }
}

int CUndoReplace::UndoReplacement(const std::string& rootDirectory, const std::string& projectName,
                                  const std::vector<std::string>& backups) {
  int restored = 0;
  for (const std::string& backup : backups) {
    if (backup.empty()) {
      continue;
    }
    if (!CFileUtils::DoesFileExist(backup)) {
      CAppLogger::LogWithError(kBackupMissingId, " - " + backup);
      continue;
    }
    std::string error;
    if (!RestoreOne(rootDirectory, projectName, backup, error)) {
      CAppLogger::LogFileError(kRestoreFailedId, backup, error);
      continue;
    }
    ++restored;
  }
  return restored;
}
