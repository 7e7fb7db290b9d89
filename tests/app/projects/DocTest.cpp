#include "projects/Doc.h"

#include "FakeDocUi.h"
#include "WebProjectFileFixture.h"
#include "projects/WebProject.h"
#include "replace/BackupFolders.h"

#include "testkit/LogCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kHint = CDoc::HINT_PROJECTS_CHANGED;

class Doc : public ProjectFileTest {
protected:
  void SetUp() override {
    ProjectFileTest::SetUp();
    m_settings.projectDataDirectory = DataDir();
    m_doc.SetApplicationDirectory(AppDir());
  }
  void TearDown() override {
    m_doc.OnCloseDocument();
    ProjectFileTest::TearDown();
  }

  /// Data files of projects with these names (roots that do not exist), loaded.
  void Load(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      WriteDataFile(name + ".plx", Content(name, m_home.Root() + "/missing/" + name + "/"));
    }
    ASSERT_TRUE(m_doc.OnNewDocument());
  }

  std::vector<std::string> Names() const {
    std::string current;
    std::vector<std::string> names;
    m_doc.GetProjectNames(current, names);
    return names;
  }
  std::string CurrentName() const {
    return m_doc.GetCurrentProject() ? m_doc.GetCurrentProject()->GetName() : "(none)";
  }

  FakeDocUi m_ui;
  CDocSettings m_settings;
  CDoc m_doc{m_ui, m_settings};
};

TEST_F(Doc, DefaultDataFolderIsTheSettingsFolder) {
  EXPECT_EQ(CDocSettings().projectDataDirectory, m_home.ConfigHome() + "/Pagelint/");
}

