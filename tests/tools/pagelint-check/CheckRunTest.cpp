#include "pagelint-check/CheckRun.h"
#include "pagelint-check/ReportFormats.h"

#include "CheckTestKit.h"

#include "projects/ProjectDataFile.h"
#include "projects/WebProject.h"
#include "spellcore/SpellChecker.h"

#include "mtcore/MTStartFaults.h"

#include "utilcore/DirUtils.h"

#include "speller/dictionaries/HunspellSamples.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedEnv.h"
#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

/// A fake home and a site folder; runs the checker in this process.
class CheckRunTest : public testing::Test {
protected:
  std::string Site() const { return m_site.Path() + "/"; }
  void WriteSite(const std::string& relative, const std::string& bytes) const {
    checktest::WriteFile(Site() + relative, bytes);
  }
  std::string CustomFolder() const { return m_home.ConfigHome() + "/ZEB/Custom Dictionaries/"; }
  std::string DataFolder() const { return m_home.ConfigHome() + "/Pagelint/"; }

  Outcome Check(const std::vector<std::string>& args, const std::string& appPath = "") {
    CCheckOptions options;
    std::string error;
    EXPECT_TRUE(options.Parse(args, error)) << error;
    std::ostringstream out;
    std::ostringstream err;
    CCheckRun run(options, out, err, -1);
    if (!appPath.empty()) {
      run.SetAppPath(appPath);
    }
    const int status = run.Execute();
    return {status, out.str(), err.str()};
  }

  /// Saves a project as the program would, with the speller of the program folder.
  void SaveProject(const std::string& name, const std::string& root,
                   const std::vector<CProjectFilter>& filters = {},
                   const CProjectOptions& options = {}) {
    CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
    {
      CWebProject project;
      project.SetName(name);
      project.SetRootDirectory(root);
      project.SetDataPath(DataFolder());
      project.SetOptions(options);
      for (const CProjectFilter& filter : filters) {
        project.AddFilter(filter);
      }
      fs::create_directories(DataFolder());
      EXPECT_TRUE(project.SaveProject(false));
      project.StopProject();
    }
    CSpellChecker::DeleteInstance();
  }

  /// Writes a data file as a saved project would have it, naming these dictionaries.
  void WriteProject(const std::string& fileName, const std::string& name, const std::string& root,
                    const std::vector<std::string>& dictionaries) const {
    CProjectDataFile::SContent content;
    content.name = name;
    content.rootDirectory = root;
    content.dictionaryNames = dictionaries;
    const std::string path = DataFolder() + fileName;
    checktest::WriteFile(path, CProjectDataFile::Write(content, path));
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_site;
};

TEST_F(CheckRunTest, ACleanSiteExitsWithZeroAndPrintsNothing) {
  WriteSite("index.html", "<html><body><p>The cat sat on the mat.</p></body></html>\n");
  const Outcome outcome = Check({Site()});
  EXPECT_EQ(outcome.status, CCheckRun::kExitClean);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "");
}

TEST_F(CheckRunTest, FindingsAreListedByPathLineAndCharacterColumn) {
  WriteSite("index.html", "<p>The cat teh dog</p>\n<p>A wrld apart, teh end</p>\n");
  WriteSite("sub/b.htm", "<h1>Big \xE2\x80\x94 \xE2\x80\x9Cwrld\xE2\x80\x9D</h1>\n");
  WriteSite("a.html", "\t<b>speling</b>\n");
  WriteSite("notes.txt", "teh is not checked here\n");
  const Outcome outcome = Check({"--summary", Site()});
  EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
  const std::string findings = "a.html:1:5: speling\n"
                               "index.html:1:12: teh\n"
                               "index.html:2:6: wrld\n"
                               "index.html:2:18: teh\n"
                               "sub/b.htm:1:12: wrld\n";
  ASSERT_TRUE(outcome.out.starts_with(findings)) << outcome.out;
  EXPECT_TRUE(outcome.out.substr(findings.size())
                  .starts_with("3 files checked, 3 unrecognized words, 5 occurrences, "))
      << outcome.out;
  EXPECT_EQ(outcome.err, "");
}

TEST_F(CheckRunTest, ASiteWithoutPagesHasNothingToCheck) {
  WriteSite("readme.txt", "teh\n");
  const Outcome outcome = Check({"--summary", Site()});
  EXPECT_EQ(outcome.status, CCheckRun::kExitClean);
  EXPECT_TRUE(outcome.out.starts_with("0 files checked, 0 unrecognized words, 0 occurrences"))
      << outcome.out;
}

TEST_F(CheckRunTest, ErrorsGiveOneLineAndStatusTwo) {
  ScopedTempDir emptyProgramFolder;
  ScopedTempDir damagedProgramFolder;
  checktest::WriteFile(damagedProgramFolder.Sub("ZEB.fdc"), "this is no dictionary");
  WriteSite("index.html", "<p>teh</p>\n");
  struct Case {
    std::vector<std::string> args;
    std::string appPath;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{Site() + "missing"}, "", "pagelint-check: no such folder: " + Site() + "missing\n"},
      {{Site() + "index.html"}, "", "pagelint-check: no such folder: " + Site() + "index.html\n"},
      {{Site(), Site() + "missing"}, "", "pagelint-check: no such folder: " + Site() + "missing\n"},
      {{"--project", "Nowhere"}, "", "pagelint-check: unknown project: Nowhere\n"},
      {{Site()},
       emptyProgramFolder.Path() + "/",
       "pagelint-check: no main dictionary: " + emptyProgramFolder.Path() +
           "/ZEB.fdc is missing or unreadable\n"},
      {{Site()},
       damagedProgramFolder.Path() + "/",
       "pagelint-check: no main dictionary: " + damagedProgramFolder.Path() +
           "/ZEB.fdc cannot be loaded\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Check(c.args, c.appPath);
    EXPECT_EQ(outcome.status, CCheckRun::kExitError) << c.err;
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_EQ(outcome.out, "");
  }
}

