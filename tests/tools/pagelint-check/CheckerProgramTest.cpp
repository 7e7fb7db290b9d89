// Runs the built pagelint-check as a user would and checks exit codes and output.
#include "CheckTestKit.h"

#include "speller/dictionaries/HunspellSamples.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using checktest::ProcessResult;

class CheckerProgramTest : public testing::Test {
protected:
  void SetUp() override {
    checktest::WriteFile(m_work.Sub("site/index.html"),
                         "<html><body>\n<p>The cat sat on teh mat.</p>\n</body></html>\n");
    checktest::WriteFile(m_work.Sub("clean/index.html"), "<p>The cat sat on the mat.</p>\n");
  }

  ProcessResult Run(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{checktest::CheckerPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    return checktest::Run(argv, m_work.Path());
  }

  ScopedTempDir m_work;
};

TEST_F(CheckerProgramTest, ExitStatusAndOutput) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"clean"}, 0, "", ""},
      {{"site"}, 1, "index.html:2:19: teh\n", ""},
      {{"--jobs", "2", "site", "clean"}, 1, "site/index.html:2:19: teh\n", ""},
      {{"missing"}, 2, "", "pagelint-check: no such folder: missing\n"},
      {{"--format", "yaml", "site"},
       2,
       "",
       "pagelint-check: unknown format 'yaml' (text, json, sarif or words) (see --help)\n"},
      {{},
       2,
       "",
       "pagelint-check: nothing to check: give a folder, --project NAME, --list-projects or "
       "--list-dictionaries (see --help)\n"},
      {{"--project", "None"}, 2, "", "pagelint-check: unknown project: None\n"},
      {{"--list-projects"}, 0, "", ""},
      {{"--version"}, 0, "pagelint-check " PAGELINT_TEST_VERSION "\n", ""},
      {{"-j1", "site"}, 1, "index.html:2:19: teh\n", ""},
      // Arguments are echoed without what would disturb the terminal.
      {{"a\x1b[2J\nb"}, 2, "", "pagelint-check: no such folder: a?[2J?b\n"},
      {{"--format", "\xE2\x80\xAEx"},
       2,
       "",
       "pagelint-check: unknown format '?x' (text, json, sarif or words) (see --help)\n"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = Run(c.args);
    const std::string what = c.args.empty() ? "(no arguments)" : c.args.front();
    EXPECT_EQ(result.status, c.status) << what;
    EXPECT_EQ(result.out, c.out) << what;
    EXPECT_EQ(result.err, c.err) << what;
  }
}

TEST_F(CheckerProgramTest, HelpNamesEveryOption) {
  const ProcessResult result = Run({"--help"});
  EXPECT_EQ(result.status, 0);
  for (const char* option :
       {"--project", "--list-projects", "--list-dictionaries", "--dictionary", "--format",
        "--suggest", "--summary", "--skip-code", "--check-attributes", "--skip-repeats",
        "--ignore-uppercase", "--ignore-numbers", "--jobs", "--files-from", "--pages", "words",
        "Exit status"}) {
    EXPECT_NE(result.out.find(option), std::string::npos) << option;
  }
}

TEST_F(CheckerProgramTest, JsonAndSarifAreValid) {
  const ProcessResult json = Run({"--format", "json", "--summary", "site"});
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(checktest::Python(json.out, R"(
import json, sys
d = json.load(open(sys.argv[1]))
loc = d['words'][0]['locations'][0]
print(d['words'][0]['word'], loc['file'], loc['line'], loc['column'], loc['start'], loc['end'],
      d['summary']['files'], d['summary']['occurrences'], loc['context'])
)"),
            "teh index.html 2 19 18 21 1 1 The cat sat on teh mat.\n");

  const ProcessResult sarif = Run({"--format", "sarif", "site"});
  EXPECT_EQ(sarif.status, 1);
  const std::string root = fs::canonical(m_work.Sub("site")).string();
  EXPECT_EQ(checktest::Python(sarif.out, R"(
import json, sys
d = json.load(open(sys.argv[1]))
run = d['runs'][0]
r = run['results'][0]['locations'][0]['physicalLocation']
print(run['originalUriBaseIds']['SITEROOT']['uri'], r['artifactLocation']['uri'],
      r['region']['startColumn'], r['region']['endColumn'], r['contextRegion']['snippet']['text'])
)"),
            "file://" + root + "/ index.html 19 22 The cat sat on teh mat.\n");
}

