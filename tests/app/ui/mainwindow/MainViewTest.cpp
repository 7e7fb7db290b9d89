#include "mainwindow/MainViewFixture.h"

#include "projects/CommandIds.h"
#include "services/LaunchActions.h"

#include "checking/ProjectCheckWorker.h"
#include "projects/HTMLFile.h"

#include "diskfiles/DiskFileListAccess.h"
#include "testkit/FileBytes.h"
#include "utilcore/TextArray.h"
#include "utilcore/ZebUtils.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace {

using viewtest::MainViewTest;
using Strings = std::vector<std::string>;

constexpr int kYes = CMessageBoxService::kAnswerYes;
constexpr int kNo = CMessageBoxService::kAnswerNo;

const std::vector<std::pair<std::string, std::string>> kSite{
    {"a.html", "<p>The teh cat sat on a wrld.</p>\n"},
    {"b.html", "<p>A teh and a Qwertyx.</p>\n"},
    {"sub/c.html", "<p>Our teh speling pqxz.</p>\n"},
};
const Strings kWords{"pqxz", "Qwertyx", "speling", "teh", "wrld"};
const Strings kTehFiles{"a.html", "b.html", "sub/c.html"};

bool Contains(const Strings& entries, const std::string& entry) {
  return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

bool AnyFilePending(CWebProject& project) {
  CHTMLFileList& files = project.GetFileList();
  const CDiskFileListAccess access(files);
  for (std::size_t i = 0; i < files.GetCount(); ++i) {
    const auto* file = dynamic_cast<const CHTMLFile*>(files.GetAt(files.FindIndex(i)));
    if (file != nullptr && file->IsCheckPending()) {
      return true;
    }
  }
  return false;
}

TEST_F(MainViewTest, ASelectedWordShowsItsSuggestionsFilesAndContext) {
  CheckSite(kSite);
  EXPECT_EQ(Entries(Words()), kWords) << "sorted without regard to case";
  EXPECT_EQ(Text("wordCount"), "5");
  EXPECT_TRUE(Words()->isEnabled());
  EXPECT_FALSE(Suggestions()->isEnabled());
  EXPECT_FALSE(Button("ignoreButton")->isEnabled());

  Select(Words(), "teh");
  EXPECT_EQ(ReplaceField()->text(), "teh");
  EXPECT_TRUE(With()->isEnabled());
  ASSERT_FALSE(Entries(Suggestions()).empty());
  EXPECT_EQ(Entries(Suggestions()).front(), "the") << "the likeliest first";
  EXPECT_EQ(With()->text(), "the") << "the first suggestion is selected and offered";
  EXPECT_EQ(Text("suggestionCount").toInt(), Suggestions()->model()->rowCount());
  EXPECT_EQ(Entries(Files()), kTehFiles);
  EXPECT_TRUE(IsChecked(Files(), "a.html") && IsChecked(Files(), "sub/c.html"));
  EXPECT_EQ(Text("fileCount"), "3");
  EXPECT_TRUE(Button("ignoreButton")->isEnabled());
  EXPECT_FALSE(Button("viewButton")->isEnabled()) << "no file selected yet";

  Select(Files(), "b.html");
  EXPECT_TRUE(Text("contextLabel").contains("teh and a")) << Text("contextLabel").toStdString();
  EXPECT_TRUE(Button("viewButton")->isEnabled());
  EXPECT_TRUE(Button("editButton")->isEnabled());

  // Replace: enabled for an empty or a different text, never for the same one.
  EXPECT_TRUE(Button("replaceButton")->isEnabled());
  Select(Suggestions(), "the");
  EXPECT_EQ(With()->text(), "the");
  EXPECT_TRUE(Button("replaceButton")->isEnabled());
  With()->setText("teh");
  EXPECT_FALSE(Button("replaceButton")->isEnabled());
  With()->setText("Teh");
  EXPECT_TRUE(Button("replaceButton")->isEnabled());
  for (const std::string& file : kTehFiles) {
    Check(Files(), file, false);
  }
  EXPECT_FALSE(Button("replaceButton")->isEnabled()) << "no file checked";
}

TEST_F(MainViewTest, LookUpViewAndEditActOnTheSelectedWordAndFile) {
  const guitest::RecordedLaunches launches;
  CheckSite(kSite);
  for (int id = CommandIds::kResearchFirst; id <= CommandIds::kResearchLast; ++id) {
    EXPECT_EQ(m_view->IsCommandEnabled(id), false) << id;
  }
  Select(Words(), "teh");
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kResearchLast), true);
  EXPECT_TRUE(m_view->OnCommand(45053));
  Select(Files(), "sub/c.html");
  Button("viewButton")->click();
  {
    const guitest::ScriptedAnswers no({kNo});
    Button("editButton")->click(); // no editor: the question, answered No
    EXPECT_EQ(no.Questions().size(), 1U);
  }
  using SLaunch = CLaunchActions::SLaunch;
  EXPECT_EQ(launches.All(), (std::vector<SLaunch>{{"https://en.wikipedia.org/wiki/teh", {}, {}},
                                                  {{}, {}, {Root() + "sub/c.html"}}}));
}