TEST_F(CheckRunTest, SeveralRootsPrefixPathsWithTheRootAsGiven) {
  WriteSite("one/index.html", "<p>teh</p>\n");
  WriteSite("two/index.html", "<p>wrld teh</p>\n");
  const Outcome outcome = Check({Site() + "two", Site() + "one/"});
  EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
  // Roots keep the order in which they were given.
  EXPECT_EQ(outcome.out, Site() + "two/index.html:1:4: wrld\n" + Site() +
                             "two/index.html:1:9: teh\n" + Site() + "one/index.html:1:4: teh\n");
}

TEST_F(CheckRunTest, AnAdHocRootWritesNoIgnoreDictionary) {
  WriteSite("index.html", "<p>teh</p>\n");
  ASSERT_EQ(Check({Site()}).status, CCheckRun::kExitFound);
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(CustomFolder())) {
    files.push_back(entry.path().filename().string());
  }
  // The speller's own default word list is all there is.
  EXPECT_EQ(files, std::vector<std::string>{"ZEB_Custom.dic"});
}

TEST_F(CheckRunTest, AnAdHocRootUsesTheUsersWordListsButNoProjectsIgnoreList) {
  checktest::WriteFile(CustomFolder() + "Mine.dic", "wrld\n");
  checktest::WriteFile(CustomFolder() + "Other Ignore.dic", "teh\n");
  WriteSite("index.html", "<p>wrld teh</p>\n");
  EXPECT_EQ(Check({Site()}).out, "index.html:1:9: teh\n");
}

TEST_F(CheckRunTest, ParallelChecksReportWhatOneThreadReports) {
  for (int i = 0; i < 40; ++i) {
    WriteSite("p" + std::to_string(i % 4) + "/page" + std::to_string(i) + ".html",
              "<p>line one teh</p>\n<p>wrld " + std::to_string(i) + " speling</p>\n");
  }
  const Outcome single = Check({"--jobs", "1", "--format", "json", Site()});
  const Outcome parallel = Check({"--jobs", "4", "--format", "json", Site()});
  EXPECT_EQ(single.status, CCheckRun::kExitFound);
  EXPECT_EQ(parallel.status, CCheckRun::kExitFound);
  EXPECT_EQ(single.out, parallel.out);
  EXPECT_EQ(checktest::Python(parallel.out, "import json,sys; d=json.load(open(sys.argv[1]));"
                                            "print([(w['word'], len(w['locations'])) "
                                            "for w in d['words']])"),
            "[('speling', 40), ('teh', 40), ('wrld', 40)]\n");
}

// The likeliest first, at most ten: "teh" has seventeen candidates, "the" among the last
// in byte order.
TEST_F(CheckRunTest, SuggestionsComeWithTheWordsBestFirst) {
  WriteSite("index.html", "<p>teh speling</p>\n");
  const Outcome outcome = Check({"--format", "json", "--suggest", Site()});
  EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
  EXPECT_EQ(checktest::Python(outcome.out,
                              "import json,sys; d=json.load(open(sys.argv[1]));"
                              "print([(w['suggestions'][0], len(w['suggestions']) <= 10)"
                              " for w in d['words']])"),
            "[('spelling', True), ('the', True)]\n");
  const Outcome text = Check({"--suggest", Site()});
  EXPECT_TRUE(text.out.starts_with("index.html:1:4: teh (the, ")) << text.out;
  EXPECT_NE(text.out.find("index.html:1:8: speling (spelling"), std::string::npos) << text.out;
}

TEST_F(CheckRunTest, ASavedProjectUsesItsFiltersAndIgnoreDictionary) {
  WriteSite("index.html", "<p>teh wrld</p>\n");
  WriteSite("drafts/x.html", "<p>speling</p>\n");
  SaveProject("My Site", Site(), {CProjectFilter{CProjectFilter::SUB_DIRECTORY, "drafts"}});
  checktest::WriteFile(CustomFolder() + "My Site Ignore.dic", "wrld\n");

  const Outcome outcome = Check({"--project", "My Site"});
  EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
  EXPECT_EQ(outcome.out, "index.html:1:4: teh\n");
  EXPECT_EQ(outcome.err, "");
  // Letter case aside when the name is not ambiguous.
  EXPECT_EQ(Check({"--project", "my site"}).out, "index.html:1:4: teh\n");
}

