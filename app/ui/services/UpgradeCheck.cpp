#include "services/UpgradeCheck.h"

#include "mainwindow/DownloadPane.h"
#include "services/HttpTransfer.h"
#include "services/LaunchActions.h"
#include "widgets/MessageBoxService.h"

#include "appcfg/AppSettings.h"
#include "appcfg/UpgradeVersionFile.h"
#include "settings/DictionaryUpdate.h"

#include "mtcore/TimerThread.h"
#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"

#include <atomic>

const UINT CUpgradeCheck::MSG_UPGRADE_TIMER =
    RegisterWindowMessageA("1739F95C-7EDC-40e5-8066-36450F602186");
const UINT CUpgradeCheck::MSG_UPGRADE_DOWNLOADED =
    RegisterWindowMessageA("874BCC59-BBFC-444a-AA98-5E7920C54318");
const UINT CUpgradeCheck::MSG_HTTPGET_FILE =
    RegisterWindowMessageA("E61A3FA1-9A4E-45B3-83DA-1AC79D4CA75C");

namespace {
using EAction = CUpgradeVersionFile::EAction;

constexpr const char* kLogBadProgramReply = "{8A2AE638-4456-4476-BB48-B49DC7666971}";
constexpr const char* kLogBadDictionaryReply = "{6C2DD379-97E6-4D01-989B-23B261DD0C9F}";
// A failed download leaves one line: "{ID} - <address> - <why>".
constexpr const char* kLogPackageDownloadFailed = "{77443C35-BA74-4BAE-B1E7-71CEB31E4DA4}";
constexpr const char* kLogDictionaryDownloadFailed = "{4DE53E76-76DE-44FA-964F-49667BC50131}";
constexpr const char* kProgramVersionPath = "/pagelint/version.dat";
constexpr const char* kDictionaryVersionPath = "/dictionary/versiondict.dat";
constexpr const char* kOfferTitle = "Upgrades Available";

std::atomic<std::uint32_t> g_startDelay{CUpgradeCheck::kDefaultDelayMs};
} // namespace

CUpgradeCheck::CUpgradeCheck(CAppSettings& settings, HWND window, CDownloadPane& pane)
    : m_settings(settings), m_window(window), m_pane(pane) {}

CUpgradeCheck::~CUpgradeCheck() {
  Stop();
}

std::uint32_t CUpgradeCheck::StartDelay() {
  return g_startDelay.load();
}

void CUpgradeCheck::SetStartDelay(std::uint32_t ms) {
  g_startDelay.store(ms);
}

std::string CUpgradeCheck::MainDictionaryFile(const CAppSettings& settings) {
  return CDictionaryUpdate::ChooseMainFile(settings.GetApplicationPath(),
                                           settings.GetApplicationSettingsPath());
}

void CUpgradeCheck::Start() {
  m_timer = std::make_unique<CTimerThread>(MSG_UPGRADE_TIMER, m_window, StartDelay(), true);
}

void CUpgradeCheck::Stop() {
  m_timer.reset();
  m_versionRequest.reset();
  m_packageDownload.reset();
  m_dictionaryDownload.reset();
}

bool CUpgradeCheck::IsBusy() const {
  // A finished request or package download counts until its message is handled.
  return m_timer != nullptr || m_versionRequest != nullptr || m_packageDownload != nullptr ||
         (m_dictionaryDownload != nullptr && m_dictionaryDownload->IsRunning());
}

bool CUpgradeCheck::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == MSG_UPGRADE_TIMER) {
    OnTimer();
  } else if (message == MSG_HTTPGET_FILE) {
    OnVersionFile(wParam != 0, lParam);
  } else if (message == MSG_UPGRADE_DOWNLOADED) {
    OnPackageDownloaded(wParam == 1);
  } else {
    return false;
  }
  return true;
}

void CUpgradeCheck::OnTimer() {
  // Only the first firing counts.
  if (m_timer == nullptr) {
    return;
  }
  m_timer.reset();
  m_packageReady = false;
  if (!m_settings.GetAutomaticUpgrading()) {
    return;
  }
  RequestVersionFile(kProgramVersionPath, kProgramVersion);
}

void CUpgradeCheck::RequestVersionFile(const char* path, LPARAM kind) {
  m_versionRequest.reset();
  const HWND window = m_window;
  m_versionRequest = std::make_unique<CHttpTransfer>(
      m_network, m_settings.GetServerAddress() + path, kMaxVersionFileBytes,
      [window, kind](bool success) {
        PostMessage(window, MSG_HTTPGET_FILE, success ? 1 : 0, kind);
      });
}

void CUpgradeCheck::OnVersionFile(bool success, LPARAM kind) {
  if (m_versionRequest == nullptr) {
    return;
  }
  std::string first;
  std::string second;
  std::string reason;
  const bool good = CUpgradeVersionFile::ReadLines(success, m_versionRequest->Error(),
                                                   m_versionRequest->Body(), first, second, reason);
  const char* log = kind == kProgramVersion ? kLogBadProgramReply : kLogBadDictionaryReply;
  if (!good) {
    CAppLogger::LogWithError(log, reason);
  }
  m_versionRequest.reset();
  if (kind == kProgramVersion) {
    OnProgramVersion(good, first, second);
    // The dictionary is asked for whatever the program's file said.
    RequestVersionFile(kDictionaryVersionPath, kDictionaryVersion);
  } else if (kind == kDictionaryVersion) {
    OnDictionaryVersion(good, first, second);
  }
}

