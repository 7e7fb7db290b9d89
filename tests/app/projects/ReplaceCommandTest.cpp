#include "replace/ReplaceCommand.h"

#include "FakeDocUi.h"
#include "ProjectFixture.h"
#include "WebProjectFileFixture.h"
#include "projects/Doc.h"
#include "projects/HTMLFile.h"
#include "projects/ProjectDataFile.h"
#include "replace/BackupFolders.h"
#include "replace/UndoReplace.h"

#include "diskfiles/DiskFileListAccess.h"
#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "utilcore/ZebUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using projectstest::ProjectTest;

constexpr const char* kPage = "<p>teh cat teh</p>\n";
constexpr const char* kReplacedPage = "<p>the end cat the end</p>\n";
constexpr const char* kBackupMissingId = "{39343EF6-B750-4FE6-8595-437A7EDEA4DB}";

/// Plays the user in the message boxes: records each question, answers as scripted.
struct ScriptedUser {
  bool answer = true;
  std::vector<std::pair<std::string, std::string>> asked;

  CReplaceCommand::AskYesNo Ask() {
    return [this](const std::string& title, const std::string& text) {
      asked.emplace_back(title, text);
      return answer;
    };
  }
};

/// A checked site and the real speller; replaces and undoes as the view does.
class ReplaceCommandTest : public ProjectTest {
protected:
  std::string AppDir() const { return m_home.Root() + "/app/"; }

  /// Writes the pages, then makes and checks the project "My Site".
  CWebProject& CheckedSite(const std::map<std::string, std::string>& pages) {
    for (const auto& [relative, bytes] : pages) {
      WriteSiteFile(relative, bytes);
    }
    CWebProject& project = MakeProject("My Site");
    StartAndCheck(project);
    return project;
  }

  CReplaceCommand::SOutcome Replace(CWebProject& project, const std::string& word,
                                    const std::string& replacement,
                                    const std::vector<std::string>& checked = {},
                                    bool allChecked = true) {
    EXPECT_NE(project.GetBadWordsList().FindWord(word), nullptr) << word;
    return CReplaceCommand::Replace(project, word, 0, replacement, checked, allChecked, AppDir(),
                                    m_user.Ask());
  }

  std::string Page(const std::string& relative) const {
    return testkit::ReadBytes(Root() + relative);
  }

  ScriptedUser m_user;
};

struct ChoiceCase {
  std::string name;
  std::vector<std::string> checked;
  bool allChecked;
  std::vector<std::string> written; ///< the pages the replacement changes
  std::string countText;            ///< as the undo question puts it
};

void PrintTo(const ChoiceCase& c, std::ostream* out) {
  *out << c.name;
}

class ReplaceChoice : public ReplaceCommandTest, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(ReplaceChoice, WritesTheChosenPagesAndUndoRestoresThem) {
  const std::vector<std::string> pages = {"a.htm", "b.htm", "c.htm", "sub/d.htm", "sub/e.htm"};
  std::map<std::string, std::string> site;
  for (const std::string& page : pages) {
    site[page] = kPage;
  }
  CWebProject& project = CheckedSite(site);

  const CReplaceCommand::SOutcome outcome =
      Replace(project, "teh", "the end", GetParam().checked, GetParam().allChecked);
  ASSERT_TRUE(outcome.done);
  EXPECT_TRUE(m_user.asked.empty()) << "a real replacement asks nothing";
  const int written = static_cast<int>(GetParam().written.size());
  EXPECT_EQ(outcome.result.filesChanged, written);
  EXPECT_EQ(outcome.result.locationsReplaced, 2 * written);
  for (const std::string& page : pages) {
    const bool chosen = std::find(GetParam().written.begin(), GetParam().written.end(), page) !=
                        GetParam().written.end();
    EXPECT_EQ(Page(page), chosen ? kReplacedPage : kPage) << page;
  }

