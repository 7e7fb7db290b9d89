#include "FrameTestKit.h"
#include "GuiTestKit.h"

#include "programsettings/AppConfigUI.h"
#include "services/HelpLauncher.h"

#include "diskfiles/FileExtMgr.h"
#include "settings/DefaultShades.h"
#include "settings/PagelintSettings.h"
#include "shadeui/BkgStyle.h"
#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/ExeUtils.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedEnv.h"
#include "testkit/ScopedTempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr int kYes = CMessageBoxService::kAnswerYes;
constexpr int kNo = CMessageBoxService::kAnswerNo;
constexpr int kToolBar = 4;
constexpr int kSelectedProjectButton = 24;

/// How a test closes the window.
enum class EClose { Ok, CancelButton, Escape };

/// Settings read in the fake home, the default shadings, every page type with an empty
/// viewer and editor, and one installed application ("Web View", a program in PATH that
/// handles HTML) in the desktop's data folders. The dialog is opened on demand.
class AppConfigUITest : public testing::Test {
protected:
  void SetUp() override {
    guitest::Application();
    m_settings = std::make_unique<CPagelintSettings>();
    bool firstStart = true;
    bool upgraded = false;
    // The file that earlier tests saved holds applications and shadings; start afresh.
    m_settings->Read(frametest::AppDirectory(), "Pagelint", firstStart, upgraded);
    FileExtMgr::GetInstance()->RemoveAll();
    BkgStyle::GetInstance()->RemoveAll();
    CDefaultShades::Apply(BkgStyle::GetInstance());
    m_settings->SetPlayWelcomeMsg(false);
    m_settings->SetAutomaticUpgrading(true);
    m_settings->GetDocSettings().projectDataDirectory = m_root.Sub("data/");

    std::filesystem::create_directories(m_root.Sub("bin"));
    testkit::WriteBytes(m_root.Sub("bin/webview"), "#!/bin/sh\n");
    ::chmod(m_root.Sub("bin/webview").c_str(), 0755);
    std::filesystem::create_directories(m_root.Sub("share/applications"));
    testkit::WriteBytes(m_root.Sub("share/applications/webview.desktop"),
                        "[Desktop Entry]\nType=Application\nName=Web View\nExec=webview %U\n"
                        "MimeType=text/html;\n");
  }
  void TearDown() override {
    m_dialog.reset();
    CExeUtils::SetDocumentOpener("xdg-open");
    FileExtMgr::GetInstance()->RemoveAll();
    CDefaultShades::Apply(BkgStyle::GetInstance());
  }

  /// Opens the window and waits until the installed applications are read (the
  /// environment they are read from must not change under the reading thread).
  CAppConfigUI& Open(const std::string& extension = {}) {
    m_dialog = std::make_unique<CAppConfigUI>(*m_settings, nullptr, extension);
    m_dialog->show();
    QApplication::setActiveWindow(m_dialog.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    EXPECT_TRUE(QTest::qWaitFor([this] { return Find<QComboBox>("viewerAppsCombo").count() > 1; }))
        << "the installed applications were not read";
    return *m_dialog;
  }
  template <typename T> T& Find(const char* name) const {
    T* widget = m_dialog->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return *widget;
  }
  QTabWidget& Tabs() const { return Find<QTabWidget>("configTabs"); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::AltModifier) const {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  /// Presses a check box's mnemonic and waits for it to flip (buttons act a moment
  /// after their key).
  void Toggle(Qt::Key key, const char* name) const {
    auto& box = Find<QCheckBox>(name);
    const bool before = box.isChecked();
    Key(key);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isChecked() != before; })) << name;
  }
  void Close(EClose how) const {
    switch (how) {
    case EClose::Ok:
      Find<QPushButton>("okButton").click();
      break;
    case EClose::CancelButton:
      Find<QPushButton>("cancelButton").click();
      break;
    case EClose::Escape:
      Key(Qt::Key_Escape, Qt::NoModifier);
      break;
    }
  }
  /// Replaces the desktop's opener by a script that writes what it is given to a file.
  std::string RecordOpened() const {
    const std::string script = m_root.Sub("opener.sh");
    testkit::WriteBytes(script, "#!/bin/sh\nprintf '%s' \"$1\" > " + m_root.Sub("opened") + "\n");
    ::chmod(script.c_str(), 0755);
    CExeUtils::SetDocumentOpener(script);
    return m_root.Sub("opened");
  }
  /// The bytes of `path` once a started program has written some.
  static std::string WhenWritten(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(QTest::qWaitFor([&] {
      bytes = std::filesystem::exists(path) ? testkit::ReadBytes(path) : std::string();
      return !bytes.empty();
    })) << path;
    return bytes;
  }

  ScopedTempDir m_root;
  CScopedEnv m_path{"PATH", m_root.Sub("bin") + ":/usr/bin:/bin"};
  CScopedEnv m_dataHome{"XDG_DATA_HOME", m_root.Sub("share")};
  CScopedEnv m_dataDirs{"XDG_DATA_DIRS", m_root.Sub("none")};
  std::unique_ptr<CPagelintSettings> m_settings;
  std::unique_ptr<CAppConfigUI> m_dialog;
};