void CUpgradeCheck::OnProgramVersion(bool good, const std::string& first,
                                     const std::string& second) {
  if (!good) {
    return;
  }
  const auto verdict =
      CUpgradeVersionFile::ForProgram(m_settings.GetCurrentVersionNumber(), first, second);
  if (verdict.action == EAction::Refuse) {
    CAppLogger::LogWithError(kLogBadProgramReply, verdict.reason);
  } else if (verdict.action == EAction::Download) {
    StartPackageDownload(verdict.size);
  }
}

void CUpgradeCheck::OnDictionaryVersion(bool good, const std::string& first,
                                        const std::string& second) {
  if (!good) {
    return;
  }
  std::int64_t size = -1;
  std::time_t time = 0;
  if (!CFileUtils::GetFileInfo(MainDictionaryFile(m_settings), &size, &time)) {
    size = -1;
  }
  const auto verdict = CUpgradeVersionFile::ForDictionary(first, second, size, time);
  if (verdict.action == EAction::Refuse) {
    CAppLogger::LogWithError(kLogBadDictionaryReply, verdict.reason);
  } else if (verdict.action == EAction::Download) {
    StartDictionaryDownload(verdict.size);
  }
}

void CUpgradeCheck::StartPackageDownload(std::int64_t size) {
  CDirUtils::CreateDirectoryA(m_settings.GetApplicationUpdatesDir(), nullptr);
  const HWND window = m_window;
  m_packageDownload.reset();
  m_packageDownload = std::make_unique<CHttpTransfer>(
      m_settings.GetApplicationServerUpdatesPath(), m_settings.GetApplicationUpdatesExe(), size,
      [this](qint64 received) { m_pane.Update(received); },
      [window](bool success) { PostMessage(window, MSG_UPGRADE_DOWNLOADED, success ? 1 : 0, 0); });
  m_pane.Add(QStringLiteral("Downloading the new Pagelint"), size);
}

void CUpgradeCheck::StartDictionaryDownload(std::int64_t size) {
  CDirUtils::CreateDirectoryA(m_settings.GetApplicationUpdatesDir(), nullptr);
  m_dictionarySize = size;
  m_dictionaryDownload.reset();
  m_dictionaryDownload = std::make_unique<CHttpTransfer>(
      m_settings.GetApplicationServerDictionaryPath(),
      m_settings.GetApplicationDictionaryUpdatesFile(), size,
      [this](qint64 received) { m_pane.Update(received); },
      [this](bool success) {
        // Not deleted here: this runs inside the transfer.
        if (!success) {
          CAppLogger::LogFileError(kLogDictionaryDownloadFailed,
                                   m_settings.GetApplicationServerDictionaryPath(),
                                   m_dictionaryDownload->Error());
        }
        ShowDownloaded(success, "New dictionary from the next start");
      });
  m_pane.Add(QStringLiteral("Downloading a new dictionary"), size);
}

void CUpgradeCheck::OnPackageDownloaded(bool success) {
  m_timer.reset();
  if (!success && m_packageDownload != nullptr) {
    CAppLogger::LogFileError(kLogPackageDownloadFailed,
                             m_settings.GetApplicationServerUpdatesPath(),
                             m_packageDownload->Error());
  }
  m_packageDownload.reset();
  m_packageReady = success;
  ShowDownloaded(success, "New Pagelint ready to install");
}

void CUpgradeCheck::ShowDownloaded(bool success, const char* text) {
  if (!success) {
    m_pane.Remove();
    return;
  }
  m_pane.Add(QString::fromUtf8(text), 1);
  m_pane.Update(1);
}

void CUpgradeCheck::ApplyDictionary() {
  const std::string download = m_settings.GetApplicationDictionaryUpdatesFile();
  if (!CFileUtils::DoesFileExist(download)) {
    return;
  }
  CDictionaryUpdate::Apply(download, m_dictionarySize, m_settings.GetApplicationPath(),
                           m_settings.GetApplicationSettingsPath());
}

void CUpgradeCheck::OfferPackage(QWidget* parent) {
  if (!m_packageReady) {
    return;
  }
  const std::string package = m_settings.GetApplicationUpdatesExe();
  const QString text =
      QStringLiteral("A new version of Pagelint has been downloaded to\n%1\n\nOpen it now with "
                     "your software installer? Nothing is installed until you confirm it there.")
          .arg(QString::fromStdString(package));
  const CMessageBoxService::SQuestion question{
      QString::fromUtf8(kOfferTitle), text, CMessageBoxService::EButtons::YesNo, {}};
  if (CMessageBoxService::Ask(parent, question) != CMessageBoxService::kAnswerYes) {
    return;
  }
  std::string error;
  // The package is a document: the desktop's opener hands it to the software installer.
  if (!CLaunchActions::Start({package, m_settings.GetApplicationUpdatesDir(), {}}, error)) {
    CMessageBoxService::Ask(parent, {QString::fromUtf8(kOfferTitle),
                                     QString::fromStdString(error),
                                     CMessageBoxService::EButtons::Ok,
                                     {}});
  }
}