  ASSERT_EQ(project.GetUndoList().GetCount(), 1);
  const CUndoReplace& entry = *project.GetUndoList().GetHead();
  EXPECT_EQ(entry.GetWord(), "teh");
  EXPECT_EQ(entry.GetReplacement(), "the end");
  std::vector<std::string> expectedBackups;
  for (const std::string& page : GetParam().written) {
    expectedBackups.push_back(CBackupFolders::GetBackupFolder("My Site", AppDir()) + page + "b1");
  }
  std::vector<std::string> backups = entry.GetBackups();
  std::sort(backups.begin(), backups.end());
  EXPECT_EQ(backups, expectedBackups);

  EXPECT_TRUE(CReplaceCommand::Undo(project, m_user.Ask()));
  ASSERT_EQ(m_user.asked.size(), 1U);
  EXPECT_EQ(m_user.asked[0].first, "Replacement Undo");
  EXPECT_NE(m_user.asked[0].second.find("restore the " + GetParam().countText + " wherein"),
            std::string::npos)
      << m_user.asked[0].second;
  for (const std::string& page : pages) {
    EXPECT_EQ(Page(page), kPage) << page;
  }
  for (const std::string& backup : expectedBackups) {
    EXPECT_FALSE(fs::exists(backup)) << backup;
  }
  EXPECT_TRUE(project.GetUndoList().IsEmpty());
  EXPECT_FALSE(CReplaceCommand::Undo(project, m_user.Ask())) << "nothing left to undo";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReplaceChoice,
    testing::Values(
        ChoiceCase{"AllChecked",
                   {},
                   true,
                   {"a.htm", "b.htm", "c.htm", "sub/d.htm", "sub/e.htm"},
                   "5 files"},
        ChoiceCase{"TwoOfFive", {"b.htm", "sub/d.htm"}, false, {"b.htm", "sub/d.htm"}, "2 files"},
        ChoiceCase{"OneOfFive", {"sub/e.htm"}, false, {"sub/e.htm"}, "one file"}),
    CaseName<ChoiceCase>);

// A project that checks image descriptions and tooltips finds the word in them and has
// it replaced there too, inside the quotes; without the option both stay as they were.
TEST_F(ReplaceCommandTest, ImageDescriptionsAndTooltipsFollowTheProjectsOption) {
  constexpr const char* kImagePage = "<img alt=\"teh cat\"\n title='A teh'> teh\n";
  for (const bool checkImageText : {false, true}) {
    SCOPED_TRACE(checkImageText);
    WriteSiteFile("a.htm", kImagePage);
    CWebProject& project = MakeProject(checkImageText ? "Images" : "Plain");
    CProjectOptions options;
    options.checkImageText = checkImageText;
    project.SetOptions(options);
    StartAndCheck(project);
    const CReplaceCommand::SOutcome outcome = Replace(project, "teh", "the");
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(outcome.result.locationsReplaced, checkImageText ? 3 : 1);
    EXPECT_EQ(Page("a.htm"), checkImageText ? "<img alt=\"the cat\"\n title='A the'> the\n"
                                            : "<img alt=\"teh cat\"\n title='A teh'> the\n");
  }
}

TEST_F(ReplaceCommandTest, NoCheckedFileReplacesNothing) {
  CWebProject& project = CheckedSite({{"a.htm", kPage}});
  const CReplaceCommand::SOutcome outcome = Replace(project, "teh", "the end", {}, false);
  EXPECT_FALSE(outcome.done);
  EXPECT_EQ(Page("a.htm"), kPage) << "an empty choice is not every file";
  EXPECT_TRUE(project.GetUndoList().IsEmpty());
}

TEST_F(ReplaceCommandTest, NothingIsReplacedWhileTheProjectChecks) {
  CWebProject& project = CheckedSite({{"a.htm", kPage}});
  project.SetCheckState(ECheckState::Checking);
  EXPECT_FALSE(Replace(project, "teh", "the end").done);
  project.SetCheckState(ECheckState::Checked);
  EXPECT_EQ(Page("a.htm"), kPage);
  EXPECT_TRUE(project.GetUndoList().IsEmpty());
}