TEST_F(MainViewTest, AChangedDictionaryOfTheProjectOffersToCheckAgain) {
  CWebProject& project = CheckSite(kSite);
  CSpellChecker* speller = CSpellChecker::GetInstance();
  ASSERT_TRUE(speller->AddCustomDictionary("Unused Words"));
  const int unused = speller->GetDictionaryID("Unused Words"); // made after the project
  Post(CSpellChecker::MSG_DICT_CHANGED, static_cast<WPARAM>(unused), project);
  EXPECT_FALSE(m_doc.IsCommandEnabled(CDoc::ID_PROJECT_CHECK_AGAIN)) << "not the project's";
  Post(CSpellChecker::MSG_DICT_CHANGED, static_cast<WPARAM>(project.GetAddToDictionaryId()),
       project);
  EXPECT_TRUE(m_doc.IsCommandEnabled(CDoc::ID_PROJECT_CHECK_AGAIN));
  EXPECT_TRUE(AnyFilePending(project));
}

TEST_F(MainViewTest, WhileCheckingTheListIsOnePlaceholderThatSelectsNothing) {
  CWebProject& project = CheckSite(kSite);
  Select(Words(), "teh");
  project.SetCheckState(ECheckState::Checking);
  Post(CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED, CProjectCheckWorker::MakeProgressParam(3, 1),
       project);
  EXPECT_FALSE(Button("replaceButton")->isEnabled()) << "whatever the fields hold";
  EXPECT_EQ(ReplaceField()->text(), "teh");

  m_view->OnUpdate(CDoc::HINT_PROJECTS_CHANGED);
  EXPECT_EQ(Entries(Words()), Strings{CMainView::kWordsShortly});
  EXPECT_FALSE(Words()->isEnabled());
  Select(Words(), CMainView::kWordsShortly);
  EXPECT_TRUE(ReplaceField()->text().isEmpty());
  EXPECT_FALSE(Button("ignoreButton")->isEnabled());
  EXPECT_TRUE(Entries(Files()).empty());

  // The status pane follows the run.
  Post(CWebProject::MSG_PROJECT_COLLECT_BEGIN, 0, project);
  EXPECT_EQ(m_progress.Label()->text(), "finding project files: ");
  Post(CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN, CProjectCheckWorker::MakeProgressParam(3, 2),
       project);
  EXPECT_EQ(m_progress.Label()->text().toStdString(),
            "spell-checking " + project.RelativeDirAt(2) + "... ");
  EXPECT_EQ(m_progress.Bar()->maximum(), 3);
  // A site of more than 65,535 pages counts whole.
  Post(CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN,
       CProjectCheckWorker::MakeProgressParam(70000, 0), project);
  Post(CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED,
       CProjectCheckWorker::MakeProgressParam(70000, 65537), project);
  EXPECT_EQ(m_progress.Bar()->maximum(), 70000);
  EXPECT_EQ(m_progress.Bar()->value(), 65537);

  // The worker posts its last message before its thread marks the project checked.
  Post(CProjectCheckWorker::MSG_PROJECT_CHECK_DONE, 0, project);
  project.SetCheckState(ECheckState::Checked);
  EXPECT_EQ(Entries(Words()), kWords);
  EXPECT_TRUE(Words()->isEnabled());
  EXPECT_FALSE(m_progress.IsShown());
}

