#include "app/PagelintApp.h"

#include "app/QtMessagePump.h"
#include "app/QuitSignals.h"
#include "mainwindow/MainFrame.h"
#include "mainwindow/MainView.h"
#include "programsettings/AppConfigUI.h"
#include "services/UpgradeCheck.h"
#include "widgets/MessageBoxService.h"

#include "projects/Doc.h"
#include "settings/DamagedFilesNotice.h"
#include "settings/DefaultShades.h"
#include "settings/StartupProbe.h"
#include "spellcore/SpellChecker.h"

#include "mtcore/SingleInstanceLock.h"
#include "shadeui/BkgStyle.h"
#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"

#include <QApplication>
#include <QSessionManager>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {
constexpr const char* kAppName = "Pagelint";
constexpr const char* kDesktopId = "com.corvanesoftware.pagelint";
constexpr const char* kSettingsNotRead = "{52ACB705-DFDD-49FC-94E6-D538284CCBAB}";
constexpr const char* kLogTerminated = "{01118783-EBBD-4A39-BB95-1034C4A96647}Logging Terminated.";

constexpr const char* kWelcomeTitle = "Welcome to Pagelint";
constexpr const char* kWelcomeText =
    "Pagelint performs spell checking of text in your web pages.\n\nPagelint uses the "
    "concept of a web site project, which is a set of HTML files that make up your web "
    "site. You can set up as many projects as you need.\n\nOnce the project has been set "
    "up, the application will start to spell check the files. Only text visible in a web "
    "browser is spell checked.\n\nWhen you press the Start button below, you will be "
    "presented with the \"Project Settings\" window, wherein you can set up your first web "
    "site project.";

// The main view: made here, owned by the frame.
/// The view is made before the document loads: each project takes its window.
CMainView* InstallView(CMainFrame& frame, CDoc& doc, CPagelintSettings& settings) {
  auto* view = new CMainView(doc, &frame.GetStatusProgress());
  frame.SetView(view, view);
  QObject::connect(view, &CMainView::CommandStatesChanged, &frame,
                   &CMainFrame::ScheduleCommandStateUpdate);
  view->SetSettingsWindow([&frame, &settings](const std::string& extension) {
    CAppConfigUI window(settings, &frame, extension);
    const bool accepted = window.exec() == QDialog::Accepted;
    if (accepted && window.StylesChanged()) {
      frame.ApplyStyles();
    }
    return accepted;
  });
  return view;
}
} // namespace

int CPagelintApp::Run(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kAppName));
  QApplication::setApplicationVersion(QStringLiteral(PAGELINT_VERSION));
  // The desktop entry's name: desktops match the window to its entry and icon by it.
  QGuiApplication::setDesktopFileName(QString::fromUtf8(kDesktopId));
  const int result = Exec(CDirUtils::GetAppPath());
  CAppLogger::Close();
  return result;
}

int CPagelintApp::Exec(const std::string& appDirectory) {
  CAppLogger::SetAppName(kAppName);
  CSingleInstanceLock lock(kAppName);
  if (!lock.Acquire()) {
    return 0;
  }
  CPagelintApp app;
  const CQuitSignals quitSignals([&app] { app.RequestExit(); });
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, &quitSignals,
                   [&app](QSessionManager& /*manager*/) { app.RequestExit(); });
  if (!app.Start(appDirectory, &lock)) {
    app.Close();
    return 1;
  }
  // An exit asked for while the first screen's windows were open ended their loops.
  const int result = app.IsExitRequested() ? 0 : QApplication::exec();
  app.Close();
  return result;
}

CPagelintApp::CPagelintApp() {
  CAppLogger::SetAppName(kAppName);
}

CPagelintApp::~CPagelintApp() {
  Close();
}

bool CPagelintApp::Start(const std::string& appDirectory, CSingleInstanceLock* lock) {
  m_started = true;
  m_pump = std::make_unique<CQtMessagePump>();
  // The defaults first: the settings file holds the user's own shadings.
  CDefaultShades::Apply(BkgStyle::GetInstance());
  bool firstStart = true;
  bool upgraded = false;
  if (!m_settings.Read(appDirectory, kAppName, firstStart, upgraded)) {
    CAppLogger::Log(kSettingsNotRead);
  }

  m_doc = std::make_unique<CDoc>(m_ui, m_settings.GetDocSettings());
  m_doc->SetApplicationDirectory(m_settings.GetApplicationPath());
  m_frame = std::make_unique<CMainFrame>(*m_doc, m_settings);
  m_ui.SetFrame(m_frame.get());
  CMainView* view = InstallView(*m_frame, *m_doc, m_settings);
  // The projects' messages change what their commands may do.
  QObject::connect(m_pump.get(), &CQtMessagePump::Pumped, m_frame.get(),
                   &CMainFrame::ScheduleCommandStateUpdate);
  CMessageBoxService::SetHelpOpener([frame = m_frame.get()](const QString& topic) {
    frame->DisplayHelpTopic(topic.toStdString());
  });
  m_lock = lock;
  if (m_lock != nullptr) {
    m_lock->SetShowTarget(m_frame->GetMessageWindow(), CMainFrame::MSG_SHOW_WINDOW);
  }

  // The projects take their dictionaries from the speller as they load.
  if (CSpellChecker* speller = CSpellChecker::GetInstance()) {
    // A dictionary downloaded by an earlier run may be kept in the settings folder.
    speller->SetMainDictionaryFile(CUpgradeCheck::MainDictionaryFile(m_settings));
    speller->SetAppPath(m_settings.GetApplicationPath());
  }
  m_doc->OnNewDocument();
  view->OnInitialUpdate();
  m_frame->ShowInStoredShape();
  // Behind the window: the first selected word then finds the index built.
  view->StartWordIndex();
  InstallStartupProbe(*view);
  TellOfDamagedFiles();
  ShowFirstScreen(firstStart);
  return true;
}

