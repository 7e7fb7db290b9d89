#include "ReplacerFixture.h"

#include "testkit/LogCapture.h"
#include "utilcore/FileError.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace replacetest {
namespace {

namespace fs = std::filesystem;

// One file, one word: what the file holds afterwards, byte for byte.
struct ContentCase {
  const char* name;
  std::string bytes;
  std::string word;
  std::string replacement;
  std::vector<Place> places;
  std::string expected;
  int replaced;
  int skipped;
};

const ContentCase kContentCases[] = {
    {"LaterPlaceOfALineIsShifted",
     "teh cat teh\n",
     "teh",
     "the end",
     {{0, 0, 3}, {0, 8, 11}},
     "the end cat the end\n",
     2,
     0},
    {"ShorterReplacement", "teh cat teh\n", "teh", "t", {{0, 0, 3}, {0, 8, 11}}, "t cat t\n", 2, 0},
    {"EmptyReplacement", "a teh b\n", "teh", "", {{0, 2, 5}}, "a  b\n", 1, 0},
    {"ShiftStartsAfreshOnEachLine",
     "teh\nand teh\n",
     "teh",
     "the end",
     {{0, 0, 3}, {1, 4, 7}},
     "the end\nand the end\n",
     2,
     0},
    {"ReplacementHoldingTheWord",
     "teh teh\n",
     "teh",
     "teh teh",
     {{0, 0, 3}, {0, 4, 7}},
     "teh teh teh teh\n",
     2,
     0},
    {"CrLfEndingsKept",
     "a teh\r\nteh b\r\nc\r\n",
     "teh",
     "the end",
     {{0, 2, 5}, {1, 0, 3}},
     "a the end\r\nthe end b\r\nc\r\n",
     2,
     0},
    {"CrEndingsKept", "teh\rx\r", "teh", "the", {{0, 0, 3}}, "the\rx\r", 1, 0},
    {"NoFinalNewlineKept", "x teh", "teh", "the end", {{0, 2, 5}}, "x the end", 1, 0},
    {"Utf8ByteOrderMarkKept",
     "\xEF\xBB\xBFteh caf\xC3\xA9\n",
     "teh",
     "the",
     {{0, 0, 3}},
     "\xEF\xBB\xBFthe caf\xC3\xA9\n",
     1,
     0},
    // Positions count the bytes of the UTF-8 text ("café" is 5 of them).
    {"Windows1252StaysWindows1252",
     "caf\xE9 teh\n\xE0 bient\xF4t\n",
     "teh",
     "th\xC3\xA9",
     {{0, 6, 9}},
     "caf\xE9 th\xE9\n\xE0 bient\xF4t\n",
     1,
     0},
    {"Utf16StaysUtf16",
     Utf16Le("teh x\r\ny\r\n"),
     "teh",
     "the end",
     {{0, 0, 3}},
     Utf16Le("the end x\r\ny\r\n"),
     1,
     0},
    // A location spans the written form; the shift follows its length, not the word's.
    {"ReferenceInsideTheWord",
     "a na&iuml;ve b na&iuml;ve\n",
     "na\xC3\xAFve",
     "naive",
     {{0, 2, 12}, {0, 15, 25}},
     "a naive b naive\n",
     2,
     0},
    {"ApostropheReference",
     "I don&rsquo;t know\n",
     "don\xE2\x80\x99t",
     "do not",
     {{0, 2, 13}},
     "I do not know\n",
     1,
     0},
    {"WordInsideMarkup",
     "<p><b>teh</b> cat</p>\n",
     "teh",
     "the",
     {{0, 6, 9}},
     "<p><b>the</b> cat</p>\n",
     1,
     0},
    {"EditedPlaceIsSkippedOthersReplaced",
     "the cat teh\n",
     "teh",
     "the end",
     {{0, 0, 3}, {0, 8, 11}},
     "the cat the end\n",
     1,
     1},
    {"WordNowPartOfALongerWord", "tehx cat\n", "teh", "the", {{0, 0, 3}}, "tehx cat\n", 0, 1},
    {"WordMovedAlongTheLine", "a teh\n", "teh", "the", {{0, 0, 3}}, "a teh\n", 0, 1},
    {"LinePastTheEndOfTheFile", "teh\n", "teh", "the", {{3, 0, 3}}, "teh\n", 0, 1},
    {"RangePastTheEndOfTheLine", "teh\n", "teh", "the", {{0, 2, 5}}, "teh\n", 0, 1},
    {"RangeOfAnotherLength", "teh\n", "teh", "the", {{0, 0, 4}}, "teh\n", 0, 1},
    {"NegativePositions", "teh\n", "teh", "the", {{-1, 0, 3}, {0, -3, 0}}, "teh\n", 0, 2},
    {"PlaceRecordedTwice",
     "teh cat\n",
     "teh",
     "the end",
     {{0, 0, 3}, {0, 0, 3}},
     "the end cat\n",
     1,
     1},
    {"WordInsideAnAddressIsSkipped",
     "www.teh.com teh\n",
     "teh",
     "the",
     {{0, 4, 7}, {0, 12, 15}},
     "www.teh.com the\n",
     1,
     1},
    {"EmptyFile", "", "teh", "the", {{0, 0, 3}}, "", 0, 1},
    // Edited since the check: the recorded place now lies in markup a browser hides.
    {"PlaceNowInsideATag",
     "<a title=\"teh\">x</a>\n",
     "teh",
     "the",
     {{0, 10, 13}},
     "<a title=\"teh\">x</a>\n",
     0,
     1},
    {"PlaceNowInsideACommentOpenedALineAbove",
     "<!-- old\nteh -->\nteh\n",
     "teh",
     "the",
     {{1, 0, 3}, {2, 0, 3}},
     "<!-- old\nteh -->\nthe\n",
     1,
     1},
    {"PlaceNowInsideAScript",
     "<script>\nvar teh;\n</script>\n",
     "teh",
     "the",
     {{1, 4, 7}},
     "<script>\nvar teh;\n</script>\n",
     0,
     1},
    // A word split by inline markup: only its letters change, each tag stays after as
    // many letters as before, or after the last when the new word is shorter.
    {"TagsInsideAWordStayAtTheirLetters",
     "<b>recie</b>ve\n",
     "recieve",
     "receive",
     {{0, 3, 14}},
     "<b>recei</b>ve\n",
     1,
     0},
    {"TagsInsideALongerWord",
     "un<em>beleiv</em>able\n",
     "unbeleivable",
     "unbelievable",
     {{0, 0, 21}},
     "un<em>believ</em>able\n",
     1,
     0},
    {"TagsBeyondAShorterWordGoAfterIt",
     "ab<b>cd</b> x\n",
     "abcd",
     "x",
     {{0, 0, 7}},
     "x<b></b> x\n",
     1,
     0},
    {"CommentInsideAWord",
     "qz<!-- c -->q and a\xC3\xA9<i>t</i>\n",
     "qzq",
     "\xC3\xA9t\xC3\xA9",
     {{0, 0, 13}},
     "\xC3\xA9t<!-- c -->\xC3\xA9 and a\xC3\xA9<i>t</i>\n",
     1,
     0},
    {"ReferenceInsideAJoinedWordGivesWay",
     "caf&eacute;<i>s</i>x\n",
     "caf\xC3\xA9sx",
     "cafes",
     {{0, 0, 20}},
     "cafe<i>s</i>\n",
     1,
     0},
};

class ReplaceContent : public ReplacerTest, public testing::WithParamInterface<ContentCase> {};

TEST_P(ReplaceContent, ChangesOnlyTheWordsBytes) {
  const ContentCase& c = GetParam();
  const std::string path = Write("page.htm", c.bytes);
  CBadWord* word = Word(c.word, c.replacement);
  Locate(word, "page.htm", c.places);

  SReplaceResult result = Replace(word);

  EXPECT_EQ(testkit::ReadBytes(path), c.expected);
  // A file without a match is named, as the word moved since the check.
  EXPECT_EQ(result.unchangedFiles.size(), c.replaced > 0 ? 0U : 1U);
  result.unchangedFiles.clear();
  SReplaceResult expected;
  expected.filesChanged = c.replaced > 0 ? 1 : 0;
  expected.filesWithoutMatch = c.replaced > 0 ? 0 : 1;
  expected.locationsReplaced = c.replaced;
  expected.locationsSkipped = c.skipped;
  EXPECT_EQ(result, expected);
  if (c.replaced > 0) {
    ASSERT_EQ(m_backups, std::vector<std::string>{BackupFolder() + "page.htmb1"});
    EXPECT_EQ(testkit::ReadBytes(m_backups[0]), c.bytes);
  } else {
    EXPECT_TRUE(m_backups.empty());
    EXPECT_FALSE(fs::exists(BackupFolder())) << "a file left alone needs no backup";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceContent, testing::ValuesIn(kContentCases), CaseName());

TEST_F(ReplacerTest, NamesDifferingInCaseAreWrittenOnceEach) {
  const std::string upper = Write("A.htm", "teh teh\nteh\n");
  const std::string lower = Write("a.htm", "x teh\nteh\n");
  CBadWord* word = Word("teh", "the");
  // Recorded file by file in turns, as a check of both would; sorting without case
  // leaves the two files' locations interleaved.
  Locate(word, "A.htm", {{0, 0, 3}});
  Locate(word, "a.htm", {{0, 2, 5}});
  Locate(word, "A.htm", {{1, 0, 3}, {0, 4, 7}});
  Locate(word, "a.htm", {{1, 0, 3}});

  const SReplaceResult result = Replace(word);

  EXPECT_EQ(testkit::ReadBytes(upper), "the the\nthe\n");
  EXPECT_EQ(testkit::ReadBytes(lower), "x the\nthe\n");
  EXPECT_EQ(result.filesChanged, 2);
  EXPECT_EQ(result.locationsReplaced, 5);
  EXPECT_EQ(m_backups,
            (std::vector<std::string>{BackupFolder() + "A.htmb1", BackupFolder() + "a.htmb1"}));
  EXPECT_FALSE(fs::exists(BackupFolder() + "A.htmb2"));
  EXPECT_FALSE(fs::exists(BackupFolder() + "a.htmb2"));
}

TEST_F(ReplacerTest, OnlyTheChosenFilesAreBackedUpAndWritten) {
  CBadWord* word = Word("teh", "the");
  const std::vector<std::string> names = {"1.htm", "2.htm", "sub/3.htm", "4.htm", "5.htm"};
  for (const std::string& name : names) {
    Write(name, "teh\n");
    Locate(word, name, {{0, 0, 3}});
  }

  const SReplaceResult result = Replace(word, {Root() + "sub/3.htm", Root() + "5.htm"});

  EXPECT_EQ(result.filesChanged, 2);
  EXPECT_EQ(result.filesLeftUnchanged + result.filesWithoutMatch, 0) << "others count nowhere";
  for (const std::string& name : names) {
    const bool chosen = name == "sub/3.htm" || name == "5.htm";
    EXPECT_EQ(testkit::ReadBytes(Root() + name), chosen ? "the\n" : "teh\n") << name;
    EXPECT_EQ(fs::exists(BackupFolder() + name + "b1"), chosen) << name;
  }
  // In the list's order: the root's files before those of its sub-folders.
  EXPECT_EQ(m_backups,
            (std::vector<std::string>{BackupFolder() + "5.htmb1", BackupFolder() + "sub/3.htmb1"}));
}

TEST_F(ReplacerTest, ChosenPathsAreComparedExactly) {
  CBadWord* word = Word("teh", "the");
  Write("Page.htm", "teh\n");
  Locate(word, "Page.htm", {{0, 0, 3}});

  const SReplaceResult result = Replace(word, {Root() + "page.htm", Root() + "Page.htm/"});

  EXPECT_EQ(result, SReplaceResult{});
  EXPECT_EQ(testkit::ReadBytes(Root() + "Page.htm"), "teh\n");
}

TEST_F(ReplacerTest, BackupsOfFilesInSubFoldersGetTheirFolders) {
  CBadWord* word = Word("teh", "the");
  Write("news/deep/index.htm", "teh\n");
  Locate(word, "news/deep/index.htm", {{0, 0, 3}});

  EXPECT_EQ(Replace(word).filesChanged, 1);

  ASSERT_EQ(m_backups, std::vector<std::string>{BackupFolder() + "news/deep/index.htmb1"});
  EXPECT_EQ(testkit::ReadBytes(m_backups[0]), "teh\n");
}

TEST_F(ReplacerTest, BackupRootIsCreatedPrivate) {
  CBadWord* word = Word("teh", "the");
  Write("page.htm", "teh\n");
  Locate(word, "page.htm", {{0, 0, 3}});
  ASSERT_FALSE(fs::exists(BackupRoot()));

  EXPECT_EQ(Replace(word).filesChanged, 1);

  struct stat st {};
  ASSERT_EQ(::lstat(BackupRoot().c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0700U);
}

TEST_F(ReplacerTest, WrittenFileKeepsItsPermissions) {
  CBadWord* word = Word("teh", "the");
  const std::string path = Write("page.htm", "teh\n");
  ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
  Locate(word, "page.htm", {{0, 0, 3}});

  EXPECT_EQ(Replace(word).filesChanged, 1);

  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604U);
  EXPECT_EQ(testkit::ReadBytes(path), "the\n");
}

TEST_F(ReplacerTest, SecondReplacementInAFileTakesTheNextBackupNumber) {
  const std::string path = Write("page.htm", "teh qzx\n");
  CBadWord* first = Word("teh", "the");
  Locate(first, "page.htm", {{0, 0, 3}});
  CBadWord* second = Word("qzx", "fox");
  Locate(second, "page.htm", {{0, 4, 7}});

  Replace(first);
  Replace(second);

  EXPECT_EQ(testkit::ReadBytes(path), "the fox\n");
  ASSERT_EQ(m_backups, (std::vector<std::string>{BackupFolder() + "page.htmb1",
                                                 BackupFolder() + "page.htmb2"}));
  EXPECT_EQ(testkit::ReadBytes(m_backups[0]), "teh qzx\n");
  EXPECT_EQ(testkit::ReadBytes(m_backups[1]), "the qzx\n");
}

TEST_F(ReplacerTest, FilesThatCannotBeWrittenAreLeftAlone) {
  CBadWord* word = Word("teh", "the");
  const std::string readOnly = Write("readonly.htm", "teh\n");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  Locate(word, "readonly.htm", {{0, 0, 3}});
  Locate(word, "vanished.htm", {{0, 0, 3}});
  fs::create_directories(Root() + "folder.htm");
  Locate(word, "folder.htm", {{0, 0, 3}});
  // Windows-1252 has no "ŝ"; the file is not rewritten in another encoding.
  const std::string legacy = Write("legacy.htm", "caf\xE9 teh\n");
  Locate(word, "legacy.htm", {{0, 6, 9}});
  // Checked as text, binary since: never written.
  const std::string binary = Write("binary.htm", std::string("teh\n\0", 5));
  Locate(word, "binary.htm", {{0, 0, 3}});
  const std::string good = Write("good.htm", "teh\n");
  Locate(word, "good.htm", {{0, 0, 3}});
  word->SetReplacement("\xC5\x9D");

  const SReplaceResult result = Replace(word);

  EXPECT_EQ(result.filesChanged, 1);
  EXPECT_EQ(result.filesLeftUnchanged, 5);
  EXPECT_EQ(testkit::ReadBytes(readOnly), "teh\n");
  EXPECT_EQ(testkit::ReadBytes(legacy), "caf\xE9 teh\n");
  EXPECT_EQ(testkit::ReadBytes(binary), std::string("teh\n\0", 5));
  EXPECT_EQ(testkit::ReadBytes(good), "\xC5\x9D\n");
  EXPECT_FALSE(fs::exists(Root() + "vanished.htm"));
  EXPECT_EQ(m_backups, std::vector<std::string>{BackupFolder() + "good.htmb1"});
  for (const char* name : {"readonly.htmb1", "legacy.htmb1", "vanished.htmb1", "binary.htmb1"}) {
    EXPECT_FALSE(fs::exists(BackupFolder() + name)) << name;
  }
}

// Found by fuzzing: the page's only non-UTF-8 bytes were the word itself, so the
// rewritten page would read back as UTF-8 and its "\xE2\x80\x94" (three Windows-1252
// characters) as one dash. It is left as it was, without a backup.
TEST_F(ReplacerTest, PageThatWouldReadBackInAnotherEncodingIsLeftAlone) {
  const std::string bytes = "<p>\xFF\xFF\xFF x\xE2\x80\x94y</p>\n";
  const std::string path = Write("page.htm", bytes);
  CBadWord* word = Word("\xC3\xBF\xC3\xBF\xC3\xBF", "X");
  Locate(word, "page.htm", {{0, 3, 9}});

  const SReplaceResult result = Replace(word);

  EXPECT_EQ(result.filesLeftUnchanged, 1);
  EXPECT_EQ(result.locationsReplaced, 0);
  EXPECT_EQ(testkit::ReadBytes(path), bytes);
  EXPECT_TRUE(m_backups.empty());
}

TEST_F(ReplacerTest, FailedWriteKeepsTheFileAndDropsItsBackup) {
  CBadWord* word = Word("teh", "the longest replacement of all");
  const std::string path = Write("page.htm", "teh\n");
  Locate(word, "page.htm", {{0, 0, 3}});
  // The backup (4 bytes) fits below the limit, the rewritten file does not.
  CFileWriteFaults::Inject(CFileWriteFaults::EStage::Write, 10);

  const SReplaceResult result = Replace(word);

  EXPECT_EQ(result.filesLeftUnchanged, 1);
  EXPECT_EQ(result.filesChanged, 0);
  EXPECT_EQ(result.locationsReplaced, 0);
  EXPECT_EQ(testkit::ReadBytes(path), "teh\n");
  EXPECT_TRUE(m_backups.empty());
  EXPECT_FALSE(fs::exists(BackupFolder() + "page.htmb1"));
}

// How a backup can be refused; each must leave the file unwritten.
enum class Refusal { RootIsALink, ProjectFolderIsALink, RootOfAnotherUser, CopyFails };

class BackupRefused : public ReplacerTest, public testing::WithParamInterface<Refusal> {
protected:
  static std::string NoSlash(std::string folder) {
    folder.pop_back();
    return folder;
  }

  // Sets the refusal up; returns the error text the log line ends with, or "" when
  // only its start is known.
  std::string Arrange(Refusal refusal) {
    const std::string elsewhere = m_home.Root() + "/elsewhere/";
    fs::create_directories(elsewhere);
    switch (refusal) {
    case Refusal::RootIsALink:
      fs::create_directory_symlink(elsewhere, NoSlash(BackupRoot()));
      return CFileError::Describe("use the backup folder", BackupRoot(), "it is a symbolic link");
    case Refusal::ProjectFolderIsALink:
      fs::create_directories(BackupRoot());
      ::chmod(BackupRoot().c_str(), 0700);
      fs::create_directory_symlink(elsewhere, NoSlash(BackupFolder()));
      return CFileError::Describe("use the backup folder", NoSlash(BackupFolder()),
                                  "it is a symbolic link");
    case Refusal::RootOfAnotherUser:
      fs::create_directories(BackupRoot());
      EXPECT_EQ(::chown(BackupRoot().c_str(), 1, 1), 0);
      return CFileError::Describe("use the backup folder", BackupRoot(),
                                  "it belongs to another user");
    case Refusal::CopyFails:
      CFileWriteFaults::Inject(CFileWriteFaults::EStage::Open);
      return "";
    }
    return "";
  }
};

TEST_P(BackupRefused, FileIsNotWritten) {
  if (GetParam() == Refusal::RootOfAnotherUser && ::geteuid() != 0) {
    GTEST_SKIP() << "only root can give a folder to another account";
  }
  CBadWord* word = Word("teh", "the");
  const std::string path = Write("page.htm", "teh\n");
  Locate(word, "page.htm", {{0, 0, 3}});
  const std::string error = Arrange(GetParam());
  LogCapture log;

  const SReplaceResult result = Replace(word);

  EXPECT_EQ(result.filesLeftUnchanged, 1);
  EXPECT_EQ(result.filesChanged, 0);
  EXPECT_EQ(testkit::ReadBytes(path), "teh\n");
  EXPECT_TRUE(m_backups.empty());
  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 1U);
  const std::string start = std::string(kBackupFailedId) + " - " + path + " - ";
  if (error.empty()) {
    EXPECT_EQ(lines[0].rfind(start, 0), 0U) << lines[0];
  } else {
    EXPECT_EQ(lines[0], start + error);
  }
  EXPECT_TRUE(fs::is_empty(m_home.Root() + "/elsewhere")) << "nothing went through a link";
}

INSTANTIATE_TEST_SUITE_P(Cases, BackupRefused,
                         testing::Values(Refusal::RootIsALink, Refusal::ProjectFolderIsALink,
                                         Refusal::RootOfAnotherUser, Refusal::CopyFails));

} // namespace
} // namespace replacetest
