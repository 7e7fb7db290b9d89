#include "appcfg/AppSettings.h"

#include "diskfiles/FileExtMgr.h"
#include "utilcore/AppLogger.h"
#include "utilcore/ArchiveReader.h"
#include "utilcore/ArchiveWriter.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StorageException.h"
#include "utilcore/VersionNumber.h"

#include <cstdlib>
#include <vector>

namespace {
constexpr const char* kDamagedFileId = "{B2B0F801-E990-4D20-8883-BC65F2C973CF}";
// The program comes as a Debian package; the system's package tools install it.
constexpr const char* kPackageName = "pagelint.deb";
constexpr const char* kSaveFailedId = "{645E8BCF-73FB-481B-B01F-BF45BF9589E9}";
// A settings file is a few kilobytes; anything near this size is not one.
constexpr std::uint64_t kMaxSettingsBytes = 16ULL * 1024 * 1024;
// Extension, opener and editor: three empty strings at least.
constexpr std::size_t kMinExtensionEntryBytes = 3;

void WriteShape(CArchiveWriter& archive, const SAppShape& shape) {
  archive.WriteInt32(shape.left);
  archive.WriteInt32(shape.top);
  archive.WriteInt32(shape.width);
  archive.WriteInt32(shape.height);
  archive.WriteBool(shape.minimized);
  archive.WriteBool(shape.maximized);
  archive.WriteBool(shape.stored);
}

SAppShape ReadShape(CArchiveReader& archive) {
  SAppShape shape;
  shape.left = archive.ReadInt32();
  shape.top = archive.ReadInt32();
  shape.width = archive.ReadInt32();
  shape.height = archive.ReadInt32();
  shape.minimized = archive.ReadBool();
  shape.maximized = archive.ReadBool();
  shape.stored = archive.ReadBool();
  return shape;
}

void WriteExtensionApps(CArchiveWriter& archive) {
  const std::vector<FileExtMgr::SEntry> entries = FileExtMgr::GetInstance()->GetAll();
  archive.WriteCount(entries.size(), CAppSettings::kMaxListEntries);
  for (const FileExtMgr::SEntry& entry : entries) {
    archive.WriteString(entry.extension, CAppSettings::kMaxTextBytes);
    archive.WriteString(entry.opener, CAppSettings::kMaxTextBytes);
    archive.WriteString(entry.editor, CAppSettings::kMaxTextBytes);
  }
}

// Stored registrations are added to those the program made at construction, so that
// an extension a newer program supports keeps its default entry.
void ReadExtensionApps(CArchiveReader& archive) {
  FileExtMgr& manager = *FileExtMgr::GetInstance();
  const std::uint32_t count =
      archive.ReadCount(kMinExtensionEntryBytes, CAppSettings::kMaxListEntries);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string extension = archive.ReadString(CAppSettings::kMaxTextBytes);
    const std::string opener = archive.ReadString(CAppSettings::kMaxTextBytes);
    const std::string editor = archive.ReadString(CAppSettings::kMaxTextBytes);
    manager.SetOpenerApp(extension, opener, true, false);
    manager.SetEditorApp(extension, editor, true, false);
  }
}
} // namespace

CAppSettings::CAppSettings() {
  const char* server = std::getenv(kServerVariable);
  SetServerAddress(server != nullptr && *server != '\0' ? server : kServerAddress);
}

void CAppSettings::SetServerAddress(const std::string& address) {
  m_serverAddress = address;
  while (!m_serverAddress.empty() && m_serverAddress.back() == '/') {
    m_serverAddress.pop_back();
  }
}
CAppSettings::~CAppSettings() = default;

std::string CAppSettings::GetApplicationSettingsPath() const {
  return CDirUtils::GetSpecialFolder(CDirUtils::kApplicationData) + m_appName + "/";
}

std::string CAppSettings::GetApplicationPath() const {
  return m_appPath.empty() ? CDirUtils::GetAppPath() : m_appPath;
}

std::string CAppSettings::GetSettingsFilePath() const {
  return GetApplicationSettingsPath() + m_appName + ".settings";
}