TEST_F(ReplaceCommandTest, ErasingTheWordIsAskedFirst) {
  CWebProject& project = CheckedSite({{"a.htm", kPage}});
  const std::string question =
      "You are about to replace \"teh\" with empty text, effectively erasing the word.\n\nIs that "
      "what you want to do?";
  EXPECT_EQ(CReplaceCommand::EmptyReplacementQuestion("teh"), question);

  for (const std::string blank : {"", " ", "\t\xE2\x80\x8B"}) {
    m_user.answer = false;
    m_user.asked.clear();
    EXPECT_FALSE(Replace(project, "teh", blank).done);
    ASSERT_EQ(m_user.asked.size(), 1U);
    EXPECT_EQ(m_user.asked[0], std::make_pair(std::string("Replace"), question));
    EXPECT_EQ(Page("a.htm"), kPage);
    EXPECT_TRUE(project.GetUndoList().IsEmpty());
    EXPECT_EQ(project.GetBadWordsList().FindWord("teh")->GetReplacement(), "")
        << "No leaves the word as it was";
  }

  m_user.answer = true;
  EXPECT_TRUE(Replace(project, "teh", "").done);
  EXPECT_EQ(Page("a.htm"), "<p> cat </p>\n");
  ASSERT_EQ(project.GetUndoList().GetCount(), 1);
  EXPECT_FALSE(fs::exists(CZebUtils::GetCustomDictionaryPath() + "common_custom_guess.dat"))
      << "erasing a word teaches the speller nothing";
}

TEST_F(ReplaceCommandTest, UndoAnsweredNoKeepsFilesAndEntry) {
  CWebProject& project = CheckedSite({{"a.htm", kPage}});
  ASSERT_TRUE(Replace(project, "teh", "the end").done);
  m_user.answer = false;
  EXPECT_FALSE(CReplaceCommand::Undo(project, m_user.Ask()));
  EXPECT_EQ(Page("a.htm"), kReplacedPage);
  EXPECT_EQ(project.GetUndoList().GetCount(), 1);
}

TEST_F(ReplaceCommandTest, EntryWithoutBackupLeavesWithoutAQuestion) {
  CWebProject& project = MakeProject("My Site");
  project.GetUndoList().AddHead(
      std::make_unique<CUndoReplace>("older", "x", std::vector<std::string>{}));
  project.GetUndoList().AddHead(
      std::make_unique<CUndoReplace>("teh", "the", std::vector<std::string>{}));
  EXPECT_TRUE(CReplaceCommand::Undo(project, m_user.Ask()));
  EXPECT_TRUE(m_user.asked.empty());
  ASSERT_EQ(project.GetUndoList().GetCount(), 1);
  EXPECT_EQ(project.GetUndoList().GetHead()->GetWord(), "older");
}

TEST_F(ReplaceCommandTest, MostRecentReplacementIsUndoneFirst) {
  CWebProject& project = CheckedSite({{"a.htm", "<p>teh cat</p>\n"}, {"b.htm", "<p>teh</p>\n"}});
  ASSERT_TRUE(Replace(project, "teh", "the", {"a.htm"}, false).done);
  ASSERT_TRUE(Replace(project, "teh", "ten", {"b.htm"}, false).done);
  ASSERT_EQ(project.GetUndoList().GetCount(), 2);

  EXPECT_TRUE(CReplaceCommand::Undo(project, m_user.Ask()));
  EXPECT_EQ(Page("b.htm"), "<p>teh</p>\n");
  EXPECT_EQ(Page("a.htm"), "<p>the cat</p>\n");
  EXPECT_TRUE(CReplaceCommand::Undo(project, m_user.Ask()));
  EXPECT_EQ(Page("a.htm"), "<p>teh cat</p>\n");
  ASSERT_EQ(m_user.asked.size(), 2U);
  EXPECT_NE(m_user.asked[0].second.find("with \"ten\""), std::string::npos);
  EXPECT_NE(m_user.asked[1].second.find("with \"the\""), std::string::npos);
}