TEST_F(AppConfigUITest, TheTabsComeInTheirOrder) {
  Open();
  EXPECT_EQ(m_dialog->windowTitle(), "Pagelint Settings");
  QStringList titles;
  for (int i = 0; i < Tabs().count(); ++i) {
    titles << Tabs().tabText(i).remove(QLatin1Char('&'));
  }
  EXPECT_EQ(titles,
            (QStringList{"Launch", "Background styles", "Sound", "Data", "Upgrades", "Logging"}));
}

TEST_F(AppConfigUITest, OpensOnTheLastTabUnlessAnExtensionAsksForLaunch) {
  const struct {
    int stored;
    const char* extension;
    int shown;
    const char* selected;
  } cases[] = {{3, "", 3, "htm"}, {5, "php", 0, "php"}, {2, "xht", 0, "xht"},
               {6, "", 0, "htm"}, {-1, "", 0, "htm"},   {1, "unknown", 0, "htm"}};
  for (const auto& c : cases) {
    m_settings->configurationTab = c.stored;
    Open(c.extension);
    EXPECT_EQ(Tabs().currentIndex(), c.shown) << c.stored << c.extension;
    EXPECT_EQ(Find<QListWidget>("extensionsList").currentItem()->text(), c.selected);
    Close(EClose::Escape);
  }
}

class AppConfigCloseTest : public AppConfigUITest, public testing::WithParamInterface<EClose> {};

TEST_P(AppConfigCloseTest, TheTabShownIsKeptAndSaved) {
  Open();
  Key(Qt::Key_G); // Logging
  Close(GetParam());
  EXPECT_FALSE(m_dialog->isVisible());
  CPagelintSettings stored;
  bool firstStart = true;
  bool upgraded = false;
  ASSERT_TRUE(stored.Read(frametest::AppDirectory(), "Pagelint", firstStart, upgraded));
  EXPECT_EQ(stored.configurationTab, CAppConfigUI::kLoggingTab);
  EXPECT_EQ(m_dialog->result(), GetParam() == EClose::Ok ? QDialog::Accepted : QDialog::Rejected);
}

TEST_P(AppConfigCloseTest, OkAppliesEveryChangeAndCancelDropsThem) {
  const std::string newData = m_root.Sub("new/data");
  Open("htm");
  // Launch: the installed application as viewer, a typed editor.
  Key(Qt::Key_A);
  Key(Qt::Key_Down, Qt::NoModifier);
  EXPECT_EQ(Find<QLineEdit>("viewerEdit").text().toStdString(), m_root.Sub("bin/webview"));
  Key(Qt::Key_M);
  QTest::keyClicks(QApplication::focusWidget(), "/opt/edit");
  // Background styles: the tool bar switched off and its top lighter.
  Key(Qt::Key_B);
  Key(Qt::Key_W);
  Find<QListWidget>("stylesList").setCurrentRow(1);
  Toggle(Qt::Key_E, "styleEnabledCheck");
  Key(Qt::Key_H);
  Key(Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), "99");
  // Sound, Data and Upgrades.
  Key(Qt::Key_S);
  Toggle(Qt::Key_P, "welcomeCheck");
  Key(Qt::Key_D);
  Key(Qt::Key_P);
  Key(Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(newData));
  Key(Qt::Key_U);
  Toggle(Qt::Key_C, "upgradesCheck");
  Close(GetParam());

  const bool ok = GetParam() == EClose::Ok;
  ASSERT_FALSE(m_dialog->isVisible());
  const FileExtMgr* apps = FileExtMgr::GetInstance();
  EXPECT_EQ(apps->GetOpenerApp("htm", true), ok ? m_root.Sub("bin/webview") : "");
  EXPECT_EQ(apps->GetEditorApp("htm", true), ok ? "/opt/edit" : "");
  EXPECT_EQ(apps->GetOpenerApp("html", true), "");
  const CShadeProperties toolBar = BkgStyle::GetInstance()->GetUser(kToolBar);
  EXPECT_EQ(toolBar.GetEnabled(), ok ? 0 : 1);
  EXPECT_EQ(toolBar.GetLighten(), ok ? 99 : 17);
  EXPECT_EQ(toolBar.GetDarken(), 27);
  EXPECT_EQ(m_dialog->StylesChanged(), ok);
  EXPECT_EQ(m_settings->GetPlayWelcomeMsg(), ok);
  EXPECT_EQ(m_settings->GetAutomaticUpgrading(), !ok);
  EXPECT_EQ(m_settings->GetDocSettings().projectDataDirectory,
            ok ? newData + "/" : m_root.Sub("data/"));
  EXPECT_EQ(CDirUtils::DoesDirExist(newData), ok);
}

