#include "utilcore/FileUtils.h"

#include "NoFileOverride.h"
#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"
#include "utilcore/FileWriteFaults.h"
#include "utilcore/TextFileFormat.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;
using testkit::ReadBytes;
using testkit::WriteBytes;
using EStage = CFileWriteFaults::EStage;
using Lines = std::vector<std::string>;

class FileUtilsTest : public testing::Test {
protected:
  void TearDown() override { CFileWriteFaults::Clear(); }

  std::string Path(const std::string& relative) const { return m_dir.Sub(relative); }

  // Names in a folder, to prove that no temporary file stayed behind.
  std::set<std::string> Names(const std::string& folder = {}) const {
    std::set<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(folder.empty() ? m_dir.Path() : folder)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  static mode_t Mode(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
  }

  ScopedTempDir m_dir;
};

// --- text files ------------------------------------------------------------------

TEST_F(FileUtilsTest, UnchangedLinesAreWrittenBackByteForByte) {
  const std::vector<std::string> files = {
      "",
      "plain\n",
      "a\r\nb\nc\rd",
      "\xEF\xBB\xBF"
      "bom\r\n",
      "\xFF\xFE"
      "a\0\r\0\n\0"
      "b\0"s,
      "\xFE\xFF\0a\0\n"s,
      "caf\xE9\r\n\x81\x8D\x8F\x90\x9D\r\n",
      "odd\xFF\x01\x02\r\x80\n\n",
      "<\0p\0>\0\r\0\n\0"s,
  };
  for (const std::string& bytes : files) {
    const std::string path = Path("file.txt");
    WriteBytes(path, bytes);
    std::vector<std::string> lines;
    ASSERT_TRUE(CFileUtils::ReadFileContent(path, lines, false, nullptr));
    ASSERT_TRUE(CFileUtils::WriteFileContent(path, lines, false, nullptr));
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(Names(), std::set<std::string>{"file.txt"});
  }
}

TEST_F(FileUtilsTest, AChangedLineIsTheOnlyChangeOnDisk) {
  const std::string path = Path("page.htm");
  WriteBytes(path, "<p>teh caf\xE9</p>\r\n<p>two</p>\n<p>three</p>");
  std::vector<std::string> lines;
  ASSERT_TRUE(CFileUtils::ReadFileContent(path, lines));
  ASSERT_EQ(lines[0], "<p>teh caf\xC3\xA9</p>");
  lines[0] = "<p>the caf\xC3\xA9</p>";
  ASSERT_TRUE(CFileUtils::WriteFileContent(path, lines));
  EXPECT_EQ(ReadBytes(path), "<p>the caf\xE9</p>\r\n<p>two</p>\n<p>three</p>");
}

TEST_F(FileUtilsTest, TextTheEncodingCannotHoldLeavesTheFileUntouched) {
  const std::string path = Path("words.dic");
  const std::string old = "na\xEFve\r\n";
  WriteBytes(path, old);
  std::vector<std::string> lines;
  ASSERT_TRUE(CFileUtils::ReadFileContent(path, lines));
  lines.push_back("\xCE\xA9mega");
  EXPECT_FALSE(CFileUtils::WriteFileContent(path, lines));
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(Names(), std::set<std::string>{"words.dic"});
}

TEST_F(FileUtilsTest, NewFilesAreUtf8WithLfAndFolderOnRequest) {
  const std::string path = Path("new/sub/words.dic");
  const std::vector<std::string> lines = {"\xC3\xA9t\xC3\xA9", "b"};
  EXPECT_FALSE(CFileUtils::WriteFileContent(path, lines));
  ASSERT_TRUE(CFileUtils::WriteFileContent(path, lines, true));
  EXPECT_EQ(ReadBytes(path), "\xC3\xA9t\xC3\xA9\nb\n");
}

TEST_F(FileUtilsTest, FormatFromReadingCanBeGivenToWriting) {
  const std::string source = Path("word.dic");
  WriteBytes(source, "\xFF\xFE"
                     "a\0\r\0\n\0"s);
  std::vector<std::string> lines;
  CTextFileFormat format;
  ASSERT_TRUE(CFileUtils::ReadFileContent(source, lines, false, &format));
  EXPECT_EQ(format.encoding, CTextFileFormat::EEncoding::Utf16LE);
  lines.push_back("b");
  ASSERT_TRUE(CFileUtils::WriteFileContent(Path("copy.dic"), lines, false, &format));
  EXPECT_EQ(ReadBytes(Path("copy.dic")), "\xFF\xFE"
                                         "a\0\r\0\n\0b\0\r\0\n\0"s);
}

TEST_F(FileUtilsTest, ReadingAppendsOnlyWhenAsked) {
  WriteBytes(Path("a.txt"), "one\ntwo\n");
  std::vector<std::string> lines = {"zero"};
  ASSERT_TRUE(CFileUtils::ReadFileContent(Path("a.txt"), lines, true));
  EXPECT_EQ(lines, (std::vector<std::string>{"zero", "one", "two"}));
  ASSERT_TRUE(CFileUtils::ReadFileContent(Path("a.txt"), lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two"}));
}

// Reading into a vector that held another file's lines (longer or shorter, other
// encodings) must give exactly what reading into an empty one gives.
TEST_F(FileUtilsTest, ReadingIntoAUsedVectorEqualsAFreshRead) {
  const std::vector<std::pair<const char*, std::string>> files = {
      {"many.txt", "one\ntwo\nthree\nfour\nfive\nsix\n"},
      {"crlf.txt", "a longer first line than before\r\nb\r\n\r\n"},
      {"utf16.txt", "\xFF\xFEh\0i\0\n\0\xE9\0"s},
      {"cp1252.txt", "caf\xE9\rna\xEFve"},
      {"bom.txt", "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\n"},
      {"empty.txt", ""},
      {"no ending.txt", "last"},
      {"big.txt", std::string(200000, 'x') + "\n" + std::string(70000, 'y')},
  };
  for (const auto& [name, bytes] : files) {
    WriteBytes(Path(name), bytes);
  }
  std::vector<std::string> used;
  for (int round = 0; round < 2; ++round) {
    for (const auto& [name, bytes] : files) {
      std::vector<std::string> fresh;
      CTextFileFormat freshFormat;
      CTextFileFormat usedFormat;
      ASSERT_TRUE(CFileUtils::ReadFileContent(Path(name), fresh, false, &freshFormat));
      ASSERT_TRUE(CFileUtils::ReadFileContent(Path(name), used, false, &usedFormat));
      EXPECT_EQ(used, fresh) << name;
      EXPECT_EQ(usedFormat.encoding, freshFormat.encoding) << name;
      EXPECT_EQ(usedFormat.endings, freshFormat.endings) << name;
    }
  }
  // Appending after a failed read keeps what was there.
  used = {"kept"};
  EXPECT_FALSE(CFileUtils::ReadFileContent(Path("missing"), used, true));
  EXPECT_EQ(used, (std::vector<std::string>{"kept"}));
}

TEST_F(FileUtilsTest, UnreadableInputGivesNoLinesAndFalse) {
  ASSERT_EQ(::mkdir(Path("folder").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0); // must not block
  WriteBytes(Path("file"), "x");
  for (const std::string& path :
       {Path("missing"), Path("folder"), Path("pipe"), Path("file/below"), std::string()}) {
    std::vector<std::string> lines = {"stale"};
    EXPECT_FALSE(CFileUtils::ReadFileContent(path, lines)) << path;
    EXPECT_TRUE(lines.empty()) << path;
  }
}

TEST_F(FileUtilsTest, ABinaryFileIsNeitherReadNorOverwritten) {
  const std::string path = Path("logo.htm");
  const std::string bytes = "GIF89a\x01\0teh\n"s;
  WriteBytes(path, bytes);
  std::vector<std::string> lines = {"stale"};
  errno = 0;
  EXPECT_FALSE(CFileUtils::ReadFileContent(path, lines));
  EXPECT_EQ(errno, EILSEQ);
  EXPECT_TRUE(lines.empty());
  EXPECT_FALSE(CFileUtils::WriteFileContent(path, Lines{"teh"}));
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(FileUtilsTest, HugeFilesAreRefusedAndLongLinesRead) {
  const std::string huge = Path("huge.htm");
  WriteBytes(huge, "");
  ASSERT_EQ(::truncate(huge.c_str(), CFileUtils::kMaxTextFileBytes + 1), 0); // sparse
  std::vector<std::string> lines;
  EXPECT_FALSE(CFileUtils::ReadFileContent(huge, lines));
  EXPECT_TRUE(lines.empty());
  EXPECT_FALSE(CFileUtils::WriteFileContent(huge, Lines{"x"}));

  const std::string longLine = Path("long.htm");
  WriteBytes(longLine, std::string(5 * 1024 * 1024, '\xE9') + "\r\n");
  ASSERT_TRUE(CFileUtils::ReadFileContent(longLine, lines));
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0].size(), 10U * 1024 * 1024);
}

TEST_F(FileUtilsTest, ReadFileBytesRespectsItsLimit) {
  WriteBytes(Path("ten"), "0123456789");
  std::string bytes;
  std::string error;
  EXPECT_FALSE(CFileUtils::ReadFileBytes(Path("ten"), bytes, error, 9));
  EXPECT_TRUE(bytes.empty());
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  ASSERT_TRUE(CFileUtils::ReadFileBytes(Path("ten"), bytes, error, 10));
  EXPECT_EQ(bytes, "0123456789");
}

TEST_F(FileUtilsTest, AnExistingFileThatCannotBeReadIsNotOverwritten) {
  const std::string path = Path("secret.txt");
  WriteBytes(path, "a\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  RunWithoutFileOverride([&] { EXPECT_FALSE(CFileUtils::WriteFileContent(path, Lines{"b"})); });
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(ReadBytes(path), "a\r\n");
}

// --- atomic writes -----------------------------------------------------------------

TEST_F(FileUtilsTest, AFailureAtAnyStageLeavesTheOldFileWhole) {
  struct CFault {
    EStage stage;
    std::uint64_t afterBytes;
  };
  const std::vector<CFault> faults = {{EStage::Open, 0},
                                      {EStage::Write, 0},
                                      {EStage::Write, 5},
                                      {EStage::Sync, 0},
                                      {EStage::Rename, 0}};
  const std::string path = Path("data.plx");
  for (const CFault& fault : faults) {
    WriteBytes(path, "old content");
    CFileWriteFaults::Inject(fault.stage, fault.afterBytes);
    std::string error;
    EXPECT_FALSE(CFileUtils::WriteFileBytesAtomic(path, "new and longer content", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(CFileUtils::WriteFileContent(path, Lines{"a line longer than five bytes"}));
    EXPECT_FALSE(CFileUtils::CopyFileA(path, Path("copy.plx"), error));
    CFileWriteFaults::Clear();
    EXPECT_EQ(ReadBytes(path), "old content");
    EXPECT_EQ(Names(), std::set<std::string>{"data.plx"});
  }
}

TEST_F(FileUtilsTest, WritesKeepPermissionsAndOwner) {
  const std::string path = Path("page.html");
  WriteBytes(path, "x\n");
  ASSERT_EQ(::chmod(path.c_str(), 0751), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
  }
  std::string error;
  ASSERT_TRUE(CFileUtils::WriteFileBytesAtomic(path, "y\n", error)) << error;
  EXPECT_EQ(Mode(path), 0751U);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, root ? 4321U : ::geteuid());
  EXPECT_EQ(ReadBytes(path), "y\n");
}

TEST_F(FileUtilsTest, ReadOnlyFilesAreRefusedUntilMadeWritable) {
  const std::string path = Path("locked.dic");
  WriteBytes(path, "old\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(CFileUtils::IsFileWritable(path));
  EXPECT_FALSE(CFileUtils::WriteFileContent(path, Lines{"new"}));
  EXPECT_EQ(ReadBytes(path), "old\n");

  EXPECT_TRUE(CFileUtils::EnsureFileIsWritable(path));
  EXPECT_TRUE(CFileUtils::IsFileWritable(path));
  EXPECT_EQ(Mode(path), 0644U);
  EXPECT_TRUE(CFileUtils::WriteFileContent(path, Lines{"new"}));
  EXPECT_EQ(ReadBytes(path), "new\n");
  EXPECT_FALSE(CFileUtils::EnsureFileIsWritable(Path("missing")));
}

TEST_F(FileUtilsTest, ReadOnlyFolderAndAFileAsFolderFailCleanly) {
  std::string error;
  WriteBytes(Path("plain"), "x");
  EXPECT_FALSE(CFileUtils::WriteFileBytesAtomic(Path("plain/below.txt"), "y", error));
  EXPECT_NE(error.find("plain"), std::string::npos) << error;
  EXPECT_FALSE(CFileUtils::WriteFileBytesAtomic("/proc/pagelint-test.txt", "y", error));

  const std::string folder = Path("readonly");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  WriteBytes(folder + "/f.txt", "old");
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  RunWithoutFileOverride([&] {
    EXPECT_FALSE(CFileUtils::WriteFileBytesAtomic(folder + "/f.txt", "new", error));
    EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
  });
  EXPECT_EQ(ReadBytes(folder + "/f.txt"), "old");
  EXPECT_EQ(Names(folder), std::set<std::string>{"f.txt"});
}

TEST_F(FileUtilsTest, WritingThroughALinkKeepsTheLink) {
  WriteBytes(Path("real.dic"), "a\n");
  ASSERT_EQ(::symlink("real.dic", Path("link.dic").c_str()), 0);
  ASSERT_TRUE(CFileUtils::WriteFileContent(Path("link.dic"), Lines{"a", "b"}));
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link.dic")));
  EXPECT_EQ(ReadBytes(Path("real.dic")), "a\nb\n");

  ASSERT_EQ(::symlink("nowhere", Path("dangling").c_str()), 0);
  std::string error;
  EXPECT_FALSE(CFileUtils::WriteFileBytesAtomic(Path("dangling"), "x", error));
  EXPECT_TRUE(std::filesystem::is_symlink(Path("dangling")));
}

TEST_F(FileUtilsTest, AFolderIsNeverReplacedByAFile) {
  ASSERT_EQ(::mkdir(Path("dir").c_str(), 0755), 0);
  std::string error;
  EXPECT_FALSE(CFileUtils::WriteFileBytesAtomic(Path("dir"), "x", error));
  EXPECT_FALSE(CFileUtils::WriteFileBytesAtomic(Path("dir/"), "x", error));
  EXPECT_TRUE(std::filesystem::is_directory(Path("dir")));
}

// --- delete, copy, move --------------------------------------------------------------

TEST_F(FileUtilsTest, DeleteFileA) {
  std::string error;
  EXPECT_FALSE(CFileUtils::DeleteFileA(Path("missing"), error, false, false));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  EXPECT_TRUE(CFileUtils::DeleteFileA(Path("missing"), error, true, false));

  ASSERT_EQ(::mkdir(Path("dir").c_str(), 0755), 0);
  EXPECT_FALSE(CFileUtils::DeleteFileA(Path("dir"), error, false, false));
  EXPECT_TRUE(CFileUtils::DoesFileExist(Path("dir")));

  WriteBytes(Path("target"), "keep");
  ASSERT_EQ(::symlink("target", Path("link").c_str()), 0);
  EXPECT_TRUE(CFileUtils::DeleteFileA(Path("link"), error, false, false));
  EXPECT_EQ(ReadBytes(Path("target")), "keep");

  ASSERT_EQ(::chmod(Path("target").c_str(), 0444), 0);
  EXPECT_FALSE(CFileUtils::DeleteFileA(Path("target"), error, false, true));
  EXPECT_TRUE(CFileUtils::DeleteFileA(Path("target"), error, false, false));
  EXPECT_FALSE(CFileUtils::DoesFileExist(Path("target")));
}

TEST_F(FileUtilsTest, CopyCreatesMissingFoldersAndKeepsTheSourceMode) {
  WriteBytes(Path("index.htm"), "page\0bytes"s);
  ASSERT_EQ(::chmod(Path("index.htm").c_str(), 0640), 0);
  std::string error;
  const std::string backup = Path("Pagelint_Backup/My Site/news/index.htmb1");
  ASSERT_TRUE(CFileUtils::CopyFileA(Path("index.htm"), backup, error)) << error;
  EXPECT_EQ(ReadBytes(backup), "page\0bytes"s);
  EXPECT_EQ(Mode(backup), 0640U);

  WriteBytes(Path("other"), "old");
  ASSERT_EQ(::chmod(Path("other").c_str(), 0604), 0);
  ASSERT_TRUE(CFileUtils::CopyFileA(Path("index.htm"), Path("other"), error)) << error;
  EXPECT_EQ(Mode(Path("other")), 0604U);

  EXPECT_FALSE(CFileUtils::CopyFileA(Path("missing"), Path("x"), error));
  EXPECT_FALSE(CFileUtils::DoesFileExist(Path("x")));
}

TEST_F(FileUtilsTest, MoveReplacesTheTargetOnOneOrTwoFileSystems) {
  std::filesystem::create_directories(Path("site/deep"));
  for (const bool crossDevice : {false, true}) {
    WriteBytes(Path("site/deep/page.htm"), "changed");
    WriteBytes(Path("backup"), "restored");
    ASSERT_EQ(::chmod(Path("backup").c_str(), 0600), 0);
    if (crossDevice) {
      CFileWriteFaults::Inject(EStage::CrossDevice);
    }
    std::string error;
    ASSERT_TRUE(CFileUtils::MoveFileA(Path("backup"), Path("site/deep/page.htm"), error)) << error;
    CFileWriteFaults::Clear();
    EXPECT_EQ(ReadBytes(Path("site/deep/page.htm")), "restored");
    EXPECT_EQ(Mode(Path("site/deep/page.htm")), 0600U);
    EXPECT_FALSE(CFileUtils::DoesFileExist(Path("backup")));
    EXPECT_EQ(Names(Path("site/deep")), std::set<std::string>{"page.htm"});
  }
  std::string error;
  EXPECT_FALSE(CFileUtils::MoveFileA(Path("backup"), Path("site/deep/page.htm"), error));
  EXPECT_EQ(ReadBytes(Path("site/deep/page.htm")), "restored");
}

TEST_F(FileUtilsTest, AFailedCrossDeviceMoveKeepsBothFiles) {
  WriteBytes(Path("new"), "new");
  WriteBytes(Path("old"), "old");
  CFileWriteFaults::Inject(EStage::CrossDevice);
  std::string error;
  EXPECT_TRUE(CFileUtils::MoveFileA(Path("new"), Path("old"), error));
  WriteBytes(Path("new"), "newer");
  CFileWriteFaults::Inject(EStage::CrossDevice);
  CFileWriteFaults::Inject(EStage::Sync);
  EXPECT_FALSE(CFileUtils::MoveFileA(Path("new"), Path("old"), error));
  CFileWriteFaults::Clear();
  EXPECT_EQ(ReadBytes(Path("new")), "newer");
  EXPECT_EQ(ReadBytes(Path("old")), "new");
}

// --- file lists ------------------------------------------------------------------------

class FileListTest : public FileUtilsTest {
protected:
  void SetUp() override {
    for (const char* file : {"a.DIC", "b.dic", "c.txt", ".hidden.dic", "noext", "sub/d.Dic",
                             "sub/deeper/e.dic", "other/f.dic"}) {
      std::filesystem::create_directories(std::filesystem::path(Path(file)).parent_path());
      WriteBytes(Path(file), "x");
    }
    // A loop back to the top, a link to a folder outside, a link to a file.
    std::filesystem::create_directory_symlink("..", Path("sub/loop"));
    std::filesystem::create_directory_symlink(Path("other"), Path("sub/elsewhere"));
    std::filesystem::create_directory_symlink(m_outside.Path(), Path("sub/outside"));
    WriteBytes(m_outside.Sub("g.dic"), "x");
    std::filesystem::create_symlink(Path("b.dic"), Path("linked.dic"));
    std::filesystem::create_symlink(Path("nowhere"), Path("dangling.dic"));
  }

  std::vector<std::string> List(bool includeHidden, bool recursive, bool followLinks) {
    std::vector<std::string> found;
    EXPECT_TRUE(CFileUtils::GetFileList(m_dir.Path() + "/", {"dic"}, includeHidden, found,
                                        recursive, followLinks, true));
    for (std::string& path : found) {
      path.erase(0, m_dir.Path().size() + 1);
    }
    return found;
  }

  ScopedTempDir m_outside;
};

TEST_F(FileListTest, FolderOnly) {
  EXPECT_EQ(List(true, false, false),
            (std::vector<std::string>{".hidden.dic", "a.DIC", "b.dic", "linked.dic"}));
  EXPECT_EQ(List(false, false, false), (std::vector<std::string>{"a.DIC", "b.dic", "linked.dic"}));
}

TEST_F(FileListTest, RecursiveNeverLoopsAndFollowsLinksOnlyWhenAsked) {
  EXPECT_EQ(List(false, true, false),
            (std::vector<std::string>{"a.DIC", "b.dic", "linked.dic", "other/f.dic", "sub/d.Dic",
                                      "sub/deeper/e.dic"}));
  // Each folder once, by its own path where it has one in the tree.
  EXPECT_EQ(List(false, true, true),
            (std::vector<std::string>{"a.DIC", "b.dic", "linked.dic", "other/f.dic", "sub/d.Dic",
                                      "sub/deeper/e.dic", "sub/outside/g.dic"}));
}

TEST_F(FileListTest, ExtensionFilters) {
  const std::vector<std::vector<std::string>> filters = {{"TXT"}, {".txt"}, {"*.txt"}};
  for (const auto& extensions : filters) {
    std::vector<std::string> found;
    ASSERT_TRUE(CFileUtils::GetFileList(m_dir.Path(), extensions, true, found));
    EXPECT_EQ(found, std::vector<std::string>{Path("c.txt")});
  }
  std::vector<std::string> all;
  ASSERT_TRUE(CFileUtils::GetFileList(m_dir.Path(), {}, true, all));
  EXPECT_EQ(all.size(), 6U); // every file, the dangling link excluded
  EXPECT_FALSE(CFileUtils::GetFileList(Path("missing"), {}, true, all));
  EXPECT_EQ(all.size(), 6U);
}

TEST_F(FileListTest, UnreadableFoldersAreSkipped) {
  ASSERT_EQ(::chmod(Path("sub").c_str(), 0), 0);
  RunWithoutFileOverride([&] {
    EXPECT_EQ(List(false, true, false),
              (std::vector<std::string>{"a.DIC", "b.dic", "linked.dic", "other/f.dic"}));
  });
  ASSERT_EQ(::chmod(Path("sub").c_str(), 0755), 0);
}

TEST_F(FileListTest, HasFile) {
  EXPECT_TRUE(CFileUtils::HasFile(m_dir.Path(), {"dic"}));
  EXPECT_FALSE(CFileUtils::HasFile(m_dir.Path(), {"plx"}, false, true, true, true));
  WriteBytes(Path("sub/empty.plx"), "");
  EXPECT_FALSE(CFileUtils::HasFile(m_dir.Path(), {"plx"}, true, true, true, true));
  EXPECT_TRUE(CFileUtils::HasFile(m_dir.Path(), {"plx"}, true, true, true, false));
  EXPECT_FALSE(CFileUtils::HasFile(Path("missing"), {}));
}

// --- names -------------------------------------------------------------------------------

TEST(FileNames, ParseFileNameAndExtension) {
  struct CCase {
    std::string path, withExt, withoutExt, ext;
  };
  const std::vector<CCase> cases = {
      {"/a/b/my_terms.dic", "my_terms.dic", "my_terms", "dic"},
      {"CUSTOM.DIC", "CUSTOM.DIC", "CUSTOM", "DIC"},
      {"/a.b/c", "c", "c", ""},
      {"/x/archive.tar.gz", "archive.tar.gz", "archive.tar", "gz"},
      {"/x/.htaccess", ".htaccess", ".htaccess", ""},
      {"/x/name.", "name.", "name", ""},
      {"/x/folder/", "", "", ""},
      {"", "", "", ""},
  };
  for (const CCase& c : cases) {
    EXPECT_EQ(CFileUtils::ParseFileNameFromPath(c.path, true), c.withExt) << c.path;
    EXPECT_EQ(CFileUtils::ParseFileNameFromPath(c.path, false), c.withoutExt) << c.path;
    EXPECT_EQ(CFileUtils::GetFileExt(c.path), c.ext) << c.path;
  }
}

TEST(FileNames, ReplaceBadFileChars) {
  struct CCase {
    std::string name;
    bool wholeName;
    std::string expected;
  };
  const std::vector<CCase> cases = {
      {"My Site Ignore", false, "My Site Ignore"},
      {"a/b\\c:d*e?f\"g<h>i|j", false, "a_b_c_d_e_f_g_h_i_j"},
      {"tab\there\x7F\n", false, "tab_here__"},
      {"caf\xC3\xA9 \xE2\x80\x99s", true, "caf\xC3\xA9 \xE2\x80\x99s"},
      {"..", true, "__"},
      {".", true, "_"},
      {".hidden.site", true, "_hidden.site"},
      {"..", false, ".."},
      {"", true, "_"},
      {"", false, ""},
      {"../../etc", true, "______etc"},
  };
  for (const CCase& c : cases) {
    EXPECT_EQ(CFileUtils::ReplaceBadFileChars(c.name, "_", c.wholeName), c.expected) << c.name;
  }
  EXPECT_EQ(CFileUtils::ReplaceBadFileChars("..", "", true), "_");
}

TEST_F(FileUtilsTest, FileInfoAndExistence) {
  std::int64_t size = -1;
  std::time_t mtime = -1;
  EXPECT_FALSE(CFileUtils::GetFileInfo(Path("missing"), &size, &mtime));
  EXPECT_EQ(size, 0);
  EXPECT_EQ(mtime, 0);

  WriteBytes(Path("ZEB.fdc"), "12345");
  const timespec times[2] = {{1400000000, 0}, {1500000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, Path("ZEB.fdc").c_str(), times, 0), 0);
  EXPECT_TRUE(CFileUtils::GetFileInfo(Path("ZEB.fdc"), &size, &mtime));
  EXPECT_EQ(size, 5);
  EXPECT_EQ(mtime, 1500000000);
  EXPECT_TRUE(CFileUtils::GetFileInfo(Path("ZEB.fdc"), nullptr, nullptr));

  EXPECT_TRUE(CFileUtils::DoesFileExist(m_dir.Path()));
  EXPECT_TRUE(CFileUtils::DoesFileExist(m_dir.Path() + "/"));
  EXPECT_FALSE(CFileUtils::DoesFileExist(""));
}

} // namespace
