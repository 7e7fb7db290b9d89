#include "dictionaries/BundledWordList.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileUtils.h"

bool CBundledWordList::Load() {
  if (CCustomDictionary::Load()) {
    return true;
  }
  // A file that is there but refused was logged with its reason by the word list.
  if (!CFileUtils::DoesFileExist(GetPath())) {
    CAppLogger::LogFileError(kLogMissing, GetPath(), kMissingReason);
  }
  SetLoaded();
  return true;
}