TEST_F(MainViewTest, ACleanSiteSaysSoAndBigCountsAreGrouped) {
  CheckSite({{"a.html", "<p>The cat sat on the mat.</p>\n"}});
  EXPECT_EQ(Entries(Words()), Strings{CMainView::kNoWords});
  EXPECT_FALSE(Words()->isEnabled());
  EXPECT_EQ(Text("wordCount"), "0");

  // 1,234 made-up words.
  std::string page = "<p>";
  const std::string letters = "bcdfghjklmnpqrstvwxz";
  for (int i = 0; i < 1234; ++i) {
    page += " zq" + std::string(1, letters[i % 20]) + letters[i / 20 % 20] + letters[i / 400] + "x";
  }
  WriteSite({{"a.html", page + "</p>\n"}});
  CWebProject& project = *m_doc.GetCurrentProject();
  project.StartCheckWorker();
  ASSERT_TRUE(CMessageLoop::PumpUntil(
      [&] { return project.GetCheckState() == ECheckState::Checked; }, std::chrono::seconds(60)));
  CMessageLoop::PumpPending();
  EXPECT_EQ(Text("wordCount"), "1,234");
  EXPECT_EQ(Words()->model()->rowCount(), 1234);
}

TEST_F(MainViewTest, PagesThatCouldNotBeCheckedAreCountedInTheStatusBar) {
  WriteSite({{"huge.html", ""}});
  std::filesystem::resize_file(Root() + "huge.html", 129ULL * 1024 * 1024); // sparse
  CheckSite({{"a.html", "<p>The teh cat.</p>\n"}});
  EXPECT_EQ(m_progress.Label()->text(), "1 page or folder could not be checked (see Pagelint.log)");
  EXPECT_FALSE(m_progress.Label()->isHidden());
  EXPECT_TRUE(m_progress.Bar()->isHidden());
}

TEST_F(MainViewTest, WordsRemovedKeepsTheSelectedWordOrItsPlace) {
  CWebProject& project = CheckSite(kSite);
  CBadWordsList& list = project.GetBadWordsList();
  Select(Words(), "speling");
  list.RemoveWord(list.FindWord("pqxz"));
  Post(CWebProject::MSG_PROJECT_WORDS_REMOVED, 0, project);
  EXPECT_EQ(Entries(Words()), (Strings{"Qwertyx", "speling", "teh", "wrld"}));
  EXPECT_EQ(ReplaceField()->text(), "speling");
  EXPECT_EQ(Entries(Files()), Strings{"sub/c.html"});

  list.RemoveWord(list.FindWord("speling"));
  Post(CWebProject::MSG_PROJECT_WORDS_REMOVED, 0, project);
  EXPECT_EQ(ReplaceField()->text(), "teh") << "the entry now at the old place";
  EXPECT_EQ(Text("wordCount"), "3");
}

