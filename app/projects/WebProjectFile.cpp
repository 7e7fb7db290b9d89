// The project's data file: loading, saving, renaming and deleting it.
#include "projects/WebProject.h"

#include "projects/ProjectDataFile.h"
#include "projects/ProjectNaming.h"
#include "replace/BackupFolders.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/AppLogger.h"
#include "utilcore/ArchiveException.h"
#include "utilcore/AtomicFile.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileException.h"
#include "utilcore/FileUtils.h"
#include "utilcore/ZebUtils.h"

namespace {

// A data file holds a name, a folder and a few short lists; anything larger is not
// one, and reading it whole would only waste memory.
constexpr std::uint64_t kMaxDataFileBytes = 16ULL * 1024 * 1024;

namespace LogId {
constexpr const char* kNoDataPath = "{73652F43-368E-418D-9A89-6331BB5A0D45}";
constexpr const char* kNotADataFile = "{FC719034-9B4A-45EF-A763-792F18C3C376}";
constexpr const char* kDataFileMissing = "{264F00B3-6B3F-4F6F-8063-FCFCF48296A5}";
constexpr const char* kArchiveError = "{A0BEB667-EA94-45CE-AD8C-DE8DFCF6FB60}";
constexpr const char* kFileError = "{40363C25-6A12-48ad-A244-0EC6F01A1ABC}";
constexpr const char* kOtherLoadError = "{43528280-2A5E-4088-BA1A-D18B25ADE10B}";
constexpr const char* kNoSavePath = "{E129C0D9-25B0-4AF6-A5E5-8ABD4C1C13BB}";
constexpr const char* kSavePathNotADataFile = "{31A2BBF2-190E-40F3-84F1-D732A2488CB1}";
constexpr const char* kReadOnlyDataFile = "{20F8C8F3-A0A8-4497-AA52-68EB7B2CF120}";
constexpr const char* kWriteFailed = "{1A7211AD-F9DB-4F9B-8C22-DA96F86D442A}";
constexpr const char* kCreateFailed = "{6DC85668-3ED0-47C8-9228-50D8E13AC257}";
constexpr const char* kIgnoreMoveFailed = "{1E9FB801-1562-477F-A68E-AA796A59A6E2}";
} // namespace LogId

std::string IgnoreDictionaryFile(const std::string& projectName) {
  return CZebUtils::GetCustomDictionaryPath() + CProjectNaming::IgnoreDictionaryName(projectName) +
         ".dic";
}

/// Writes `bytes` to `path` in place of the old file, which stays whole on failure.
bool WriteDataFile(const std::string& path, const std::string& bytes) {
  std::string error;
  CDirUtils::CreateDirectoryA(CDirUtils::ParsePathFromFile(path));
  CAtomicFile file;
  if (!file.Open(path, error)) {
    CAppLogger::LogFileError(LogId::kCreateFailed, path, error);
    return false;
  }
  if (!file.Write(bytes, error) || !file.Commit(error)) {
    CAppLogger::LogFileError(LogId::kWriteFailed, path, error);
    return false;
  }
  return true;
}

bool DeleteDataFile(const std::string& path) {
  std::string error;
  CFileUtils::EnsureFileIsWritable(path);
  return CFileUtils::DeleteFileA(path, error, true);
}

std::vector<std::string> DictionaryNamesToSave(const std::vector<std::string>& loadedNames,
                                               const std::vector<int>& activeIds) {
  // Names not yet resolved by a start are the project's choice as it was loaded.
  if (!loadedNames.empty()) {
    return loadedNames;
  }
  std::vector<std::string> names;
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return names;
  }
  for (const int id : activeIds) {
    std::string name;
    speller->GetDictionaryName(id, name);
    // An id the speller does not know names no dictionary; storing "" would not
    // bring one back.
    if (!name.empty()) {
      names.push_back(std::move(name));
    }
  }
  return names;
}

void MoveIgnoreDictionaryFile(const std::string& oldName, const std::string& newName) {
  const std::string from = IgnoreDictionaryFile(oldName);
  const std::string to = IgnoreDictionaryFile(newName);
  if (from == to || !CFileUtils::DoesFileExist(from)) {
    return;
  }
  std::string error;
  if (CFileUtils::DoesFileExist(to)) {
    // Another dictionary's words are never overwritten.
    CAppLogger::LogWithError(LogId::kIgnoreMoveFailed, to + " exists already");
    return;
  }
  if (!CFileUtils::MoveFileA(from, to, error)) {
    CAppLogger::LogWithError(LogId::kIgnoreMoveFailed, error);
  }
}

} // namespace