TEST_F(ReplaceCommandTest, MissingBackupIsLoggedAndTheOtherFileRestored) {
  CWebProject& project = CheckedSite({{"a.htm", kPage}, {"b.htm", kPage}});
  ASSERT_TRUE(Replace(project, "teh", "the end").done);
  const std::string folder = CBackupFolders::GetBackupFolder("My Site", AppDir());
  ASSERT_TRUE(fs::remove(folder + "a.htmb1"));
  LogCapture log;
  EXPECT_TRUE(CReplaceCommand::Undo(project, m_user.Ask()));
  EXPECT_TRUE(log.Contains(kBackupMissingId));
  EXPECT_EQ(Page("a.htm"), kReplacedPage);
  EXPECT_EQ(Page("b.htm"), kPage);
  EXPECT_TRUE(project.GetUndoList().IsEmpty());
}

TEST_F(ReplaceCommandTest, APageWhoseWordMovedIsNamedAndCheckedAgain) {
  CWebProject& project = CheckedSite({{"a.htm", kPage}, {"b.htm", kPage}});
  // Edited after the check: the word is no longer where the check found it.
  testkit::WriteBytes(Root() + "b.htm", std::string("<p>a ") + kPage);
  {
    const CDiskFileListAccess access(project.GetFileList());
    for (const auto* file : {"a.htm", "b.htm"}) {
      dynamic_cast<CHTMLFile*>(project.GetFileList().Find(Root() + file, false))
          ->SetCheckPending(false);
    }
  }
  const CReplaceCommand::SOutcome outcome = Replace(project, "teh", "the end");
  ASSERT_TRUE(outcome.done);
  EXPECT_EQ(Page("a.htm"), kReplacedPage);
  EXPECT_EQ(Page("b.htm"), std::string("<p>a ") + kPage);
  const std::string message = CReplaceCommand::UnchangedFilesMessage(outcome.result);
  EXPECT_EQ(message.rfind("One of the chosen files could not be changed", 0), 0U) << message;
  EXPECT_NE(message.find(Root() + "b.htm"), std::string::npos) << message;
  EXPECT_NE(message.find("Spell Check Again"), std::string::npos) << message;

  EXPECT_EQ(project.GetCheckState(), ECheckState::OutOfDate);
  const CDiskFileListAccess access(project.GetFileList());
  const auto* moved = dynamic_cast<CHTMLFile*>(project.GetFileList().Find(Root() + "b.htm", false));
  const auto* written =
      dynamic_cast<CHTMLFile*>(project.GetFileList().Find(Root() + "a.htm", false));
  ASSERT_NE(moved, nullptr);
  ASSERT_NE(written, nullptr);
  EXPECT_TRUE(moved->IsCheckPending());
  EXPECT_FALSE(written->IsCheckPending()) << "the monitor reports a page that was written";
}

TEST_F(ReplaceCommandTest, UndoAsksBeforeLosingALaterEditAndSaysWhatItKept) {
  CWebProject& project = CheckedSite({{"a.htm", kPage}, {"b.htm", kPage}});
  ASSERT_TRUE(Replace(project, "teh", "the end").done);
  const std::string edited = std::string(kReplacedPage) + "<p>later</p>\n";
  testkit::WriteBytes(Root() + "b.htm", edited);

  std::vector<std::string> changedAsked;
  const CReplaceCommand::AskYesNo keep = [&changedAsked](const std::string& title,
                                                         const std::string& text) {
    EXPECT_EQ(title, "Replacement Undo");
    changedAsked.push_back(text);
    return false;
  };
  CUndoReplace::SRestoreResult restored;
  EXPECT_TRUE(CReplaceCommand::Undo(project, m_user.Ask(), keep, &restored));
  EXPECT_EQ(Page("a.htm"), kPage);
  EXPECT_EQ(Page("b.htm"), edited);
  ASSERT_EQ(changedAsked.size(), 1U);
  EXPECT_EQ(changedAsked[0], CReplaceCommand::ChangedPageQuestion(Root() + "b.htm"));
  EXPECT_EQ(restored.restored, 1);
  const std::string message = CReplaceCommand::UndoProblemsMessage(restored);
  EXPECT_EQ(message.rfind("One of the files changed after the replacement", 0), 0U) << message;
  EXPECT_NE(message.find(Root() + "b.htm"), std::string::npos) << message;

  // Without anyone to ask, a changed page is kept too.
  ASSERT_TRUE(Replace(project, "teh", "the end", {"a.htm"}, false).done);
  testkit::WriteBytes(Root() + "a.htm", "edited");
  EXPECT_TRUE(CReplaceCommand::Undo(project, m_user.Ask()));
  EXPECT_EQ(Page("a.htm"), "edited");
}