TEST_F(MainViewTest, IgnoreTakesTheCheckedAndTheSelectedWordsAndSwallowsOneChange) {
  CWebProject& project = CheckSite(kSite);
  for (const char* word : {"pqxz", "Qwertyx", "speling"}) {
    Check(Words(), word, true);
  }
  Select(Words(), "wrld");
  Button("ignoreButton")->click();
  EXPECT_EQ(Entries(Words()), Strings{"teh"});
  EXPECT_EQ(Text("wordCount"), "1");
  EXPECT_EQ(ReplaceField()->text(), "teh") << "the next entry that exists is selected";
  TextArray ignored;
  CSpellChecker::GetInstance()->GetWords(project.GetIgnoreId(), ignored);
  EXPECT_EQ(ignored.GetCount(), 4U);

  Post(CSpellChecker::MSG_DICT_CHANGED, static_cast<WPARAM>(project.GetIgnoreId()), project);
  EXPECT_FALSE(AnyFilePending(project)) << "the change Ignore made starts no new check";
  Post(CSpellChecker::MSG_DICT_CHANGED, static_cast<WPARAM>(project.GetIgnoreId()), project);
  EXPECT_TRUE(AnyFilePending(project)) << "a later change does";

  Button("ignoreButton")->click();
  EXPECT_TRUE(Entries(Words()).empty());
  EXPECT_EQ(Text("wordCount"), "0");
  EXPECT_TRUE(Entries(Files()).empty());
  EXPECT_TRUE(ReplaceField()->text().isEmpty());
  EXPECT_FALSE(Button("ignoreButton")->isEnabled());
}

// A repeated word is its own row beside an unrecognized word of the same text: nothing
// to add or suggest; Ignore keeps that repeat quiet in the project; Replace with
// nothing takes the second word out with the blank before it.
TEST_F(MainViewTest, ARepeatedWordIsListedApartIgnoredAsAPairAndErased) {
  const std::vector<std::pair<std::string, std::string>> site{
      {"a.html", "<p>We walked to the the harbor by teh teh sea.</p>\n"},
      {"b.html", "<p>By the the sea.</p>\n"},
  };
  CWebProject& project = CheckSite(site);
  EXPECT_EQ(Entries(Words()), (Strings{"teh", "teh (duplicate)", "the (duplicate)"}));

  Select(Words(), "teh (duplicate)");
  EXPECT_EQ(ReplaceField()->text(), "teh");
  EXPECT_FALSE(Button("addToDictionaryButton")->isEnabled());
  EXPECT_TRUE(Button("ignoreButton")->isEnabled());
  EXPECT_TRUE(Entries(Suggestions()).empty());
  EXPECT_EQ(Entries(Files()), Strings{"a.html"});
  Select(Files(), "a.html");
  EXPECT_TRUE(Text("contextLabel").contains("teh teh sea")) << Text("contextLabel").toStdString();
  Button("ignoreButton")->click();
  EXPECT_EQ(Entries(Words()), (Strings{"teh", "the (duplicate)"}));
  TextArray ignored;
  CSpellChecker::GetInstance()->GetWords(project.GetIgnoreId(), ignored);
  EXPECT_EQ(ignored.Items(), Strings{"teh teh"});

  Select(Words(), "the (duplicate)");
  EXPECT_EQ(Entries(Files()), (Strings{"a.html", "b.html"}));
  EXPECT_TRUE(With()->text().isEmpty());
  EXPECT_TRUE(Button("replaceButton")->isEnabled());
  const guitest::ScriptedAnswers yes({kYes});
  Button("replaceButton")->click();
  EXPECT_EQ(Page("a.html"), "<p>We walked to the harbor by teh teh sea.</p>\n");
  EXPECT_EQ(Page("b.html"), "<p>By the sea.</p>\n");
  EXPECT_EQ(Entries(Words()), Strings{"teh"});
}

struct ReplaceCase {
  const char* name;
  const char* with;
  Strings unchecked; ///< Files entries unchecked before Replace
  std::vector<int> answers;
  Strings changedPages;
  Strings filesAfter; ///< the Files list afterwards
  bool wordStays;
};

void PrintTo(const ReplaceCase& c, std::ostream* os) {
  *os << c.name;
}

