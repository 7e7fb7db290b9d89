#include "mainwindow/FrameMenus.h"

#include "mainwindow/CommandRouter.h"
#include "mainwindow/FrameIcons.h"
#include "mainwindow/ProjectBar.h"
#include "projects/CommandIds.h"
#include "projects/CommandPrompts.h"
#include "projects/ResearchServices.h"

#include "projects/Doc.h"
#include "projects/WebProject.h"
#include "spellcore/SpellChecker.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <array>
#include <utility>

namespace {
namespace Id = CommandIds;

void SetPrompt(QAction* action, int id) {
  const std::string status = CCommandPrompts::StatusText(id);
  if (!status.empty()) {
    action->setStatusTip(QString::fromStdString(status));
  }
  const std::string tip = CCommandPrompts::ToolTip(id);
  if (!tip.empty()) {
    action->setToolTip(QString::fromStdString(tip));
  }
}
} // namespace

CFrameMenus::CFrameMenus(QMainWindow& frame, const CDoc& doc, SHandlers handlers)
    : m_frame(frame), m_doc(doc), m_handlers(std::move(handlers)) {}

void CFrameMenus::Build(bool upgraded) {
  BuildMenus();
  BuildToolBar(upgraded);
}

QAction* CFrameMenus::AddCommand(int id, const QString& text) {
  auto* action = new QAction(text, &m_frame);
  action->setData(id);
  SetPrompt(action, id);
  connect(action, &QAction::triggered, this, [this, id] { m_handlers.command(id); });
  m_commands[id] = action;
  return action;
}

QMenu* CFrameMenus::AddMenu(const QString& title, int menuId, const char* objectName,
                            const char* prompt, void (CFrameMenus::*rebuild)()) {
  QMenu* menu = m_frame.menuBar()->addMenu(title);
  menu->setObjectName(objectName);
  menu->setProperty("menuId", menuId);
  menu->menuAction()->setStatusTip(QString::fromUtf8(prompt));
  connect(menu, &QMenu::aboutToShow, this, [this, rebuild] {
    if (rebuild != nullptr) {
      (this->*rebuild)();
    }
    m_handlers.menuOpening();
  });
  return menu;
}

void CFrameMenus::BuildMenus() {
  m_frame.menuBar()->setObjectName("menuBar");
  m_frame.menuBar()->setProperty("ctrlId", kMenuBarId);
  BuildApplicationMenu();
  BuildEditMenu();
  BuildResearchMenu();
  BuildProjectMenu();
  m_dictionaryMenu = AddMenu(QStringLiteral("&Dictionaries"), 128, "dictionariesMenu",
                             "View and optionally modify the content of the dictionaries",
                             &CFrameMenus::RebuildDictionaryMenu);
  BuildHiddenCommands();
}

void CFrameMenus::BuildApplicationMenu() {
  QMenu* menu = AddMenu(QStringLiteral("&Pagelint"), 130, "applicationMenu",
                        "Interact with the application and Corvane Software");
  menu->addAction(AddCommand(Id::kAbout, QStringLiteral("About...")));
  QMenu* howTo = menu->addMenu(QStringLiteral("How-to"));
  howTo->setObjectName("howToMenu");
  howTo->addAction(AddCommand(Id::kWhereToStart, QStringLiteral("Where Do I Start?")));
  howTo->addAction(
      AddCommand(Id::kHowToSpellCheck, QStringLiteral("How Do I Spell Check My Web Site?")));
  howTo->addAction(AddCommand(Id::kHowToCorrect, QStringLiteral("How Do I Correct Misspellings?")));
  menu->addAction(AddCommand(Id::kMoreInfo, QStringLiteral("More Info")));
  menu->addAction(AddCommand(Id::kHistory, QStringLiteral("History")));
  menu->addAction(AddCommand(Id::kPrivacyPolicy, QStringLiteral("Privacy Policy")));
  menu->addSeparator();
  menu->addAction(AddCommand(Id::kTechSupport, QStringLiteral("E-mail Tech Support")));
  menu->addAction(AddCommand(Id::kRequestFeature, QStringLiteral("Request A Feature")));
  menu->addAction(
      AddCommand(Id::kVisitWebSite, QStringLiteral("Visit Corvane Software's Web Site")));
  menu->addSeparator();
  menu->addAction(AddCommand(Id::kSettings, QStringLiteral("Settings...")));
  menu->addSeparator();
  QAction* exit = AddCommand(Id::kAppExit, QStringLiteral("Exit"));
  exit->setMenuRole(QAction::QuitRole);
  menu->addAction(exit);
}

