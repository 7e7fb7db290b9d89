#pragma once

#include "appcfg/AppSettings.h"

#include <cstddef>
#include <string>
#include <vector>

/// The one message that tells the user at start which data files could not be read and
/// what became of them: the settings file set aside (or not), the project data files
/// left where they are. The log holds the reasons.
class CDamagedFilesNotice {
public:
  static constexpr const char* kTitle = "Damaged Files";
  /// Project data files named one by one; the rest are counted.
  static constexpr std::size_t kProjectFilesListed = 10;

  /// `logFile` is named at the end when not empty.
  CDamagedFilesNotice(CAppSettings::SDamagedFile settingsFile,
                      std::vector<std::string> projectFiles, std::string logFile);

  /// Whether there is nothing to tell.
  bool IsEmpty() const { return m_settingsFile.path.empty() && m_projectFiles.empty(); }
  /// A paragraph for the settings file, one for the project data files, then the log.
  std::string GetText() const;

private:
  std::string SettingsParagraph() const;
  std::string ProjectsParagraph() const;

  CAppSettings::SDamagedFile m_settingsFile;
  std::vector<std::string> m_projectFiles;
  std::string m_logFile;
};