// The flag and a saved project's option each leave the code samples out; the rest
// of the page keeps its lines and columns.
TEST_F(CheckRunTest, CodeSamplesAreSkippedByTheFlagOrTheSavedOption) {
  WriteSite("index.html", "<p>teh <code>zorp</code></p>\n<PRE class=x>\nblim\n</pre> wrold\n");
  CProjectOptions skip;
  skip.skipCodeSamples = true;
  SaveProject("Plain", Site());
  SaveProject("Code", Site(), {}, skip);
  const std::string everything =
      "index.html:1:4: teh\nindex.html:1:14: zorp\nindex.html:3:1: blim\nindex.html:4:8: wrold\n";
  const std::string outsideCode = "index.html:1:4: teh\nindex.html:4:8: wrold\n";
  const struct {
    std::vector<std::string> args;
    const std::string& out;
  } cases[] = {
      {{Site()}, everything},
      {{"--skip-code", Site()}, outsideCode},
      {{"--project", "Plain"}, everything},
      {{"--project", "Plain", "--skip-code"}, outsideCode},
      {{"--project", "Code"}, outsideCode},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args.back());
    const Outcome outcome = Check(c.args);
    EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
    EXPECT_EQ(outcome.out, c.out);
  }
}

// The flag and a saved project's option each check image descriptions and tooltips
// at their own lines and columns; with code samples skipped too, a tooltip inside a
// sample stays out with it.
TEST_F(CheckRunTest, AttributesAreCheckedByTheFlagOrTheSavedOption) {
  WriteSite("index.html", "<p>teh <img src=a.png\n  ALT='a wrold'></p>\n"
                          "<pre><a title=\"blim\">x</a></pre> <a href=zorp.htm title=zorp>y</a>\n");
  CProjectOptions attributes;
  attributes.checkImageText = true;
  SaveProject("Plain", Site());
  SaveProject("Attributes", Site(), {}, attributes);
  const std::string text = "index.html:1:4: teh\n";
  const std::string withAttributes = "index.html:1:4: teh\nindex.html:2:10: wrold\n"
                                     "index.html:3:16: blim\nindex.html:3:57: zorp\n";
  const std::string withoutCode =
      "index.html:1:4: teh\nindex.html:2:10: wrold\nindex.html:3:57: zorp\n";
  const struct {
    std::vector<std::string> args;
    const std::string& out;
  } cases[] = {
      {{Site()}, text},
      {{"--check-attributes", Site()}, withAttributes},
      {{"--check-attributes", "--skip-code", Site()}, withoutCode},
      {{"--project", "Plain"}, text},
      {{"--project", "Plain", "--check-attributes"}, withAttributes},
      {{"--project", "Attributes"}, withAttributes},
      {{"--project", "Attributes", "--skip-code"}, withoutCode},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args.back());
    const Outcome outcome = Check(c.args);
    EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
    EXPECT_EQ(outcome.out, c.out);
  }
}

// The flags and a saved project's options each leave their shape of word unchecked,
// and combine; a repeat is reported whatever its shape.
TEST_F(CheckRunTest, WordShapesAreLeftUncheckedByTheFlagsOrTheSavedOptions) {
  WriteSite("index.html", "<p>teh FIFOs Zqxw zqx1 FIFOs FIFOs</p>\n");
  CProjectOptions capitals;
  capitals.ignoreUppercaseWords = true;
  CProjectOptions numbers;
  numbers.ignoreWordsWithNumbers = true;
  SaveProject("Capitals", Site(), {}, capitals);
  SaveProject("Numbers", Site(), {}, numbers);
  const std::string first = "index.html:1:4: teh\n";
  const std::string plural = "index.html:1:8: FIFOs\n";
  const std::string checked = "index.html:1:14: Zqxw\n";
  const std::string digit = "index.html:1:19: zqx1\n";
  const std::string plurals = "index.html:1:24: FIFOs\nindex.html:1:30: FIFOs\n";
  const std::string repeat = "index.html:1:30: FIFOs (duplicate)\n";
  const std::string noCapitals = first + checked + digit + repeat;
  const std::string neither = first + checked + repeat;
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{Site()}, first + plural + checked + digit + plurals + repeat},
      {{"--ignore-uppercase", Site()}, noCapitals},
      {{"--ignore-numbers", Site()}, first + plural + checked + plurals + repeat},
      {{"--project", "Capitals"}, noCapitals},
      {{"--project", "Numbers", "--ignore-uppercase"}, neither},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args.back());
    const Outcome outcome = Check(c.args);
    EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
    EXPECT_EQ(outcome.out, c.out);
  }
}

// A repeated word is reported as such in every format, beside an unrecognized word of
// the same text ("teh teh"), with no suggestions; the flag or a saved project's option
// leaves repeats out, and a site with nothing but a repeat has findings all the same.
TEST_F(CheckRunTest, RepeatedWordsAreReportedApartFromUnrecognizedWords) {
  WriteSite("all/index.html", "<p>We walked to the the sea.</p>\n<p>A teh teh day.</p>\n"
                              "<p>In in the end.</p>\n");
  WriteSite("only/index.html", "<p>So the the end.</p>\n");
  CProjectOptions noRepeats;
  noRepeats.reportRepeatedWords = false;
  SaveProject("Plain", Site() + "all/");
  SaveProject("No Repeats", Site() + "all/", {}, noRepeats);
  const std::string text = "index.html:1:21: the (duplicate)\n"
                           "index.html:2:6: teh\n"
                           "index.html:2:10: teh\n"
                           "index.html:2:10: teh (duplicate)\n"
                           "index.html:3:7: in (duplicate)\n";
  const std::string unrecognized = "index.html:2:6: teh\nindex.html:2:10: teh\n";
  // Per word: text, "duplicate" (or "-" when absent), whether it has suggestions and
  // its columns; then the summary.
  const std::string jsonScript = R"(
import json, sys
d = json.load(open(sys.argv[1]))
for w in d['words']:
    print(w['word'], w.get('duplicate', '-'), len(w['suggestions']) > 0,
          [l['column'] for l in w['locations']])
print(d['summary']['words'], d['summary'].get('repeatedWords', '-'), d['summary']['occurrences'])
)";
  const std::string sarifScript = R"(