void CFrameMenus::BuildEditMenu() {
  QMenu* menu =
      AddMenu(QStringLiteral("&Edit"), 129, "editMenu", "Interact with the Windows Clipboard");
  QAction* undo = AddCommand(Id::kEditUndo, QStringLiteral("Undo"));
  undo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
  menu->addAction(undo);
  menu->addSeparator();
  const std::array<std::pair<int, QKeyCombination>, 3> clipboard{
      std::pair{Id::kEditCut, Qt::CTRL | Qt::Key_X}, std::pair{Id::kEditCopy, Qt::CTRL | Qt::Key_C},
      std::pair{Id::kEditPaste, Qt::CTRL | Qt::Key_V}};
  const std::array<const char*, 3> names{"Cut", "Copy", "Paste"};
  for (std::size_t i = 0; i < clipboard.size(); ++i) {
    QAction* action = AddCommand(clipboard[i].first, QString::fromUtf8(names[i]));
    action->setShortcut(QKeySequence(clipboard[i].second));
    menu->addAction(action);
  }
  menu->addSeparator();
  QAction* selectAll = AddCommand(Id::kEditSelectAll, QStringLiteral("Select All"));
  selectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  menu->addAction(selectAll);
  menu->addSeparator();
  menu->addAction(AddCommand(Id::kSpellCheckWord, QStringLiteral("Spell Check...")));
}

void CFrameMenus::BuildResearchMenu() {
  QMenu* menu =
      AddMenu(QStringLiteral("&Research"), 131, "researchMenu", "Research selected word online");
  for (const CResearchServices::SService& entry : CResearchServices::All()) {
    const QString site = QString::fromUtf8(entry.site);
    QAction* action = AddCommand(entry.commandId, QStringLiteral("On ") + site);
    action->setStatusTip((entry.pronounce
                              ? QStringLiteral("Find out how to pronounce the selected word on ")
                              : QStringLiteral("Find the selected word on ")) +
                         site);
    action->setToolTip(QStringLiteral("Look Up on ") + site);
    menu->addAction(action);
  }
}

void CFrameMenus::BuildProjectMenu() {
  m_projectMenu =
      AddMenu(QStringLiteral("&Project"), 133, "projectMenu",
              "Add, modify, or remove Pagelint projects", &CFrameMenus::RebuildProjectMenu);
  m_projectEntryGroup = new QActionGroup(&m_frame);
  m_projectMenuFixed = AddCommand(CDoc::ID_PROJECT_SETTINGS, QStringLiteral("Settings..."));
  m_projectMenu->addAction(m_projectMenuFixed);
  m_projectMenu->addAction(
      AddCommand(CDoc::ID_PROJECT_CHECK_AGAIN, QStringLiteral("Spell Check Again")));
  m_projectMenu->addAction(AddCommand(CDoc::ID_PROJECT_REMOVE, QStringLiteral("Remove...")));
  m_projectMenu->addSeparator();
  m_projectMenu->addAction(AddCommand(CDoc::ID_PROJECT_ADD, QStringLiteral("Add...")));
}

void CFrameMenus::BuildHiddenCommands() {
  // Reached by their keys only.
  QAction* libraryInfo = AddCommand(Id::kLibraryInfo, QStringLiteral("DLLInfo"));
  libraryInfo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F12));
  QAction* findAgain = AddCommand(Id::kFindAgain, QStringLiteral("Find Again"));
  findAgain->setShortcut(QKeySequence(Qt::Key_F3));
  QAction* contextHelp = AddCommand(Id::kContextHelp, QStringLiteral("What's This?"));
  contextHelp->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
  AddCommand(Id::kUpgradeNotice, QStringLiteral("Display Upgrade Notice"));
  m_frame.addActions({libraryInfo, findAgain, contextHelp});
  BuildApplicationKeys();
}

void CFrameMenus::BuildApplicationKeys() {
  auto* help = new QAction(&m_frame);
  help->setShortcut(QKeySequence(Qt::Key_F1));
  connect(help, &QAction::triggered, this, [this] { m_handlers.help(); });
  // The keyboard's application keys.
  const auto command = [this](int id) { return [this, id] { m_handlers.command(id); }; };
  const std::array<std::pair<Qt::Key, std::function<void()>>, 5> keys{
      std::pair{Qt::Key_Back, std::function<void()>([this] { m_handlers.neighbour(-1); })},
      std::pair{Qt::Key_Forward, std::function<void()>([this] { m_handlers.neighbour(1); })},
      std::pair{Qt::Key_Help, std::function<void()>(command(Id::kMoreInfo))},
      std::pair{Qt::Key_New, std::function<void()>(command(CDoc::ID_PROJECT_ADD))},
      std::pair{Qt::Key_Open, std::function<void()>(command(CDoc::ID_PROJECT_SETTINGS))}};
  m_frame.addAction(help);
  for (const auto& [key, handler] : keys) {
    auto* action = new QAction(&m_frame);
    action->setShortcut(QKeySequence(key));
    connect(action, &QAction::triggered, this, handler);
    m_frame.addAction(action);
  }
}

