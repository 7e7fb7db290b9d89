#include "services/LaunchActions.h"

#include "projects/ResearchServices.h"
#include "widgets/MessageBoxService.h"

#include "diskfiles/FileExtMgr.h"
#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/ExeUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <QString>

namespace {
constexpr const char* kTitle = "Pagelint";
constexpr const char* kNoViewer =
    "There currently is no application associated with opening files of type \"%1\". Would "
    "you like to select an application?\n\nIf you press the \"Yes\" button, you will be "
    "presented with the \"Pagelint Settings\" window. Select the first tab, \"Launch\", select "
    "the file extension \"%1\" in the list, and select an application in the \"To open or view "
    "files of this type use:\" field.";
constexpr const char* kNoEditor =
    "There currently is no application associated with editing files of type \"%1\". Would "
    "you like to select an application?\n\nIf you press the \"Yes\" button, you will be "
    "presented with the \"Pagelint Settings\" window. Select the first tab,\"Launch\", select "
    "the file extension \"%1\" in the list, and select an application in the \"To modify files "
    "of this type use:\" field.";

CLaunchActions::FLauncher& Launcher() {
  static CLaunchActions::FLauncher launcher;
  return launcher;
}

bool StartProgram(const CLaunchActions::SLaunch& launch, std::string& error) {
  if (Launcher()) {
    return Launcher()(launch, error);
  }
  return CExeUtils::ShellLaunchApp(launch.application, launch.folder, launch.arguments, true, 0,
                                   CExeUtils::kShowNormal, error);
}

std::string Registered(CLaunchActions::EUse use, const std::string& extension) {
  const FileExtMgr* apps = FileExtMgr::GetInstance();
  return use == CLaunchActions::EUse::View ? apps->GetOpenerApp(extension, true)
                                           : apps->GetEditorApp(extension, true);
}
} // namespace

void CLaunchActions::SetLauncher(FLauncher launcher) {
  Launcher() = std::move(launcher);
}

bool CLaunchActions::OpenSettings() const {
  return m_settingsWindow && m_settingsWindow({});
}

bool CLaunchActions::Start(const SLaunch& launch, std::string& error) {
  return StartProgram(launch, error);
}

bool CLaunchActions::Launch(const SLaunch& launch, const char* logId) const {
  std::string error;
  if (StartProgram(launch, error)) {
    return true;
  }
  CAppLogger::LogWithError(logId, error);
  if (!error.empty()) {
    CMessageBoxService::Ask(m_parent, {QString::fromLatin1(kTitle),
                                       QString::fromStdString(error),
                                       CMessageBoxService::EButtons::Ok,
                                       {}});
  }
  return false;
}

void CLaunchActions::LookUp(int commandId, const std::string& word) const {
  const std::string address = CResearchServices::AddressFor(commandId, word);
  if (!address.empty()) {
    Launch({address, {}, {}}, kLookUpFailed);
  }
}

std::string CLaunchActions::ApplicationFor(EUse use, const std::string& extension) const {
  std::string application = Registered(use, extension);
  if (!application.empty()) {
    return application;
  }
  const char* text = use == EUse::View ? kNoViewer : kNoEditor;
  const QString question = QString::fromUtf8(text).arg(QString::fromStdString(extension));
  const int answer = CMessageBoxService::Ask(
      m_parent, {QString::fromLatin1(kTitle), question, CMessageBoxService::EButtons::YesNo, {}});
  if (answer != CMessageBoxService::kAnswerYes || !m_settingsWindow ||
      !m_settingsWindow(extension)) {
    return {};
  }
  return Registered(use, extension);
}

void CLaunchActions::OpenFile(EUse use, const std::string& path) const {
  std::string extension = CFileUtils::GetFileExt(path);
  CStringUtils::MakeLower(extension);
  // A page to look at needs no choice while the desktop has an opener for it (usually
  // the browser); only without one is the user asked to choose a program.
  std::string error;
  if (use == EUse::View && Registered(use, extension).empty() &&
      StartProgram({{}, {}, {path}}, error)) {
    return;
  }
  const std::string application = ApplicationFor(use, extension);
  if (!application.empty()) {
    Launch({application, CDirUtils::ParsePathFromFile(application), {path}},
           use == EUse::View ? kViewFailed : kEditFailed);
  }
}
