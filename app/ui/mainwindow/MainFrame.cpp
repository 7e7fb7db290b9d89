#include "mainwindow/MainFrame.h"

#include "app/WelcomeVoice.h"
#include "mainwindow/DownloadPane.h"
#include "mainwindow/FrameIcons.h"
#include "mainwindow/LibraryInfoDlg.h"
#include "mainwindow/MainView.h"
#include "mainwindow/ProjectBar.h"
#include "mainwindow/StatusProgress.h"
#include "projects/CommandIds.h"
#include "projects/CommandPrompts.h"
#include "projects/DocView.h"
#include "projects/ResearchServices.h"
#include "services/UpgradeCheck.h"
#include "widgets/MessageBoxService.h"
#include "widgets/ShadeStyle.h"

#include "projects/Doc.h"
#include "projects/WebProject.h"
#include "settings/PagelintSettings.h"
#include "spellcore/SpellChecker.h"

#include "utilcore/AppLogger.h"
#include "utilcore/ExeUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/ZebUtils.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

#include <array>

const UINT CMainFrame::MSG_SHOW_WINDOW =
    RegisterWindowMessageA("9D37FA4F-1302-45E6-A58D-38CFB8EA260A");
const UINT CMainFrame::MSG_UPGRADE_NOTICE_SHOWN =
    RegisterWindowMessageA("DA0E469D-49AF-4037-8E93-2A1190DD318D");

namespace {
namespace Id = CommandIds;

constexpr const char* kTitle = "Pagelint";
constexpr const char* kAboutText = "Pagelint checks the spelling of text in your web pages.";
constexpr const char* kSupportAddress = "support@corvanesoftware.com";

// Background styles of the bars.
constexpr int kMenuBarStyle = 2;
constexpr int kToolBarStyle = 4;
constexpr int kStatusBarStyle = 6;
constexpr double kBarTint = 0.25;

struct SHelpCommand {
  int id;
  const char* topic;
};

constexpr std::array kHelpTopics{
    SHelpCommand{Id::kWhereToStart, "Start.htm"},
    SHelpCommand{Id::kHowToSpellCheck, "HowTo/WebSiteSetup.htm"},
    SHelpCommand{Id::kHowToCorrect, "HowTo/Results.htm"},
    SHelpCommand{Id::kMoreInfo, "index.htm"},
    SHelpCommand{Id::kHistory, "Versions.htm"},
    SHelpCommand{Id::kPrivacyPolicy, "Support.htm#privacy"},
};

bool IsDictionaryCommand(int id) {
  return id >= CDoc::ID_DICTIONARY_FIRST && id <= CDoc::ID_DICTIONARY_LAST;
}

bool IsProjectCommand(int id) {
  return id >= CProjectBar::kFirstId && id <= CProjectBar::kLastId;
}

bool IsDocumentCommand(int id) {
  return IsDictionaryCommand(id) || id == CDoc::ID_SPELL_CHECK_WORD ||
         (id >= CDoc::ID_PROJECT_REMOVE && id <= CDoc::ID_PROJECT_CHECK_AGAIN);
}

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

std::string MailAddress(const std::string& subject) {
  return "mailto:" + std::string(kSupportAddress) +
         "?subject=" + QString::fromStdString(subject).toUtf8().toPercentEncoding().toStdString();
}
} // namespace

CMainFrame::CMainFrame(CDoc& doc, CPagelintSettings& settings, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_settings(settings),
      m_help(CHelpLauncher::DefaultFolders(settings.GetApplicationPath())),
      m_upgraded(settings.Upgraded()), m_window([this](UINT message, WPARAM wParam, LPARAM lParam) {
        OnMessage(message, wParam, lParam);
      }) {
  setObjectName("mainFrame");
  setWindowTitle(QString::fromUtf8(kTitle));
  // The installed application icon; drawn when the program runs from its build folder.
  setWindowIcon(CFrameIcons::Get(QStringLiteral("com.corvanesoftware.pagelint"),
                                 CFrameIcons::EGlyph::SpellCheck));
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  m_upgradeCheck =
      std::make_unique<CUpgradeCheck>(m_settings, m_window.GetSafeHwnd(), *m_downloadPane);
  m_upgradeCheck->Start();
  m_projectBar = new CProjectBar(this, [this](int id) { OnCommand(id); });
  addToolBarBreak();
  addToolBar(Qt::TopToolBarArea, m_projectBar);
  RedrawBars();

  connect(qApp, &QApplication::focusChanged, this, &CMainFrame::ScheduleCommandStateUpdate);
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
          &CMainFrame::ScheduleCommandStateUpdate);
  // The mouse's back and forward buttons over any part of the window.
  qApp->installEventFilter(this);
  UpdateCommandStates();
  if (m_settings.GetPlayWelcomeMsg()) {
    new CWelcomeVoice(this); // goes once it has spoken, or at once without a speech engine
  }
}