void CPagelintApp::InstallStartupProbe(CMainView& view) {
  auto probe = std::make_shared<CStartupProbe>(CStartupProbe::FromEnvironment());
  if (!probe->IsOn()) {
    return;
  }
  view.SetWordsShownHook([this, probe] {
    const auto elapsed = CStartupProbe::SinceProcessStart();
    const auto line = probe->NoteWordsShown(elapsed.value_or(std::chrono::milliseconds(-1)));
    if (!line) {
      return;
    }
    std::fprintf(stderr, "%s\n", line->c_str());
    if (probe->QuitsAfterwards()) {
      // Once the list is painted, as a user would see it.
      QTimer::singleShot(0, qApp, [this] { RequestExit(); });
    }
  });
}

void CPagelintApp::TellOfDamagedFiles() {
  const CAppLogger* logger = CAppLogger::GetInstance();
  const CDamagedFilesNotice notice(m_settings.GetDamagedFile(), m_doc->GetUnreadDataFiles(),
                                   logger != nullptr ? logger->GetPath() : std::string());
  if (notice.IsEmpty() || m_exitRequested) {
    return;
  }
  const CMessageBoxService::SQuestion message{QString::fromUtf8(CDamagedFilesNotice::kTitle),
                                              QString::fromStdString(notice.GetText()),
                                              CMessageBoxService::EButtons::Ok,
                                              {}};
  CMessageBoxService::Ask(m_frame.get(), message);
}

void CPagelintApp::ShowFirstScreen(bool firstStart) {
  m_frame->RefreshProjectBar();
  if (m_doc->GetProjectCount() > 0) {
    m_frame->OnCommand(CDoc::ID_PROJECT_BUTTON_FIRST);
    m_doc->StartAllProjects();
  } else if (!firstStart) {
    m_frame->OnCommand(CDoc::ID_PROJECT_ADD);
  }
  if (firstStart && !m_exitRequested) {
    const CMessageBoxService::SQuestion welcome{QString::fromUtf8(kWelcomeTitle),
                                                QString::fromUtf8(kWelcomeText),
                                                CMessageBoxService::EButtons::Ok,
                                                {}};
    CMessageBoxService::Ask(m_frame.get(), welcome, QStringLiteral("&Start"));
    m_frame->OnCommand(CDoc::ID_PROJECT_ADD);
  }
}

void CPagelintApp::RequestExit() {
  m_exitRequested = true;
  if (m_frame != nullptr) {
    m_frame->close();
  }
  // Ends the main loop and any window's loop under way. Outside every loop there is
  // nothing to end, and exit() would make later loops return at once.
  if (QThread::currentThread()->loopLevel() > 0) {
    QCoreApplication::exit(0);
  }
}

void CPagelintApp::Close() {
  if (m_closed || !m_started) {
    return;
  }
  m_closed = true;
  if (m_lock != nullptr) {
    m_lock->SetShowTarget(0, 0);
  }
  if (m_frame != nullptr && m_frame->isVisible()) {
    m_frame->close();
  }
  CMessageBoxService::SetHelpOpener({});
  // No download may go on, and no check worker use the speller, once it is gone.
  if (m_frame != nullptr) {
    m_frame->GetUpgradeCheck().Stop();
  }
  if (m_doc != nullptr) {
    m_doc->OnCloseDocument();
  }
  CSpellChecker::DeleteInstance();
  if (m_frame != nullptr) {
    m_frame->GetUpgradeCheck().ApplyDictionary();
    // A logout or a signal asks no questions; the package stays in the updates folder.
    if (!m_exitRequested) {
      m_frame->GetUpgradeCheck().OfferPackage(m_frame.get());
    }
  }
  m_settings.Save();
  CAppLogger::Log(kLogTerminated);
  m_ui.SetFrame(nullptr);
  m_frame.reset();
  m_doc.reset();
  m_pump.reset();
}
