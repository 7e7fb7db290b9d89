#include "settings/DamagedFilesNotice.h"

#include <algorithm>
#include <utility>

namespace {
std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}
} // namespace

CDamagedFilesNotice::CDamagedFilesNotice(CAppSettings::SDamagedFile settingsFile,
                                         std::vector<std::string> projectFiles, std::string logFile)
    : m_settingsFile(std::move(settingsFile)), m_projectFiles(std::move(projectFiles)),
      m_logFile(std::move(logFile)) {}

std::string CDamagedFilesNotice::GetText() const {
  std::string text;
  for (const std::string& paragraph : {SettingsParagraph(), ProjectsParagraph()}) {
    if (!paragraph.empty()) {
      text += (text.empty() ? "" : "\n\n") + paragraph;
    }
  }
  if (!text.empty() && !m_logFile.empty()) {
    text += "\n\nThe log " + Quoted(m_logFile) + " says what was wrong.";
  }
  return text;
}

std::string CDamagedFilesNotice::SettingsParagraph() const {
  if (m_settingsFile.path.empty()) {
    return {};
  }
  const std::string damaged = "The settings file " + Quoted(m_settingsFile.path) +
                              " is damaged, and Pagelint starts with the default settings.";
  if (m_settingsFile.keptAs.empty()) {
    // Closing saves the settings over it: the user may still want to copy it away.
    return damaged + " It could not be set aside and will be replaced when Pagelint closes.";
  }
  return damaged + " It has been set aside as " + Quoted(m_settingsFile.keptAs) + ".";
}

std::string CDamagedFilesNotice::ProjectsParagraph() const {
  if (m_projectFiles.empty()) {
    return {};
  }
  std::string text = m_projectFiles.size() == 1
                         ? "This project data file could not be read, so its project is not "
                           "listed. It is left where it is, to be mended or removed by hand:"
                         : "These project data files could not be read, so their projects are "
                           "not listed. They are left where they are, to be mended or removed "
                           "by hand:";
  const std::size_t listed = std::min(m_projectFiles.size(), kProjectFilesListed);
  for (std::size_t i = 0; i < listed; ++i) {
    text += "\n" + m_projectFiles[i];
  }
  if (const std::size_t rest = m_projectFiles.size() - listed; rest > 0) {
    text += "\nand " + std::to_string(rest) + " more in the same folder";
  }
  return text;
}
