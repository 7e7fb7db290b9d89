#include "pagelint-check/CheckOptions.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using Format = CCheckOptions::Format;

struct ValidCase {
  std::vector<std::string> args;
  std::vector<std::string> roots;
  std::string project;
  bool list;
  Format format;
  bool suggest;
  bool summary;
  int jobs;
  bool skipCode = false;
  bool listDictionaries = false;
  std::vector<std::string> dictionaries = {};
};

/// Test names show the arguments.
void PrintArgs(const std::vector<std::string>& args, std::ostream* os) {
  *os << "args:";
  for (const std::string& arg : args) {
    *os << ' ' << arg;
  }
}
void PrintTo(const ValidCase& c, std::ostream* os) {
  PrintArgs(c.args, os);
}

class CheckOptionsValid : public testing::TestWithParam<ValidCase> {};

TEST_P(CheckOptionsValid, ReadsTheRequest) {
  const ValidCase& c = GetParam();
  CCheckOptions options;
  std::string error;
  ASSERT_TRUE(options.Parse(c.args, error)) << error;
  EXPECT_EQ(options.roots, c.roots);
  EXPECT_EQ(options.projectName, c.project);
  EXPECT_EQ(options.listProjects, c.list);
  EXPECT_EQ(options.format, c.format);
  EXPECT_EQ(options.suggest, c.suggest);
  EXPECT_EQ(options.summary, c.summary);
  EXPECT_EQ(options.jobs, c.jobs);
  EXPECT_EQ(options.skipCode, c.skipCode);
  EXPECT_EQ(options.listDictionaries, c.listDictionaries);
  EXPECT_EQ(options.dictionaries, c.dictionaries);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckOptionsValid,
    testing::Values(
        ValidCase{{"site"}, {"site"}, "", false, Format::Text, false, false, 0},
        ValidCase{{"a", "b/"}, {"a", "b/"}, "", false, Format::Text, false, false, 0},
        ValidCase{
            {"--format", "json", "--suggest", "s"}, {"s"}, "", false, Format::Json, true, false, 0},
        ValidCase{
            {"--format=sarif", "--summary", "s"}, {"s"}, "", false, Format::Sarif, false, true, 0},
        ValidCase{{"--format", "json", "--format", "text", "s"},
                  {"s"},
                  "",
                  false,
                  Format::Text,
                  false,
                  false,
                  0},
        ValidCase{{"-j", "3", "s"}, {"s"}, "", false, Format::Text, false, false, 3},
        ValidCase{{"--jobs=256", "s"}, {"s"}, "", false, Format::Text, false, false, 256},
        ValidCase{{"-j1", "s"}, {"s"}, "", false, Format::Text, false, false, 1},
        ValidCase{{"s", "-j16"}, {"s"}, "", false, Format::Text, false, false, 16},
        ValidCase{{"--project", "My Site"}, {}, "My Site", false, Format::Text, false, false, 0},
        ValidCase{{"--project=x=y"}, {}, "x=y", false, Format::Text, false, false, 0},
        ValidCase{{"--list-projects"}, {}, "", true, Format::Text, false, false, 0},
        ValidCase{{"s", "--skip-code"}, {"s"}, "", false, Format::Text, false, false, 0, true},
        ValidCase{
            {"--skip-code", "--project", "p"}, {}, "p", false, Format::Text, false, false, 0, true},
        // After "--" a folder may begin with a dash.
        ValidCase{{"--", "--summary", "-j"},
                  {"--summary", "-j"},
                  "",
                  false,
                  Format::Text,
                  false,
                  false,
                  0},
        ValidCase{{"-"}, {"-"}, "", false, Format::Text, false, false, 0},
        ValidCase{
            {"--list-dictionaries"}, {}, "", false, Format::Text, false, false, 0, false, true},
        // Repeated, in the order given, whatever the form.
        ValidCase{{"--dictionary", "en_GB", "s", "--dictionary=German (Germany) de_DE"},
                  {"s"},
                  "",
                  false,
                  Format::Text,
                  false,
                  false,
                  0,
                  false,
                  false,
                  {"en_GB", "German (Germany) de_DE"}}));

struct InvalidCase {
  std::vector<std::string> args;
  std::string error;
};

void PrintTo(const InvalidCase& c, std::ostream* os) {
  PrintArgs(c.args, os);
}

class CheckOptionsInvalid : public testing::TestWithParam<InvalidCase> {};

const std::string kNothing =
    "nothing to check: give a folder, --project NAME, --list-projects or --list-dictionaries";
const std::string kSeveral =
    "give either folders, --project NAME, --list-projects or --list-dictionaries, not several";
const std::string kOneRoot =
    "options --files-from and --pages go with one folder or --project NAME";
const std::string kWordsAlone = "options --suggest and --summary do not go with --format words "
                                "(its lines have three fields)";
const std::string kForFolders =
    "option --dictionary goes with folders to check (a saved project uses its own dictionaries)";

