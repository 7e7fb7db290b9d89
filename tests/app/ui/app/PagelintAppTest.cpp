#include "FrameTestKit.h"
#include "GuiTestKit.h"

#include "app/PagelintApp.h"
#include "app/QuitSignals.h"
#include "mainwindow/MainFrame.h"
#include "mainwindow/ProjectBar.h"
#include "widgets/MessageBoxService.h"

#include "appcfg/AppShape.h"
#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"
#include "mtcore/SingleInstanceLock.h"
#include "settings/PagelintSettings.h"
#include "utilcore/AppLogger.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"

#include <QAbstractButton>
#include <QApplication>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>

namespace {
using frametest::AppDirectory;

constexpr const char* kWelcomeText =
    "Pagelint performs spell checking of text in your web pages.\n\nPagelint uses the "
    "concept of a web site project, which is a set of HTML files that make up your web "
    "site. You can set up as many projects as you need.\n\nOnce the project has been set "
    "up, the application will start to spell check the files. Only text visible in a web "
    "browser is spell checked.\n\nWhen you press the Start button below, you will be "
    "presented with the \"Project Settings\" window, wherein you can set up your first web "
    "site project.";
constexpr const char* kTerminated = "{01118783-EBBD-4A39-BB95-1034C4A96647}Logging Terminated.";
constexpr const char* kNoRootStart = "This project's local directory is no longer valid.";

class PagelintAppTest : public testing::Test {
protected:
  PagelintAppTest() { guitest::Application(); }

  /// Leaves a settings file behind, as a program that ran before does.
  static void WriteSettings() {
    CPagelintSettings settings;
    bool firstStart = true;
    bool upgraded = false;
    settings.Read(AppDirectory(), "Pagelint", firstStart, upgraded);
    ASSERT_TRUE(settings.Save());
  }

