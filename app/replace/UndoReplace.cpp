#include "replace/UndoReplace.h"

#include "projects/ProjectNaming.h"
#include "replace/BackupFolders.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileError.h"
#include "utilcore/FileStamp.h"
#include "utilcore/FileUtils.h"
#include "utilcore/NumberTextConv.h"
#include "utilcore/SiteFile.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr const char* kBackupMissingId = "{39343EF6-B750-4FE6-8595-437A7EDEA4DB}";
constexpr const char* kRestoreFailedId = "{F49E758D-CB5C-411E-AAB8-CBC3CAEBF503}";
constexpr const char* kChangedPageId = "{52C33F55-3CA3-44EE-B5CB-C1A11669D96B}";
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

/// The file a backup belongs to, relative to the site's root: the part after the
/// project's backup folder without the "b<number>" the backup name ends in. The
/// backup root (up to and including "Pagelint_Backup/") goes to `backupRoot`.
bool SplitBackupPath(const std::string& backup, const std::string& projectName,
                     std::string& backupRoot, std::string& relative, std::string& error) {
  const std::string projectFolder =
      std::string(CBackupFolders::kRootName) + CProjectNaming::FileStem(projectName) + "/";
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
  if (!CSiteFile::IsPlainRelative(relative)) {
    error = CFileError::Describe(kRestoreAction, backup, "it would restore outside the site");
    return false;
  }
  return true;
}

/// One undo's walk over its backups.
class CRestorer {
public:
  CRestorer(const std::string& root, const std::string& projectName,
            const CUndoReplace::RestoreChanged* restoreChanged)
      : m_root(root), m_projectName(projectName), m_restoreChanged(restoreChanged) {}

  /// `written`: what the replacement wrote to the backup's page; null restores unasked.
  void Restore(const std::string& backup, const CContentFingerprint* written) {
    if (backup.empty()) {
      return;
    }
    if (!CFileUtils::DoesFileExist(backup)) {
      CAppLogger::LogWithError(kBackupMissingId, " - " + backup);
      m_result.failed.push_back({backup, SUnchangedFile::EWhy::kNotWritten, "its backup is gone"});
      return;
    }
    std::string relative;
    std::string error;
    if (!CheckBackup(backup, relative, error)) {
      Fail(backup, error);
      return;
    }
    CSiteFile page;
    const bool opened = page.Open(m_root, relative, CSiteFile::EFolders::kMustExist, error);
    if (!opened && !page.IsFolderMissing()) {
      Fail(page.Path(), error);
      return;
    }
    CFileStamp stamp;
    bool exists = false;
    if (opened && !ReadStamp(page, stamp, exists, error)) {
      Fail(page.Path(), error);
      return;
    }
    if (written != nullptr && !HoldsWritten(page, exists, *written) && !AskRestore(page.Path())) {
      return;
    }
    if (!WriteBack(backup, relative, page, exists ? &stamp : nullptr, error)) {
      Fail(page.Path(), error);
      return;
    }
    ++m_result.restored;
  }

  CUndoReplace::SRestoreResult TakeResult() { return std::move(m_result); }

private:
  // The backup is ours (in the project's backup folder, whose folders are the user's
  // own) and names a page inside the site; `relative` is that page below the root.
  bool CheckBackup(const std::string& backup, std::string& relative, std::string& error) const {
    std::string backupRoot;
    return SplitBackupPath(backup, m_projectName, backupRoot, relative, error) &&
           CBackupFolders::IsRootUsable(backupRoot, error) &&
           CBackupFolders::IsPathSafe(backupRoot, backup, error) && IsRegularFile(backup, error);
  }

  static bool ReadStamp(const CSiteFile& page, CFileStamp& stamp, bool& exists,
                        std::string& error) {
    bool missing = false;
    exists = page.Stat(stamp, missing, error);
    return exists || missing;
  }

  // Whether the page still holds exactly what the replacement wrote.
  static bool HoldsWritten(const CSiteFile& page, bool exists, const CContentFingerprint& written) {
    std::string bytes;
    std::string error;
    struct stat info {};
    return exists && page.Read(bytes, info, error, written.size) &&
           CContentFingerprint::Of(bytes) == written;
  }

  bool AskRestore(const std::string& page) {
    const bool restore =
        m_restoreChanged != nullptr && *m_restoreChanged && (*m_restoreChanged)(page);
    CAppLogger::LogFileError(kChangedPageId, page,
                             restore ? "changed since the replacement: restored anyway, the "
                                       "later change is lost"
                                     : "changed since the replacement: kept as it is");
    if (!restore) {
      m_result.keptChanged.push_back(page);
    }
    return restore;
  }

  // Writes the backup's content over the page (only while the page is as it was seen,
  // `stamp`; a missing page and its folders are made) and removes the backup.
  bool WriteBack(const std::string& backup, const std::string& relative, CSiteFile& page,
                 const CFileStamp* stamp, std::string& error) const {
    std::string bytes;
    struct stat info {};
    if (::stat(backup.c_str(), &info) != 0 ||
        !CFileUtils::ReadFileBytes(backup, bytes, error,
                                   static_cast<std::uint64_t>(info.st_size))) {
      if (error.empty()) {
        error = CFileError::Describe(kRestoreAction, backup, errno);
      }
      return false;
    }
    if (stamp == nullptr && !page.Open(m_root, relative, CSiteFile::EFolders::kCreate, error)) {
      return false;
    }
    if (!page.Write(bytes, stamp, error, info.st_mode & 0777)) {
      return false;
    }
    std::string ignored;
    CFileUtils::DeleteFileA(backup, ignored, true);
    return true;
  }

  void Fail(const std::string& path, const std::string& error) {
    CAppLogger::LogFileError(kRestoreFailedId, path, error);
    m_result.failed.push_back({path, SUnchangedFile::EWhy::kNotWritten, error});
  }

  const std::string& m_root;
  const std::string& m_projectName;
  const CUndoReplace::RestoreChanged* m_restoreChanged;
  CUndoReplace::SRestoreResult m_result;
};

} // namespace

CUndoReplace::CUndoReplace(std::string word, std::string replacement,
                           std::vector<std::string> backups,
                           std::vector<CContentFingerprint> written)
    : m_word(std::move(word)), m_replacement(std::move(replacement)), m_backups(std::move(backups)),
      m_written(std::move(written)) {}

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

CUndoReplace::SRestoreResult CUndoReplace::Restore(const std::string& rootDirectory,
                                                   const std::string& projectName,
                                                   const RestoreChanged& restoreChanged) const {
  CRestorer restorer(rootDirectory, projectName, &restoreChanged);
  const bool fingerprinted = m_written.size() == m_backups.size();
  for (std::size_t i = 0; i < m_backups.size(); ++i) {
    restorer.Restore(m_backups[i], fingerprinted ? &m_written[i] : nullptr);
  }
  return restorer.TakeResult();
}

int CUndoReplace::UndoReplacement(const std::string& rootDirectory, const std::string& projectName,
                                  const std::vector<std::string>& backups) {
  CRestorer restorer(rootDirectory, projectName, nullptr);
  for (const std::string& backup : backups) {
    restorer.Restore(backup, nullptr);
  }
  return restorer.TakeResult().restored;
}
