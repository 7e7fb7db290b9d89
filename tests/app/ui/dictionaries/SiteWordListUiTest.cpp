// A site's own word list (.pagelint-words at its root) in the windows: the Dictionaries
// menu, the dictionary editor, the project settings grid and Add To Dictionary.
#include "FrameTestKit.h"
#include "GuiTestKit.h"
#include "mainwindow/DocUiBridge.h"
#include "mainwindow/MainFrame.h"
#include "mainwindow/MainViewFixture.h"
#include "mainwindow/ProjectBar.h"

#include "projects/Doc.h"
#include "projects/WebProject.h"
#include "settings/PagelintSettings.h"
#include "spellcore/SpellChecker.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

constexpr const char* kListFile = ".pagelint-words";
const std::string kTeamList = "# Team words\n\nalpha  # the first\n\n# more below\ngamma\n";

/// Damaged lists: read as no words and never written over.
struct SDamaged {
  const char* what;
  std::string bytes;
  friend std::ostream& operator<<(std::ostream& out, const SDamaged& d) { return out << d.what; }
};
const std::vector<SDamaged> kDamaged{
    {"NUL bytes", std::string("alpha\n\0\0beta\n", 13)},
    {"not UTF-8", "alpha\n\xFF\xFE"
                  "beta\n"},
};

/// Two saved projects, "Other" and "Own", each over a site of its own, started as the
/// program starts them, with the main window over them.
class SiteWordListFrameTest : public testing::Test {
protected:
  SiteWordListFrameTest() {
    guitest::Application();
    QApplication::clipboard()->clear();
    bool firstStart = true;
    bool upgraded = false;
    m_settings.Read(frametest::AppDirectory(), "Pagelint", firstStart, upgraded);
    CSpellChecker::GetInstance()->SetAppPath(frametest::AppDirectory());
    for (const char* name : {"Own", "Other"}) {
      fs::create_directories(Root(name));
      testkit::WriteBytes(Root(name) + "index.html", "<p>x</p>\n");
    }
  }
  ~SiteWordListFrameTest() override {
    m_ui.SetFrame(nullptr);
    m_frame.reset();
    m_doc.reset();
    CSpellChecker::DeleteInstance();
  }

  std::string Root(const std::string& project) const { return m_sites.Sub(project) + "/"; }
  std::string ListFile(const std::string& project) const { return Root(project) + kListFile; }

  /// Opens the document with `current` ("Other" or "Own") shown.
  void Open(const std::string& current) {
    for (const char* name : {"Own", "Other"}) {
      frametest::SaveProject(name, Root(name));
    }
    m_doc = std::make_unique<CDoc>(m_ui, m_settings.GetDocSettings());
    m_frame = std::make_unique<CMainFrame>(*m_doc, m_settings);
    m_ui.SetFrame(m_frame.get());
    m_doc->OnNewDocument();
    m_doc->StartAllProjects();
    Show(current);
  }
  /// Presses the project's button: the projects are sorted, "Other" first.
  void Show(const std::string& project) {
    m_frame->OnCommand(CProjectBar::kFirstId + (project == "Other" ? 0 : 1));
    ASSERT_EQ(m_doc->GetCurrentProject()->GetName(), project);
  }

  /// The Dictionaries menu as it opens: each entry's text and command.
  std::vector<std::pair<std::string, int>> MenuEntries() {
    auto* menu = m_frame->findChild<QMenu*>("dictionariesMenu");
    emit menu->aboutToShow();
    std::vector<std::pair<std::string, int>> entries;
    for (const QAction* action : menu->actions()) {
      entries.emplace_back(action->text().toStdString(), action->data().toInt());
    }
    return entries;
  }
  int MenuCommand(const std::string& text) {
    for (const auto& [entry, id] : MenuEntries()) {
      if (entry == text) {
        return id;
      }
    }
    return -1;
  }