import json, sys
d = json.load(open(sys.argv[1]))
run = d['runs'][0]
print([r['id'] for r in run['tool']['driver']['rules']])
for r in run['results']:
    print(r['ruleId'], r['ruleIndex'], r['message']['text'],
          r['locations'][0]['physicalLocation']['region']['startColumn'])
)";
  const struct {
    std::vector<std::string> args;
    const std::string& script; ///< run on the output; empty: the output itself
    std::string expected;
  } cases[] = {
      {{Site() + "all"}, "", text},
      {{"--project", "Plain"}, "", text},
      {{"--skip-repeats", Site() + "all"}, "", unrecognized},
      {{"--project", "No Repeats"}, "", unrecognized},
      {{"--project", "Plain", "--skip-repeats"}, "", unrecognized},
      {{Site() + "only"}, "", "index.html:1:11: the (duplicate)\n"},
      {{"--suggest", Site() + "only"}, "", "index.html:1:11: the (duplicate)\n"},
      {{"--format", "json", "--suggest", "--summary", Site() + "all"},
       jsonScript,
       "in True False [7]\n"
       "teh - True [6, 10]\n"
       "teh True False [10]\n"
       "the True False [21]\n"
       "1 3 5\n"},
      {{"--format", "json", "--suggest", "--summary", "--skip-repeats", Site() + "all"},
       jsonScript,
       "teh - True [6, 10]\n1 - 2\n"},
      {{"--format", "sarif", Site() + "all"},
       sarifScript,
       "['unrecognized-word', 'repeated-word']\n"
       "repeated-word 1 Repeated word: the 21\n"
       "unrecognized-word 0 Unrecognized word: teh 6\n"
       "unrecognized-word 0 Unrecognized word: teh 10\n"
       "repeated-word 1 Repeated word: teh 10\n"
       "repeated-word 1 Repeated word: in 7\n"},
      {{"--format", "sarif", "--skip-repeats", Site() + "all"},
       sarifScript,
       "['unrecognized-word']\n"
       "unrecognized-word 0 Unrecognized word: teh 6\n"
       "unrecognized-word 0 Unrecognized word: teh 10\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args.back());
    const Outcome outcome = Check(c.args);
    EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
    EXPECT_EQ(c.script.empty() ? outcome.out : checktest::Python(outcome.out, c.script),
              c.expected);
    EXPECT_EQ(outcome.err, "");
  }
  const Outcome summary = Check({"--summary", Site() + "all"});
  EXPECT_TRUE(summary.out.starts_with(
      text + "1 files checked, 1 unrecognized words, 3 repeated words, 5 occurrences, "))
      << summary.out;

  // The speller is never asked about a repeated word: only "teh" has suggestions.
  CCheckOptions options;
  std::string error;
  ASSERT_TRUE(options.Parse({"--suggest", Site() + "all"}, error)) << error;
  std::ostringstream out;
  std::ostringstream err;
  CCheckRun run(options, out, err, -1);
  ASSERT_EQ(run.Execute(), CCheckRun::kExitFound);
  const CCheckReport& report = run.GetReport();
  std::vector<std::string> suggested;
  for (std::size_t k = 0; k < static_cast<std::size_t>(report.GetWordCount()); ++k) {
    if (!report.GetSuggestions(k).empty()) {
      suggested.emplace_back(report.GetWordText(k));
    }
  }
  EXPECT_EQ(suggested, std::vector<std::string>{"teh"});
}

TEST_F(CheckRunTest, ASavedProjectWhoseRootIsGoneIsAnError) {
  SaveProject("Gone", Site() + "moved/");
  const Outcome outcome = Check({"--project", "Gone"});
  EXPECT_EQ(outcome.status, CCheckRun::kExitError);
  EXPECT_EQ(outcome.out, "");
  EXPECT_TRUE(outcome.err.starts_with("pagelint-check: This project's local directory is no "
                                      "longer valid."))
      << outcome.err;
  EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1);
}

