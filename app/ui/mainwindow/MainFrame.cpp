#include "mainwindow/MainFrame.h"

#include "app/WelcomeVoice.h"
#include "mainwindow/DownloadPane.h"
#include "mainwindow/FrameIcons.h"
#include "mainwindow/FrameMenus.h"
#include "mainwindow/LibraryInfoDlg.h"
#include "mainwindow/MainView.h"
#include "mainwindow/ProjectBar.h"
#include "mainwindow/StatusProgress.h"
#include "projects/CommandIds.h"
#include "services/UpgradeCheck.h"
#include "widgets/MessageBoxService.h"
#include "widgets/ShadeStyle.h"

#include "projects/Doc.h"
#include "projects/WebProject.h"
#include "settings/PagelintSettings.h"

#include "utilcore/AppLogger.h"
#include "utilcore/ExeUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/ZebUtils.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
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

std::string MailAddress(const std::string& subject) {
  return "mailto:" + std::string(kSupportAddress) +
         "?subject=" + QString::fromStdString(subject).toUtf8().toPercentEncoding().toStdString();
}
} // namespace

CMainFrame::CMainFrame(CDoc& doc, CPagelintSettings& settings, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_settings(settings),
      m_help(CHelpLauncher::DefaultFolders(settings.GetApplicationPath())),
      m_upgraded(settings.Upgraded()), m_router(doc),
      m_menus(std::make_unique<CFrameMenus>(*this, doc, MenuHandlers())),
      m_window([this](UINT message, WPARAM wParam, LPARAM lParam) {
        OnMessage(message, wParam, lParam);
      }) {
  setObjectName("mainFrame");
  setWindowTitle(QString::fromUtf8(kTitle));
  // The installed application icon; drawn when the program runs from its build folder.
  setWindowIcon(CFrameIcons::Get(QStringLiteral("com.corvanesoftware.pagelint"),
                                 CFrameIcons::EGlyph::SpellCheck));
  AddOwnCommands();
  m_menus->Build(m_upgraded);
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

void CMainFrame::BuildStatusBar() {
  statusBar()->setObjectName("statusBar");
  statusBar()->setProperty("ctrlId", kStatusBarId);
  m_statusProgress = std::make_unique<CStatusProgress>(statusBar());
  m_downloadPane = std::make_unique<CDownloadPane>(statusBar());
}

void CMainFrame::SetView(QWidget* widget, CDocView* view) {
  setCentralWidget(widget);
  m_router.SetView(view);
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
  ApplyBarStyle(m_menus->ToolBar(), QStringLiteral("QToolBar#toolBar"), kToolBarStyle);
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

void CMainFrame::UpdateCommandStates() {
  m_menus->UpdateStates(m_router);
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
  return m_router.IsEnabled(id);
}

void CMainFrame::OnCommand(int id) {
  if (m_router.Run(id)) {
    UpdateCommandStates();
  }
}

CFrameMenus::SHandlers CMainFrame::MenuHandlers() {
  return {[this](int id) { OnCommand(id); }, [this] { UpdateCommandStates(); },
          [this](int step) { SwitchToNeighbour(step); }, [this] { DisplayHelpTopic("index.htm"); }};
}

void CMainFrame::AddOwnCommands() {
  m_router.AddRange(CProjectBar::kFirstId, CProjectBar::kLastId,
                    [this](int id) { SwitchProject(id - CProjectBar::kFirstId); });
  for (const SHelpCommand& help : kHelpTopics) {
    m_router.Add(help.id, [this, topic = help.topic] { DisplayHelpTopic(topic); });
  }
  m_router.Add(Id::kAbout, [this] { ShowAbout(); });
  m_router.Add(Id::kTechSupport, [this] {
    Launch(MailAddress("Pagelint " + m_settings.GetCurrentVersionNumber() + " Technical Support"));
  });
  m_router.Add(Id::kRequestFeature, [this] { Launch(MailAddress("Pagelint Feature Request")); });
  m_router.Add(Id::kVisitWebSite, [this] { Launch(CZebUtils::kWebSite); });
  m_router.Add(Id::kLibraryInfo, [this] { ShowLibraryInfo(); });
  m_router.Add(Id::kContextHelp, [] { QWhatsThis::enterWhatsThisMode(); });
  m_router.Add(
      Id::kUpgradeNotice, [this] { ShowUpgradeNotice(); }, [this] { return m_upgraded; });
  m_router.Add(Id::kAppExit, [this] { close(); });
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
    m_menus->RemoveUpgradeButton();
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
