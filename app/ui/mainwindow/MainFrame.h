#pragma once

#include "mainwindow/CommandRouter.h"
#include "mainwindow/FrameMenus.h"
#include "services/HelpLauncher.h"

#include "mtcore/FunctionTarget.h"

#include <QMainWindow>

#include <memory>
#include <string>

class CDoc;
class CDocView;
class CDownloadPane;
class CPagelintSettings;
class CProjectBar;
class CStatusProgress;
class CUpgradeCheck;

/// The program's main window: the menus, the tool bar, the status bar and the web
/// projects bar around the view. CFrameMenus builds the menus and the tool bar;
/// CCommandRouter takes every command to the view first, then to the document, then to
/// the frame's own handlers. User interface thread only.
class CMainFrame : public QMainWindow {
  Q_OBJECT

public:
  static constexpr int kStatusBarId = 8002;
  static constexpr int kDefaultWidth = 652;
  static constexpr int kDefaultHeight = 388;

  /// Posted to the frame's message window to bring the window to the front (a second
  /// start of the program asks for this).
  static const UINT MSG_SHOW_WINDOW;
  /// Posted to the frame once the upgrade notice has been read.
  static const UINT MSG_UPGRADE_NOTICE_SHOWN;

  /// `doc` and `settings` outlive the frame.
  CMainFrame(CDoc& doc, CPagelintSettings& settings, QWidget* parent = nullptr);
  ~CMainFrame() override;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  /// Puts `widget` in the middle of the window (the frame owns it from now on) and
  /// offers `view` every command first. `view` is usually the same object.
  void SetView(QWidget* widget, CDocView* view);
  CDocView* GetView() const { return m_router.GetView(); }

  /// Shows the window with the shape stored in the settings (652 x 388 at first),
  /// maximized when it was.
  void ShowInStoredShape();
  /// Puts the window's shape into the settings (which are saved at exit).
  void StoreShape();

  /// One project bar button per project of the document, in its order.
  void RefreshProjectBar();
  /// Shows the project button of `commandId` pressed.
  void PressProjectButton(int commandId);
  /// Enables and checks every command as the view, the document and the frame say.
  /// Called before a menu opens and when the focus changes; the view calls it when its
  /// selection changes.
  void UpdateCommandStates();
  /// UpdateCommandStates once the events at hand are handled (bursts make one refresh).
  void ScheduleCommandStateUpdate();
  /// Re-applies the background styles to the bars (after the user changed them).
  void RedrawBars();
  /// Re-applies the background styles everywhere: the main view's, then the bars'.
  void ApplyStyles();

  /// Carries out command `id`: the view, else the document, else the frame. A disabled
  /// command does nothing.
  void OnCommand(int id);
  bool IsCommandEnabled(int id) const;

  CStatusProgress& GetStatusProgress() { return *m_statusProgress; }
  /// The background upgrade check, started with the frame.
  CUpgradeCheck& GetUpgradeCheck() { return *m_upgradeCheck; }
  /// The target of MSG_SHOW_WINDOW.
  HWND GetMessageWindow() const { return m_window.GetSafeHwnd(); }
  /// Opens a help page ("index.htm", "Support.htm#privacy", ...).
  void DisplayHelpTopic(const std::string& topic);
  /// The program's settings, which the frame's dialogs read and change.
  CPagelintSettings& GetSettings() { return m_settings; }

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  CFrameMenus::SHandlers MenuHandlers();
  /// The commands the frame carries out itself, with when they are enabled.
  void AddOwnCommands();
  void BuildStatusBar();
  void ApplyBarStyle(QWidget* bar, const QString& selector, int component);

  void SwitchProject(int index);
  void SwitchToNeighbour(int step);
  void ShowAbout();
  void ShowLibraryInfo();
  void Launch(const std::string& address);
  void BringToFront();
  void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void ShowUpgradeNotice();

  CDoc& m_doc;
  CPagelintSettings& m_settings;
  CHelpLauncher m_help;
  bool m_upgraded = false;
  bool m_updateScheduled = false;
  CCommandRouter m_router;
  std::unique_ptr<CFrameMenus> m_menus;
  CProjectBar* m_projectBar = nullptr;
  std::unique_ptr<CStatusProgress> m_statusProgress;
  std::unique_ptr<CDownloadPane> m_downloadPane;
  CFunctionTarget m_window;
  std::unique_ptr<CUpgradeCheck> m_upgradeCheck;
};