bool CAppSettings::Read(const std::string& appDirectory, const std::string& appName,
                        bool& firstStart, bool& upgraded) {
  m_appPath = appDirectory;
  CDirUtils::EnsureTrailingBackslash(m_appPath);
  if (!appName.empty()) {
    m_appName = appName;
  }
  SetDefaults();
  upgraded = false;
  m_damaged = SDamagedFile{};
  const std::string path = GetSettingsFilePath();
  if (!CFileUtils::DoesFileExist(path)) {
    return true;
  }
  firstStart = false;

  std::string bytes;
  std::string error;
  if (!CFileUtils::ReadFileBytes(path, bytes, error, kMaxSettingsBytes)) {
    HandleDamagedFile(path, error);
    return false;
  }
  const std::vector<FileExtMgr::SEntry> extensionsBefore = FileExtMgr::GetInstance()->GetAll();
  try {
    CArchiveReader archive(bytes, path);
    Serialize(archive);
  } catch (const CStorageException& damage) {
    FileExtMgr::GetInstance()->RestoreAll(extensionsBefore);
    HandleDamagedFile(path, damage.GetMessage());
    return false;
  }
  upgraded = m_upgraded;
  return true;
}

bool CAppSettings::Save() {
  const std::string path = GetSettingsFilePath();
  std::string error;
  try {
    CArchiveWriter archive(path);
    Serialize(archive);
    if (CDirUtils::CreateDirectoryA(GetApplicationSettingsPath(), &error) &&
        CFileUtils::WriteFileBytesAtomic(path, archive.GetBytes(), error)) {
      return true;
    }
  } catch (const CStorageException& failure) {
    error = failure.GetMessage();
  }
  CAppLogger::LogFileError(kSaveFailedId, path, error);
  return false;
}

bool CAppSettings::GetAppShape(SAppShape& shape, int defaultWidth, int defaultHeight) const {
  if (!m_shape.stored || m_shape.width <= 0 || m_shape.height <= 0) {
    shape = SAppShape{};
    shape.width = defaultWidth;
    shape.height = defaultHeight;
    return false;
  }
  shape = m_shape;
  return m_shape.maximized;
}

void CAppSettings::SetAppShape(const SAppShape& shape) {
  m_shape = shape;
  m_shape.stored = true;
}

std::string CAppSettings::GetCurrentVersionNumber() const {
  return PAGELINT_VERSION;
}

std::string CAppSettings::GetApplicationServerUpdatesPath() const {
  return m_serverAddress + "/pagelint/" + kPackageName;
}

std::string CAppSettings::GetApplicationServerDictionaryPath() const {
  return m_serverAddress + "/dictionary/ZEB.fdc";
}

std::string CAppSettings::GetApplicationUpdatesDir() const {
  return GetApplicationSettingsPath() + "Updates/";
}

std::string CAppSettings::GetApplicationUpdatesExe() const {
  return GetApplicationUpdatesDir() + kPackageName;
}

std::string CAppSettings::GetApplicationDictionaryUpdatesFile() const {
  return GetApplicationUpdatesDir() + "ZEB.fdc";
}

void CAppSettings::Serialize(CArchiveWriter& archive) const {
  archive.WriteUInt16(kBaseVersion);
  archive.WriteString(GetCurrentVersionNumber());
  WriteShape(archive, m_shape);
  archive.WriteBool(m_automaticUpgrading);
  archive.WriteBool(m_playWelcomeMsg);
  WriteExtensionApps(archive);
}

void CAppSettings::Serialize(CArchiveReader& archive) {
  const std::uint16_t version = archive.ReadUInt16();
  if (version != kBaseVersion) {
    archive.ThrowFormatError("unknown settings version " + std::to_string(version));
  }
  m_oldVersion = archive.ReadString(kMaxTextBytes);
  const CVersionNumber stored(m_oldVersion);
  m_upgraded = stored.IsValid() && stored < CVersionNumber(GetCurrentVersionNumber());
  m_shape = ReadShape(archive);
  m_automaticUpgrading = archive.ReadBool();
  m_playWelcomeMsg = archive.ReadBool();
  ReadExtensionApps(archive);
}

void CAppSettings::SetDefaults() {
  m_shape = SAppShape{};
  m_automaticUpgrading = true;
  m_playWelcomeMsg = false;
  m_upgraded = false;
  m_oldVersion.clear();
}

void CAppSettings::HandleDamagedFile(const std::string& path, const std::string& error) {
  CAppLogger::LogFileError(kDamagedFileId, path, error);
  m_damaged = SDamagedFile{path, path + ".bad"};
  std::string moveError;
  if (!CFileUtils::MoveFileA(path, m_damaged.keptAs, moveError)) {
    CAppLogger::LogFileError(kDamagedFileId, m_damaged.keptAs, moveError);
    m_damaged.keptAs.clear();
  }
  SetDefaults();
}
