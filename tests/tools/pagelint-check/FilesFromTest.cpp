// Checking only listed pages: --files-from and --pages, in this process.
#include "pagelint-check/CheckRun.h"

#include "CheckTestKit.h"

#include "projects/WebProject.h"
#include "spellcore/SpellChecker.h"

#include "utilcore/DirUtils.h"

#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

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

class FilesFromTest : public testing::Test {
protected:
  void SetUp() override {
    WriteSite("index.html", "<p>teh cat</p>\n");
    WriteSite("sub/b.html", "<p>wrld</p>\n");
    WriteSite("drafts/c.html", "<p>speling</p>\n");
    WriteSite("notes.txt", "not a page\n");
    m_root = fs::canonical(m_site.Path()).string() + "/";
  }
  void WriteSite(const std::string& relative, const std::string& bytes) const {
    checktest::WriteFile(m_site.Sub(relative), bytes);
  }

  /// Runs the checker with `input` as its standard input.
  Outcome Check(const std::vector<std::string>& args, const std::string& input = "") {
    CCheckOptions options;
    std::string error;
    EXPECT_TRUE(options.Parse(args, error)) << error;
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CCheckRun run(options, out, err, -1);
    run.SetInput(in);
    const int status = run.Execute();
    return {status, out.str(), err.str()};
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_site;
  std::string m_root;
};

TEST_F(FilesFromTest, OnlyTheListedPagesAreChecked) {
  struct Case {
    std::string list;
    int status;
    std::string out;
    std::string err;
  };
  const std::string incompleteOne =
      "pagelint-check: incomplete: 1 page or folder could not be checked\n";
  const std::vector<Case> cases = {
      {"sub/b.html\n", 1, "sub/b.html:1:4: wrld\n", ""},
      {"sub/b.html\r\n\r\nindex.html\r\n", 1, "index.html:1:4: teh\nsub/b.html:1:4: wrld\n", ""},
      {"index.html\nindex.html\n./index.html\n", 1, "index.html:1:4: teh\n", ""},
      // Nothing listed, nothing checked: not even a walk's complaints.
      {"", 0, "", ""},
      {"\n\n", 0, "", ""},
      {"gone.html\nsub/b.html\n", 2, "sub/b.html:1:4: wrld\n",
       "pagelint-check: not checked: gone.html (no such page)\n" + incompleteOne},
      {"notes.txt\n", 2, "",
       "pagelint-check: not checked: notes.txt (not a page)\n" + incompleteOne},
      // Outside the root: one line, no report, nothing read.
      {"index.html\n../x.html\n", 2, "",
       "pagelint-check: outside the root " + m_root + ": ../x.html\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Check({"--files-from", "-", m_site.Path()}, c.list);
    EXPECT_EQ(outcome.status, c.status) << c.list;
    EXPECT_EQ(outcome.out, c.out) << c.list;
    EXPECT_EQ(outcome.err, c.err) << c.list;
  }
}

TEST_F(FilesFromTest, ListsComeFromAFileOrTheArguments) {
  const std::string list = m_site.Sub("../list.txt");
  checktest::WriteFile(list, m_root + "sub/b.html\n");
  const Outcome fromFile = Check({"--files-from", list, m_site.Path()});
  EXPECT_EQ(fromFile.status, 1);
  EXPECT_EQ(fromFile.out, "sub/b.html:1:4: wrld\n");
  fs::remove(list);

  const Outcome fromArgs = Check({"--pages", m_site.Path(), "index.html"});
  EXPECT_EQ(fromArgs.out, "index.html:1:4: teh\n");
  // Both together: the pages of each.
  checktest::WriteFile(list, "sub/b.html\n");
  const Outcome both = Check({"--pages", "--files-from", list, m_site.Path(), "index.html"});
  EXPECT_EQ(both.out, "index.html:1:4: teh\nsub/b.html:1:4: wrld\n");
  fs::remove(list);

  const Outcome missing = Check({"--files-from", list, m_site.Path()});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "pagelint-check: the list of pages " + list + " cannot be read\n");
  const Outcome folder = Check({"--files-from", m_site.Path(), m_site.Path()});
  EXPECT_EQ(folder.status, 2);
  EXPECT_EQ(folder.err, "pagelint-check: the list of pages " + m_site.Path() + " is a folder\n");
}

TEST_F(FilesFromTest, ASavedProjectsFiltersStillApply) {
  CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
  {
    CWebProject project;
    project.SetName("Site");
    project.SetRootDirectory(m_root);
    project.SetDataPath(m_home.ConfigHome() + "/Pagelint/");
    project.AddFilter(CProjectFilter{CProjectFilter::SUB_DIRECTORY, "drafts"});
    fs::create_directories(m_home.ConfigHome() + "/Pagelint/");
    ASSERT_TRUE(project.SaveProject(false));
    project.StopProject();
  }
  CSpellChecker::DeleteInstance();
  const Outcome outcome =
      Check({"--files-from", "-", "--project", "Site", "--summary"}, "drafts/c.html\nsub/b.html\n");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(
      outcome.out.starts_with("sub/b.html:1:4: wrld\n1 files checked, 1 unrecognized words"))
      << outcome.out;
  EXPECT_EQ(outcome.err, "");
}

// What the walk says of places no listed page lies in is no concern of the list.
TEST_F(FilesFromTest, PlacesLeftOutElsewhereAreNotReported) {
  ScopedTempDir outside;
  checktest::WriteFile(outside.Sub("x.html"), "<p>x</p>\n");
  fs::create_symlink(outside.Path(), m_site.Sub("away"));
  const Outcome whole = Check({m_site.Path()});
  EXPECT_NE(whole.err.find("warning: " + m_root + "away"), std::string::npos) << whole.err;
  const Outcome listed = Check({"--files-from", "-", m_site.Path()}, "index.html\n");
  EXPECT_EQ(listed.status, 1);
  EXPECT_EQ(listed.out, "index.html:1:4: teh\n");
  EXPECT_EQ(listed.err, "");
}

TEST_F(FilesFromTest, TheWordsFormatCountsOccurrencesAndPages) {
  WriteSite("index.html", "<p>teh cat, teh dog</p>\n<p>Wrld and wrld</p>\n<p>the the end</p>\n");
  WriteSite("sub/b.html", "<p>wrld</p>\n");
  const Outcome all = Check({"--format", "words", m_site.Path()});
  EXPECT_EQ(all.status, 1);
  // Sorted as the words of the other reports; repeated words are left out.
  EXPECT_EQ(all.out, "Wrld\t1\t1\nspeling\t1\t1\nteh\t2\t1\nwrld\t2\t2\n");
  const Outcome listed = Check({"--format=words", "--pages", m_site.Path(), "sub/b.html"});
  EXPECT_EQ(listed.out, "wrld\t1\t1\n");
}

} // namespace