TEST_F(Doc, ProjectsAreListedByNameWhateverTheirCase) {
  Load({"beta", "Alpha", "gamma"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(m_doc.GetCurrentProject(), nullptr) << "loading selects nothing";
  EXPECT_EQ(m_ui.barRefreshes, 1);
  EXPECT_EQ(m_doc.GetProjectIndex(m_doc.GetProject(1)), 1);
  EXPECT_EQ(m_doc.GetProjectIndex(nullptr), -1);
  EXPECT_EQ(m_doc.GetProject(3), nullptr);
}

TEST_F(Doc, DamagedDataFileIsNotListedButKept) {
  testkit::WriteBytes(DataDir() + "broken.plx", std::string("\x02\x00\x40xy", 5));
  LogCapture log;
  Load({"Site"});
  EXPECT_EQ(Names(), std::vector<std::string>{"Site"});
  EXPECT_TRUE(log.Contains("{A0BEB667-EA94-45CE-AD8C-DE8DFCF6FB60}"));
  EXPECT_EQ(testkit::ReadBytes(DataDir() + "broken.plx"), std::string("\x02\x00\x40xy", 5));
  EXPECT_EQ(m_doc.GetUnreadDataFiles(), std::vector<std::string>{DataDir() + "broken.plx"});
}

// Every data file that did not load is named for the message at start, the empty one
// too (its project is gone just the same); a new document starts the list afresh.
TEST_F(Doc, DataFilesThatDidNotLoadAreNamed) {
  testkit::WriteBytes(DataDir() + "empty.plx", "");
  testkit::WriteBytes(DataDir() + "forged.plx", std::string("\x02\x00\x00\x00\xFF\xFF\xFF\x7F", 8));
  Load({"Site"});
  std::vector<std::string> unread = m_doc.GetUnreadDataFiles();
  std::sort(unread.begin(), unread.end());
  EXPECT_EQ(unread, (std::vector<std::string>{DataDir() + "empty.plx", DataDir() + "forged.plx"}));

  fs::remove(DataDir() + "empty.plx");
  fs::remove(DataDir() + "forged.plx");
  ASSERT_TRUE(m_doc.OnNewDocument());
  EXPECT_TRUE(m_doc.GetUnreadDataFiles().empty());
}

TEST_F(Doc, SelectProjectMovesTheCurrentFlag) {
  Load({"A", "B"});
  CWebProject* a = m_doc.GetProject(0);
  CWebProject* b = m_doc.GetProject(1);
  m_doc.SelectProject(a);
  m_doc.SelectProject(b);
  m_doc.SelectProject(nullptr);
  EXPECT_FALSE(a->IsCurrent());
  EXPECT_TRUE(b->IsCurrent());
  EXPECT_EQ(m_doc.GetCurrentProject(), b);
  EXPECT_EQ(m_ui.pressedButtons, (std::vector<int>{0xB000, 0xB001}));
  EXPECT_EQ(m_ui.viewHints, (std::vector<int>{kHint, kHint}));
  std::string current;
  std::vector<std::string> names;
  m_doc.GetProjectNames(current, names);
  EXPECT_EQ(current, "B");
}

struct RemoveCase {
  const char* name;
  std::vector<std::string> projects;
  int removed;
  std::string selectedAfter;
};

void PrintTo(const RemoveCase& c, std::ostream* os) {
  *os << c.name;
}

class DocRemove : public Doc, public testing::WithParamInterface<RemoveCase> {};

TEST_P(DocRemove, SelectsTheNeighbourAndDeletesTheDataFile) {
  const RemoveCase& c = GetParam();
  Load(c.projects);
  CWebProject* removed = m_doc.GetProject(c.removed);
  const std::string removedName = removed->GetName();
  m_doc.SelectProject(removed);
  m_ui.boxAnswer = CDocUi::kAnswerYes;
  EXPECT_TRUE(m_doc.OnCommand(CDoc::ID_PROJECT_REMOVE));

  ASSERT_EQ(m_ui.boxes.size(), 1U);
  EXPECT_EQ(m_ui.boxes[0].title, "Remove Project");
  EXPECT_EQ(m_ui.boxes[0].buttons, CDocUi::EButtons::YesNo);
  EXPECT_NE(m_ui.boxes[0].text.find("remove the \"" + removedName + "\" project."),
            std::string::npos);
  EXPECT_EQ(CurrentName(), c.selectedAfter);
  EXPECT_EQ(m_doc.GetProjectCount(), static_cast<int>(c.projects.size()) - 1);
  EXPECT_FALSE(Exists(DataDir() + removedName + ".plx"));
  EXPECT_EQ(m_ui.viewHints.back(), kHint);
  EXPECT_EQ(m_ui.waitCursorDepth, 0);
}

INSTANTIATE_TEST_SUITE_P(Positions, DocRemove,
                         testing::Values(RemoveCase{"LastOfThree", {"A", "B", "C"}, 2, "B"},
                                         RemoveCase{"MiddleOfThree", {"A", "B", "C"}, 1, "C"},
                                         RemoveCase{"FirstOfThree", {"A", "B", "C"}, 0, "B"},
                                         RemoveCase{"TheOnlyOne", {"A"}, 0, "(none)"}),
                         CaseName<RemoveCase>);

TEST_F(Doc, RemoveAnsweredNoKeepsTheProject) {
  Load({"A"});
  m_doc.SelectProject(m_doc.GetProject(0));
  m_ui.boxAnswer = CDocUi::kAnswerNo;
  EXPECT_TRUE(m_doc.OnCommand(CDoc::ID_PROJECT_REMOVE));
  EXPECT_EQ(m_doc.GetProjectCount(), 1);
  EXPECT_TRUE(Exists(DataDir() + "A.plx"));
}

TEST_F(Doc, CommandsNeedACurrentProject) {
  Load({"A"});
  for (const int id : {CDoc::ID_PROJECT_REMOVE, CDoc::ID_PROJECT_SETTINGS,
                       CDoc::ID_PROJECT_CHECK_AGAIN, CDoc::ID_SPELL_CHECK_WORD}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(m_doc.IsCommandEnabled(id));
    EXPECT_FALSE(m_doc.OnCommand(id));
  }
  EXPECT_TRUE(m_doc.IsCommandEnabled(CDoc::ID_PROJECT_ADD));
  EXPECT_FALSE(m_doc.IsCommandEnabled(45030)) << "not the document's";
  EXPECT_TRUE(m_ui.boxes.empty());
  EXPECT_EQ(m_doc.GetProjectCount(), 1);
}

class DocCheckAgain : public Doc, public testing::WithParamInterface<int> {};

TEST_P(DocCheckAgain, IsEnabledOnlyWhenOutOfDate) {
  Load({"A"});
  m_doc.SelectProject(m_doc.GetProject(0));
  m_doc.GetProject(0)->SetCheckState(static_cast<ECheckState>(GetParam()));
  EXPECT_EQ(m_doc.IsCommandEnabled(CDoc::ID_PROJECT_CHECK_AGAIN), GetParam() == 5);
  EXPECT_TRUE(m_doc.IsCommandEnabled(CDoc::ID_PROJECT_SETTINGS));
}

INSTANTIATE_TEST_SUITE_P(States, DocCheckAgain, testing::Range(0, 6));

TEST_F(Doc, DictionaryAndSpellCheckCommandsGoToTheUserInterface) {
  CSpellChecker& speller = StartSpeller({"Alpha"});
  Load({"A"});
  m_doc.SelectProject(m_doc.GetProject(0));
  m_doc.GetProject(0)->SetActiveDictionaries({speller.GetDictionaryID("Alpha")});
  EXPECT_TRUE(m_doc.OnCommand(CDoc::ID_DICTIONARY_FIRST + 3));
  EXPECT_TRUE(m_doc.OnCommand(CDoc::ID_DICTIONARY_LAST));
  EXPECT_FALSE(m_doc.OnCommand(CDoc::ID_DICTIONARY_LAST + 1));
  EXPECT_EQ(m_ui.editedDictionaries, (std::vector<int>{3, 29}));
  EXPECT_TRUE(m_doc.OnCommand(CDoc::ID_SPELL_CHECK_WORD));
  ASSERT_EQ(m_ui.spellCheckRequests.size(), 1U);
  EXPECT_EQ(m_ui.spellCheckRequests[0], m_doc.GetProject(0)->GetActiveDictionaries());
}

TEST_F(Doc, StartAllProjectsShowsEachFailure) {
  Load({"A", "B"});
  m_doc.StartAllProjects();
  ASSERT_EQ(m_ui.boxes.size(), 2U);
  EXPECT_EQ(m_ui.boxes[0].title, "Failed To Start A");
  EXPECT_EQ(m_ui.boxes[1].title, "Failed To Start B");
  EXPECT_EQ(m_ui.boxes[0].buttons, CDocUi::EButtons::Ok);
  EXPECT_EQ(m_ui.boxes[0].text.rfind("This project's local directory is no longer valid.", 0), 0U);
  EXPECT_EQ(m_doc.GetProjectCount(), 2) << "the projects stay listed";
}

TEST_F(Doc, AddProjectTakesTheDialogsChoice) {
  const std::string root = m_home.Root() + "/missing-site";
  m_settings.newProjectDirectory = m_home.Root() + "/sites";
  int saves = 0;
  m_settings.save = [&saves] { ++saves; };
  Load({"Zed"});
  m_ui.settingsEditor = [&](CDocUi::SProjectSettings& s) {
    s.name = "New Site";
    s.rootDirectory = root;
    s.filters = {{2, "*.bak"}};
    s.filtersChanged = true;
    return true;
  };
  EXPECT_TRUE(m_doc.OnCommand(CDoc::ID_PROJECT_ADD));

  ASSERT_EQ(m_ui.shownSettings.size(), 1U);
  EXPECT_EQ(m_ui.shownSettings[0].rootDirectory, m_home.Root() + "/sites/");
  EXPECT_EQ(m_ui.shownSettings[0].otherNames, std::vector<std::string>{"Zed"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"New Site", "Zed"}));
  EXPECT_EQ(CurrentName(), "New Site");
  EXPECT_EQ(m_doc.GetCurrentProject()->GetRootDirectory(), root + "/");
  EXPECT_EQ(m_settings.newProjectDirectory, m_home.Root() + "/");
  EXPECT_EQ(saves, 1) << "the changed folder is stored at once";
  const CProjectDataFile::SContent saved =
      CProjectDataFile::Read(testkit::ReadBytes(DataDir() + "New Site.plx"), "x");
  EXPECT_EQ(saved.rootDirectory, root + "/");
  ASSERT_EQ(saved.filters.size(), 1U);
  EXPECT_EQ(saved.filters[0].text, "*.bak");
}

TEST_F(Doc, CancelledAddLeavesNothing) {
  Load({"Zed"});
  EXPECT_TRUE(m_doc.OnCommand(CDoc::ID_PROJECT_ADD));
  EXPECT_EQ(Names(), std::vector<std::string>{"Zed"});
  EXPECT_EQ(std::distance(fs::directory_iterator(DataDir()), fs::directory_iterator()), 1);
}

TEST_F(Doc, RenameInTheDialogMovesFileAndBackupsAndResorts) {
  Load({"Alpha", "Beta"});
  const std::string oldBackup = CBackupFolders::GetBackupFolder("Alpha", AppDir());
  std::string error;
  ASSERT_TRUE(CBackupFolders::PrepareRoot(CBackupFolders::GetBackupRoot(AppDir()), error));
  fs::create_directories(oldBackup);
  testkit::WriteBytes(oldBackup + "index.htmb1", "backup");

  m_doc.SelectProject(m_doc.GetProject(0));
  m_ui.settingsEditor = [](CDocUi::SProjectSettings& s) {
    s.name = "Zulu";
    return true;
  };
  EXPECT_TRUE(m_doc.OnCommand(CDoc::ID_PROJECT_SETTINGS));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Beta", "Zulu"}));
  EXPECT_EQ(m_ui.pressedButtons.back(), 0xB001) << "the renamed current project moved down";
  EXPECT_FALSE(Exists(DataDir() + "Alpha.plx"));
  EXPECT_TRUE(Exists(DataDir() + "Zulu.plx"));
  EXPECT_EQ(testkit::ReadBytes(CBackupFolders::GetBackupFolder("Zulu", AppDir()) + "index.htmb1"),
            "backup");
  EXPECT_EQ(m_doc.GetProject(1)->GetCheckState(), ECheckState::NotStarted)
      << "a new name alone is not out of date";
}

// An option changes the findings of every page, so the project waits for a new check
// as after a filter change; the dialog shows what was saved.
TEST_F(Doc, ChangedOptionIsSavedAndMakesTheProjectOutOfDate) {
  Load({"A"});
  CWebProject* project = m_doc.GetProject(0);
  m_ui.settingsEditor = [](CDocUi::SProjectSettings& s) {
    s.options.skipCodeSamples = true;
    return true;
  };
  EXPECT_TRUE(m_doc.EditProjectSettings(project));
  EXPECT_TRUE(project->GetOptions().skipCodeSamples);
  EXPECT_EQ(project->GetCheckState(), ECheckState::OutOfDate);
  const CProjectDataFile::SContent saved =
      CProjectDataFile::Read(testkit::ReadBytes(DataDir() + "A.plx"), "x");
  EXPECT_EQ(saved.version, 3);
  EXPECT_TRUE(saved.options.skipCodeSamples);

  project->SetCheckState(ECheckState::Checked);
  // OK on what was shown: the saved option, so nothing changed.
  m_ui.settingsEditor = [](CDocUi::SProjectSettings&) { return true; };
  EXPECT_FALSE(m_doc.EditProjectSettings(project));
  EXPECT_EQ(project->GetCheckState(), ECheckState::Checked);

  // The other option alike, the first kept.
  m_ui.settingsEditor = [](CDocUi::SProjectSettings& s) {
    s.options.checkImageText = true;
    return true;
  };
  EXPECT_TRUE(m_doc.EditProjectSettings(project));
  EXPECT_EQ(project->GetCheckState(), ECheckState::OutOfDate);
  EXPECT_EQ(CProjectDataFile::Read(testkit::ReadBytes(DataDir() + "A.plx"), "x").options,
            (CProjectOptions{true, true}));
}

// The two word-shape options go to the data file as options of their own, come back
// when the projects load again, and turned off again give the version 2 file back.
TEST_F(Doc, WordShapeOptionsSurviveAReloadAndTurnedOffLeaveTheFileAsItWas) {
  Load({"A"});
  const std::string before = testkit::ReadBytes(DataDir() + "A.plx");
  m_ui.settingsEditor = [](CDocUi::SProjectSettings& s) {
    s.options.ignoreUppercaseWords = true;
    s.options.ignoreWordsWithNumbers = true;
    return true;
  };
  EXPECT_TRUE(m_doc.EditProjectSettings(m_doc.GetProject(0)));
  EXPECT_EQ(m_doc.GetProject(0)->GetCheckState(), ECheckState::OutOfDate);
  CProjectOptions both;
  both.ignoreUppercaseWords = true;
  both.ignoreWordsWithNumbers = true;
  const CProjectDataFile::SContent saved =
      CProjectDataFile::Read(testkit::ReadBytes(DataDir() + "A.plx"), "x");
  EXPECT_EQ(saved.version, 3);
  EXPECT_EQ(saved.options.ToBits(), 0x18U);

  m_doc.OnCloseDocument();
  ASSERT_TRUE(m_doc.OnNewDocument());
  ASSERT_EQ(Names(), std::vector<std::string>{"A"});
  EXPECT_EQ(m_doc.GetProject(0)->GetOptions(), both);

  m_ui.settingsEditor = [](CDocUi::SProjectSettings& s) {
    s.options = CProjectOptions();
    return true;
  };
  EXPECT_TRUE(m_doc.EditProjectSettings(m_doc.GetProject(0)));
  EXPECT_EQ(testkit::ReadBytes(DataDir() + "A.plx"), before);
}

TEST_F(Doc, UnchangedSettingsWriteNothing) {
  Load({"A"});
  const std::string before = testkit::ReadBytes(DataDir() + "A.plx");
  m_ui.settingsEditor = [](CDocUi::SProjectSettings&) { return true; };
  EXPECT_FALSE(m_doc.EditProjectSettings(m_doc.GetProject(0)));
  m_ui.settingsEditor = nullptr;
  EXPECT_FALSE(m_doc.EditProjectSettings(m_doc.GetProject(0)));
  EXPECT_EQ(testkit::ReadBytes(DataDir() + "A.plx"), before);
}

TEST_F(Doc, CloseEmptiesTheBackupRoot) {
  Load({"A"});
  const std::string folder = CBackupFolders::GetBackupFolder("A", AppDir());
  fs::create_directories(folder);
  testkit::WriteBytes(folder + "x.htmb1", "x");
  m_doc.OnCloseDocument();
  EXPECT_EQ(m_doc.GetProjectCount(), 0);
  EXPECT_TRUE(fs::is_empty(CBackupFolders::GetBackupRoot(AppDir())));
  EXPECT_TRUE(Exists(DataDir() + "A.plx")) << "closing keeps the data files";
}

TEST(DocProgramsFolder, OnlyProgramsBelowUsrMoveTheirDataFiles) {
  EXPECT_TRUE(CDoc::IsInProgramsFolder("/usr/lib/pagelint/"));
  EXPECT_TRUE(CDoc::IsInProgramsFolder("/USR/bin/"));
  EXPECT_FALSE(CDoc::IsInProgramsFolder("/usr"));
  EXPECT_FALSE(CDoc::IsInProgramsFolder("/home/u/usr/"));
  EXPECT_FALSE(CDoc::IsInProgramsFolder(""));
}

TEST_F(Doc, OldDataFilesMoveIntoAnEmptyDataFolder) {
  fs::remove_all(DataDir());
  testkit::WriteBytes(AppDir() + "One.plx",
                      CProjectDataFile::Write(Content("One", "/one/"), "One.plx"));
  testkit::WriteBytes(AppDir() + "notes.txt", "x");
  LogCapture log;
  m_doc.MoveOldDataFiles(AppDir());
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_FALSE(Exists(AppDir() + "One.plx"));
  EXPECT_TRUE(Exists(AppDir() + "notes.txt"));
  ASSERT_TRUE(m_doc.OnNewDocument());
  EXPECT_EQ(Names(), std::vector<std::string>{"One"});
}

TEST_F(Doc, OldDataFilesStayWhenTheDataFolderHasItsOwn) {
  WriteDataFile("Mine.plx", Content("Mine", "/m/"));
  testkit::WriteBytes(AppDir() + "Old.plx", "old");
  m_doc.MoveOldDataFiles(AppDir());
  EXPECT_TRUE(Exists(AppDir() + "Old.plx"));
  EXPECT_FALSE(Exists(DataDir() + "Old.plx"));
}

TEST_F(Doc, FailedMovesAreLoggedAndLoseNothing) {
  fs::remove_all(DataDir());
  testkit::WriteBytes(DataDir().substr(0, DataDir().size() - 1), "a file in the way");
  testkit::WriteBytes(AppDir() + "Old.plx", "old");
  LogCapture log;
  m_doc.MoveOldDataFiles(AppDir());
  EXPECT_TRUE(log.Contains("{85EF107E-F9B9-4FB2-8C96-2227669F77CD}"));
  EXPECT_TRUE(log.Contains("{D5B1F639-BD0F-4BD7-94B5-E137F3F88B58}"));
  EXPECT_TRUE(log.Contains("{2C0B98C7-EC32-4E2E-8D4D-296DA1A71BD2}"));
  EXPECT_EQ(testkit::ReadBytes(AppDir() + "Old.plx"), "old");
}

} // namespace
