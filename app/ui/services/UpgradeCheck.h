#pragma once

#include "mtcore/WindowMessages.h"

#include <QNetworkAccessManager>

#include <cstdint>
#include <memory>
#include <string>

class CAppSettings;
class CDownloadPane;
class CHttpTransfer;
class CTimerThread;
class QWidget;

/// The background upgrade check of the main window: a while after start it asks the
/// upgrade server for the program's version file, then for the dictionary's, and
/// downloads a newer program package or main dictionary. Everything it learns reaches
/// the window as posted messages, which the window hands to OnMessage; user interface
/// thread only. A new dictionary is put in place, and a new package offered to the
/// user, only when the program closes.
class CUpgradeCheck {
public:
  static const UINT MSG_UPGRADE_TIMER;
  static const UINT MSG_UPGRADE_DOWNLOADED;
  /// wParam: 1 = the request succeeded; lParam: the request's kind.
  static const UINT MSG_HTTPGET_FILE;
  static constexpr LPARAM kProgramVersion = 1;
  static constexpr LPARAM kDictionaryVersion = 2;
  static constexpr std::uint32_t kDefaultDelayMs = 60000;
  /// A version file is two short lines.
  static constexpr qint64 kMaxVersionFileBytes = 4096;

  /// `window` receives the messages; `settings` and `pane` outlive the check.
  CUpgradeCheck(CAppSettings& settings, HWND window, CDownloadPane& pane);
  ~CUpgradeCheck();
  CUpgradeCheck(const CUpgradeCheck&) = delete;
  CUpgradeCheck& operator=(const CUpgradeCheck&) = delete;

  /// Starts the timer for the first (and only) check, StartDelay() from now.
  void Start();
  /// Handles the check's messages; false for any other message.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  /// Ends the timer, any request and any download (a partial download is deleted).
  void Stop();
  /// Whether the timer, a request or a download is under way.
  bool IsBusy() const;
  bool IsPackageReady() const { return m_packageReady; }

  /// After the speller is gone: puts a downloaded dictionary in place (checked, and
  /// kept in the settings folder when the program folder cannot be written).
  void ApplyDictionary();
  /// Tells where a downloaded program package is and, on the user's yes, opens it with
  /// the desktop's software installer. Nothing is installed without the user.
  void OfferPackage(QWidget* parent);

  /// The compiled main dictionary the program uses (see CDictionaryUpdate).
  static std::string MainDictionaryFile(const CAppSettings& settings);
  /// The delay of the first check; tests shorten it.
  static std::uint32_t StartDelay();
  static void SetStartDelay(std::uint32_t ms);

private:
  void OnTimer();
  void OnVersionFile(bool success, LPARAM kind);
  void OnProgramVersion(bool good, const std::string& first, const std::string& second);
  void OnDictionaryVersion(bool good, const std::string& first, const std::string& second);
  void RequestVersionFile(const char* path, LPARAM kind);
  void OnPackageDownloaded(bool success);
  void StartPackageDownload(std::int64_t size);
  void StartDictionaryDownload(std::int64_t size);
  void ShowDownloaded(bool success, const char* text);

  CAppSettings& m_settings;
  HWND m_window;
  CDownloadPane& m_pane;
  // Before the transfers: the version requests' replies belong to it (a download has a
  // manager of its own).
  QNetworkAccessManager m_network;
  std::unique_ptr<CTimerThread> m_timer;
  std::unique_ptr<CHttpTransfer> m_versionRequest;
  std::unique_ptr<CHttpTransfer> m_packageDownload;
  std::unique_ptr<CHttpTransfer> m_dictionaryDownload;
  bool m_packageReady = false;
  /// The announced size of the dictionary downloaded in this run, or -1.
  std::int64_t m_dictionarySize = -1;
};