CMainFrame::~CMainFrame() {
  // The widgets that go with the base class may move the focus; nothing of this frame
  // may answer by then.
  qApp->removeEventFilter(this);
  disconnect(qApp, nullptr, this, nullptr);
  disconnect(QApplication::clipboard(), nullptr, this, nullptr);
}

QAction* CMainFrame::AddCommand(int id, const QString& text) {
  auto* action = new QAction(text, this);
  action->setData(id);
  SetPrompt(action, id);
  connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  m_commands[id] = action;
  return action;
}

QMenu* CMainFrame::AddMenu(const QString& title, int menuId, const char* objectName,
                           const char* prompt, void (CMainFrame::*rebuild)()) {
  QMenu* menu = menuBar()->addMenu(title);
  menu->setObjectName(objectName);
  menu->setProperty("menuId", menuId);
  menu->menuAction()->setStatusTip(QString::fromUtf8(prompt));
  connect(menu, &QMenu::aboutToShow, this, [this, rebuild] {
    if (rebuild != nullptr) {
      (this->*rebuild)();
    }
    UpdateCommandStates();
  });
  return menu;
}

void CMainFrame::BuildMenus() {
  menuBar()->setObjectName("menuBar");
  menuBar()->setProperty("ctrlId", kMenuBarId);
  BuildApplicationMenu();
  BuildEditMenu();
  BuildResearchMenu();
  BuildProjectMenu();
  m_dictionaryMenu = AddMenu(QStringLiteral("&Dictionaries"), 128, "dictionariesMenu",
                             "View and optionally modify the content of the dictionaries",
                             &CMainFrame::RebuildDictionaryMenu);
  BuildHiddenCommands();
}

