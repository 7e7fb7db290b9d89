#include "settings/PagelintSettings.h"

#include "diskfiles/FileExtMgr.h"
#include "shadeui/BkgStyle.h"
#include "utilcore/ArchiveReader.h"
#include "utilcore/ArchiveWriter.h"
#include "utilcore/HTMLUtils.h"

#include <string>
#include <vector>

namespace {
constexpr std::uint16_t kFirstVersion = 1;
constexpr std::uint16_t kExtensionTablesVersion = 2;
constexpr std::uint16_t kStylesVersion = 4;
constexpr std::size_t kMinPairBytes = 2;

void WriteFlag(CArchiveWriter& archive, bool value) {
  archive.WriteUInt16(value ? 1 : 0);
}

// Only 1 counts as true: other values come from damaged or foreign files.
bool ReadFlag(CArchiveReader& archive) {
  return archive.ReadUInt16() == 1;
}

void RegisterDefaultApplications() {
  FileExtMgr& manager = *FileExtMgr::GetInstance();
  std::vector<std::string> registered;
  manager.GetApplications(registered, true);
  if (!registered.empty()) {
    return;
  }
  std::vector<std::string> extensions;
  CHTMLUtils::GetSupportedHTMLFiles(extensions, true);
  for (const std::string& extension : extensions) {
    manager.SetOpenerApp(extension, "", true, true);
    manager.SetEditorApp(extension, "", true, true);
  }
}
} // namespace

CPagelintSettings::CPagelintSettings() {
  RegisterDefaultApplications();
  SetOwnDefaults();
  m_docSettings.save = [this] { Save(); };
}

CPagelintSettings::~CPagelintSettings() = default;

void CPagelintSettings::Serialize(CArchiveWriter& archive) const {
  CAppSettings::Serialize(archive);
  archive.WriteUInt16(kVersion);
  WriteFlag(archive, findMatchCase);
  WriteFlag(archive, findSearchDown);
  WriteFlag(archive, findStopAtEnd);
  archive.WriteString(m_docSettings.newProjectDirectory, kMaxTextBytes);
  archive.WriteString(m_docSettings.projectDataDirectory, kMaxTextBytes);
  archive.WriteInt32(configurationTab);
  BkgStyle::GetInstance()->Serialize(archive);
}

void CPagelintSettings::Serialize(CArchiveReader& archive) {
  CAppSettings::Serialize(archive);
  const std::uint16_t version = archive.ReadUInt16();
  if (version < kFirstVersion || version > kVersion) {
    archive.ThrowFormatError("unknown version " + std::to_string(version));
  }
  findMatchCase = ReadFlag(archive);
  findSearchDown = ReadFlag(archive);
  findStopAtEnd = ReadFlag(archive);
  m_docSettings.newProjectDirectory = archive.ReadString(kMaxTextBytes);
  m_docSettings.projectDataDirectory =
      version >= kVersion ? archive.ReadString(kMaxTextBytes) : GetApplicationSettingsPath();
  if (version == kFirstVersion) {
    return;
  }
  if (version < kVersion) {
    (void)archive.ReadString(kMaxTextBytes);
  }
  if (version == kExtensionTablesVersion) {
    ReadExtensionTables(archive);
    return;
  }
  if (version < kStylesVersion) {
    return;
  }
  configurationTab = archive.ReadInt32();
  BkgStyle::GetInstance()->Serialize(archive);
}

void CPagelintSettings::ReadExtensionTables(CArchiveReader& archive) {
  FileExtMgr& manager = *FileExtMgr::GetInstance();
  for (const auto set : {&FileExtMgr::SetOpenerApp, &FileExtMgr::SetEditorApp}) {
    const std::uint32_t count = archive.ReadCount(kMinPairBytes, kMaxListEntries);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::string extension = archive.ReadString(kMaxTextBytes);
      const std::string application = archive.ReadString(kMaxTextBytes);
      (manager.*set)(extension, application, true, false);
    }
  }
}

void CPagelintSettings::SetDefaults() {
  CAppSettings::SetDefaults();
  SetOwnDefaults();
  BkgStyle::GetInstance()->CopyDefaultToUser();
}

void CPagelintSettings::SetOwnDefaults() {
  findMatchCase = false;
  findSearchDown = false;
  findStopAtEnd = false;
  configurationTab = 0;
  m_docSettings.projectDataDirectory = GetApplicationSettingsPath();
  m_docSettings.newProjectDirectory = GetApplicationSettingsPath();
}
