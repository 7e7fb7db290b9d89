#include "ReplacerFixture.h"

#include "testkit/LogCapture.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace replacetest {
namespace {

namespace fs = std::filesystem;

using BackupFile = ReplacerTest;

TEST_F(BackupFile, TakesTheLowestFreeNumber) {
  const std::string path = Write("news/index.htm", "v1");
  const std::string base = BackupFolder() + "news/index.htm";

  ASSERT_TRUE(CReplacer::BackupFile(path, BackupFolder(), Root().size(), m_backups));
  testkit::WriteBytes(path, "v2");
  ASSERT_TRUE(CReplacer::BackupFile(path, BackupFolder(), Root().size(), m_backups));
  EXPECT_EQ(m_backups, (std::vector<std::string>{base + "b1", base + "b2"}));
  EXPECT_EQ(testkit::ReadBytes(base + "b1"), "v1");
  EXPECT_EQ(testkit::ReadBytes(base + "b2"), "v2");

  fs::remove(base + "b1");
  testkit::WriteBytes(path, "v3");
  ASSERT_TRUE(CReplacer::BackupFile(path, BackupFolder(), Root().size(), m_backups));
  EXPECT_EQ(m_backups.back(), base + "b1") << "a freed number is used again";
  EXPECT_EQ(testkit::ReadBytes(base + "b1"), "v3");
  EXPECT_EQ(testkit::ReadBytes(base + "b2"), "v2");
}

TEST_F(BackupFile, NeverWritesThroughALinkPlantedAtItsName) {
  const std::string path = Write("page.htm", "mine");
  const std::string target = m_home.Root() + "/elsewhere";
  fs::create_directories(BackupFolder());
  fs::create_symlink(target, BackupFolder() + "page.htmb1"); // dangling

  ASSERT_TRUE(CReplacer::BackupFile(path, BackupFolder(), Root().size(), m_backups));

  EXPECT_EQ(m_backups, std::vector<std::string>{BackupFolder() + "page.htmb2"});
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(BackupFile, KeepsTheFilesPermissions) {
  const std::string path = Write("page.htm", "x");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

  ASSERT_TRUE(CReplacer::BackupFile(path, BackupFolder(), Root().size(), m_backups));

  struct stat st {};
  ASSERT_EQ(::stat(m_backups[0].c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640U);
}

// Paths that do not lie below the project root give no backup and a log line.
struct OutsideCase {
  const char* name;
  std::string relative; ///< the file's path after the root ("" is the root itself)
  std::size_t extraRootLength;
};

class BackupFileOutside : public ReplacerTest, public testing::WithParamInterface<OutsideCase> {};

TEST_P(BackupFileOutside, IsRefusedAndLogged) {
  const OutsideCase& c = GetParam();
  Write("page.htm", "x");
  const std::string path = Root() + c.relative;
  LogCapture log;

  EXPECT_FALSE(
      CReplacer::BackupFile(path, BackupFolder(), Root().size() + c.extraRootLength, m_backups));

  EXPECT_TRUE(m_backups.empty());
  EXPECT_TRUE(log.Contains(std::string(kBackupFailedId) + " - " + path + " - ")) << c.name;
  EXPECT_FALSE(fs::exists(m_home.RuntimeDir() + "/page.htmb1"));
}

INSTANTIATE_TEST_SUITE_P(Cases, BackupFileOutside,
                         testing::Values(OutsideCase{"RootItself", "", 0},
                                         OutsideCase{"RootLengthTooLong", "page.htm", 100},
                                         OutsideCase{"ClimbsOut", "../../../page.htm", 0},
                                         OutsideCase{"DotPart", "./page.htm", 0},
                                         OutsideCase{"DoubleSlash", "/page.htm", 0}),
                         CaseName());

// IsPathSafe on a tree laid out by each case.
struct SafetyCase {
  const char* name;
  const char* path; ///< below the root
  bool safe;
};

class PathSafety : public ReplacerTest, public testing::WithParamInterface<SafetyCase> {
protected:
  void SetUp() override {
    ReplacerTest::SetUp();
    std::string error;
    ASSERT_TRUE(CBackupFolders::PrepareRoot(BackupRoot(), error)) << error;
    const std::string elsewhere = m_home.Root() + "/elsewhere/";
    fs::create_directories(elsewhere + "inner");
    testkit::WriteBytes(elsewhere + "file", "x");
    fs::create_directories(BackupRoot() + "site/sub");
    testkit::WriteBytes(BackupRoot() + "site/sub/page.htmb1", "x");
    fs::create_directory_symlink(elsewhere, BackupRoot() + "linked");
    fs::create_symlink(elsewhere + "file", BackupRoot() + "site/page.htmb1");
    ::mkfifo((BackupRoot() + "site/fifo").c_str(), 0600);
  }
};

TEST_P(PathSafety, AcceptsOnlyOwnFoldersAndFiles) {
  const SafetyCase& c = GetParam();
  std::string error;
  EXPECT_EQ(CBackupFolders::IsPathSafe(BackupRoot(), BackupRoot() + c.path, error), c.safe)
      << c.path;
  if (!c.safe) {
    EXPECT_FALSE(error.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathSafety,
    testing::Values(SafetyCase{"ExistingFile", "site/sub/page.htmb1", true},
                    SafetyCase{"ExistingFolder", "site/sub/", true},
                    SafetyCase{"MissingFile", "site/sub/other.htmb1", true},
                    SafetyCase{"MissingFolders", "new/deeper/page.htmb1", true},
                    SafetyCase{"RootItself", "", true},
                    SafetyCase{"FolderLink", "linked/inner/page.htmb1", false},
                    SafetyCase{"FileLink", "site/page.htmb1", false},
                    SafetyCase{"FileUsedAsFolder", "site/sub/page.htmb1/x", false},
                    SafetyCase{"NotARegularFile", "site/fifo", false},
                    SafetyCase{"ClimbsOut", "site/../../elsewhere/file", false},
                    SafetyCase{"DotPart", "site/./sub/", false}),
    CaseName());

TEST_F(ReplacerTest, PathSafetyRefusesAPathOutsideTheRoot) {
  std::string error;
  EXPECT_FALSE(CBackupFolders::IsPathSafe(BackupRoot(), m_home.Root() + "/x", error));
  EXPECT_FALSE(CBackupFolders::IsPathSafe("", "/x", error));
  const std::string root = BackupRoot().substr(0, BackupRoot().size() - 1);
  EXPECT_FALSE(CBackupFolders::IsPathSafe(root, root + "less/x", error)) << "a sibling";
  EXPECT_TRUE(CBackupFolders::IsPathSafe(root, root + "/x", error)) << "the root without slash";
}

TEST_F(ReplacerTest, PathSafetyRefusesAForeignFolderOnTheWay) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "only root can give a folder to another account";
  }
  std::string error;
  ASSERT_TRUE(CBackupFolders::PrepareRoot(BackupRoot(), error)) << error;
  fs::create_directories(BackupRoot() + "site/sub");
  ASSERT_EQ(::chown((BackupRoot() + "site/sub").c_str(), 1, 1), 0);

  EXPECT_TRUE(CBackupFolders::IsPathSafe(BackupRoot(), BackupRoot() + "site/x", error));
  EXPECT_FALSE(CBackupFolders::IsPathSafe(BackupRoot(), BackupRoot() + "site/sub/x", error));
  EXPECT_NE(error.find("another user"), std::string::npos) << error;
}

// IsWordAt: the line as read, the preprocessed word and the check's range.
struct WordAtCase {
  const char* name;
  std::string line;
  std::string word;
  int start;
  int end;
  bool expected;
  CPageScanner::EAttributeText attributes = CPageScanner::EAttributeText::kSkipped;
};
constexpr auto kAttributes = CPageScanner::EAttributeText::kChecked;

class WordAt : public testing::TestWithParam<WordAtCase> {};

TEST_P(WordAt, MatchesWhatTheCheckFound) {
  const WordAtCase& c = GetParam();
  EXPECT_EQ(CReplacer::IsWordAt(c.line, c.word, c.start, c.end, c.attributes), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WordAt,
    testing::Values(
        WordAtCase{"Plain", "teh cat", "teh", 0, 3, true},
        WordAtCase{"Later", "a cat teh", "teh", 6, 9, true},
        WordAtCase{"SecondOfTwo", "teh teh", "teh", 4, 7, true},
        WordAtCase{"WrongStart", "a teh", "teh", 0, 3, false},
        WordAtCase{"OneByteOff", "a teh", "teh", 1, 4, false},
        WordAtCase{"LongerRange", "teh cat", "teh", 0, 4, false},
        WordAtCase{"PartOfAWord", "tehx", "teh", 0, 3, false},
        WordAtCase{"AfterALetter", "xteh", "teh", 1, 4, false},
        WordAtCase{"JoinedByHyphen", "e-teh", "teh", 2, 5, false},
        WordAtCase{"PossessiveKeepsIt", "John's", "John", 0, 4, true},
        WordAtCase{"NextToTags", "<b>teh</b>", "teh", 3, 6, true},
        WordAtCase{"InsideATag", "<a title=\"teh\">x</a>", "teh", 10, 13, false},
        // Where the check read descriptions and tooltips as text.
        WordAtCase{"InATooltip", "<a title=\"teh\">x</a>", "teh", 10, 13, true, kAttributes},
        WordAtCase{"InAnImageDescription", "<img alt='a teh'>", "teh", 12, 15, true, kAttributes},
        WordAtCase{"InAltOfALink", "<a alt=teh>x</a>", "teh", 7, 10, false, kAttributes},
        WordAtCase{"InAnotherAttribute", "<a href=\"teh\">x</a>", "teh", 9, 12, false, kAttributes},
        WordAtCase{"InsideAComment", "<!-- teh -->", "teh", 5, 8, false},
        WordAtCase{"AfterAComment", "<!-- x -->teh", "teh", 10, 13, true},
        WordAtCase{"InsideAnEscapedTag", "&lt;teh&gt; x", "teh", 4, 7, false},
        WordAtCase{"NonAsciiWord", "un caf\xC3\xA9 noir", "caf\xC3\xA9", 3, 8, true},
        WordAtCase{"ReferenceInside", "na&iuml;ve", "na\xC3\xAFve", 0, 10, true},
        WordAtCase{"ReferenceRangeTooShort", "na&iuml;ve", "na\xC3\xAFve", 0, 6, false},
        WordAtCase{"ApostropheReference", "I don&rsquo;t", "don\xE2\x80\x99t", 2, 13, true},
        WordAtCase{"NumericReference", "caf&#233; noir", "caf\xC3\xA9", 0, 9, true},
        WordAtCase{"InsideAnAddress", "see www.teh.com", "teh", 8, 11, false},
        WordAtCase{"InsideAnEmailAddress", "mail teh@example.org", "teh", 5, 8, false},
        WordAtCase{"EmptyWord", "teh", "", 0, 0, false},
        WordAtCase{"EmptyLine", "", "teh", 0, 3, false},
        WordAtCase{"EndPastTheLine", "teh", "teh", 1, 4, false},
        WordAtCase{"NegativeStart", "teh", "teh", -1, 2, false},
        WordAtCase{"EndBeforeStart", "teh", "teh", 3, 0, false},
        WordAtCase{"FarIntoALongLine", std::string(5000, ' ') + "teh" + std::string(5000, ' '),
                   "teh", 5000, 5003, true}),
    CaseName());

} // namespace
} // namespace replacetest
