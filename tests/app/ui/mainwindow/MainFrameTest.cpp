#include "FrameTestKit.h"
#include "GuiTestKit.h"

#include "app/WelcomeVoice.h"
#include "mainwindow/DocUiBridge.h"
#include "mainwindow/MainFrame.h"
#include "mainwindow/MainView.h"
#include "mainwindow/ProjectBar.h"
#include "projects/CommandPrompts.h"
#include "projects/DocView.h"
#include "widgets/MessageBoxService.h"
#include "widgets/ShadeStyle.h"

#include "projects/Doc.h"
#include "projects/WebProject.h"
#include "settings/DefaultShades.h"
#include "settings/PagelintSettings.h"
#include "shadeui/BkgStyle.h"
#include "spellcore/SpellChecker.h"

#include "mtcore/MessageLoop.h"

#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextToSpeech>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {
using frametest::AppDirectory;

constexpr int kToolBarStyle = 4;
constexpr int kStandAloneButtons = 10;

struct SEntry {
  std::string text;
  int id = 0;
  bool checked = false;
  friend bool operator==(const SEntry&, const SEntry&) = default;
  friend std::ostream& operator<<(std::ostream& out, const SEntry& e) {
    return out << '"' << e.text << "\" " << e.id << (e.checked ? " checked" : "");
  }
};
const SEntry kSeparator{"-"};

/// Claims the Copy and the project settings commands, and records what reaches it.
class CFakeView : public QWidget, public CDocView {
public:
  bool OnCommand(int id) override {
    if (!IsCommandEnabled(id)) {
      return false;
    }
    commands.push_back(id);
    return true;
  }
  std::optional<bool> IsCommandEnabled(int id) const override {
    return id == 57634 || id == CDoc::ID_PROJECT_SETTINGS ? std::optional(true) : std::nullopt;
  }
  void OnUpdate(int hint) override { hints.push_back(hint); }
  HWND GetMessageWindow() const override { return 0; }

  std::vector<int> commands;
  std::vector<int> hints;
};

class MainFrameTest : public testing::Test {
protected:
  MainFrameTest() {
    guitest::Application();
    bool firstStart = true;
    bool upgraded = false;
    m_settings.Read(AppDirectory(), "Pagelint", firstStart, upgraded);
    CSpellChecker::GetInstance()->SetAppPath(AppDirectory());
  }
  ~MainFrameTest() override {
    m_ui.SetFrame(nullptr);
    m_frame.reset();
    m_doc.reset();
    CSpellChecker::DeleteInstance();
  }

