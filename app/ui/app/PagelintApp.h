#pragma once

#include "mainwindow/DocUiBridge.h"

#include "settings/PagelintSettings.h"

#include <memory>
#include <string>

class CDoc;
class CMainFrame;
class CMainView;
class CQtMessagePump;
class CSingleInstanceLock;

/// The program's application object: brings up the settings, the speller, the
/// document with its projects and the main window, steers the first screen the user
/// sees, and takes everything down again in order at exit. User interface thread only.
class CPagelintApp {
public:
  /// The program: a QApplication, one running instance per user, the event loop.
  static int Run(int argc, char** argv);
  /// The program once a QApplication exists, with `appDirectory` as program folder: 0
  /// at once when another instance runs (it has been asked to show itself), else the
  /// event loop's result after the window closed.
  static int Exec(const std::string& appDirectory);

  /// Opens the log. A QApplication must exist.
  CPagelintApp();
  /// Closes first when that has not happened yet.
  ~CPagelintApp();
  CPagelintApp(const CPagelintApp&) = delete;
  CPagelintApp& operator=(const CPagelintApp&) = delete;

  /// Start-up: default shadings, settings, document, main window and view, speller,
  /// projects, a message naming the data files that could not be read, then the first
  /// screen (the first project, or the add-project window, after the welcome on a first
  /// start). `lock`, when given, sends its show requests to the main window from now
  /// on. False: the program cannot run.
  bool Start(const std::string& appDirectory, CSingleInstanceLock* lock = nullptr);
  /// Closes the program as Exit does (logout, SIGTERM, SIGINT): the main window closes,
  /// storing its shape, and every event loop ends.
  void RequestExit();
  bool IsExitRequested() const { return m_exitRequested; }
  /// The exit sequence: the window's shape stored, the projects stopped (the document
  /// closed), the speller released, the settings saved, the log's last line. Once.
  void Close();

  CMainFrame* GetFrame() const { return m_frame.get(); }
  CDoc* GetDoc() const { return m_doc.get(); }
  CPagelintSettings& GetSettings() { return m_settings; }

private:
  /// One message naming the settings and project data files the start could not read.
  /// With PAGELINT_STARTUP_PROBE set, tells when the first words show (CStartupProbe).
  void InstallStartupProbe(CMainView& view);
  void TellOfDamagedFiles();
  void ShowFirstScreen(bool firstStart);

  CPagelintSettings m_settings;
  CDocUiBridge m_ui;
  std::unique_ptr<CQtMessagePump> m_pump;
  std::unique_ptr<CDoc> m_doc;
  // After the document: the frame and its view go first.
  std::unique_ptr<CMainFrame> m_frame;
  CSingleInstanceLock* m_lock = nullptr;
  bool m_started = false;
  bool m_closed = false;
  bool m_exitRequested = false;
};