void CMainFrame::BuildApplicationMenu() {
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

void CMainFrame::BuildEditMenu() {
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

void CMainFrame::BuildResearchMenu() {
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

void CMainFrame::BuildProjectMenu() {
  m_projectMenu =
      AddMenu(QStringLiteral("&Project"), 133, "projectMenu",
              "Add, modify, or remove Pagelint projects", &CMainFrame::RebuildProjectMenu);
  m_projectEntryGroup = new QActionGroup(this);
  m_projectMenuFixed = AddCommand(CDoc::ID_PROJECT_SETTINGS, QStringLiteral("Settings..."));
  m_projectMenu->addAction(m_projectMenuFixed);
  m_projectMenu->addAction(
      AddCommand(CDoc::ID_PROJECT_CHECK_AGAIN, QStringLiteral("Spell Check Again")));
  m_projectMenu->addAction(AddCommand(CDoc::ID_PROJECT_REMOVE, QStringLiteral("Remove...")));
  m_projectMenu->addSeparator();
  m_projectMenu->addAction(AddCommand(CDoc::ID_PROJECT_ADD, QStringLiteral("Add...")));
}

void CMainFrame::BuildHiddenCommands() {
  // Reached by their keys only.
  QAction* libraryInfo = AddCommand(Id::kLibraryInfo, QStringLiteral("DLLInfo"));
  libraryInfo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F12));
  QAction* findAgain = AddCommand(Id::kFindAgain, QStringLiteral("Find Again"));
  findAgain->setShortcut(QKeySequence(Qt::Key_F3));
  QAction* contextHelp = AddCommand(Id::kContextHelp, QStringLiteral("What's This?"));
  contextHelp->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
  AddCommand(Id::kUpgradeNotice, QStringLiteral("Display Upgrade Notice"));
  addActions({libraryInfo, findAgain, contextHelp});

  auto* help = new QAction(this);
  help->setShortcut(QKeySequence(Qt::Key_F1));
  connect(help, &QAction::triggered, this, [this] { DisplayHelpTopic("index.htm"); });
  // The keyboard's application keys.
  const std::array<std::pair<Qt::Key, std::function<void()>>, 5> keys{
      std::pair{Qt::Key_Back, std::function<void()>([this] { SwitchToNeighbour(-1); })},
      std::pair{Qt::Key_Forward, std::function<void()>([this] { SwitchToNeighbour(1); })},
      std::pair{Qt::Key_Help, std::function<void()>([this] { OnCommand(Id::kMoreInfo); })},
      std::pair{Qt::Key_New, std::function<void()>([this] { OnCommand(CDoc::ID_PROJECT_ADD); })},
      std::pair{Qt::Key_Open,
                std::function<void()>([this] { OnCommand(CDoc::ID_PROJECT_SETTINGS); })}};
  addAction(help);
  for (const auto& [key, handler] : keys) {
    auto* action = new QAction(this);
    action->setShortcut(QKeySequence(key));
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
  }
}

void CMainFrame::BuildToolBar() {
  m_toolBar = addToolBar(QStringLiteral("Tool Bar"));
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
  if (m_upgraded) {
    button(Id::kUpgradeNotice, "system-software-update", Glyph::Upgrade);
  }
}

void CMainFrame::BuildStatusBar() {
  statusBar()->setObjectName("statusBar");
  statusBar()->setProperty("ctrlId", kStatusBarId);
  m_statusProgress = std::make_unique<CStatusProgress>(statusBar());
  m_downloadPane = std::make_unique<CDownloadPane>(statusBar());
}

void CMainFrame::SetView(QWidget* widget, CDocView* view) {
  setCentralWidget(widget);
  m_view = view;
  UpdateCommandStates();
}

void CMainFrame::ApplyBarStyle(QWidget* bar, const QString& selector, int component) {
  if (!CShadeStyle::IsEnabled(component)) {
    bar->setStyleSheet({});
    return;
  }
  const QColor base =
      CShadeStyle::Tint(component, bar->palette().color(QPalette::Window), kBarTint);
  // A bar's background is painted only together with a border rule.
  bar->setStyleSheet(QStringLiteral("%1 { background: %2; border: none; }")
                         .arg(selector, CShadeStyle::Gradient(component, base)));
}

void CMainFrame::RedrawBars() {
  ApplyBarStyle(m_toolBar, QStringLiteral("QToolBar#toolBar"), kToolBarStyle);
  ApplyBarStyle(menuBar(), QStringLiteral("QMenuBar#menuBar"), kMenuBarStyle);
  ApplyBarStyle(statusBar(), QStringLiteral("QStatusBar#statusBar"), kStatusBarStyle);
  m_projectBar->ApplyStyles();
  update();
}

void CMainFrame::ApplyStyles() {
  if (auto* view = qobject_cast<CMainView*>(centralWidget()); view != nullptr) {
    view->ApplyBackgroundStyles();
  }
  RedrawBars();
}

void CMainFrame::ShowInStoredShape() {
  SAppShape shape;
  const bool maximized = m_settings.GetAppShape(shape, kDefaultWidth, kDefaultHeight);
  const QRect stored(shape.left, shape.top, shape.width, shape.height);
  // A shape left on a screen that is gone is not used for the place, only the size.
  const bool onScreen = shape.stored && QGuiApplication::screenAt(stored.center()) != nullptr;
  if (onScreen) {
    setGeometry(stored);
  } else {
    resize(shape.width > 0 ? shape.width : kDefaultWidth,
           shape.height > 0 ? shape.height : kDefaultHeight);
  }
  if (maximized) {
    showMaximized();
  } else {
    show();
  }
}

void CMainFrame::StoreShape() {
  const bool maximized = isMaximized();
  const bool minimized = isMinimized();
  const QRect normal = maximized || minimized ? normalGeometry() : geometry();
  SAppShape shape;
  shape.left = normal.x();
  shape.top = normal.y();
  shape.width = normal.width();
  shape.height = normal.height();
  shape.minimized = minimized;
  shape.maximized = maximized;
  shape.stored = true;
  m_settings.SetAppShape(shape);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  m_upgradeCheck->Stop();
  StoreShape();
  event->accept();
}

void CMainFrame::RefreshProjectBar() {
  std::string current;
  std::vector<std::string> names;
  m_doc.GetProjectNames(current, names);
  m_projectBar->SetProjects(names);
  const CWebProject* project = m_doc.GetCurrentProject();
  m_projectBar->Press(project != nullptr ? CProjectBar::CommandIdOf(m_doc.GetProjectIndex(project))
                                         : -1);
  UpdateCommandStates();
}

void CMainFrame::PressProjectButton(int commandId) {
  m_projectBar->Press(commandId);
}

void CMainFrame::RebuildDictionaryMenu() {
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
    // Ids past the range would name other commands.
    if (name.empty() || !IsDictionaryCommand(id)) {
      continue;
    }
    // Other projects' ignore lists are theirs.
    if (CWebProject::IsIgnoreDictionaryName(name) && name != ownIgnore) {
      continue;
    }
    QAction* entry =
        m_dictionaryMenu->addAction(CProjectBar::PlainText(name) + QStringLiteral("..."));
    entry->setData(id);
    SetPrompt(entry, id);
    connect(entry, &QAction::triggered, this, [this, id] { OnCommand(id); });
  }
}