class MainViewReplace : public MainViewTest, public testing::WithParamInterface<ReplaceCase> {};

TEST_P(MainViewReplace, ChangesTheCheckedFilesAndTheLists) {
  const ReplaceCase& c = GetParam();
  CWebProject& project = CheckSite(kSite);
  Select(Words(), "teh");
  for (const std::string& file : c.unchecked) {
    Check(Files(), file, false);
  }
  With()->setText(c.with);
  guitest::ScriptedAnswers script(c.answers);
  Button("replaceButton")->click();

  const bool erases = std::string(c.with).empty();
  ASSERT_EQ(script.Questions().size(), erases ? 1U : 0U);
  if (erases) {
    EXPECT_EQ(script.Questions()[0].title, "Replace");
    EXPECT_EQ(script.Questions()[0].text,
              "You are about to replace \"teh\" with empty text, effectively erasing the "
              "word.\n\nIs that what you want to do?");
  }
  for (const auto& [page, bytes] : kSite) {
    EXPECT_EQ(Page(page) != bytes, Contains(c.changedPages, page)) << page;
  }
  EXPECT_EQ(Entries(Files()), c.filesAfter);
  EXPECT_EQ(Text("fileCount").toInt(), static_cast<int>(c.filesAfter.size()));
  EXPECT_EQ(Contains(Entries(Words()), "teh"), c.wordStays);
  EXPECT_EQ(Text("wordCount"), c.wordStays ? "5" : "4");
  EXPECT_EQ(Button("undoButton")->isEnabled(), !c.changedPages.empty());
  EXPECT_EQ(project.GetUndoList().GetCount(), c.changedPages.empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MainViewReplace,
    testing::Values(
        ReplaceCase{"EraseAnsweredNo", "", {}, {kNo}, {}, kTehFiles, true},
        ReplaceCase{"EraseAnsweredYesInAllFiles", "", {}, {kYes}, kTehFiles, {}, false},
        ReplaceCase{"FirstFileOnly",
                    "the",
                    {"b.html", "sub/c.html"},
                    {},
                    {"a.html"},
                    {"b.html", "sub/c.html"},
                    true},
        ReplaceCase{
            "AllButTheFirst", "the", {"a.html"}, {}, {"b.html", "sub/c.html"}, {"a.html"}, true}),
    [](const testing::TestParamInfo<ReplaceCase>& param) { return std::string(param.param.name); });

// A file Replace could not change still holds the word: the user is told, and neither
// the word nor its files leave the lists.
TEST_F(MainViewTest, AFileLeftUnchangedKeepsTheWordAndIsSaid) {
  CheckSite(kSite);
  std::filesystem::permissions(Root() + "b.html", std::filesystem::perms::owner_read);
  Select(Words(), "teh");
  With()->setText("the");
  guitest::ScriptedAnswers script;
  Button("replaceButton")->click();

  ASSERT_EQ(script.Questions().size(), 1U);
  EXPECT_EQ(script.Questions()[0].title, "Replace");
  EXPECT_TRUE(script.Questions()[0].text.startsWith("One of the chosen files could not be changed"))
      << script.Questions()[0].text.toStdString();
  EXPECT_NE(Page("a.html"), kSite[0].second);
  EXPECT_EQ(Page("b.html"), kSite[1].second);
  EXPECT_TRUE(Contains(Entries(Words()), "teh"));
  EXPECT_EQ(Entries(Files()), kTehFiles);
  EXPECT_TRUE(Button("undoButton")->isEnabled());
}

TEST_F(MainViewTest, UndoAsksAndRestoresThenHandsTheFocusToTheWords) {
  CheckSite(kSite);
  Select(Words(), "teh");
  With()->setText("the");
  Button("replaceButton")->click();
  ASSERT_NE(Page("a.html"), kSite[0].second);

  guitest::ScriptedAnswers script({kNo, kYes});
  Button("undoButton")->click();
  EXPECT_NE(Page("a.html"), kSite[0].second);
  EXPECT_TRUE(Button("undoButton")->isEnabled());
  Button("undoButton")->click();
  ASSERT_EQ(script.Questions().size(), 2U);
  EXPECT_EQ(script.Questions()[1].title, "Replacement Undo");
  EXPECT_EQ(Page("a.html"), kSite[0].second);
  EXPECT_FALSE(Button("undoButton")->isEnabled());
  EXPECT_EQ(m_view->focusWidget(), Words());
}

// A page edited after Replace keeps the edit unless the user says otherwise: Enter
// answers No there, and the user is told which page kept its later change.
TEST_F(MainViewTest, UndoKeepsAPageEditedSinceAndSaysSo) {
  CheckSite(kSite);
  Select(Words(), "teh");
  With()->setText("the");
  Button("replaceButton")->click();
  const std::string edited = Page("a.html") + "<p>later</p>\n";
  testkit::WriteBytes(Root() + "a.html", edited);

  guitest::ScriptedAnswers script({kYes});
  Button("undoButton")->click();
  ASSERT_EQ(script.Questions().size(), 3U);
  EXPECT_EQ(script.Questions()[1].title, "Replacement Undo");
  EXPECT_EQ(script.Questions()[1].buttons, CMessageBoxService::EButtons::YesNoDefaultNo);
  EXPECT_TRUE(script.Questions()[1].text.contains(QString::fromStdString(Root() + "a.html")));
  EXPECT_EQ(script.Questions()[2].buttons, CMessageBoxService::EButtons::Ok);
  EXPECT_TRUE(script.Questions()[2].text.contains(QString::fromStdString(Root() + "a.html")));
  EXPECT_EQ(Page("a.html"), edited);
  EXPECT_EQ(Page("b.html"), kSite[1].second) << "an untouched page is restored unasked";
}

TEST_F(MainViewTest, OnlyAReplacementTheSpellerDidNotOfferIsLearned) {
  CWebProject& project = CheckSite(kSite);
  const std::string guessFile = CZebUtils::GetCustomDictionaryPath() + "common_custom_guess.dat";
  Select(Words(), "teh");
  Select(Suggestions(), "the");
  Button("replaceButton")->click();
  EXPECT_FALSE(std::filesystem::exists(guessFile));

  Select(Words(), "wrld");
  With()->setText("wereld");
  Button("replaceButton")->click();
  std::vector<std::string> suggestions;
  CSpellChecker::GetInstance()->Guess("wrld", project.GetActiveDictionaries(), suggestions, true,
                                      true);
  EXPECT_TRUE(Contains(suggestions, "wereld"));
}

// A word selected while the speller's index is still built gets suggestions at once
// and the whole list once the index is ready; a "with" typed meanwhile stays.
TEST_F(MainViewTest, SuggestionsMadeBeforeTheIndexIsReadyAreMadeAgain) {
  CWebProject& project = CheckSite(kSite);
  CSpellChecker* speller = CSpellChecker::GetInstance();
  m_view->StartWordIndex();
  Select(Words(), "speling");
  EXPECT_FALSE(Entries(Suggestions()).empty()) << "the single edits find some at once";
  With()->setText("spelt");
  ASSERT_TRUE(CMessageLoop::PumpUntil([&] { return !speller->IsWordIndexPending(); },
                                      std::chrono::seconds(60)));
  Strings whole;
  speller->Suggest("speling", project.GetActiveDictionaries(), whole);
  // The index is ready a moment before its message is posted.
  CMessageLoop::PumpUntil([&] { return Entries(Suggestions()) == whole; },
                          std::chrono::seconds(10));
  EXPECT_EQ(Entries(Suggestions()), whole);
  EXPECT_EQ(Text("suggestionCount").toInt(), static_cast<int>(whole.size()));
  EXPECT_EQ(With()->text(), "spelt") << "what the user typed stays";
}

} // namespace
