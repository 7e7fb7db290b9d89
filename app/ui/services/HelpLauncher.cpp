#include "services/HelpLauncher.h"

#include "widgets/MessageBoxService.h"

#include "utilcore/ExeUtils.h"
#include "utilcore/FileUtils.h"

#include <QUrl>

namespace {
constexpr const char* kTitle = "Pagelint";

std::string NotInstalledText(const std::string& topic) {
  return "Pagelint's help pages are not installed, so the help topic \"" + topic +
         "\" cannot be shown.";
}

void Tell(QWidget* parent, const std::string& text) {
  CMessageBoxService::Ask(parent, {QString::fromUtf8(kTitle),
                                   QString::fromStdString(text),
                                   CMessageBoxService::EButtons::Ok,
                                   {}});
}
} // namespace

CHelpLauncher::CHelpLauncher(std::vector<std::string> folders) : m_folders(std::move(folders)) {}

std::vector<std::string> CHelpLauncher::DefaultFolders(const std::string& appDirectory) {
  std::vector<std::string> folders{appDirectory + "help/",
                                   appDirectory + "../../share/pagelint/help/"};
#ifdef PAGELINT_SOURCE_DIR
  folders.emplace_back(PAGELINT_SOURCE_DIR "/docs/help/");
#endif
  return folders;
}

std::string CHelpLauncher::FindTopic(const std::string& topic) const {
  const std::size_t hash = topic.find('#');
  const std::string page = topic.substr(0, hash);
  if (page.empty()) {
    return {};
  }
  for (const std::string& folder : m_folders) {
    const std::string path = folder + page;
    if (!CFileUtils::DoesFileExist(path)) {
      continue;
    }
    QUrl address = QUrl::fromLocalFile(QString::fromStdString(path));
    if (hash != std::string::npos) {
      address.setFragment(QString::fromStdString(topic.substr(hash + 1)));
    }
    return address.toString(QUrl::FullyEncoded).toStdString();
  }
  return {};
}

void CHelpLauncher::Open(QWidget* parent, const std::string& topic) const {
  const std::string address = FindTopic(topic);
  if (address.empty()) {
    Tell(parent, NotInstalledText(topic));
    return;
  }
  std::string error;
  if (!CExeUtils::ShellLaunchApp(address, {}, std::string(), true, 0, CExeUtils::kShowNormal,
                                 error) &&
      !error.empty()) {
    Tell(parent, error);
  }
}