// A dictionary that is gone is warned of; without the main dictionary every word would
// be flagged, so nothing is checked.
TEST_F(CheckRunTest, SavedDictionaryNamesThatNameNothingAreWarnedOf) {
  WriteSite("index.html", "<p>teh cat</p>\n");
  const std::string warning = "pagelint-check: warning: the project Site uses the dictionary ";
  struct Case {
    std::vector<std::string> dictionaries;
    int status;
    std::string out;
    std::string err;
  };
  // A name repeated is named once; past ten names one line counts the rest.
  Case many{{"ZEB U.S. English", "Gone", "Gone"},
            CCheckRun::kExitFound,
            "index.html:1:4: teh\n",
            warning + "Gone, which does not exist\n"};
  for (int i = 0; i < 12; ++i) {
    many.dictionaries.push_back("D" + std::to_string(i));
    if (i < 9) {
      many.err += warning + "D" + std::to_string(i) + ", which does not exist\n";
    }
  }
  many.err += "pagelint-check: warning: the project Site uses 3 more dictionaries that do not "
              "exist\n";
  const std::vector<Case> cases = {
      many,
      {{"ZEB U.S. English", "Gone"},
       CCheckRun::kExitFound,
       "index.html:1:4: teh\n",
       warning + "Gone, which does not exist\n"},
      {{"Gone", "Lost\x1b[2J"},
       CCheckRun::kExitError,
       "",
       warning + "Gone, which does not exist\n" + warning + "Lost?[2J, which does not exist\n" +
           "pagelint-check: no main dictionary: the project Site does not use ZEB U.S. English\n"},
      {{"ZEB Custom"},
       CCheckRun::kExitError,
       "",
       "pagelint-check: no main dictionary: the project Site does not use ZEB U.S. English\n"},
  };
  for (const Case& c : cases) {
    WriteProject("Site.plx", "Site", Site(), c.dictionaries);
    const Outcome outcome = Check({"--project", "Site"});
    EXPECT_EQ(outcome.status, c.status) << c.dictionaries.back();
    EXPECT_EQ(outcome.out, c.out);
    EXPECT_EQ(outcome.err, c.err);
  }
}

// Short of file handles, the main dictionary cannot be opened: that is said, status 2,
// and the dictionary is not blamed, whether the first look at the file fails or the
// speller's monitors took the last handles before it loaded. The limit steps up from
// none spare until the check runs. In this process, so that the sanitizers' own checks,
// which need a handle the first time, have theirs before the limit falls.
TEST_F(CheckRunTest, RunningOutOfFileHandlesIsNotBlamedOnTheMainDictionary) {
  WriteSite("index.html", "<p>teh</p>\n");
  ASSERT_EQ(Check({Site()}).status, CCheckRun::kExitFound);
  const std::string noHandles = "pagelint-check: no file handles left: " + CDirUtils::GetAppPath() +
                                "ZEB.fdc cannot be opened\n";
  rlimit limits{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limits), 0);
  const int lowestFree = dup(0);
  ASSERT_GE(lowestFree, 0);
  close(lowestFree);
  std::vector<int> saidSo; // the spare handles of each run that said so
  for (int spare = 0; spare <= 64; ++spare) {
    rlimit tight = limits;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree + spare);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    const Outcome outcome = Check({Site()});
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limits), 0);
    EXPECT_EQ(outcome.err.find("no main dictionary"), std::string::npos) << spare << outcome.err;
    if (outcome.err == noHandles) {
      EXPECT_EQ(outcome.status, CCheckRun::kExitError) << spare;
      EXPECT_EQ(outcome.out, "") << spare;
      saidSo.push_back(spare);
    }
    if (outcome.status == CCheckRun::kExitFound) {
      break;
    }
  }
  ASSERT_FALSE(saidSo.empty());
  EXPECT_EQ(saidSo.front(), 0);
  EXPECT_GT(saidSo.back(), 0) << "the speller's own open never ran short";
}

// The SARIF base must be a valid file URI, and the report names one folder one way.
TEST_F(CheckRunTest, ASavedProjectsRootIsMadeAbsoluteAndPlain) {
  WriteSite("index.html", "<p>teh</p>\n");
  fs::create_directories(Site() + "sub");
  const std::string canonical = fs::canonical(m_site.Path()).string() + "/";
  const std::string relative = fs::relative(m_site.Path()).string();
  for (const std::string& root :
       {m_site.Path() + "//", m_site.Path() + "/./sub/..//", relative, relative + "/"}) {
    WriteProject("Site.plx", "Site", root, {"ZEB U.S. English"});
    const Outcome outcome = Check({"--format", "sarif", "--project", "Site"});
    EXPECT_EQ(outcome.status, CCheckRun::kExitFound) << root;
    EXPECT_NE(
        outcome.out.find("\"uri\": \"file://" + CReportFormats::EncodeUriPath(canonical) + "\""),
        std::string::npos)
        << root << "\n"
        << outcome.out;
  }
}

// A character reference on a page reaches the word; only the text format hides it.
TEST_F(CheckRunTest, APagesHiddenCharactersReachNoTerminal) {
  WriteSite("index.html", "<p>t&#x202e;eh w&#x2066;rld</p>\n");
  EXPECT_EQ(Check({Site()}).out, "index.html:1:4: t?eh\nindex.html:1:16: w?rld\n");
  const std::string json = Check({"--format", "json", Site()}).out;
  EXPECT_NE(json.find("\"word\": \"t\\u202eeh\""), std::string::npos) << json;
}

TEST_F(CheckRunTest, ListedNamesAndRootsCannotDisturbTheTerminal) {
  WriteProject("a.plx", "Evil\n\x1b[2J",
               Site() + "\xE2\x80\xAE"
                        "x/",
               {});
  const Outcome outcome = Check({"--list-projects"});
  EXPECT_EQ(outcome.status, CCheckRun::kExitClean);
  EXPECT_EQ(outcome.out, "Evil??[2J\t" + Site() + "?x/\n");
}