  void SaveProjects(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      frametest::SaveProject(name, m_sites.Path() + "/");
    }
  }

  /// A document with the saved projects and a frame around it; the project at
  /// `current` is shown.
  void Open(int current = 0) {
    m_doc = std::make_unique<CDoc>(m_ui, m_settings.GetDocSettings());
    NewFrame();
    m_doc->OnNewDocument();
    m_frame->OnCommand(CProjectBar::kFirstId + current);
  }

  void NewFrame() {
    m_ui.SetFrame(nullptr);
    m_frame = std::make_unique<CMainFrame>(*m_doc, m_settings);
    m_ui.SetFrame(m_frame.get());
  }

  std::vector<SEntry> Entries(const char* menuName) {
    auto* menu = m_frame->findChild<QMenu*>(menuName);
    emit menu->aboutToShow();
    std::vector<SEntry> entries;
    for (const QAction* action : menu->actions()) {
      entries.push_back(
          action->isSeparator()
              ? kSeparator
              : SEntry{action->text().toStdString(), action->data().toInt(), action->isChecked()});
    }
    return entries;
  }

  CProjectBar& Bar() { return *m_frame->findChild<CProjectBar*>("projectBar"); }
  std::string CurrentName() const {
    const CWebProject* project = m_doc->GetCurrentProject();
    return project != nullptr ? project->GetName() : std::string();
  }

  void Activate() {
    m_frame->show();
    QApplication::setActiveWindow(m_frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_sites;
  CPagelintSettings m_settings;
  CDocUiBridge m_ui;
  std::unique_ptr<CDoc> m_doc;
  std::unique_ptr<CMainFrame> m_frame;
  std::vector<std::string> m_events;
};

TEST_F(MainFrameTest, TheFiveMenusHoldTheirEntriesWithTheirIds) {
  Open();
  QStringList titles;
  for (const QAction* menu : m_frame->menuBar()->actions()) {
    titles << menu->text();
  }
  EXPECT_EQ(titles, QStringList({"&Pagelint", "&Edit", "&Research", "&Project", "&Dictionaries"}));
  const std::vector<std::pair<const char*, std::vector<SEntry>>> menus{
      {"applicationMenu",
       {{"About...", 45034},
        {"How-to"},
        {"More Info", 45042},
        {"History", 45038},
        {"Privacy Policy", 45043},
        kSeparator,
        {"E-mail Tech Support", 45036},
        {"Request A Feature", 45044},
        {"Visit Corvane Software's Web Site", 45046},
        kSeparator,
        {"Settings...", 45045},
        kSeparator,
        {"Exit", 57665}}},
      {"howToMenu",
       {{"Where Do I Start?", 45041},
        {"How Do I Spell Check My Web Site?", 45040},
        {"How Do I Correct Misspellings?", 45039}}},
      {"editMenu",
       {{"Undo", 57643},
        kSeparator,
        {"Cut", 57635},
        {"Copy", 57634},
        {"Paste", 57637},
        kSeparator,
        {"Select All", 57642},
        kSeparator,
        {"Spell Check...", 45032}}},
      {"researchMenu",
       {{"On Dictionary.com", 45048},
        {"On Oxford Dictionaries", 45055},
        {"On Merriam-Webster", 45050},
        {"On The Free Dictionary", 45052},
        {"On Wiktionary", 45051},
        {"On Wikipedia", 45053},
        {"On Google", 45049},
        {"On Answers.com", 45047},
        {"On Howjsay", 45054}}},
      {"projectMenu",
       {{"Settings...", 45098},
        {"Spell Check Again", 45099},
        {"Remove...", 45096},
        kSeparator,
        {"Add...", 45097}}},
  };
  for (const auto& [name, entries] : menus) {
    EXPECT_EQ(Entries(name), entries) << name;
  }
}

TEST_F(MainFrameTest, TheAcceleratorsReachTheirCommands) {
  Open();
  const std::vector<std::pair<int, QList<QKeySequence>>> keys{
      {57642, {QKeySequence("Ctrl+A")}},
      {57634, {QKeySequence("Ctrl+C")}},
      {57637, {QKeySequence("Ctrl+V")}},
      {57635, {QKeySequence("Ctrl+X")}},
      {57643, {QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}},
      {57669, {QKeySequence("Shift+F1")}},
      {45033, {QKeySequence("F3")}},
      {45031, {QKeySequence("Ctrl+F12")}},
  };
  for (const auto& [id, sequences] : keys) {
    const auto actions = m_frame->findChildren<QAction*>();
    const auto found = std::find_if(actions.begin(), actions.end(), [id = id](QAction* a) {
      return a->data().toInt() == id && !a->shortcuts().isEmpty();
    });
    ASSERT_NE(found, actions.end()) << id;
    EXPECT_EQ((*found)->shortcuts(), sequences) << id;
  }
}

TEST_F(MainFrameTest, TheDictionariesMenuIsBuiltAfreshEachTimeItOpens) {
  SaveProjects({"Own", "Other"});
  Open(1); // sorted: Other, Own
  ASSERT_EQ(CurrentName(), "Own");
  CSpellChecker* speller = CSpellChecker::GetInstance();
  for (const char* name : {"Own Ignore", "Other Ignore", "Fish & Chips"}) {
    ASSERT_TRUE(speller->AddCustomDictionary(name)) << name;
  }
  const auto texts = [this] {
    std::vector<std::string> result;
    for (const SEntry& entry : Entries("dictionariesMenu")) {
      result.push_back(entry.text);
      const std::string name = entry.text.substr(0, entry.text.size() - 3);
      const int id = CSpellChecker::GetInstance()->GetDictionaryID(
          QString::fromStdString(name).replace("&&", "&").toStdString());
      EXPECT_EQ(entry.id, CDoc::ID_DICTIONARY_FIRST + id) << entry.text;
    }
    return result;
  };
  // The shipped technical terms are no word list of the user's to edit.
  ASSERT_NE(speller->GetDictionaryID("ZEB Technical Terms"), -1);
  EXPECT_EQ(texts(),
            (std::vector<std::string>{"ZEB Custom...", "Own Ignore...", "Fish && Chips..."}));
  ASSERT_TRUE(speller->AddCustomDictionary("Later"));
  EXPECT_EQ(texts(), (std::vector<std::string>{"ZEB Custom...", "Own Ignore...", "Fish && Chips...",
                                               "Later..."}));
}

TEST_F(MainFrameTest, TheProjectMenuListsTheProjectsWithTheCurrentOneChecked) {
  SaveProjects({"a", "b", "c"});
  Open(1);
  const std::vector<SEntry> fixed{{"Settings...", 45098},
                                  {"Spell Check Again", 45099},
                                  {"Remove...", 45096},
                                  kSeparator,
                                  {"Add...", 45097}};
  auto expected = std::vector<SEntry>{{"a", 45056}, {"b", 45057, true}, {"c", 45058}, kSeparator};
  expected.insert(expected.end(), fixed.begin(), fixed.end());
  const std::vector<SEntry> entries = Entries("projectMenu");
  EXPECT_EQ(entries, expected);
  m_frame->findChild<QMenu*>("projectMenu")->actions().at(2)->trigger();
  EXPECT_EQ(CurrentName(), "c");
  EXPECT_EQ(Bar().PressedIndex(), 2);
  EXPECT_TRUE(Entries("projectMenu").at(2).checked);
}

TEST_F(MainFrameTest, TheProjectBarFollowsAddingAndRemoving) {
  SaveProjects({"a", "c"});
  Open(0);
  const frametest::CModalWatcher settings(m_events, [this](QDialog& dialog) {
    dialog.findChild<QLineEdit*>("nameEdit")->setText("b");
    dialog.findChild<QLineEdit*>("directoryEdit")->setText(QString::fromStdString(m_sites.Path()));
    dialog.accept();
  });
  m_frame->OnCommand(CDoc::ID_PROJECT_ADD);
  ASSERT_EQ(m_events, std::vector<std::string>{"projectSettingsDlg"});
  const auto buttonTexts = [this] {
    QStringList texts;
    for (const QAction* button : Bar().actions()) {
      texts << button->text();
    }
    return texts;
  };
  EXPECT_EQ(buttonTexts(), QStringList({"a", "b", "c"}));
  EXPECT_EQ(Bar().PressedIndex(), 1);

  const frametest::CBoxRecorder boxes(m_events, CMessageBoxService::kAnswerYes);
  m_frame->OnCommand(CDoc::ID_PROJECT_REMOVE);
  EXPECT_EQ(buttonTexts(), QStringList({"a", "c"}));
  EXPECT_EQ(Bar().PressedIndex(), 1);
  EXPECT_EQ(CurrentName(), "c");
}

TEST_F(MainFrameTest, EditedFiltersAndDictionariesReachTheProjectAndItsDataFile) {
  SaveProjects({"a"});
  Open(0);
  m_doc->StartAllProjects(); // as the program does: the stored dictionary names resolved
  const frametest::CModalWatcher settings(m_events, [](QDialog& dialog) {
    dialog.findChild<QPushButton*>("addFilterButton")->click();
    auto* filters = dialog.findChild<QAbstractItemView*>("filtersGrid");
    filters->model()->setData(filters->model()->index(0, 1), "skip.htm");
    auto* dictionaries = dialog.findChild<QAbstractItemView*>("dictionariesGrid");
    dictionaries->setCurrentIndex(dictionaries->model()->index(0, 0));
    QTest::keyClick(dictionaries, Qt::Key_Space); // the main dictionary left out
    dialog.findChild<QPushButton*>("okButton")->click();
  });
  m_frame->OnCommand(CDoc::ID_PROJECT_SETTINGS);
  ASSERT_EQ(m_events, std::vector<std::string>{"projectSettingsDlg"});
  const auto expectEdited = [](const CWebProject& project) {
    EXPECT_EQ(project.GetFilters(),
              (std::vector<CProjectFilter>{{CProjectFilter::FILE, "skip.htm"}}));
    const std::vector<int> ids = project.GetActiveDictionaries();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 0), 0);
  };
  {
    SCOPED_TRACE("edited");
    expectEdited(*m_doc->GetCurrentProject());
  }
  // Opened again from its data file.
  m_ui.SetFrame(nullptr);
  m_frame.reset();
  m_doc.reset();
  Open(0);
  m_doc->StartAllProjects();
  expectEdited(*m_doc->GetCurrentProject());
}

