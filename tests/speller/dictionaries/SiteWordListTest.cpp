#include "dictionaries/SiteWordList.h"
#include "dictionaries/SiteWordsFile.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

TEST(SiteWordsFile, CommentsAndBlankLinesHoldNoWords) {
  struct Case {
    std::string line;
    std::string word;
  };
  const std::vector<Case> cases = {
      {"pagelint", "pagelint"},
      {"  Qt6 \t", "Qt6"},
      {"# a comment", ""},
      {"   # indented", ""},
      {"colour  # British", "colour"},
      {"C#", "C#"},
      {"F#\t# a language", "F#"},
      {"", ""},
      {" \t ", ""},
      {"#", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CSiteWordsFile::WordOf(c.line), c.word) << c.line;
  }
}

TEST(SiteWordsFile, DamagedTextIsRefused) {
  struct Case {
    std::string bytes;
    std::string error; ///< empty: read
  };
  const std::vector<Case> cases = {
      {"a\nb\n", ""},
      {"\xEF\xBB\xBF"
       "caf\xC3\xA9\n",
       ""},
      {"", ""},
      {std::string("a\0b\n", 4), "binary file (NUL bytes)"},
      {"caf\xE9\n", "not UTF-8"},
      {"\xC3\x28\n", "not UTF-8"},
      {std::string(CSiteWordsFile::kMaxBytes + 1, 'a'), "larger than 16 MiB"},
  };
  for (const Case& c : cases) {
    CSiteWordsFile file;
    std::string error;
    EXPECT_EQ(file.Parse(c.bytes, error), c.error.empty()) << c.bytes.substr(0, 20);
    EXPECT_EQ(error, c.error);
  }
}

TEST(SiteWordsFile, SavingKeepsTheFileAsTheTeamWroteIt) {
  struct Case {
    std::string file;
    Words words;
    std::string saved;
  };
  const std::string file = "# Words of our site\n"
                           "Pagelint\n"
                           "\n"
                           "# British spellings\n"
                           "colour  # not color\n"
                           "centre\n";
  const std::vector<Case> cases = {
      // Unchanged words: the file byte for byte.
      {file, {"centre", "colour", "pagelint"}, file},
      // A removed word takes its line along; the comments stay in place.
      {file,
       {"centre", "pagelint"},
       "# Words of our site\nPagelint\n\n# British spellings\ncentre\n"},
      // New words go to the end, in the order given (the editor's: sorted).
      {file, {"centre", "colour", "gtk", "pagelint", "qt"}, file + "gtk\nqt\n"},
      {"", {"b", "a"}, "b\na\n"},
      {"a\r\nb\r\n", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
      {"\xEF\xBB\xBF"
       "a",
       {"a"},
       "\xEF\xBB\xBF"
       "a\n"},
      // A word listed twice keeps its first line.
      {"one\nOne\ntwo\n", {"one", "two"}, "one\ntwo\n"},
      {"# only a comment\n", {}, "# only a comment\n"},
  };
  for (const Case& c : cases) {
    CSiteWordsFile parsed;
    std::string error;
    ASSERT_TRUE(parsed.Parse(c.file, error)) << error;
    EXPECT_EQ(parsed.Merge(c.words), c.saved) << c.file;
  }
}

class SiteWordListTest : public testing::Test {
protected:
  std::string Path() const { return m_dir.Sub(".pagelint-words"); }
  ScopedTempDir m_dir;
};

TEST_F(SiteWordListTest, LoadsItsWordsAndSavesThemBackAtomically) {
  testkit::WriteBytes(Path(), "# ours\nPagelint\nwrld\n");
  CSiteWordList list(3, "Site Site Words", Path());
  ASSERT_TRUE(list.Load());
  EXPECT_TRUE(list.Contains("pagelint"));
  EXPECT_TRUE(list.Contains("Wrld"));
  EXPECT_FALSE(list.Contains("ours"));
  list.AddWord("Gtk");
  ASSERT_TRUE(list.Save());
  EXPECT_EQ(testkit::ReadBytes(Path()), "# ours\nPagelint\nwrld\ngtk\n");
  // A file edited outside (a "git pull") is read anew.
  testkit::WriteBytes(Path(), "other\n");
  ASSERT_TRUE(list.Load());
  EXPECT_TRUE(list.Contains("other"));
  EXPECT_FALSE(list.Contains("wrld"));
}

TEST_F(SiteWordListTest, ADamagedFileIsLoggedOnceAndNeverOverwritten) {
  const std::string damaged("word\n\xFF\xFE\0\0", 9);
  testkit::WriteBytes(Path(), damaged);
  const LogCapture log;
  CSiteWordList list(3, "Site Site Words", Path());
  // Loaded without words, so that look-ups through it stay settled.
  EXPECT_TRUE(list.Load());
  EXPECT_TRUE(list.Load());
  EXPECT_TRUE(list.IsLoaded());
  EXPECT_FALSE(list.Contains("word"));
  list.AddWord("other");
  EXPECT_FALSE(list.Save());
  EXPECT_EQ(testkit::ReadBytes(Path()), damaged);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Lines()[0].find("binary file (NUL bytes)"), std::string::npos) << log.Lines()[0];
}

TEST_F(SiteWordListTest, AMissingFileIsMadeByTheFirstSave) {
  CSiteWordList list(3, "Site Site Words", Path());
  EXPECT_TRUE(list.Load());
  EXPECT_TRUE(list.IsLoaded());
  list.AddWord("pagelint");
  ASSERT_TRUE(list.Save());
  EXPECT_EQ(testkit::ReadBytes(Path()), "pagelint\n");
}

} // namespace
