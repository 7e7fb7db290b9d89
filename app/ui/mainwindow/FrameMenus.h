#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <string>
#include <vector>

class CCommandRouter;
class CDoc;
class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QString;
class QToolBar;

/// The main window's menu bar, tool bar and key-only commands. Each fixed command is one
/// action, shared by the menus and the tool bar, that carries its id as its data; the
/// Dictionaries menu and the Project menu's projects are built afresh each time the menu
/// opens. The menus and actions belong to the frame. User interface thread only.
class CFrameMenus : public QObject {
  Q_OBJECT

public:
  static constexpr int kToolBarId = 8000;
  static constexpr int kMenuBarId = 8001;

  /// What the menus and keys ask of the frame.
  struct SHandlers {
    std::function<void(int id)> command;     ///< an entry, a button or a key was chosen
    std::function<void()> menuOpening;       ///< before a menu shows its entries
    std::function<void(int step)> neighbour; ///< the Back (-1) or Forward (1) key
    std::function<void()> help;              ///< the help key
  };

  /// `frame` and `doc` outlive the menus.
  CFrameMenus(QMainWindow& frame, const CDoc& doc, SHandlers handlers);

  /// The menus, the key-only commands and the tool bar; the tool bar has the upgrade
  /// notice's button when `upgraded`.
  void Build(bool upgraded);
  QToolBar* ToolBar() const { return m_toolBar; }
  /// Takes the upgrade notice's button off the tool bar.
  void RemoveUpgradeButton();
  /// Enables every entry as `router` says and checks the current project's.
  void UpdateStates(const CCommandRouter& router);

private:
  QAction* AddCommand(int id, const QString& text);
  /// A menu of the menu bar; `rebuild` (may be null) fills it each time it opens.
  QMenu* AddMenu(const QString& title, int menuId, const char* objectName, const char* prompt,
                 void (CFrameMenus::*rebuild)() = nullptr);
  void BuildMenus();
  void BuildApplicationMenu();
  void BuildEditMenu();
  void BuildResearchMenu();
  void BuildProjectMenu();
  void BuildHiddenCommands();
  void BuildApplicationKeys();
  void BuildToolBar(bool upgraded);
  void RebuildDictionaryMenu();
  /// The entry that opens the editor of dictionary `name`, command `id`.
  void AddDictionaryEntry(const std::string& name, int id);
  void RebuildProjectMenu();

  QMainWindow& m_frame;
  const CDoc& m_doc;
  SHandlers m_handlers;
  /// The fixed commands, by id.
  std::map<int, QAction*> m_commands;
  QMenu* m_dictionaryMenu = nullptr;
  QMenu* m_projectMenu = nullptr;
  QAction* m_projectMenuFixed = nullptr; ///< first fixed entry of the Project menu
  std::vector<QAction*> m_projectEntries;
  QActionGroup* m_projectEntryGroup = nullptr;
  QToolBar* m_toolBar = nullptr;
};