TEST_F(MainFrameTest, TheWelcomeVoiceIsSilentAndGoneWithoutASpeechEngine) {
  if (!QTextToSpeech::availableEngines().isEmpty()) {
    GTEST_SKIP() << "a speech engine is installed here";
  }
  m_settings.SetPlayWelcomeMsg(true);
  Open();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(m_frame->findChildren<CWelcomeVoice*>().isEmpty());
}

TEST(ProjectBar, TheFortyFirstProjectGetsNoCommand) {
  guitest::Application();
  std::vector<int> commands;
  CProjectBar bar(nullptr, [&commands](int id) { commands.push_back(id); });
  std::vector<std::string> names;
  for (int i = 0; i < 41; ++i) {
    names.push_back("p" + std::to_string(i));
  }
  bar.SetProjects(names);
  ASSERT_EQ(bar.ButtonCount(), 41);
  EXPECT_EQ(bar.actions().at(39)->data().toInt(), 45095);
  EXPECT_FALSE(bar.actions().at(40)->isEnabled());
  bar.Trigger(40);
  bar.Trigger(39);
  EXPECT_EQ(commands, std::vector<int>{45095});
  bar.Press(45095);
  bar.SetProjects({"x", "Fish & Chips"});
  EXPECT_EQ(bar.ButtonCount(), 2);
  EXPECT_EQ(bar.actions().at(1)->text(), "Fish && Chips");
  EXPECT_EQ(bar.PressedIndex(), -1);
}