  /// Opens the current project's list from its menu entry, pastes `clipboard` into
  /// the editor and presses OK; the editor's title.
  std::string PasteThroughTheEditor(const std::string& clipboard) {
    const int command = MenuCommand("Own Site Words...");
    EXPECT_NE(command, -1);
    QString title;
    frametest::CModalWatcher editor(m_events, [&](QDialog& dialog) {
      title = dialog.windowTitle();
      QApplication::clipboard()->setText(QString::fromStdString(clipboard));
      dialog.findChild<QPushButton*>("pasteButton")->click();
      dialog.findChild<QPushButton*>("okButton")->click();
    });
    m_frame->OnCommand(command);
    return title.toStdString();
  }

  static std::set<std::string> FolderEntries(const std::string& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_sites;
  CPagelintSettings m_settings;
  CDocUiBridge m_ui;
  std::unique_ptr<CDoc> m_doc;
  std::unique_ptr<CMainFrame> m_frame;
  std::vector<std::string> m_events;
};

TEST_F(SiteWordListFrameTest, TheMenuOffersTheShownProjectsListOnlyUnderItsName) {
  Open("Own");
  CSpellChecker* speller = CSpellChecker::GetInstance();
  // Each shown project: the entry that must be there and the one that never is.
  struct SCase {
    const char* shown;
    const char* entry;
    const char* hidden;
  };
  for (const SCase& c : {SCase{"Own", "Own Site Words...", "Other Site Words..."},
                         SCase{"Other", "Other Site Words...", "Own Site Words..."}}) {
    Show(c.shown);
    const int id = m_doc->GetCurrentProject()->GetSiteWordsId();
    ASSERT_GT(id, 0) << c.shown;
    EXPECT_EQ(MenuCommand(c.entry), CDoc::ID_DICTIONARY_FIRST + id) << c.shown;
    EXPECT_EQ(MenuCommand(c.hidden), -1) << c.shown;
    std::string name;
    speller->GetDictionaryName(id, name);
    EXPECT_EQ(name + "...", c.entry);
  }
}

TEST_F(SiteWordListFrameTest, TheEditorSavesTheListAtomicallyKeepingCommentsAndBlankLines) {
  testkit::WriteBytes(ListFile("Own"), kTeamList);
  // A second name for the old file: an atomic save leaves it whole, a write in place
  // would change it too.
  fs::create_hard_link(ListFile("Own"), Root("Own") + "before");
  Open("Own");
  EXPECT_EQ(PasteThroughTheEditor("beta"), "Own Site Words");
  EXPECT_EQ(m_events, Names{"DictionaryEditorDlg"});
  EXPECT_EQ(testkit::ReadBytes(ListFile("Own")), kTeamList + "beta\n");
  EXPECT_EQ(testkit::ReadBytes(Root("Own") + "before"), kTeamList);
  EXPECT_EQ(FolderEntries(Root("Own")), (std::set<std::string>{kListFile, "before", "index.html"}))
      << "no temporary file left behind";
  EXPECT_FALSE(fs::exists(ListFile("Other"))) << "the other site's list is not made";
}

class SiteWordListDamagedFrameTest : public SiteWordListFrameTest,
                                     public testing::WithParamInterface<SDamaged> {};

TEST_P(SiteWordListDamagedFrameTest, TheEditorNeverWritesOverIt) {
  testkit::WriteBytes(ListFile("Own"), GetParam().bytes);
  Open("Own");
  EXPECT_EQ(PasteThroughTheEditor("beta"), "Own Site Words");
  EXPECT_EQ(testkit::ReadBytes(ListFile("Own")), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(SiteWordList, SiteWordListDamagedFrameTest, testing::ValuesIn(kDamaged));

TEST_F(SiteWordListFrameTest, TheSettingsGridListsTheOwnListAndCanMakeItTheAddToTarget) {
  Open("Own");
  const int own = m_doc->GetCurrentProject()->GetSiteWordsId();
  Names names;
  frametest::CModalWatcher settings(m_events, [&](QDialog& dialog) {
    auto* grid = dialog.findChild<QAbstractItemView*>("dictionariesGrid");
    const QAbstractItemModel& rows = *grid->model();
    int ownRow = -1;
    for (int row = 0; row < rows.rowCount(); ++row) {
      names.push_back(rows.index(row, 1).data().toString().toStdString());
      ownRow = names.back() == "Own Site Words" ? row : ownRow;
    }
    ASSERT_NE(ownRow, -1);
    EXPECT_EQ(rows.index(ownRow, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    // Its radio: Add To Dictionary fills it from now on.
    grid->setFocus();
    grid->setCurrentIndex(rows.index(ownRow, 2));
    QTest::keyClick(grid, Qt::Key_Space);
    dialog.findChild<QPushButton*>("okButton")->click();
  });
  m_frame->OnCommand(CDoc::ID_PROJECT_SETTINGS);
  ASSERT_EQ(m_events, Names{"projectSettingsDlg"});
  EXPECT_EQ(std::count(names.begin(), names.end(), "Own Site Words"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), "Other Site Words"), 0);
  EXPECT_EQ(m_doc->GetCurrentProject()->GetAddToDictionaryId(), own);
}

TEST_F(SiteWordListFrameTest, ARenamedProjectsListShowsUnderTheNewName) {
  Open("Own");
  const int own = m_doc->GetCurrentProject()->GetSiteWordsId();
  frametest::CModalWatcher settings(m_events, [](QDialog& dialog) {
    dialog.findChild<QLineEdit*>("nameEdit")->setText("Renamed");
    dialog.findChild<QPushButton*>("okButton")->click();
  });
  m_frame->OnCommand(CDoc::ID_PROJECT_SETTINGS);
  ASSERT_EQ(m_events, Names{"projectSettingsDlg"});
  ASSERT_EQ(m_doc->GetCurrentProject()->GetName(), "Renamed");
  EXPECT_EQ(MenuCommand("Renamed Site Words..."), CDoc::ID_DICTIONARY_FIRST + own);
  EXPECT_EQ(MenuCommand("Own Site Words..."), -1);
}

/// The main view over a checked site whose own list is the Add To Dictionary target.
class SiteWordListAddTest : public viewtest::MainViewTest {
protected:
  void CheckWithList(const std::string& listBytes) {
    WriteSite({{kListFile, listBytes}});
    CWebProject& project = CheckSite({{"a.html", "<p>The teh cat sat on a wrld.</p>\n"}});
    ASSERT_GT(project.GetSiteWordsId(), 0);
    project.SetAddToDictionaryId(project.GetSiteWordsId());
  }
  void AddSelected(const std::string& word) {
    Select(Words(), word);
    Button("addToDictionaryButton")->click();
  }
};

TEST_F(SiteWordListAddTest, AddToDictionaryAppendsToTheListKeepingItsComments) {
  CheckWithList("# Our words\n\nwrld  # a brand\n");
  EXPECT_EQ(Entries(Words()), Names{"teh"}) << "the list's word is known";
  AddSelected("teh");
  EXPECT_TRUE(Entries(Words()).empty());
  EXPECT_EQ(Page(kListFile), "# Our words\n\nwrld  # a brand\nteh\n");
}

class SiteWordListDamagedAddTest : public SiteWordListAddTest,
                                   public testing::WithParamInterface<SDamaged> {};

TEST_P(SiteWordListDamagedAddTest, AddToDictionaryNeverWritesOverIt) {
  CheckWithList(GetParam().bytes);
  EXPECT_EQ(Entries(Words()), (Names{"teh", "wrld"})) << "read as no words";
  AddSelected("teh");
  EXPECT_EQ(Page(kListFile), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(SiteWordList, SiteWordListDamagedAddTest, testing::ValuesIn(kDamaged));

} // namespace