void CMainFrame::RebuildProjectMenu() {
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
      connect(entry, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    m_projectMenu->insertAction(m_projectMenuFixed, entry);
    m_projectEntries.push_back(entry);
  }
  if (!m_projectEntries.empty()) {
    m_projectEntries.push_back(m_projectMenu->insertSeparator(m_projectMenuFixed));
  }
}

void CMainFrame::UpdateCommandStates() {
  for (const auto& [id, action] : m_commands) {
    action->setEnabled(IsCommandEnabled(id));
  }
  for (QAction* entry : m_dictionaryMenu->actions()) {
    entry->setEnabled(IsCommandEnabled(entry->data().toInt()));
  }
  for (QAction* entry : m_projectEntries) {
    if (entry->isSeparator()) {
      continue;
    }
    const int id = entry->data().toInt();
    entry->setEnabled(id > 0 && IsCommandEnabled(id));
    entry->setChecked(IsProjectChecked(id));
  }
}

void CMainFrame::ScheduleCommandStateUpdate() {
  if (m_updateScheduled) {
    return;
  }
  m_updateScheduled = true;
  QTimer::singleShot(0, this, [this] {
    m_updateScheduled = false;
    UpdateCommandStates();
  });
}

bool CMainFrame::IsCommandEnabled(int id) const {
  if (m_view != nullptr) {
    if (const std::optional<bool> enabled = m_view->IsCommandEnabled(id)) {
      return *enabled;
    }
  }
  if (IsDocumentCommand(id)) {
    return m_doc.IsCommandEnabled(id);
  }
  return IsOwnCommandEnabled(id).value_or(false);
}

std::optional<bool> CMainFrame::IsOwnCommandEnabled(int id) const {
  if (IsProjectCommand(id)) {
    return true;
  }
  switch (id) {
  case Id::kAbout:
  case Id::kWhereToStart:
  case Id::kHowToSpellCheck:
  case Id::kHowToCorrect:
  case Id::kMoreInfo:
  case Id::kHistory:
  case Id::kPrivacyPolicy:
  case Id::kTechSupport:
  case Id::kRequestFeature:
  case Id::kVisitWebSite:
  case Id::kLibraryInfo:
  case Id::kContextHelp:
  case Id::kAppExit:
    return true;
  case Id::kUpgradeNotice:
    return m_upgraded;
  default:
    return std::nullopt;
  }
}

bool CMainFrame::IsProjectChecked(int id) const {
  const CWebProject* current = m_doc.GetCurrentProject();
  return IsProjectCommand(id) && current != nullptr &&
         m_doc.GetProjectIndex(current) == id - CProjectBar::kFirstId;
}

void CMainFrame::OnCommand(int id) {
  if (!IsCommandEnabled(id)) {
    return;
  }
  if (m_view != nullptr && m_view->OnCommand(id)) {
    UpdateCommandStates();
    return;
  }
  if (IsDocumentCommand(id) && m_doc.OnCommand(id)) {
    UpdateCommandStates();
    return;
  }
  OnOwnCommand(id);
  UpdateCommandStates();
}