void CFrameMenus::BuildToolBar(bool upgraded) {
  m_toolBar = m_frame.addToolBar(QStringLiteral("Tool Bar"));
  m_toolBar->setObjectName("toolBar");
  m_toolBar->setProperty("ctrlId", kToolBarId);
  using Glyph = CFrameIcons::EGlyph;
  const auto button = [this](int id, const char* themeName, Glyph glyph) {
    QAction* action = m_commands.at(id);
    action->setIcon(CFrameIcons::Get(QString::fromUtf8(themeName), glyph));
    m_toolBar->addAction(action);
  };
  button(Id::kEditCopy, "edit-copy", Glyph::Copy);
  button(Id::kEditPaste, "edit-paste", Glyph::Paste);
  m_toolBar->addSeparator();
  button(CDoc::ID_PROJECT_SETTINGS, "document-properties", Glyph::Settings);
  button(CDoc::ID_PROJECT_CHECK_AGAIN, "tools-check-spelling", Glyph::SpellCheck);
  m_toolBar->addSeparator();
  button(Id::kMoreInfo, "help-about", Glyph::Info);
  button(Id::kTechSupport, "mail-send", Glyph::Mail);
  if (upgraded) {
    button(Id::kUpgradeNotice, "system-software-update", Glyph::Upgrade);
  }
}

void CFrameMenus::RebuildDictionaryMenu() {
  m_dictionaryMenu->clear();
  CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return;
  }
  const CWebProject* current = m_doc.GetCurrentProject();
  const std::string ownIgnore = current != nullptr ? current->GetIgnoreDictionaryName() : "";
  std::vector<int> ids;
  speller->GetDictionaries(ids, false, true);
  std::string name;
  for (const int dictionaryId : ids) {
    speller->GetDictionaryName(dictionaryId, name);
    const int id = CDoc::ID_DICTIONARY_FIRST + dictionaryId;
    // Ids past the range would name other commands; a shipped list is not the user's
    // to edit.
    if (name.empty() || !CCommandRouter::IsDictionaryCommand(id) ||
        !speller->TakesWords(dictionaryId)) {
      continue;
    }
    // Other projects' ignore lists are theirs.
    if (CProjectNaming::IsIgnoreDictionaryName(name) && name != ownIgnore) {
      continue;
    }
    // So are other sites' own word lists.
    if (speller->IsSiteWordList(dictionaryId) &&
        (current == nullptr || dictionaryId != current->GetSiteWordsId())) {
      continue;
    }
    AddDictionaryEntry(name, id);
  }
}

void CFrameMenus::AddDictionaryEntry(const std::string& name, int id) {
  QAction* entry =
      m_dictionaryMenu->addAction(CProjectBar::PlainText(name) + QStringLiteral("..."));
  entry->setData(id);
  SetPrompt(entry, id);
  connect(entry, &QAction::triggered, this, [this, id] { m_handlers.command(id); });
}

void CFrameMenus::RebuildProjectMenu() {
  for (QAction* entry : m_projectEntries) {
    delete entry;
  }
  m_projectEntries.clear();
  std::string current;
  std::vector<std::string> names;
  m_doc.GetProjectNames(current, names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int id = CProjectBar::CommandIdOf(static_cast<int>(i));
    auto* entry = new QAction(CProjectBar::PlainText(names[i]), m_projectMenu);
    entry->setCheckable(true);
    entry->setData(id);
    SetPrompt(entry, CProjectBar::kFirstId);
    m_projectEntryGroup->addAction(entry);
    if (id > 0) {
      connect(entry, &QAction::triggered, this, [this, id] { m_handlers.command(id); });
    }
    m_projectMenu->insertAction(m_projectMenuFixed, entry);
    m_projectEntries.push_back(entry);
  }
  if (!m_projectEntries.empty()) {
    m_projectEntries.push_back(m_projectMenu->insertSeparator(m_projectMenuFixed));
  }
}

void CFrameMenus::RemoveUpgradeButton() {
  m_toolBar->removeAction(m_commands.at(Id::kUpgradeNotice));
}

void CFrameMenus::UpdateStates(const CCommandRouter& router) {
  for (const auto& [id, action] : m_commands) {
    action->setEnabled(router.IsEnabled(id));
  }
  for (QAction* entry : m_dictionaryMenu->actions()) {
    entry->setEnabled(router.IsEnabled(entry->data().toInt()));
  }
  for (QAction* entry : m_projectEntries) {
    if (entry->isSeparator()) {
      continue;
    }
    const int id = entry->data().toInt();
    entry->setEnabled(id > 0 && router.IsEnabled(id));
    entry->setChecked(router.IsChecked(id));
  }
}