std::string CWebProject::GetDataFilePath(const std::string& name) const {
  std::string folder = CProjectNaming::IsDataFilePath(m_dataPath)
                           ? CDirUtils::ParsePathFromFile(m_dataPath)
                           : m_dataPath;
  // Without a data folder a project has no data file (never one in the working folder).
  if (folder.empty()) {
    return {};
  }
  CDirUtils::EnsureTrailingBackslash(folder);
  return folder + CProjectNaming::DataFileName(name);
}

bool CWebProject::LoadProject() {
  if (m_dataPath.empty()) {
    CAppLogger::Log(LogId::kNoDataPath);
    return false;
  }
  if (!CProjectNaming::IsDataFilePath(m_dataPath)) {
    CAppLogger::Log(LogId::kNotADataFile);
    return false;
  }
  if (!CFileUtils::DoesFileExist(m_dataPath)) {
    CAppLogger::Log(LogId::kDataFileMissing);
    return false;
  }
  std::string bytes;
  std::string error;
  if (!CFileUtils::ReadFileBytes(m_dataPath, bytes, error, kMaxDataFileBytes)) {
    CAppLogger::LogFileError(LogId::kFileError, m_dataPath, error);
    return false;
  }
  if (bytes.empty()) {
    return false;
  }
  try {
    // Parsed whole before anything is taken, so a damaged file changes nothing.
    CProjectDataFile::SContent content = CProjectDataFile::Read(bytes, m_dataPath);
    m_name = std::move(content.name);
    m_rootDirectory = std::move(content.rootDirectory);
    if (content.version == 1) {
      SetActiveDictionaries(
          std::vector<int>(content.dictionaryIds.begin(), content.dictionaryIds.end()));
    } else {
      m_loadedDictionaryNames = std::move(content.dictionaryNames);
    }
    m_filters = std::move(content.filters);
    m_options = content.options;
    return true;
  } catch (const CArchiveException& e) {
    CAppLogger::LogFileError(LogId::kArchiveError, e);
  } catch (const CFileException& e) {
    CAppLogger::LogFileError(LogId::kFileError, e);
  } catch (...) {
    CAppLogger::Log(LogId::kOtherLoadError);
  }
  return false;
}

bool CWebProject::SaveProject(bool outOfDate) {
  const std::string path = GetDataFilePath(m_name);
  if (path.empty()) {
    CAppLogger::Log(LogId::kNoSavePath);
    return false;
  }
  if (!CProjectNaming::IsDataFilePath(path)) {
    CAppLogger::Log(LogId::kSavePathNotADataFile);
    return false;
  }
  if (CFileUtils::DoesFileExist(path) && !CFileUtils::IsFileWritable(path) &&
      !CFileUtils::EnsureFileIsWritable(path)) {
    CAppLogger::Log(LogId::kReadOnlyDataFile);
    std::string error;
    CFileUtils::DeleteFileA(path, error);
  }

  CProjectDataFile::SContent content;
  content.name = m_name;
  content.rootDirectory = m_rootDirectory;
  content.dictionaryNames = DictionaryNamesToSave(m_loadedDictionaryNames, m_activeDictionaries);
  content.filters = m_filters;
  content.options = m_options;
  std::string bytes;
  try {
    bytes = CProjectDataFile::Write(content, path);
  } catch (const CArchiveException& e) {
    CAppLogger::LogFileError(LogId::kWriteFailed, e);
    return false;
  }
  if (!WriteDataFile(path, bytes)) {
    return false;
  }
  // After a rename the data path still names the old file: it goes only now that
  // the new one is written, so a failed save never loses the project.
  const std::string previous = std::exchange(m_dataPath, path);
  if (previous != path && CProjectNaming::IsDataFilePath(previous)) {
    DeleteDataFile(previous);
  }
  if (outOfDate) {
    SetCheckState(ECheckState::OutOfDate);
  }
  return true;
}

void CWebProject::RenameProject(const std::string& newName) {
  if (newName == m_name) {
    return;
  }
  // The document has moved the backup folder to the new name already.
  const std::string dataDirectory = CDirUtils::ParsePathFromFile(m_dataPath);
  m_undoList.RewriteBackupPaths(CBackupFolders::GetBackupFolder(m_name, dataDirectory),
                                CBackupFolders::GetBackupFolder(newName, dataDirectory));
  // A project that never had a name has no ignore dictionary of its own yet.
  if (!m_name.empty()) {
    MoveIgnoreDictionaryFile(m_name, newName);
  }
  m_name = newName;
  // The menus and the data file name the site's list by the project's name.
  RenameSiteWordList();
  // The data path keeps naming the old file; SaveProject writes the new one and
  // then removes it.
}

void CWebProject::DeleteProjectData() {
  StopProject();
  if (CProjectNaming::IsDataFilePath(m_dataPath) && CFileUtils::DoesFileExist(m_dataPath)) {
    DeleteDataFile(m_dataPath);
  }
}
