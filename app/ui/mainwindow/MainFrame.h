#pragma once

#include "services/HelpLauncher.h"

#include "mtcore/FunctionTarget.h"

#include <QMainWindow>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDoc;
class CDocView;
class CDownloadPane;
class CPagelintSettings;
class CProjectBar;
class CStatusProgress;
class CUpgradeCheck;
class QActionGroup;
class QMenu;
class QToolBar;

/// The program's main window: the menus, the tool bar, the status bar and the web
/// projects bar around the view. It routes every command to the view first, then to
/// the document, then handles it itself. User interface thread only.
class CMainFrame : public QMainWindow {
  Q_OBJECT

public:
  static constexpr int kToolBarId = 8000;
  static constexpr int kMenuBarId = 8001;
  static constexpr int kStatusBarId = 8002;
  static constexpr int kProjectBarId = 8003;
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
  CDocView* GetView() const { return m_view; }

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
  CDownloadPane& GetDownloadPane() { return *m_downloadPane; }
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
  QAction* AddCommand(int id, const QString& text);
  /// A menu of the menu bar; `rebuild` (may be null) fills it each time it opens.
  QMenu* AddMenu(const QString& title, int menuId, const char* objectName, const char* prompt,
                 void (CMainFrame::*rebuild)() = nullptr);
  void BuildMenus();
  void BuildApplicationMenu();
  void BuildEditMenu();
  void BuildResearchMenu();
  void BuildProjectMenu();
  void BuildHiddenCommands();
  void BuildToolBar();
  void BuildStatusBar();
  void RebuildDictionaryMenu();
  void RebuildProjectMenu();
  void ApplyBarStyle(QWidget* bar, const QString& selector, int component);

  std::optional<bool> IsOwnCommandEnabled(int id) const;
  bool IsProjectChecked(int id) const;
  void OnOwnCommand(int id);
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
  CDocView* m_view = nullptr;
  CHelpLauncher m_help;
  bool m_upgraded = false;
  bool m_updateScheduled = false;
  /// The fixed commands, by id; each is one action shared by menus and tool bar.
  std::map<int, QAction*> m_commands;
  QMenu* m_dictionaryMenu = nullptr;
  QMenu* m_projectMenu = nullptr;
  QAction* m_projectMenuFixed = nullptr; ///< first fixed entry of the Project menu
  std::vector<QAction*> m_projectEntries;
  QActionGroup* m_projectEntryGroup = nullptr;
  QToolBar* m_toolBar = nullptr;
  CProjectBar* m_projectBar = nullptr;
  std::unique_ptr<CStatusProgress> m_statusProgress;
  std::unique_ptr<CDownloadPane> m_downloadPane;
  CFunctionTarget m_window;
  std::unique_ptr<CUpgradeCheck> m_upgradeCheck;
};