TEST_P(CheckOptionsInvalid, RefusesWithAMessage) {
  CCheckOptions options;
  std::string error;
  EXPECT_FALSE(options.Parse(GetParam().args, error));
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckOptionsInvalid,
    testing::Values(
        InvalidCase{{}, kNothing}, InvalidCase{{"--summary"}, kNothing},
        InvalidCase{{"--dictionary", "en_GB"}, kNothing},
        InvalidCase{{"s", "--project", "p"}, kSeveral},
        InvalidCase{{"--list-projects", "--project", "p"}, kSeveral},
        InvalidCase{{"--list-dictionaries", "s"}, kSeveral},
        InvalidCase{{"--list-dictionaries", "--list-projects"}, kSeveral},
        InvalidCase{{"--project", "p", "--dictionary", "en_GB"}, kForFolders},
        InvalidCase{{"--list-dictionaries", "--dictionary", "en_GB"}, kForFolders},
        InvalidCase{{"s", "--dictionary"}, "option --dictionary needs a value"},
        InvalidCase{{"s", "--dictionary="}, "option --dictionary needs a dictionary name"},
        InvalidCase{{"s", "--list-dictionaries=1"}, "option --list-dictionaries takes no value"},
        InvalidCase{{"--format", "xml", "s"}, "unknown format 'xml' (text, json, sarif or words)"},
        InvalidCase{{"s", "--format"}, "option --format needs a value"},
        InvalidCase{{"--jobs", "0", "s"}, "option --jobs needs a number from 1 to 256"},
        InvalidCase{{"--jobs", "257", "s"}, "option --jobs needs a number from 1 to 256"},
        InvalidCase{{"--jobs", "2x", "s"}, "option --jobs needs a number from 1 to 256"},
        InvalidCase{{"-j", "-1", "s"}, "option -j needs a number from 1 to 256"},
        InvalidCase{{"--jobs=", "s"}, "option --jobs needs a number from 1 to 256"},
        InvalidCase{{"-j0", "s"}, "option -j needs a number from 1 to 256"},
        InvalidCase{{"-j=2", "s"}, "option -j needs a number from 1 to 256"},
        InvalidCase{{"--project="}, "option --project needs a project name"},
        InvalidCase{{"--summary=yes", "s"}, "option --summary takes no value"},
        InvalidCase{{"--skip-code=1", "s"}, "option --skip-code takes no value"},
        InvalidCase{{"--check-attributes=", "s"}, "option --check-attributes takes no value"},
        InvalidCase{{"--check-attribute", "s"}, "unknown option --check-attribute"},
        InvalidCase{{"s", "--ignore-uppercase=yes"}, "option --ignore-uppercase takes no value"},
        InvalidCase{{"--ignore-numbers=", "s"}, "option --ignore-numbers takes no value"},
        InvalidCase{{"--ignore-upper", "s"}, "unknown option --ignore-upper"},
        InvalidCase{{"--colour", "s"}, "unknown option --colour"},
        InvalidCase{{"-x", "s"}, "unknown option -x"},
        InvalidCase{{"--files-from", "l", "a", "b"}, kOneRoot},
        InvalidCase{{"--pages", "--list-projects"}, kOneRoot},
        InvalidCase{{"--files-from=-", "--list-dictionaries"}, kOneRoot},
        InvalidCase{{"s", "--files-from"}, "option --files-from needs a value"},
        InvalidCase{{"s", "--files-from="},
                    "option --files-from needs a file name (- for standard input)"},
        InvalidCase{{"--pages=1", "s"}, "option --pages takes no value"},
        InvalidCase{{"--pages"}, kNothing},
        InvalidCase{{"--format", "words", "--suggest", "s"}, kWordsAlone},
        InvalidCase{{"--summary", "--format=words", "s"}, kWordsAlone}));

/// What --pages and --files-from make of the arguments.
struct PagesCase {
  std::vector<std::string> args;
  std::vector<std::string> roots;
  std::string project;
  std::vector<std::string> pages;
  std::string filesFrom = {};
};

void PrintTo(const PagesCase& c, std::ostream* os) {
  PrintArgs(c.args, os);
}

class CheckOptionsPages : public testing::TestWithParam<PagesCase> {};

TEST_P(CheckOptionsPages, SplitsTheRootFromThePages) {
  const PagesCase& c = GetParam();
  CCheckOptions options;
  std::string error;
  ASSERT_TRUE(options.Parse(c.args, error)) << error;
  EXPECT_EQ(options.roots, c.roots);
  EXPECT_EQ(options.projectName, c.project);
  EXPECT_EQ(options.pages, c.pages);
  EXPECT_EQ(options.filesFrom, c.filesFrom);
  EXPECT_TRUE(options.SelectsPages());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckOptionsPages,
    testing::Values(
        PagesCase{
            {"--pages", "site", "site/a.html", "b.htm"}, {"site"}, "", {"site/a.html", "b.htm"}},
        // pre-commit appends the file names after the hook's own arguments.
        PagesCase{{"--pages", "--format", "sarif", "site", "a.html"}, {"site"}, "", {"a.html"}},
        PagesCase{{"--pages", "site"}, {"site"}, "", {}},
        PagesCase{{"--pages", "--project", "P", "a.html", "b.html"}, {}, "P", {"a.html", "b.html"}},
        PagesCase{{"--pages", "--", "site", "-a.html"}, {"site"}, "", {"-a.html"}},
        PagesCase{{"--files-from", "-", "site"}, {"site"}, "", {}, "-"},
        PagesCase{{"--files-from=list.txt", "--project", "P"}, {}, "P", {}, "list.txt"}));

TEST(CheckOptions, TheWordsFormatIsAFormatOfItsOwn) {
  CCheckOptions options;
  std::string error;
  ASSERT_TRUE(options.Parse({"--format=words", "s"}, error)) << error;
  EXPECT_EQ(options.format, Format::Words);
  EXPECT_FALSE(options.SelectsPages());
}

TEST(CheckOptions, HelpAndVersionNeedNothingToCheck) {
  for (const char* flag : {"--help", "-h", "--version"}) {
    CCheckOptions options;
    std::string error;
    EXPECT_TRUE(options.Parse({flag}, error)) << flag;
  }
}

TEST(CheckOptions, EffectiveJobsIsAtLeastOne) {
  CCheckOptions options;
  EXPECT_GE(options.EffectiveJobs(), 1);
  options.jobs = 5;
  EXPECT_EQ(options.EffectiveJobs(), 5);
}

} // namespace