TEST_F(CheckRunTest, SavedProjectsAreListedByName) {
  ScopedTempDir other;
  SaveProject("beta", Site());
  SaveProject("Alpha", other.Path() + "/");
  checktest::WriteFile(DataFolder() + "damaged.plx", "\x02");
  const Outcome outcome = Check({"--list-projects"});
  EXPECT_EQ(outcome.status, CCheckRun::kExitClean);
  EXPECT_EQ(outcome.out, "Alpha\t" + other.Path() + "/\nbeta\t" + Site() + "\n");
}

TEST_F(CheckRunTest, APageLeftOutIsLoggedAndNotCounted) {
  WriteSite("index.html", "<p>teh</p>\n");
  WriteSite("huge.html", "");
  fs::resize_file(Site() + "huge.html", 129ULL * 1024 * 1024);
  const LogCapture log;
  const Outcome outcome = Check({"--summary", "--format", "json", Site()});
  EXPECT_EQ(outcome.status, CCheckRun::kExitError);
  const std::vector<std::string> lines = log.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "{6E0B3C71-2A4F-4D8E-9B15-C7F3A2D84E06} - " + Site() +
                           "huge.html - larger than 128 MiB"),
            1);
  EXPECT_NE(outcome.out.find("\"files\": 1,"), std::string::npos) << outcome.out;
}

TEST_F(CheckRunTest, AThreadThatCannotStartEndsTheCheckWithAnErrorOrTheFullResult) {
  WriteSite("index.html", "<p>teh</p>\n");
  WriteSite("sub/a.html", "<p>wrld</p>\n");
  const Outcome normal = Check({Site()});
  ASSERT_EQ(normal.status, CCheckRun::kExitFound);
  struct Cleared {
    ~Cleared() { CMTStartFaults::Clear(); }
  } cleared;
  // Each thread start in turn fails (speller monitors, the project's monitor, collector
  // and worker), until a run starts all of them.
  for (unsigned spare = 0; spare < 64; ++spare) {
    CMTStartFaults::Inject(1, spare);
    const Outcome outcome = Check({Site()});
    if (CMTStartFaults::Pending()) {
      EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
      EXPECT_GT(spare, 2U) << "the run starts a collector and a worker at the least";
      return;
    }
    if (outcome.status == CCheckRun::kExitError) {
      EXPECT_TRUE(outcome.err.find("could not be") != std::string::npos) << outcome.err;
      EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    } else {
      EXPECT_EQ(outcome.status, normal.status) << "start " << spare;
      EXPECT_EQ(outcome.out, normal.out) << "start " << spare;
    }
  }
  ADD_FAILURE() << "a run never got through its thread starts";
}

/// CheckRunTest with Hunspell dictionaries of its own: en_GB, de_DE (and its alias
/// de_BE) and a damaged fr_FR.
class HunspellCheckRunTest : public CheckRunTest {
protected:
  void SetUp() override {
    hunspelltest::WriteSamples(Folder());
    hunspelltest::WritePair(Folder(), "fr_FR", hunspelltest::kEnglishAff, "");
    checktest::WriteFile(CustomFolder() + "Mine.dic", "zzyzx\n");
    WriteSite("index.html", "<p>colour favour Haus zzyzx</p>\n");
  }
  std::string Folder() const { return m_home.Root() + "/hunspell"; }

  CScopedEnv m_path{"PAGELINT_HUNSPELL_PATH", m_home.Root() + "/hunspell"};
};

TEST_F(HunspellCheckRunTest, ListsEveryDictionaryWithItsKindAndLanguage) {
  const Outcome outcome = Check({"--list-dictionaries"});
  EXPECT_EQ(outcome.status, CCheckRun::kExitClean);
  EXPECT_EQ(outcome.out, "ZEB U.S. English\tbuilt-in\ten_US\n"
                         "Mine\tword list\t\n"
                         "ZEB Custom\tword list\t\n"
                         "ZEB Technical Terms\tword list\t\n"
                         "English (United Kingdom) en_GB\thunspell\ten_GB\n"
                         "French (France) fr_FR\thunspell\tfr_FR\n"
                         "German (Germany) de_DE\thunspell\tde_DE\n");
  EXPECT_EQ(outcome.err, "");
}

TEST_F(HunspellCheckRunTest, DictionaryChoosesTheMainDictionariesOfAFolderCheck) {
  const std::string colour = "index.html:1:4: colour\n";
  const std::string favour = "index.html:1:11: favour\n";
  const std::string haus = "index.html:1:18: Haus\n";
  const struct {
    std::vector<std::string> dictionaries;
    int status;
    std::string out;
  } cases[] = {
      {{}, CCheckRun::kExitFound, colour + favour + haus},
      {{"en_GB"}, CCheckRun::kExitFound, haus},
      {{"en-gb", "DE_de"}, CCheckRun::kExitClean, ""},
      {{"german (germany) DE_DE"}, CCheckRun::kExitFound, colour + favour},
      {{"zeb u.s. english", "en_GB"}, CCheckRun::kExitFound, haus},
      // A word list alone leaves the built-in dictionary in place.
      {{"Mine"}, CCheckRun::kExitFound, colour + favour + haus},
      {{"en_US"}, CCheckRun::kExitFound, colour + favour + haus},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args;
    for (const std::string& name : c.dictionaries) {
      args.insert(args.end(), {"--dictionary", name});
    }
    args.push_back(Site());
    const Outcome outcome = Check(args);
    const std::string what = testing::PrintToString(c.dictionaries);
    EXPECT_EQ(outcome.status, c.status) << what;
    EXPECT_EQ(outcome.out, c.out) << what;
    EXPECT_EQ(outcome.err, "") << what;
  }
}