TEST_F(ReplaceCommandTest, StopProjectEmptiesTheUndoList) {
  CWebProject& project = CheckedSite({{"a.htm", kPage}});
  ASSERT_TRUE(Replace(project, "teh", "the end").done);
  ASSERT_FALSE(project.GetUndoList().IsEmpty());
  project.StopProject();
  EXPECT_TRUE(project.GetUndoList().IsEmpty());
  EXPECT_TRUE(fs::exists(CBackupFolders::GetBackupFolder("My Site", AppDir()) + "a.htmb1"))
      << "the backups stay until the document closes";
}

TEST_F(ReplaceCommandTest, ReplacementTheSpellerDoesNotOfferIsLearned) {
  CWebProject& project = CheckedSite({{"a.htm", "<p>teh</p>\n"}, {"b.htm", "<p>teh</p>\n"}});
  const std::string guessFile = CZebUtils::GetCustomDictionaryPath() + "common_custom_guess.dat";
  CSpellChecker& speller = *CSpellChecker::GetInstance();
  const auto offered = [&](const std::string& candidate) {
    std::vector<std::string> suggestions;
    speller.Guess("teh", project.GetActiveDictionaries(), suggestions, true, true);
    return std::find(suggestions.begin(), suggestions.end(), candidate) != suggestions.end();
  };
  ASSERT_TRUE(offered("the"));
  ASSERT_FALSE(offered("kitten"));

  ASSERT_TRUE(Replace(project, "teh", "the", {"a.htm"}, false).done);
  EXPECT_FALSE(fs::exists(guessFile)) << "a replacement on offer already is not learned";

  ASSERT_TRUE(Replace(project, "teh", "kitten", {"b.htm"}, false).done);
  EXPECT_TRUE(offered("kitten"));
  EXPECT_TRUE(fs::exists(guessFile));
}

/// The document of a site whose project "My Site" is loaded from its data file.
class ReplaceAndRename : public ReplaceCommandTest {
protected:
  void SetUp() override {
    ReplaceCommandTest::SetUp();
    const std::string dataDir = m_home.Root() + "/data/";
    fs::create_directories(dataDir);
    m_settings.projectDataDirectory = dataDir;
    m_doc.SetApplicationDirectory(AppDir());
    CProjectDataFile::SContent content;
    content.name = "My Site";
    content.rootDirectory = Root();
    testkit::WriteBytes(dataDir + "My Site.plx",
                        CProjectDataFile::Write(content, dataDir + "My Site.plx"));
  }
  void TearDown() override {
    m_doc.OnCloseDocument();
    ReplaceCommandTest::TearDown();
  }

  FakeDocUi m_ui;
  CDocSettings m_settings;
  CDoc m_doc{m_ui, m_settings};
};