TEST_F(CheckerProgramTest, OutputThatCannotBeWrittenIsAnError) {
  for (const char* flag : {"--help", "--version"}) {
    const ProcessResult result =
        checktest::Run({checktest::CheckerPath(), flag}, {m_work.Path(), "/dev/full", {}});
    EXPECT_EQ(result.status, 2) << flag;
    EXPECT_EQ(result.err, "pagelint-check: the output could not be written\n") << flag;
  }
}

// A wrong HOME is reported, not made: the folders below it would be created from nothing.
TEST_F(CheckerProgramTest, AHomeFolderThatDoesNotExistIsAnError) {
  const std::string home = m_work.Sub("gone/home");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"site"}, {"--list-projects"}, {"--project", "Site"}}) {
    std::vector<std::string> argv{checktest::CheckerPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProcessResult result =
        checktest::Run(argv, {m_work.Path(), "", {"HOME=" + home + "/", "XDG_CONFIG_HOME"}});
    EXPECT_EQ(result.status, 2) << args.front();
    EXPECT_EQ(result.out, "") << args.front();
    EXPECT_EQ(result.err, "pagelint-check: the home folder " + home + " does not exist\n")
        << args.front();
  }
  EXPECT_FALSE(fs::exists(m_work.Sub("gone")));
}

TEST_F(CheckerProgramTest, AProgramFolderWithoutTheMainDictionaryIsAnError) {
  // The copy runs from a folder that holds no ZEB.fdc; its libraries are those it was
  // built beside, which it looks for in its own folder.
  ScopedTempDir alone;
  const std::string copy = alone.Sub("pagelint-check");
  fs::copy_file(checktest::CheckerPath(), copy);
  fs::permissions(copy, fs::perms::owner_exec, fs::perm_options::add);
  const std::string libraries = fs::path(checktest::CheckerPath()).parent_path().string();
  const ProcessResult result =
      checktest::Run({copy, "site"}, {m_work.Path(), "", {"LD_LIBRARY_PATH=" + libraries}});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "pagelint-check: no main dictionary: " + fs::canonical(alone.Path()).string() +
                "/ZEB.fdc is missing or unreadable\n");
}

// The desktop's dictionaries are those of PAGELINT_HUNSPELL_PATH: the test's own.
TEST_F(CheckerProgramTest, ListsAndChoosesHunspellDictionaries) {
  hunspelltest::WriteSamples(m_work.Sub("hunspell"));
  checktest::WriteFile(m_work.Sub("british/index.html"), "<p>The colour of the centre.</p>\n");
  const std::vector<std::string> environment{"PAGELINT_HUNSPELL_PATH=" + m_work.Sub("hunspell")};
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"british"}, 1, "index.html:1:8: colour\nindex.html:1:22: centre\n", ""},
      {{"--dictionary", "en-gb", "--dictionary", "ZEB U.S. English", "british"}, 0, "", ""},
      {{"--dictionary", "xx_YY", "british"},
       2,
       "",
       "pagelint-check: unknown dictionary: xx_YY (see --list-dictionaries)\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv{checktest::CheckerPath()};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ProcessResult result = checktest::Run(argv, {m_work.Path(), "", environment});
    EXPECT_EQ(result.status, c.status) << c.args.front();
    EXPECT_EQ(result.out, c.out) << c.args.front();
    EXPECT_EQ(result.err, c.err) << c.args.front();
  }
  const ProcessResult list = checktest::Run({checktest::CheckerPath(), "--list-dictionaries"},
                                            {m_work.Path(), "", environment});
  EXPECT_EQ(list.status, 0);
  EXPECT_TRUE(list.out.starts_with("ZEB U.S. English\tbuilt-in\ten_US\n")) << list.out;
  EXPECT_TRUE(list.out.ends_with("English (United Kingdom) en_GB\thunspell\ten_GB\n"
                                 "German (Germany) de_DE\thunspell\tde_DE\n"))
      << list.out;
  EXPECT_EQ(list.err, "");
}

} // namespace