TEST_F(HunspellCheckRunTest, ChosenDictionariesNeedNoBuiltInDictionary) {
  ScopedTempDir emptyProgramFolder;
  const std::string appPath = emptyProgramFolder.Path() + "/";
  const Outcome hunspell = Check({"--dictionary", "en_GB", Site()}, appPath);
  EXPECT_EQ(hunspell.status, CCheckRun::kExitFound);
  EXPECT_EQ(hunspell.out, "index.html:1:18: Haus\n");
  const Outcome builtIn =
      Check({"--dictionary", "en_GB", "--dictionary", "en_US", Site()}, appPath);
  EXPECT_EQ(builtIn.status, CCheckRun::kExitError);
  EXPECT_EQ(builtIn.err, "pagelint-check: no main dictionary: " + appPath +
                             "ZEB.fdc is missing or unreadable\n");
}

TEST_F(HunspellCheckRunTest, UnknownAndDamagedChosenDictionariesAreSaid) {
  const std::string warning = "pagelint-check: warning: the dictionary French (France) fr_FR "
                              "could not be loaded (missing, unreadable or damaged files)\n";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  } cases[] = {
      {{"--dictionary", "Nowhere"},
       CCheckRun::kExitError,
       "",
       "pagelint-check: unknown dictionary: Nowhere (see --list-dictionaries)\n"},
      {{"--dictionary", "en_GB", "--dictionary", "en"},
       CCheckRun::kExitError,
       "",
       "pagelint-check: unknown dictionary: en (see --list-dictionaries)\n"},
      // An alias is no dictionary of its own: the list shows the one it links to.
      {{"--dictionary", "de_BE"},
       CCheckRun::kExitError,
       "",
       "pagelint-check: unknown dictionary: de_BE (see --list-dictionaries)\n"},
      {{"--dictionary", "fr_FR", "--dictionary", "en_GB"},
       CCheckRun::kExitFound,
       "index.html:1:18: Haus\n",
       warning},
      {{"--dictionary", "fr_FR"},
       CCheckRun::kExitError,
       "",
       warning + "pagelint-check: no main dictionary: no dictionary chosen with --dictionary "
                 "could be loaded\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back(Site());
    const Outcome outcome = Check(args);
    EXPECT_EQ(outcome.status, c.status) << c.args[1];
    EXPECT_EQ(outcome.out, c.out) << c.args[1];
    EXPECT_EQ(outcome.err, c.err) << c.args[1];
  }
}

TEST_F(HunspellCheckRunTest, ASavedProjectUsesItsHunspellDictionaries) {
  const std::string english = "English (United Kingdom) en_GB";
  const std::string french = "French (France) fr_FR";
  const std::string warning =
      "pagelint-check: warning: the project Site uses the dictionary " + french +
      ", which could not be loaded (missing, unreadable or damaged files)\n";
  const struct {
    std::vector<std::string> dictionaries;
    int status;
    std::string out;
    std::string err;
  } cases[] = {
      {{english, "Mine"}, CCheckRun::kExitFound, "index.html:1:18: Haus\n", ""},
      {{english, french, "Mine"}, CCheckRun::kExitFound, "index.html:1:18: Haus\n", warning},
      {{french, "Mine"},
       CCheckRun::kExitError,
       "",
       warning +
           "pagelint-check: no main dictionary: the dictionaries of the project Site could not "
           "be loaded\n"},
  };
  for (const auto& c : cases) {
    WriteProject("Site.plx", "Site", Site(), c.dictionaries);
    const Outcome outcome = Check({"--project", "Site"});
    const std::string what = testing::PrintToString(c.dictionaries);
    EXPECT_EQ(outcome.status, c.status) << what;
    EXPECT_EQ(outcome.out, c.out) << what;
    EXPECT_EQ(outcome.err, c.err) << what;
  }
}

// A folder check uses the shipped technical terms with whichever main dictionary, as
// it uses every word list; a saved project only when it names them.
TEST_F(HunspellCheckRunTest, TechnicalTermsServeFolderChecksAndTheProjectsThatNameThem) {
  WriteSite("index.html", "<p>colour dereferencing</p>\n");
  const std::string colour = "index.html:1:4: colour\n";
  const std::string dereferencing = "index.html:1:11: dereferencing\n";
  const std::string english = "English (United Kingdom) en_GB";
  const struct {
    std::vector<std::string> args;
    std::string out;
  } folderCases[] = {
      {{}, colour},
      {{"--dictionary", "en_GB"}, ""},
      {{"--dictionary", "ZEB Technical Terms"}, colour},
      {{"--dictionary", "en_US"}, colour},
  };
  for (const auto& c : folderCases) {
    std::vector<std::string> args = c.args;
    args.push_back(Site());
    const Outcome outcome = Check(args);
    EXPECT_EQ(outcome.out, c.out) << testing::PrintToString(c.args);
    EXPECT_EQ(outcome.err, "") << testing::PrintToString(c.args);
  }
  const struct {
    std::vector<std::string> dictionaries;
    std::string out;
  } projectCases[] = {
      {{"ZEB U.S. English", "ZEB Custom"}, colour + dereferencing},
      {{"ZEB U.S. English", "ZEB Technical Terms"}, colour},
      {{english}, dereferencing},
  };
  for (const auto& c : projectCases) {
    WriteProject("Site.plx", "Site", Site(), c.dictionaries);
    const Outcome outcome = Check({"--project", "Site"});
    EXPECT_EQ(outcome.out, c.out) << testing::PrintToString(c.dictionaries);
    EXPECT_EQ(outcome.err, "") << testing::PrintToString(c.dictionaries);
  }
}

