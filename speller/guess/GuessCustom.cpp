#include "guess/GuessCustom.h"

#include "utilcore/AppLogger.h"
#include "utilcore/ArchiveException.h"
#include "utilcore/ArchiveReader.h"
#include "utilcore/ArchiveWriter.h"
#include "utilcore/FileException.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/ZebUtils.h"

#include <exception>

namespace {
constexpr const char* kLogMissing = "{FA9A205F-C83D-4C55-ACEE-33DB205395D7}";
constexpr const char* kLogEmpty = "{A1A7C73A-FFBA-4963-AEFA-99D966414AC2}";
constexpr const char* kLogFormat = "{BB412687-5950-455A-851B-29AC5C89870B}";
constexpr const char* kLogReadFile = "{031E3A87-123B-4D2F-B3FA-58DDB12B80E9}";
constexpr const char* kLogReadOther = "{7F60A327-A9A6-44A1-9910-78CFF610D7EF}";
constexpr const char* kLogReadOnly = "{75E1A6EA-79DD-494B-ADC8-855CB1E8DD5F}";
constexpr const char* kLogNoFile = "{2B31A03E-A39F-4006-82D5-7FCCCA88E741}";
constexpr const char* kLogWrite = "{25B7EE25-BAB1-4604-A5CF-19277C4A7653}";

/// The smallest entry: a one-byte key length and, from version 1 on, a 32-bit count.
std::size_t MinEntryBytes(std::uint16_t version) {
  return version == 0 ? 1 : 5;
}
} // namespace

std::string CGuessCustom::GetFilePath() {
  const std::string folder = CZebUtils::GetCustomDictionaryPath();
  return folder.empty() ? std::string() : folder + kFileName;
}

void CGuessCustom::MakeGuesses(const std::string& word, const std::vector<int>& /*ids*/,
                               std::vector<std::string>& suggestions, bool /*findAll*/,
                               CSpellCheckerImpl* /*speller*/) {
  if (!m_loaded) {
    m_loaded = Load();
  }
  m_key.assign(word);
  CStringUtils::MakeLower(m_key);
  const auto entry = m_table.find(m_key);
  if (entry == m_table.end()) {
    return;
  }
  for (const std::string& replacement : entry->second) {
    std::string& copy = suggestions.emplace_back(replacement);
    CStringUtils::PreserveCase(word, copy);
  }
}

void CGuessCustom::AddGuess(const std::string& word, const std::string& replacement) {
  std::string key = word;
  CStringUtils::MakeLower(key);
  std::string lower = replacement;
  CStringUtils::MakeLower(lower);
  m_table[key].push_back(std::move(lower));
  Save();
}

bool CGuessCustom::Serialize(CArchiveReader& archive) {
  const std::uint16_t version = archive.ReadUInt16();
  const std::uint32_t entries = archive.ReadCount(MinEntryBytes(version));
  for (std::uint32_t i = 0; i < entries; ++i) {
    std::string key = archive.ReadString();
    std::vector<std::string> replacements;
    if (version > 0) {
      const std::uint32_t count = archive.ReadCount(1);
      for (std::uint32_t j = 0; j < count; ++j) {
        std::string replacement = archive.ReadString();
        if (version == 1) {
          replacements.clear();
        }
        replacements.push_back(std::move(replacement));
      }
    }
    // A whole entry or none: a damaged one adds nothing.
    m_table.try_emplace(std::move(key), std::move(replacements));
  }
  return version == 1;
}

void CGuessCustom::Serialize(CArchiveWriter& archive) const {
  archive.WriteUInt16(kVersion);
  archive.WriteCount(m_table.size());
  for (const auto& [key, replacements] : m_table) {
    archive.WriteString(key);
    archive.WriteCount(replacements.size());
    for (const std::string& replacement : replacements) {
      archive.WriteString(replacement);
    }
  }
}

bool CGuessCustom::Load() {
  const std::string path = GetFilePath();
  if (path.empty() || !CFileUtils::DoesFileExist(path)) {
    CAppLogger::Log(kLogMissing);
    return true;
  }
  try {
    std::string bytes;
    std::string error;
    if (!CFileUtils::ReadFileBytes(path, bytes, error)) {
      throw CFileException(path, error);
    }
    if (bytes.empty()) {
      CAppLogger::Log(kLogEmpty);
      return true;
    }
    CArchiveReader archive(bytes, path);
    if (Serialize(archive)) {
      Save();
    }
    return true;
  } catch (const CArchiveException& e) {
    CAppLogger::LogFileError(kLogFormat, e);
  } catch (const CFileException& e) {
    CAppLogger::LogFileError(kLogReadFile, e);
  } catch (const std::exception&) {
    CAppLogger::Log(kLogReadOther);
  }
  return false;
}

void CGuessCustom::Save() {
  const std::string path = GetFilePath();
  if (path.empty()) {
    CAppLogger::Log(kLogNoFile);
    return;
  }
  std::string error;
  if (CFileUtils::DoesFileExist(path) && !CFileUtils::IsFileWritable(path) &&
      !CFileUtils::EnsureFileIsWritable(path)) {
    CAppLogger::Log(kLogReadOnly);
    CFileUtils::DeleteFileA(path, error, true);
  }
  try {
    CArchiveWriter archive(path);
    Serialize(archive);
    // Through a temporary file: a failed write keeps every replacement learned so far.
    if (!CFileUtils::WriteFileBytesAtomic(path, archive.GetBytes(), error)) {
      CAppLogger::Log(kLogWrite);
    }
  } catch (const std::exception&) {
    CAppLogger::Log(kLogWrite);
  }
}
