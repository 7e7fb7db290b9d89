#include "dictionaries/SiteWordList.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileUtils.h"
#include "utilcore/TextArray.h"

namespace {

/// A site word list that is there but is not read: "{ID} - <file> - <reason>".
constexpr const char* kLogRefused = "{8C41E7A2-5B3D-4F69-9E0A-D27B6C81F354}";

} // namespace

bool CSiteWordList::Load() {
  // Most sites have no list, and a damaged one is set aside: either way the list is
  // loaded with no words, so that look-ups stay settled (an unsettled answer is never
  // remembered and turns off compounds and abbreviations for the whole project).
  CSiteWordsFile file;
  m_refused = false;
  if (CFileUtils::DoesFileExist(GetPath())) {
    std::string bytes;
    std::string error;
    // One byte more than allowed tells a file too large from one just large enough.
    const bool read =
        CFileUtils::ReadFileBytes(GetPath(), bytes, error, CSiteWordsFile::kMaxBytes + 1) &&
        file.Parse(bytes, error);
    if (!read) {
      LogRefusal(error);
      m_refused = true;
      file = CSiteWordsFile();
    }
  }
  TextArray words;
  for (std::string& word : file.Words()) {
    words.Add(std::move(word));
  }
  SetWords(words);
  m_file = std::move(file);
  if (!m_refused) {
    m_loggedRefusal.clear();
  }
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
  // A file that is there but was never read, or was refused, is never replaced.
  if ((!IsLoaded() || m_refused) && CFileUtils::DoesFileExist(GetPath())) {
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