TEST_F(HunspellCheckRunTest, SuggestionsComeFromTheChosenDictionaries) {
  WriteSite("index.html", "<p>colur Hauss</p>\n");
  const Outcome outcome =
      Check({"--suggest", "--dictionary", "en_GB", "--dictionary", "de_DE", Site()});
  EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
  EXPECT_TRUE(outcome.out.starts_with("index.html:1:4: colur (colour")) << outcome.out;
  EXPECT_NE(outcome.out.find("index.html:1:10: Hauss (Haus"), std::string::npos) << outcome.out;
}

} // namespace

namespace {

// Text in a language no dictionary is for is left out, never silently: one warning per
// language over all roots, and the counts and each finding's language in JSON and SARIF.
TEST_F(CheckRunTest, TextInALanguageWithoutDictionaryIsNamedAndCounted) {
  WriteSite("one/index.html", "<html lang=\"en\"><p>A teh day.</p>\n"
                              "<p lang=\"fr\">Le chat teh noir.</p></html>\n");
  WriteSite("two/index.html", "<p lang=\"fr\">Une maison.</p><p lang=\"de\">Ein Haus.</p>\n");
  const std::string jsonScript = R"(
import json, sys
d = json.load(open(sys.argv[1]))
for w in d['words']:
    print(w['word'], [l.get('language', '-') for l in w['locations']])
print(d['uncheckedWords'])
)";
  const std::string sarifScript = R"(
import json, sys
d = json.load(open(sys.argv[1]))
for r in d['runs'][0]['results']:
    print(r['message']['text'], r['properties']['language'])
print(d['properties']['uncheckedWords'])
)";
  const std::string warnings = "pagelint-check: warning: 2 words in de left unchecked: no "
                               "dictionary for it\n"
                               "pagelint-check: warning: 6 words in fr left unchecked: no "
                               "dictionary for it\n";
  const struct {
    std::vector<std::string> args;
    std::string script;
    std::string expected;
  } cases[] = {
      {{Site() + "one", Site() + "two"}, "", Site() + "one/index.html:1:22: teh\n"},
      {{"--format", "json", Site() + "one", Site() + "two"},
       jsonScript,
       "teh ['en']\n{'de': 2, 'fr': 6}\n"},
      {{"--format", "sarif", Site() + "one", Site() + "two"},
       sarifScript,
       "Unrecognized word: teh en\n{'de': 2, 'fr': 6}\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front());
    const Outcome outcome = Check(c.args);
    EXPECT_EQ(outcome.status, CCheckRun::kExitFound);
    EXPECT_EQ(c.script.empty() ? outcome.out : checktest::Python(outcome.out, c.script),
              c.expected);
    EXPECT_EQ(outcome.err, warnings);
  }
}

} // namespace

namespace {

// A British site with German and French passages and a German page with an English
// one, checked with the desktop's en_GB and de_DE: each passage in its own language, a
// typo found in each, British spellings known, the French passage counted unchecked.
TEST_F(CheckRunTest, ABilingualSiteIsCheckedInEachPassagesLanguage) {
  for (const char* dictionary :
       {"/usr/share/hunspell/en_GB.dic", "/usr/share/hunspell/de_DE.dic"}) {
    if (!fs::exists(dictionary)) {
      GTEST_SKIP() << dictionary << " is not installed (tools/setup-deps.sh installs it)";
    }
  }
  // The desktop's own folder, whatever the tests' environment says.
  const CScopedEnv path("PAGELINT_HUNSPELL_PATH", "/usr/share/hunspell");
  WriteSite("index.html",
            "<html lang=\"en-GB\"><body><p>The colour of the centre is teh same.</p>\n"
            "<p lang=\"de\">Das Haus steht an der Stra\xC3\x9F"
            "e mit einem Fehlr.</p>\n"
            "<p lang=\"fr\">Le chat noir.</p></body></html>\n");
  WriteSite("de/index.html", "<html lang=\"de-DE\"><p>Ein kleines Haus.</p>\n"
                             "<p lang=\"en\">We recieve the colour.</p></html>\n");
  const Outcome outcome =
      Check({"--dictionary", "en_GB", "--dictionary", "de_DE", "--format", "json", Site()});
  EXPECT_EQ(outcome.status, CCheckRun::kExitFound) << outcome.err;
  const std::string script = R"(
import json, sys
d = json.load(open(sys.argv[1]))
for w in d['words']:
    for l in w['locations']:
        print(w['word'], l['file'], l['line'], l.get('language', '-'))
print(d['uncheckedWords'])
)";
  EXPECT_EQ(checktest::Python(outcome.out, script), "Fehlr index.html 2 de\n"
                                                    "recieve de/index.html 2 en\n"
                                                    "teh index.html 1 en-GB\n"
                                                    "{'fr': 3}\n");
  EXPECT_EQ(outcome.err, "pagelint-check: warning: 3 words in fr left unchecked: no dictionary "
                         "for it\n");
}

} // namespace