INSTANTIATE_TEST_SUITE_P(Closing, AppConfigCloseTest,
                         testing::Values(EClose::Ok, EClose::CancelButton, EClose::Escape));

TEST_F(AppConfigUITest, NothingChangedChangesNoStyle) {
  Open();
  Close(EClose::Ok);
  EXPECT_FALSE(m_dialog->StylesChanged());
}

TEST_F(AppConfigUITest, ResetToDefaultBringsBackTheDefaultShading) {
  CShadeProperties mine = BkgStyle::GetInstance()->GetDefault(kSelectedProjectButton);
  mine.SetColor(CShadeProperties::MakeColor(1, 2, 3));
  mine.SetShading(1, 2, 3, 4);
  BkgStyle::GetInstance()->SetUser(kSelectedProjectButton, mine);
  Open();
  Key(Qt::Key_B);
  Find<QListWidget>("stylesList").setCurrentRow(7);
  EXPECT_EQ(Find<QListWidget>("stylesList").currentItem()->text(),
            "Web Projects Button (selected)");
  EXPECT_EQ(Find<QSpinBox>("lightenSpin").value(), 1);
  Key(Qt::Key_R);
  EXPECT_TRUE(QTest::qWaitFor([this] { return Find<QSpinBox>("lightenSpin").value() == 23; }));
  EXPECT_EQ(Find<QSpinBox>("darkenSpin").value(), 16);
  Close(EClose::Ok);
  EXPECT_TRUE(m_dialog->StylesChanged());
  EXPECT_EQ(BkgStyle::GetInstance()->GetUser(kSelectedProjectButton),
            BkgStyle::GetInstance()->GetDefault(kSelectedProjectButton));
}

TEST_F(AppConfigUITest, ADataFolderThatCannotBeUsedKeepsTheWindowOpenAndChangesNothing) {
  testkit::WriteBytes(m_root.Sub("file"), "x");
  const std::string blocked = m_root.Sub("file/sub");
  std::string error;
  ASSERT_FALSE(CDirUtils::CreateDirectoryA(blocked + "/", &error));
  const std::string notFull = "Please enter the full path of the folder for the Pagelint project "
                              "data files, beginning with \"/\".";
  const struct {
    std::string typed;
    std::string text;
  } cases[] = {
      {"", notFull},
      {"relative/data", notFull},
      {blocked, "The folder for the Pagelint project data files could not be created:\n\n" + error +
                    "\n\nPlease choose another folder."},
  };
  for (const auto& c : cases) {
    guitest::ScriptedAnswers answers;
    Open();
    Key(Qt::Key_S);
    Toggle(Qt::Key_P, "welcomeCheck"); // on, which must not be kept
    Key(Qt::Key_D);
    Find<QLineEdit>("dataFolderEdit").setText(QString::fromStdString(c.typed));
    Key(Qt::Key_L);
    Close(EClose::Ok);
    ASSERT_EQ(answers.Questions().size(), 1U) << c.typed;
    EXPECT_EQ(answers.Questions()[0].title, "Pagelint");
    EXPECT_EQ(answers.Questions()[0].text.toStdString(), c.text);
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(Tabs().currentIndex(), CAppConfigUI::kDataTab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "dataFolderEdit");
    Close(EClose::Escape);
    EXPECT_FALSE(m_settings->GetPlayWelcomeMsg());
    EXPECT_EQ(m_settings->GetDocSettings().projectDataDirectory, m_root.Sub("data/"));
  }
}