TEST_F(ReplaceAndRename, NameOfAnotherProjectsBackupFolderDropsTheUndoEntries) {
  WriteSiteFile("news/a.htm", kPage);
  CProjectDataFile::SContent other;
  other.name = "a:b";
  other.rootDirectory = m_home.Root() + "/other/";
  const std::string otherFile = m_settings.projectDataDirectory + "a_b.plx";
  testkit::WriteBytes(otherFile, CProjectDataFile::Write(other, otherFile));
  const std::string sharedFolder = CBackupFolders::GetBackupFolder("a:b", AppDir());
  fs::create_directories(sharedFolder + "news");
  testkit::WriteBytes(sharedFolder + "news/a.htmb1", "the other project's");

  ASSERT_TRUE(m_doc.OnNewDocument());
  ASSERT_EQ(m_doc.GetProjectCount(), 2);
  CWebProject& project = *m_doc.GetProject(m_doc.GetProject(0)->GetName() == "My Site" ? 0 : 1);
  StartAndCheck(project);
  ASSERT_TRUE(Replace(project, "teh", "the end").done);
  const std::string ownBackup =
      CBackupFolders::GetBackupFolder("My Site", AppDir()) + "news/a.htmb1";
  ASSERT_TRUE(fs::exists(ownBackup));

  m_doc.SelectProject(&project);
  m_ui.settingsEditor = [](CDocUi::SProjectSettings& settings) {
    settings.name = "a?b";
    return true;
  };
  ASSERT_TRUE(m_doc.OnCommand(CDoc::ID_PROJECT_SETTINGS));
  ASSERT_EQ(project.GetName(), "a?b");
  EXPECT_TRUE(project.GetUndoList().IsEmpty()) << "no undo may restore the other's copies";
  EXPECT_EQ(testkit::ReadBytes(sharedFolder + "news/a.htmb1"), "the other project's");
  EXPECT_TRUE(fs::exists(ownBackup)) << "the backup stays until the document closes";
  EXPECT_EQ(Page("news/a.htm"), kReplacedPage);
}

struct RenameCase {
  std::string name;
  std::string newName;
  /// A file left in the new name's backup folder by a removed project ("" for none).
  std::string staleBackup;
};

void PrintTo(const RenameCase& c, std::ostream* out) {
  *out << c.name;
}

class RenameThenUndo : public ReplaceAndRename, public testing::WithParamInterface<RenameCase> {};

TEST_P(RenameThenUndo, RestoresTheFiles) {
  WriteSiteFile("news/a.htm", kPage);
  const std::string newFolder = CBackupFolders::GetBackupFolder(GetParam().newName, AppDir());
  if (!GetParam().staleBackup.empty()) {
    std::string error;
    ASSERT_TRUE(CBackupFolders::PrepareRoot(CBackupFolders::GetBackupRoot(AppDir()), error));
    fs::create_directories(newFolder + "news");
    testkit::WriteBytes(newFolder + GetParam().staleBackup, "stale");
  }
  ASSERT_TRUE(m_doc.OnNewDocument());
  ASSERT_EQ(m_doc.GetProjectCount(), 1);
  CWebProject& project = *m_doc.GetProject(0);
  StartAndCheck(project);
  ASSERT_TRUE(Replace(project, "teh", "the end").done);
  ASSERT_EQ(Page("news/a.htm"), kReplacedPage);

  m_doc.SelectProject(&project);
  m_ui.settingsEditor = [](CDocUi::SProjectSettings& settings) {
    settings.name = GetParam().newName;
    return true;
  };
  ASSERT_TRUE(m_doc.OnCommand(CDoc::ID_PROJECT_SETTINGS));
  ASSERT_EQ(project.GetName(), GetParam().newName);
  ASSERT_EQ(project.GetUndoList().GetCount(), 1);
  const std::vector<std::string> backups = project.GetUndoList().GetHead()->GetBackups();
  ASSERT_EQ(backups.size(), 1U);
  EXPECT_EQ(backups[0].rfind(newFolder, 0), 0U) << backups[0];
  EXPECT_TRUE(fs::exists(backups[0])) << backups[0];

  EXPECT_TRUE(CReplaceCommand::Undo(project, m_user.Ask()));
  EXPECT_EQ(Page("news/a.htm"), kPage);
  EXPECT_FALSE(fs::exists(backups[0]));
}

INSTANTIATE_TEST_SUITE_P(
    Names, RenameThenUndo,
    testing::Values(RenameCase{"PlainName", "Zulu", ""},
                    RenameCase{"NameWithBadCharacters", "Renamed: Site", ""},
                    // The removed project's backups are out of every undo's reach.
                    RenameCase{"NameOfARemovedProject", "Zulu", "news/a.htmb1"},
                    RenameCase{"NameOfARemovedProjectElsewhere", "Zulu", "news/old.htmb3"}),
    CaseName<RenameCase>);

} // namespace
