#include "ProjectFixture.h"

#include "projects/HTMLFile.h"
#include "projects/ProjectMsgWnd.h"

#include "testkit/LogCapture.h"

#include <algorithm>

namespace projectstest {
namespace {

constexpr const char* kNoRootError =
    "This project's local directory is no longer valid. If you moved or renamed the "
    "project's files, then select the new directory. If you deleted the project, you "
    "should consider deleting this project from Pagelint.";
constexpr const char* kNoWindowError =
    "Pagelint internal error: unable to start processing this project.";

class WebProjectTest : public ProjectTest {
protected:
  static int IdOf(const std::string& name) {
    return CSpellChecker::GetInstance()->GetDictionaryID(name);
  }
  static int Occurrences(const std::vector<int>& ids, int id) {
    return static_cast<int>(std::count(ids.begin(), ids.end(), id));
  }
};

// Roots that are not folders fail with the message for the user and start nothing.
TEST_F(WebProjectTest, StartFailsForARootThatIsNoFolder) {
  WriteSiteFile("file.html", "<p>x</p>\n");
  for (const std::string& root : {std::string(), Root() + "missing/", Root() + "file.html"}) {
    CWebProject& project = MakeProject("Site", root);
    std::string error;
    EXPECT_FALSE(project.StartProject(error)) << root;
    EXPECT_EQ(error, kNoRootError) << root;
    EXPECT_EQ(project.GetCheckState(), ECheckState::NotStarted);
  }
}

TEST_F(WebProjectTest, StartFailsAfterStop) {
  CWebProject& project = MakeProject();
  project.StopProject();
  std::string error;
  EXPECT_FALSE(project.StartProject(error));
  EXPECT_EQ(error, kNoWindowError);
  EXPECT_EQ(project.GetMsgWindow(), nullptr);
}

TEST(WebProjectIgnoreName, AnEndingInIgnoreInAnyLetterCaseMarksAnIgnoreDictionary) {
  const struct {
    const char* name;
    bool ignore;
  } cases[] = {
      {"Shop Ignore", true}, {"Shop IGNORE", true},   {"shop ignore", true},  {" Ignore", true},
      {"ShopIgnore", false}, {"Shop Ignored", false}, {"Ignore list", false}, {"", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(CWebProject::IsIgnoreDictionaryName(c.name), c.ignore) << c.name;
  }
  // Every project's own name is one, whatever its letter case.
  EXPECT_TRUE(CWebProject::IsIgnoreDictionaryName(CWebProject::MakeIgnoreDictionaryName("a/B")));
}

// The project takes every dictionary but other projects' ignore dictionaries (the
// shipped technical terms too), and StartProject adds its own ignore dictionary,
// creating it when missing.
TEST_F(WebProjectTest, DictionariesOfANewProject) {
  CSpellChecker::DeleteInstance();
  const std::string folder = m_home.ConfigHome() + "/ZEB/Custom Dictionaries/";
  std::filesystem::create_directories(folder);
  testkit::WriteBytes(folder + "mine.dic", "word\n");
  testkit::WriteBytes(folder + "Other Ignore.dic", "word\n");
  // The ending in any letter case: the menu and the settings window hide it too.
  testkit::WriteBytes(folder + "Shop IGNORE.dic", "word\n");
  CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());

  CWebProject& project = MakeProject("My: Site");
  const std::vector<int> atCreation = project.GetActiveDictionaries();
  EXPECT_EQ(Occurrences(atCreation, 0), 1);
  EXPECT_EQ(Occurrences(atCreation, IdOf("mine")), 1);
  ASSERT_NE(IdOf("ZEB Technical Terms"), -1);
  EXPECT_EQ(Occurrences(atCreation, IdOf("ZEB Technical Terms")), 1);
  EXPECT_EQ(Occurrences(atCreation, IdOf("Other Ignore")), 0);
  ASSERT_NE(IdOf("Shop IGNORE"), -1);
  EXPECT_EQ(Occurrences(atCreation, IdOf("Shop IGNORE")), 0);
  EXPECT_EQ(project.GetAddToDictionaryId(), IdOf("ZEB Custom"));
  EXPECT_NE(project.GetAddToDictionaryId(), -1);
  EXPECT_EQ(Occurrences(atCreation, project.GetAddToDictionaryId()), 1);
  EXPECT_EQ(project.GetIgnoreId(), -1);

  std::string error;
  ASSERT_TRUE(project.StartProject(error)) << error;
  EXPECT_EQ(project.GetIgnoreDictionaryName(), "My_ Site Ignore");
  const int ignoreId = IdOf("My_ Site Ignore");
  ASSERT_NE(ignoreId, -1);
  EXPECT_EQ(project.GetIgnoreId(), ignoreId);
  const std::vector<int> started = project.GetActiveDictionaries();
  EXPECT_EQ(Occurrences(started, ignoreId), 1);
  // The site's own word list joins it, under the project's name.
  const int siteWords = IdOf("My: Site Site Words");
  ASSERT_NE(siteWords, -1);
  EXPECT_EQ(project.GetSiteWordsId(), siteWords);
  EXPECT_EQ(Occurrences(started, siteWords), 1);
  EXPECT_EQ(started.size(), atCreation.size() + 2);
}

// The site's list bears the project's name, numbered past names that other
// dictionaries have, and follows the project through renames as one registration.
TEST_F(WebProjectTest, TheSiteWordListIsNamedAfterTheProjectAndFollowsItsRenames) {
  CSpellChecker* speller = CSpellChecker::GetInstance();
  for (const char* taken : {"Shop Site Words", "Shop Site Words (2)", "Blog Site Words"}) {
    ASSERT_TRUE(speller->AddCustomDictionary(taken)) << taken;
  }
  CWebProject& project = MakeProject("Shop");
  project.UseSiteWordList();
  const int id = project.GetSiteWordsId();
  ASSERT_GT(id, 0);
  EXPECT_EQ(IdOf("Shop Site Words (3)"), id);
  EXPECT_EQ(project.GetSiteWordsPath(), Root() + ".pagelint-words");
  struct Case {
    const char* project;
    const char* list;
  };
  for (const Case& c : {Case{"Store", "Store Site Words"}, Case{"Blog", "Blog Site Words (2)"},
                        Case{"Shop", "Shop Site Words (3)"}, Case{"Store", "Store Site Words"}}) {
    project.RenameProject(c.project);
    EXPECT_EQ(IdOf(c.list), id) << c.project;
    project.UseSiteWordList();
    EXPECT_EQ(project.GetSiteWordsId(), id) << c.project;
    EXPECT_EQ(Occurrences(project.GetActiveDictionaries(), id), 1) << c.project;
  }
  for (const char* gone : {"Shop Site Words (3)", "Blog Site Words (2)"}) {
    EXPECT_EQ(IdOf(gone), -1) << gone;
  }
}

// Names loaded from a data file replace the ids (a saved project gets no dictionary
// it did not name, not even the shipped technical terms); unknown names keep their
// place as -1 and are logged, each once.
TEST_F(WebProjectTest, LoadedDictionaryNamesBecomeIds) {
  CWebProject& project = MakeProject();
  project.GetLoadedDictionaryNames() = {"ZEB U.S. English", "Gone", "ZEB Custom", "Lost"};
  const LogCapture log;
  std::string error;
  ASSERT_TRUE(project.StartProject(error)) << error;
  ASSERT_TRUE(project.StartProject(error)) << error;
  EXPECT_TRUE(project.GetLoadedDictionaryNames().empty());
  EXPECT_EQ(project.GetActiveDictionaries(),
            (std::vector<int>{0, -1, IdOf("ZEB Custom"), -1, project.GetSiteWordsId(),
                              project.GetIgnoreId()}));
  ASSERT_NE(IdOf("ZEB Technical Terms"), -1);
  EXPECT_EQ(project.GetMissingDictionaryNames(), (std::vector<std::string>{"Gone", "Lost"}));
  EXPECT_EQ(log.Lines(),
            (std::vector<std::string>{"{3220960F-9C57-4D24-932A-375F14483234} - Site - Gone",
                                      "{3220960F-9C57-4D24-932A-375F14483234} - Site - Lost"}));
}

// A name repeated is logged once; past the first ten missing names one line counts the
// rest, however many a file names.
TEST_F(WebProjectTest, ManyMissingDictionaryNamesAreLoggedAsACount) {
  const std::string id = "{3220960F-9C57-4D24-932A-375F14483234} - Site - ";
  std::vector<std::string> names;
  std::vector<std::string> expectedLog;
  for (int i = 0; i < 14; ++i) {
    names.push_back("D" + std::to_string(i));
    names.push_back("D" + std::to_string(i));
    if (i < 10) {
      expectedLog.push_back(id + "D" + std::to_string(i));
    }
  }
  expectedLog.push_back("{702161D4-23B5-48A3-BC3D-BF5A2B4DB480} - Site - 4 more dictionaries "
                        "no longer exist");
  CWebProject& project = MakeProject();
  project.GetLoadedDictionaryNames() = names;
  const LogCapture log;
  std::string error;
  ASSERT_TRUE(project.StartProject(error)) << error;
  EXPECT_EQ(project.GetMissingDictionaryNames().size(), 14U);
  EXPECT_EQ(log.Lines(), expectedLog);
  // Every name keeps its place, so that a save writes the file's list back.
  EXPECT_EQ(Occurrences(project.GetActiveDictionaries(), -1), 28);
}

TEST_F(WebProjectTest, SetActiveDictionariesKeepsTheIgnoreDictionary) {
  CWebProject& project = MakeProject();
  std::string error;
  ASSERT_TRUE(project.StartProject(error)) << error;
  const int ignoreId = project.GetIgnoreId();
  ASSERT_GT(ignoreId, 0);
  // And the site's own word list, which belongs to the site.
  const int site = project.GetSiteWordsId();
  ASSERT_GT(site, 0);
  CHTMLFileList& files = project.GetFileList();
  auto* file = dynamic_cast<CHTMLFile*>(files.Add(Root() + "a.html"));
  ASSERT_NE(file, nullptr);

  const struct {
    std::vector<int> ids;
    bool changes;
    std::vector<int> result;
  } cases[] = {
      {project.GetActiveDictionaries(), false, project.GetActiveDictionaries()},
      {{0}, true, {0, ignoreId, site}},
      {{0}, false, {0, ignoreId, site}},
      {{0, ignoreId}, false, {0, ignoreId, site}},
      {{ignoreId, 0}, true, {ignoreId, 0, site}},
      {{}, true, {ignoreId, site}},
  };
  for (const auto& c : cases) {
    file->SetCheckPending(false);
    EXPECT_EQ(project.SetActiveDictionaries(c.ids), c.changes);
    EXPECT_EQ(project.GetActiveDictionaries(), c.result);
    EXPECT_EQ(file->IsCheckPending(), c.changes);
  }
}

TEST_F(WebProjectTest, RelativeDirAtGivesTheFolderBelowTheRoot) {
  const struct {
    const char* root;
    const char* file;
    const char* expected;
  } cases[] = {
      {"/site/", "/site/index.htm", "./"},
      {"/site", "/site/index.htm", "./"},
      {"/site/", "/site/a/b/c.htm", "./a/b/"},
      {"/site/", "/site/a/x.htm", "./a/"},
      {"/site/deeper/than/the/file/", "/site/a.htm", "./"},
  };
  for (const auto& c : cases) {
    CWebProject& project = MakeProject("Site", c.root);
    project.GetFileList().Add(c.file);
    EXPECT_EQ(project.RelativeDirAt(0), c.expected) << c.root << " " << c.file;
    EXPECT_EQ(project.RelativeDirAt(1), "");
    EXPECT_EQ(project.RelativeDirAt(-1), "");
  }
}

TEST_F(WebProjectTest, FileFiltersTestThePathBelowTheRoot) {
  CWebProject& project = MakeProject("Site", "/site/");
  project.AddFilter({CProjectFilter::FILE, "INDEX.HTM"});
  const struct {
    const char* path;
    bool included;
  } cases[] = {{"/site/index.htm", false}, {"/site/sub/index.htm", true}, {"/site/a.htm", true}};
  for (const auto& c : cases) {
    const CHTMLFile file(c.path);
    EXPECT_EQ(project.IsFileIncluded(&file), c.included) << c.path;
  }
  EXPECT_FALSE(project.IsFileIncluded(nullptr));
  project.RemoveAllFilters();
  const CHTMLFile root("/site/index.htm");
  EXPECT_TRUE(project.IsFileIncluded(&root));
}

// Control ids grow by one for every window, whichever project it serves.
TEST_F(WebProjectTest, ControlIdsGrowAcrossProjects) {
  WriteSiteFile("a.html", "<p>x</p>\n");
  CWebProject& first = MakeProject("One");
  CWebProject& second = MakeProject("Two");
  std::string error;
  ASSERT_TRUE(first.StartProject(error));
  ASSERT_TRUE(second.StartProject(error));
  const int firstId = first.GetMsgWindow()->GetControlId();
  EXPECT_GE(firstId, 8000);
  EXPECT_EQ(second.GetMsgWindow()->GetControlId(), firstId + 1);
  EXPECT_NE(first.GetMsgWindowHandle(), second.GetMsgWindowHandle());
  // Starting again keeps the window it has.
  ASSERT_TRUE(first.StartProject(error));
  EXPECT_EQ(first.GetMsgWindow()->GetControlId(), firstId);
}

TEST_F(WebProjectTest, DestroyedWindowCannotServeAgain) {
  const LogCapture log;
  CProjectMsgWnd window;
  window.DestroyWindow();
  EXPECT_FALSE(window.CreateProjectWindow(nullptr));
  EXPECT_EQ(window.GetControlId(), 0);
  EXPECT_TRUE(log.Contains("{07871ADC-03B5-45F2-86C3-1C06BE63AE85}"));
}

// Late messages do nothing once dispatch is off or without a project.
TEST_F(WebProjectTest, DisabledDispatchIgnoresMessages) {
  WriteSiteFile("a.html", "<p>x</p>\n");
  CWebProject& project = MakeProject();
  CProjectMsgWnd unbound;
  ASSERT_TRUE(PostMessage(unbound.GetSafeHwnd(), CWebProject::MSG_PROJECT_START, 0, 0));
  CProjectMsgWnd window;
  ASSERT_TRUE(window.CreateProjectWindow(&project));
  window.DisableDispatch();
  ASSERT_TRUE(PostMessage(window.GetSafeHwnd(), CWebProject::MSG_PROJECT_START, 0, 0));
  CMessageLoop::PumpPending();
  EXPECT_EQ(project.GetCheckState(), ECheckState::NotStarted);
}

// The project on screen starts as soon as the messages are handled; the others wait
// out their delay.
TEST_F(WebProjectTest, OnlyTheCurrentProjectStartsWithoutTheDelay) {
  WriteSiteFile("a.html", "<p>x</p>\n");
  CWebProject& shown = MakeProject("Shown");
  CWebProject& other = MakeProject("Other");
  shown.SetCurrent(true);
  std::string error;
  ASSERT_TRUE(shown.StartProject(error)) << error;
  ASSERT_TRUE(other.StartProject(error)) << error;
  CMessageLoop::PumpPending();
  EXPECT_NE(shown.GetCheckState(), ECheckState::NotStarted);
  EXPECT_EQ(other.GetCheckState(), ECheckState::NotStarted);
}

TEST_F(WebProjectTest, RestartShowsTheWaitCursorForItsDuration) {
  WriteSiteFile("a.html", "<p>x</p>\n");
  CWebProject& project = MakeProject();
  std::vector<bool> shown;
  project.SetWaitCursorHook([&](bool show) { shown.push_back(show); });
  project.RestartCollection();
  EXPECT_EQ(shown, (std::vector<bool>{true, false}));
}

// Holding twice keeps one access, so one release lets a writer in.
TEST_F(WebProjectTest, HeldReaderAccessIsReleasedOnce) {
  CWebProject& project = MakeProject();
  project.HoldReaderAccess();
  project.HoldReaderAccess();
  project.ReleaseHeldAccess();
  project.GetBadWordsList().ClearWords(); // would wait for ever on a leaked access
  project.ReleaseHeldAccess();
  project.SetWorkerPriority(-2); // no worker: nothing happens
  EXPECT_EQ(project.GetWorker(), nullptr);
}

} // namespace
} // namespace projectstest