TEST_F(MainFrameTest, BackAndForwardMoveAlongTheProjectBarAndStopAtItsEnds) {
  SaveProjects({"a", "b", "c"});
  Open(2);
  Activate();
  QWidget* inside = m_frame->menuBar();
  const std::vector<std::pair<std::function<void()>, std::string>> steps{
      {[this] { QTest::keyClick(m_frame.get(), Qt::Key_Forward); }, "c"},
      {[this] { QTest::keyClick(m_frame.get(), Qt::Key_Back); }, "b"},
      {[inside] { QTest::mouseClick(inside, Qt::BackButton); }, "a"},
      {[this] { QTest::keyClick(m_frame.get(), Qt::Key_Back); }, "a"},
      {[inside] { QTest::mouseClick(inside, Qt::ForwardButton); }, "b"},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    steps[i].first();
    EXPECT_EQ(CurrentName(), steps[i].second) << "step " << i;
  }
}

TEST_F(MainFrameTest, TheWindowShapeIsStoredAndRestored) {
  Open();
  m_frame->ShowInStoredShape();
  EXPECT_EQ(m_frame->size(), QSize(652, 388));
  m_frame->resize(800, 500);
  m_frame->close();
  NewFrame();
  m_frame->ShowInStoredShape();
  EXPECT_EQ(m_frame->size(), QSize(800, 500));
  EXPECT_FALSE(m_frame->isMaximized());
  m_frame->showMaximized();
  m_frame->close();
  NewFrame();
  m_frame->ShowInStoredShape();
  EXPECT_TRUE(m_frame->isMaximized());
  EXPECT_EQ(m_frame->normalGeometry().size(), QSize(800, 500));
}