TEST_F(AppConfigUITest, InfoOpensTheTopicOfTheTabShown) {
  const std::string opened = RecordOpened();
  const CHelpLauncher help(CHelpLauncher::DefaultFolders(m_settings->GetApplicationPath()));
  const struct {
    Qt::Key tab;
    const char* topic;
  } cases[] = {{Qt::Key_L, "HowTo/Customize.htm#launch"},
               {Qt::Key_B, "HowTo/Customize.htm#colors"},
               {Qt::Key_G, "HowTo/Customize.htm"}};
  Open();
  for (const auto& c : cases) {
    std::filesystem::remove(opened);
    guitest::ScriptedAnswers answers;
    Key(c.tab);
    Key(Qt::Key_F1, Qt::NoModifier);
    const std::string address = help.FindTopic(c.topic);
    if (address.empty()) {
      ASSERT_TRUE(QTest::qWaitFor([&] { return !answers.Questions().empty(); }));
      EXPECT_EQ(answers.Questions()[0].text.toStdString(),
                "Pagelint's help pages are not installed, so the help topic \"" +
                    std::string(c.topic) + "\" cannot be shown.");
    } else {
      EXPECT_EQ(WhenWritten(opened), address);
    }
  }
}

TEST_F(AppConfigUITest, TheLogIsOpenedAndClearedOnlyWhenTheUserAgrees) {
  const LogCapture opened; // makes sure a log is being written
  ASSERT_NE(CAppLogger::GetInstance(), nullptr);
  const std::string log = CAppLogger::GetInstance()->GetPath();
  const std::string launched = RecordOpened();
  Open();
  Key(Qt::Key_G);
  EXPECT_EQ(Find<QLineEdit>("logFileEdit").text().toStdString(), log);
  Key(Qt::Key_O);
  EXPECT_EQ(WhenWritten(launched), log);
  {
    CExeUtils::SetDocumentOpener(m_root.Sub("no-opener"));
    std::string error;
    ASSERT_FALSE(CExeUtils::ShellLaunchApp(log, {}, std::string(), true, 0, 5, error));
    guitest::ScriptedAnswers answers;
    Key(Qt::Key_O);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answers.Questions().empty(); }));
    EXPECT_EQ(answers.Questions()[0].text.toStdString(),
              "The log file could not be opened:\n\n" + error);
  }

  for (const int answer : {kNo, kYes}) {
    CAppLogger::GetInstance()->AddLine("{TEST}a line to clear");
    guitest::ScriptedAnswers answers({answer});
    Key(Qt::Key_C);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answers.Questions().empty(); }));
    EXPECT_EQ(answers.Questions()[0].buttons, CMessageBoxService::EButtons::YesNo);
    EXPECT_EQ(answers.Questions()[0].text.toStdString(),
              "Do you want to clear the log file?\n\n" + log +
                  "\n\nEverything Pagelint has logged so far will be gone.");
    EXPECT_EQ(std::filesystem::file_size(log) == 0, answer == kYes);
  }
  CAppLogger::GetInstance()->AddLine("{TEST}after clearing");
  EXPECT_NE(testkit::ReadBytes(log).find("after clearing"), std::string::npos);
}

TEST_F(AppConfigUITest, EveryMnemonicReachesItsControl) {
  // A tab's mnemonic shows the tab; a control's moves the focus to it.
  const struct {
    Qt::Key key;
    const char* focused; ///< null for a tab
    int tab;
  } cases[] = {{Qt::Key_L, nullptr, 0},
               {Qt::Key_F, "extensionsList", 0},
               {Qt::Key_O, "viewerEdit", 0},
               {Qt::Key_A, "viewerAppsCombo", 0},
               {Qt::Key_M, "editorEdit", 0},
               {Qt::Key_P, "editorAppsCombo", 0},
               {Qt::Key_B, nullptr, 1},
               {Qt::Key_W, "stylesList", 1},
               {Qt::Key_H, "lightenSpin", 1},
               {Qt::Key_K, "darkenSpin", 1},
               {Qt::Key_E, "styleEnabledCheck", 1},
               {Qt::Key_S, nullptr, 2},
               {Qt::Key_P, "welcomeCheck", 2},
               {Qt::Key_D, nullptr, 3},
               {Qt::Key_P, "dataFolderEdit", 3},
               {Qt::Key_U, nullptr, 4},
               {Qt::Key_C, "upgradesCheck", 4},
               {Qt::Key_G, nullptr, 5},
               {Qt::Key_F, "logFileEdit", 5}};
  Open();
  for (const auto& c : cases) {
    Key(c.key);
    EXPECT_EQ(Tabs().currentIndex(), c.tab) << c.tab;
    if (c.focused != nullptr) {
      const QWidget* focus = QApplication::focusWidget();
      EXPECT_EQ(focus != nullptr ? focus->objectName().toStdString() : "", c.focused);
    }
  }
}

} // namespace