  static QString PressedButtonText(const CPagelintApp& app) {
    const auto* bar = app.GetFrame()->findChild<CProjectBar*>("projectBar");
    const int index = bar->PressedIndex();
    return index < 0 ? QString() : bar->actions().at(index)->text();
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_sites;
  std::vector<std::string> m_events;
};

TEST_F(PagelintAppTest, FirstStartWelcomesThenOpensTheProjectSettingsOnce) {
  const frametest::CBoxRecorder boxes(m_events, CMessageBoxService::kAnswerYes);
  const frametest::CModalWatcher settings(m_events);
  CPagelintApp app;
  ASSERT_TRUE(app.Start(AppDirectory()));
  EXPECT_EQ(m_events, (std::vector<std::string>{"box:Welcome to Pagelint", "projectSettingsDlg"}));
  ASSERT_EQ(boxes.Texts().size(), 1U);
  EXPECT_EQ(boxes.Texts()[0], kWelcomeText);
}

TEST_F(PagelintAppTest, LaterStartWithoutProjectsOpensTheProjectSettingsDirectly) {
  WriteSettings();
  const frametest::CBoxRecorder boxes(m_events, CMessageBoxService::kAnswerYes);
  const frametest::CModalWatcher settings(m_events);
  CPagelintApp app;
  ASSERT_TRUE(app.Start(AppDirectory()));
  EXPECT_EQ(m_events, std::vector<std::string>{"projectSettingsDlg"});
}

TEST_F(PagelintAppTest, DamagedSettingsAreLoggedAndTheStartGoesOn) {
  {
    const CPagelintSettings settings;
    std::filesystem::create_directories(settings.GetApplicationSettingsPath());
    testkit::WriteBytes(settings.GetSettingsFilePath(), "not a settings file");
  }
  const frametest::CBoxRecorder boxes(m_events, CMessageBoxService::kAnswerYes);
  const frametest::CModalWatcher settings(m_events);
  CPagelintApp app;
  const LogCapture log;
  ASSERT_TRUE(app.Start(AppDirectory()));
  EXPECT_TRUE(log.Contains("{52ACB705-DFDD-49FC-94E6-D538284CCBAB}"));
  // A damaged file is no first start: no welcome, but word of the file set aside.
  EXPECT_EQ(m_events, (std::vector<std::string>{"box:Damaged Files", "projectSettingsDlg"}));
}

// The settings file set aside and a project data file left out are named in one message,
// shown over the main window before anything else asks the user.
TEST_F(PagelintAppTest, DamagedFilesAreToldOfInOneMessageOnceTheWindowIsUp) {
  std::string settingsFile;
  {
    const CPagelintSettings settings;
    settingsFile = settings.GetSettingsFilePath();
    std::filesystem::create_directories(settings.GetApplicationSettingsPath());
    testkit::WriteBytes(settingsFile, "not a settings file");
    testkit::WriteBytes(settings.GetApplicationSettingsPath() + "broken.plx", "\x02");
  }
  frametest::SaveProject("Site", m_sites.Path() + "/");
  CPagelintApp app;
  std::vector<std::string> texts;
  std::vector<bool> windowUp;
  CMessageBoxService::SetAnswerer([&](const CMessageBoxService::SQuestion& question) {
    m_events.push_back("box:" + question.title.toStdString());
    texts.push_back(question.text.toStdString());
    windowUp.push_back(app.GetFrame() != nullptr && app.GetFrame()->isVisible());
    return CMessageBoxService::kAnswerYes;
  });
  const bool started = app.Start(AppDirectory());
  CMessageBoxService::SetAnswerer({});
  ASSERT_TRUE(started);
  ASSERT_EQ(m_events, std::vector<std::string>{"box:Damaged Files"});
  EXPECT_TRUE(windowUp[0]);
  const std::string dataFile = std::filesystem::path(settingsFile).parent_path() / "broken.plx";
  for (const std::string& named :
       {"\"" + settingsFile + "\"", "\"" + settingsFile + ".bad\"", "\n" + dataFile + "\n"}) {
    EXPECT_NE(texts[0].find(named), std::string::npos) << named << " in " << texts[0];
  }
  EXPECT_EQ(PressedButtonText(app), "Site");
}

TEST_F(PagelintAppTest, StartWithProjectsShowsTheFirstAndReportsEachThatFailedToStart) {
  WriteSettings();
  frametest::SaveProject("Beta", m_sites.Sub("gone-b/"));
  frametest::SaveProject("alpha", m_sites.Path() + "/");
  frametest::SaveProject("Gamma", m_sites.Sub("gone-g/"));
  const frametest::CBoxRecorder boxes(m_events, CMessageBoxService::kAnswerYes);
  const frametest::CModalWatcher settings(m_events);
  CPagelintApp app;
  ASSERT_TRUE(app.Start(AppDirectory()));
  EXPECT_EQ(PressedButtonText(app), "alpha");
  EXPECT_EQ(m_events,
            (std::vector<std::string>{"box:Failed To Start Beta", "box:Failed To Start Gamma"}));
  for (const std::string& text : boxes.Texts()) {
    EXPECT_TRUE(text.starts_with(kNoRootStart)) << text;
  }
}

// SIGTERM, SIGINT and a logout all end up here.
TEST_F(PagelintAppTest, AnExitRequestClosesAsExitDoes) {
  WriteSettings();
  frametest::SaveProject("Site", m_sites.Path() + "/");
  const frametest::CBoxRecorder boxes(m_events, CMessageBoxService::kAnswerYes);
  auto app = std::make_unique<CPagelintApp>();
  const LogCapture log; // after the application object opened this home's log
  ASSERT_TRUE(app->Start(AppDirectory()));
  app->GetFrame()->resize(700, 450);
  app->RequestExit();
  EXPECT_FALSE(app->GetFrame()->isVisible());
  app->Close();
  EXPECT_EQ(app->GetFrame(), nullptr);
  app.reset();
  ASSERT_FALSE(log.Lines().empty());
  EXPECT_EQ(log.Lines().back(), kTerminated);
  CPagelintSettings saved;
  bool firstStart = true;
  bool upgraded = false;
  ASSERT_TRUE(saved.Read(AppDirectory(), "Pagelint", firstStart, upgraded));
  SAppShape shape;
  saved.GetAppShape(shape, 1, 1);
  EXPECT_EQ(shape.width, 700);
  EXPECT_EQ(shape.height, 450);
}

TEST_F(PagelintAppTest, ASecondStartAsksTheRunningOneToShowItselfAndEndsWithZero) {
  CSingleInstanceLock running("Pagelint");
  ASSERT_TRUE(running.Acquire());
  const UINT show = CMainFrame::MSG_SHOW_WINDOW;
  int shown = 0;
  CFunctionTarget window(
      [&shown, show](UINT message, WPARAM, LPARAM) { shown += message == show ? 1 : 0; });
  running.SetShowTarget(window.GetSafeHwnd(), show);
  EXPECT_EQ(CPagelintApp::Exec(AppDirectory()), 0);
  EXPECT_TRUE(CMessageLoop::PumpUntil([&shown] { return shown == 1; }, std::chrono::seconds(20)));
}

TEST(QuitSignals, TermAndIntReachTheEventLoopAsACall) {
  guitest::Application();
  int calls = 0;
  const CQuitSignals quitSignals([&calls] { ++calls; });
  ASSERT_TRUE(quitSignals.IsInstalled());
  for (const int signal : {SIGTERM, SIGINT}) {
    const int before = calls;
    ASSERT_EQ(std::raise(signal), 0);
    // The handler only wrote into the pipe; the call comes from the event loop.
    EXPECT_EQ(calls, before);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (calls == before && std::chrono::steady_clock::now() < giveUp) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(calls, before + 1) << signal;
  }
}

TEST(QuitSignals, WithoutAPipeTheyAreLoggedAndLeftAlone) {
  guitest::Application();
  // An earlier test's home may be gone with its log.
  CAppLogger::SetAppName("Pagelint");
  const LogCapture log;
  // Made once with room to spare: the sanitizers' type checks, which need a pipe of
  // their own the first time, are behind us then.
  {
    const CQuitSignals primer([] {});
  }
  rlimit limits{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limits), 0);
  // The lowest free descriptor becomes the limit: no pipe fits below it.
  const int lowestFree = dup(0);
  ASSERT_GE(lowestFree, 0);
  close(lowestFree);
  rlimit tight = limits;
  tight.rlim_cur = static_cast<rlim_t>(lowestFree);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  bool installed = true;
  {
    const CQuitSignals quitSignals([] {});
    installed = quitSignals.IsInstalled();
  }
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limits), 0);
  EXPECT_FALSE(installed);
  EXPECT_TRUE(log.Contains("{250EBFDD-DD86-4DFE-BAD3-E7BCDDCE1E99}"));
}

} // namespace