TEST_F(MainFrameTest, CommandsGoToTheViewFirstAndTheDocumentsUpdatesReachIt) {
  SaveProjects({"a", "b"});
  Open();
  auto* view = new CFakeView;
  m_frame->SetView(view, view);
  Activate();
  const frametest::CModalWatcher settings(m_events);
  m_frame->OnCommand(CDoc::ID_PROJECT_SETTINGS);
  QTest::keyClick(m_frame.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(view->commands, (std::vector<int>{CDoc::ID_PROJECT_SETTINGS, 57634}));
  EXPECT_TRUE(m_events.empty()); // the document's settings window did not open
  m_frame->OnCommand(CProjectBar::kFirstId + 1);
  EXPECT_EQ(view->hints, std::vector<int>{CDoc::HINT_PROJECTS_CHANGED});
}

TEST_F(MainFrameTest, ChangedStylesReachTheViewsButtonsAndTheBars) {
  Open();
  auto* view = new CMainView(*m_doc, &m_frame->GetStatusProgress());
  m_frame->SetView(view, view);
  BkgStyle* styles = BkgStyle::GetInstance();
  CShadeProperties buttons = styles->GetUser(kStandAloneButtons);
  buttons.SetEnabled(1);
  buttons.SetColor(CShadeProperties::MakeColor(200, 0, 0));
  styles->SetUser(kStandAloneButtons, buttons);
  CShadeProperties toolBar = styles->GetUser(kToolBarStyle);
  toolBar.SetEnabled(1);
  styles->SetUser(kToolBarStyle, toolBar);
  m_frame->ApplyStyles();
  EXPECT_FALSE(m_frame->findChild<QToolBar*>("toolBar")->styleSheet().isEmpty());

  toolBar.SetEnabled(0);
  styles->SetUser(kToolBarStyle, toolBar);
  m_frame->ApplyStyles();
  EXPECT_TRUE(m_frame->findChild<QToolBar*>("toolBar")->styleSheet().isEmpty());
  const QColor expected =
      CShadeStyle::ButtonPalette(buttons, QApplication::palette()).color(QPalette::Button);
  EXPECT_EQ(view->findChild<QPushButton*>("replaceButton")->palette().color(QPalette::Button),
            expected);
  CDefaultShades::Apply(styles);
}

TEST_F(MainFrameTest, AShowRequestBringsAMinimizedWindowBack) {
  Open();
  m_frame->showMinimized();
  ASSERT_TRUE(m_frame->isMinimized());
  ASSERT_TRUE(PostMessage(m_frame->GetMessageWindow(), CMainFrame::MSG_SHOW_WINDOW, 0, 0));
  EXPECT_TRUE(CMessageLoop::PumpUntil([this] { return !m_frame->isMinimized(); },
                                      std::chrono::seconds(20)));
  EXPECT_TRUE(m_frame->isVisible());
}

TEST_F(MainFrameTest, TheAboutWindowNamesWhatPagelintDoesAndItsVersion) {
  Open();
  const frametest::CBoxRecorder boxes(m_events, CMessageBoxService::kAnswerYes);
  m_frame->OnCommand(45034);
  ASSERT_EQ(boxes.Texts().size(), 1U);
  EXPECT_EQ(boxes.Texts()[0], "Pagelint checks the spelling of text in your web pages.\n\n"
                              "Version " +
                                  m_settings.GetCurrentVersionNumber());
}

TEST(DocUiBridge, WaitCursorsNestAndAnExtraHideLeavesOthersCursors) {
  guitest::Application();
  QApplication::setOverrideCursor(Qt::BusyCursor);
  {
    CDocUiBridge ui;
    ui.ShowWaitCursor(true);
    ui.ShowWaitCursor(true);
    ui.ShowWaitCursor(false);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.ShowWaitCursor(false);
    ui.ShowWaitCursor(false);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    ui.ShowWaitCursor(true);
  } // gives back the one still shown
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
  QApplication::restoreOverrideCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainFrameTest, ADictionaryEntryOpensItsEditorWithTheFindOptionsOfTheSettings) {
  SaveProjects({"Site"});
  Open();
  CSpellChecker* speller = CSpellChecker::GetInstance();
  ASSERT_TRUE(speller->AddCustomDictionary("Mine"));
  const int id = CDoc::ID_DICTIONARY_FIRST + speller->GetDictionaryID("Mine");
  speller->AddWord(id - CDoc::ID_DICTIONARY_FIRST, "alpha");
  m_settings.findMatchCase = true;
  m_settings.findSearchDown = false;
  m_settings.findStopAtEnd = true;
  // Each run: whether the editor closes with OK, and the options then in the settings.
  struct SCase {
    bool ok;
    bool matchCase, searchDown, stopAtEnd;
  };
  for (const SCase& c : {SCase{false, true, false, true}, SCase{true, false, true, false}}) {
    QString title;
    frametest::CModalWatcher watcher(m_events, [&](QDialog& editor) {
      title = editor.windowTitle();
      // The find window opens over the editor; it gets the other options.
      QTimer::singleShot(0, [] {
        auto* find = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(find, nullptr);
        EXPECT_TRUE(find->findChild<QCheckBox*>("matchCaseCheck")->isChecked());
        EXPECT_TRUE(find->findChild<QRadioButton*>("upRadio")->isChecked());
        EXPECT_TRUE(find->findChild<QCheckBox*>("stopAtEndCheck")->isChecked());
        find->findChild<QCheckBox*>("matchCaseCheck")->setChecked(false);
        find->findChild<QRadioButton*>("downRadio")->setChecked(true);
        find->findChild<QCheckBox*>("stopAtEndCheck")->setChecked(false);
        find->findChild<QLineEdit*>("findEdit")->setText("alp");
        find->accept();
      });
      editor.findChild<QPushButton*>("findButton")->click();
      c.ok ? editor.accept() : editor.reject();
    });
    const auto entries = Entries("dictionariesMenu");
    const auto entry =
        std::find_if(entries.begin(), entries.end(), [id](const SEntry& e) { return e.id == id; });
    ASSERT_NE(entry, entries.end());
    ASSERT_TRUE(m_frame->IsCommandEnabled(id));
    m_frame->OnCommand(id);
    EXPECT_EQ(title, "Mine");
    EXPECT_EQ(m_settings.findMatchCase, c.matchCase) << c.ok;
    EXPECT_EQ(m_settings.findSearchDown, c.searchDown) << c.ok;
    EXPECT_EQ(m_settings.findStopAtEnd, c.stopAtEnd) << c.ok;
  }
  m_events.clear();
  frametest::CModalWatcher watcher(m_events);
  m_frame->OnCommand(CDoc::ID_DICTIONARY_LAST);
  EXPECT_TRUE(m_events.empty()) << "an id that names no dictionary opens nothing";
}

TEST_F(MainFrameTest, SpellCheckAWordNeedsAProjectAndOpensItsWindow) {
  Open();
  EXPECT_FALSE(m_frame->IsCommandEnabled(CDoc::ID_SPELL_CHECK_WORD));
  SaveProjects({"Site"});
  Open();
  ASSERT_TRUE(m_frame->IsCommandEnabled(CDoc::ID_SPELL_CHECK_WORD));
  frametest::CModalWatcher watcher(m_events);
  m_frame->OnCommand(CDoc::ID_SPELL_CHECK_WORD);
  EXPECT_EQ(m_events, std::vector<std::string>{"SpellCheckDlg"});
}

TEST(CommandPrompts, StatusTextAndToolTipSplitAtTheNewline) {
  const std::vector<std::tuple<int, std::string, std::string>> cases{
      {45097, "Add a web site project", "Add Web Site Project"},
      {45038, "Display the version history of the application", ""},
      {45003, "View/modify this custom dictionary", ""},
      {45095, "View this web site project", ""},
      {45096, "Remove the currently selected project from Pagelint", "Remove Project"},
      {45031, "", ""},
  };
  for (const auto& [id, status, tip] : cases) {
    EXPECT_EQ(CCommandPrompts::StatusText(id), status) << id;
    EXPECT_EQ(CCommandPrompts::ToolTip(id), tip) << id;
  }
}

} // namespace