void CMainFrame::OnOwnCommand(int id) {
  if (IsProjectCommand(id)) {
    SwitchProject(id - CProjectBar::kFirstId);
    return;
  }
  for (const SHelpCommand& help : kHelpTopics) {
    if (help.id == id) {
      DisplayHelpTopic(help.topic);
      return;
    }
  }
  switch (id) {
  case Id::kAbout:
    ShowAbout();
    break;
  case Id::kTechSupport:
    Launch(MailAddress("Pagelint " + m_settings.GetCurrentVersionNumber() + " Technical Support"));
    break;
  case Id::kRequestFeature:
    Launch(MailAddress("Pagelint Feature Request"));
    break;
  case Id::kVisitWebSite:
    Launch(CZebUtils::kWebSite);
    break;
  case Id::kLibraryInfo:
    ShowLibraryInfo();
    break;
  case Id::kContextHelp:
    QWhatsThis::enterWhatsThisMode();
    break;
  case Id::kUpgradeNotice:
    ShowUpgradeNotice();
    break;
  case Id::kAppExit:
    close();
    break;
  default:
    break;
  }
}

void CMainFrame::SwitchProject(int index) {
  CWebProject* project = m_doc.GetProject(index);
  if (project != nullptr && project != m_doc.GetCurrentProject()) {
    m_doc.SelectProject(project);
  }
}

void CMainFrame::SwitchToNeighbour(int step) {
  const int pressed = m_projectBar->PressedIndex();
  if (pressed < 0) {
    return;
  }
  m_projectBar->Trigger(pressed + step);
}

void CMainFrame::DisplayHelpTopic(const std::string& topic) {
  m_help.Open(this, topic);
}

void CMainFrame::ShowAbout() {
  const QString text = QString::fromUtf8(kAboutText) + QStringLiteral("\n\nVersion ") +
                       QString::fromStdString(m_settings.GetCurrentVersionNumber());
  CMessageBoxService::Ask(
      this, {QStringLiteral("About Pagelint"), text, CMessageBoxService::EButtons::Ok, {}});
}

void CMainFrame::ShowLibraryInfo() {
  const CAppLogger* log = CAppLogger::GetInstance();
  const CLibraryInfoDlg::Rows folders{
      {"Program folder", m_settings.GetApplicationPath()},
      {"Settings file", m_settings.GetSettingsFilePath()},
      {"Project data folder", m_settings.GetDocSettings().projectDataDirectory},
      {"Custom dictionary folder", CZebUtils::GetCustomDictionaryPath()},
      {"Log file", log != nullptr ? log->GetPath() : std::string()},
  };
  CLibraryInfoDlg dialog(this, folders);
  dialog.exec();
}

void CMainFrame::Launch(const std::string& address) {
  std::string error;
  if (!CExeUtils::ShellLaunchApp(address, {}, std::string(), true, 0, CExeUtils::kShowNormal,
                                 error) &&
      !error.empty()) {
    CMessageBoxService::Ask(this, {QString::fromUtf8(kTitle),
                                   QString::fromStdString(error),
                                   CMessageBoxService::EButtons::Ok,
                                   {}});
  }
}

void CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == MSG_SHOW_WINDOW) {
    BringToFront();
  } else if (message == MSG_UPGRADE_NOTICE_SHOWN) {
    m_upgraded = false;
    m_toolBar->removeAction(m_commands.at(Id::kUpgradeNotice));
    UpdateCommandStates();
  } else if (m_upgradeCheck != nullptr) {
    m_upgradeCheck->OnMessage(message, wParam, lParam);
  }
}

void CMainFrame::ShowUpgradeNotice() {
  const QString text =
      QStringLiteral("Pagelint has been upgraded from version %1 to version %2.\n\n"
                     "The History page tells what is new.")
          .arg(QString::fromStdString(m_settings.GetOldVersionNumber()),
               QString::fromStdString(m_settings.GetCurrentVersionNumber()));
  CMessageBoxService::Ask(this, {QStringLiteral("Pagelint Has Been Upgraded!"), text,
                                 CMessageBoxService::EButtons::Ok, QStringLiteral("Versions.htm")});
  PostMessage(m_window.GetSafeHwnd(), MSG_UPGRADE_NOTICE_SHOWN, 0, 0);
}

void CMainFrame::BringToFront() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  // A question or window the user has yet to answer stays on top of the frame.
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
    modal->raise();
    modal->activateWindow();
  }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType()) {
    return QMainWindow::eventFilter(watched, event);
  }
  const auto* press = static_cast<QMouseEvent*>(event);
  const int step = press->button() == Qt::BackButton      ? -1
                   : press->button() == Qt::ForwardButton ? 1
                                                          : 0;
  if (step == 0 || static_cast<QWidget*>(watched)->window() != this) {
    return QMainWindow::eventFilter(watched, event);
  }
  SwitchToNeighbour(step);
  return true;
}
