#include "settings/DictionaryUpdate.h"

#include "spellcore/SpellChecker.h"

#include "appcfg/UpgradeVersionFile.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileUtils.h"

namespace {
constexpr const char* kLogWrongSize = "{F05B2A72-BCBB-440C-8689-6CD34912A8E1}";
constexpr const char* kLogUnusable = "{D3CCCC71-23C2-4438-BF94-7961975C1968}";
constexpr const char* kLogNotPlaced = "{41BD1029-4CA3-49B7-8A4F-AFE7B79EEC99}";
constexpr const char* kLogNotDeleted = "{916FA358-D97B-428F-BD1B-68CBF7F80841}";

void Delete(const std::string& path) {
  std::string error;
  if (!CFileUtils::DeleteFileA(path, error, true)) {
    CAppLogger::LogFileError(kLogNotDeleted, path, error);
  }
}

// Damaged or hostile bytes never reach the speller.
bool IsSound(const std::string& download, std::int64_t expectedSize) {
  std::int64_t size = -1;
  CFileUtils::GetFileInfo(download, &size, nullptr);
  if (expectedSize >= 0 && size != expectedSize) {
    CAppLogger::LogFileError(kLogWrongSize, download,
                             std::to_string(size) + " bytes, announced " +
                                 std::to_string(expectedSize));
    return false;
  }
  // A download left by an earlier run comes without its announcement: it is still
  // held to the largest size one may announce.
  if (size > CUpgradeVersionFile::kMaxDictionaryBytes) {
    CAppLogger::LogFileError(kLogWrongSize, download,
                             std::to_string(size) + " bytes, at most " +
                                 std::to_string(CUpgradeVersionFile::kMaxDictionaryBytes));
    return false;
  }
  if (!CSpellChecker::IsUsableMainDictionary(download)) {
    CAppLogger::LogFileError(kLogUnusable, download, "not a compiled main dictionary");
    return false;
  }
  return true;
}
} // namespace

std::string CDictionaryUpdate::ChooseMainFile(const std::string& appFolder,
                                              const std::string& keptFolder) {
  const std::string installed = appFolder + kFileName;
  const std::string kept = keptFolder + kFileName;
  std::int64_t keptSize = -1;
  std::time_t keptTime = 0;
  if (!CFileUtils::GetFileInfo(kept, &keptSize, &keptTime) || keptSize <= 0) {
    return installed;
  }
  std::int64_t installedSize = -1;
  std::time_t installedTime = 0;
  // A newer program package brings a newer dictionary than the one kept before.
  if (CFileUtils::GetFileInfo(installed, &installedSize, &installedTime) && installedSize > 0 &&
      installedTime > keptTime) {
    return installed;
  }
  return kept;
}

std::string CDictionaryUpdate::Apply(const std::string& download, std::int64_t expectedSize,
                                     const std::string& appFolder, const std::string& keptFolder) {
  if (!IsSound(download, expectedSize)) {
    Delete(download);
    return {};
  }
  std::string placed = appFolder + kFileName;
  std::string error;
  if (CFileUtils::CopyFileA(download, placed, error)) {
    // The program folder's is the newest now; an older kept copy would shadow it.
    Delete(keptFolder + kFileName);
  } else {
    CAppLogger::LogFileError(kLogNotPlaced, placed, error);
    placed = keptFolder + kFileName;
    if (!CFileUtils::CopyFileA(download, placed, error)) {
      CAppLogger::LogFileError(kLogNotPlaced, placed, error);
      placed.clear();
    }
  }
  Delete(download);
  return placed;
}
