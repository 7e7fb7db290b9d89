#include "dictionaries/SiteWordList.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileUtils.h"
#include "utilcore/TextArray.h"

namespace {

/// A site word list that is there but is not read: "{ID} - <file> - <reason>".
constexpr const char* kLogRefused = "{8C41E7A2-5B3D-4F69-9E0A-D27B6C81F354}";

} // namespace

bool CSiteWordList::Load() {
  if (!CFileUtils::DoesFileExist(GetPath())) {
    return false;
  }
  std::string bytes;
  std::string error;
  // One byte more than allowed tells a file too large from one just large enough.
  if (!CFileUtils::ReadFileBytes(GetPath(), bytes, error, CSiteWordsFile::kMaxBytes + 1)) {
    LogRefusal(error);
    return false;
  }
  CSiteWordsFile file;
  if (!file.Parse(bytes, error)) {
    LogRefusal(error);
    return false;
  }
  TextArray words;
  for (std::string& word : file.Words()) {
    words.Add(std::move(word));
  }
  SetWords(words);
  m_file = std::move(file);
  m_loggedRefusal.clear();
  SetLoaded();
  return true;
}

void CSiteWordList::LogRefusal(const std::string& reason) {
  // Every look-up tries the load again: the log hears of each reason once.
  if (reason == m_loggedRefusal) {
    return;
  }
  m_loggedRefusal = reason;
  CAppLogger::LogFileError(kLogRefused, GetPath(), reason);
}

bool CSiteWordList::Save() {
  if (!IsLoaded() && CFileUtils::DoesFileExist(GetPath())) {
    return false;
  }
  TextArray words;
  GetWords(words);
  std::string error;
  if (!CFileUtils::WriteFileBytesAtomic(GetPath(), m_file.Merge(words.Items()), error)) {
    CAppLogger::LogFileError(kLogRefused, GetPath(), error);
    return false;
  }
  return true;
}
