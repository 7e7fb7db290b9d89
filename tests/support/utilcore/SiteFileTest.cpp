#include "utilcore/SiteFile.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;
using testkit::ReadBytes;
using testkit::WriteBytes;

class SiteFileTest : public testing::Test {
public:
  std::string Root() const { return m_dir.Sub("site"); }
  std::string Outside() const { return m_dir.Sub("outside"); }
protected:
  void SetUp() override {
    fs::create_directories(Root() + "/sub");
    fs::create_directories(Outside());
    WriteBytes(Root() + "/sub/a.htm", "inside");
    WriteBytes(Outside() + "/a.htm", "outside");
  }

  ScopedTempDir m_dir;
};

/// A page's path below the root, what the site holds there, and what Open and Read
/// make of it.
struct OpenCase {
  std::string name;
  std::string relative;
  std::function<void(const SiteFileTest&)> prepare;
  std::string read;   ///< what Read gives; empty: Open or Read fails
  std::string reason; ///< part of the error when it fails
};

const OpenCase kOpenCases[] = {
    {"PlainPage", "sub/a.htm", [](const SiteFileTest&) {}, "inside", ""},
    {"LinkInsideTheSite", "b.htm",
     [](const SiteFileTest& t) { fs::create_symlink("sub/a.htm", t.Root() + "/b.htm"); }, "inside",
     ""},
    {"FolderLinkInsideTheSite", "alias/a.htm",
     [](const SiteFileTest& t) { fs::create_directory_symlink("sub", t.Root() + "/alias"); },
     "inside", ""},
    {"LinkOutside", "b.htm",
     [](const SiteFileTest& t) { fs::create_symlink(t.Outside() + "/a.htm", t.Root() + "/b.htm"); },
     "", "leads outside the site's folder"},
    {"RelativeLinkOutside", "sub/b.htm",
     [](const SiteFileTest& t) {
       fs::create_symlink("../../outside/a.htm", t.Root() + "/sub/b.htm");
     },
     "", "leads outside the site's folder"},
    {"FolderLinkOutside", "out/a.htm",
     [](const SiteFileTest& t) { fs::create_directory_symlink(t.Outside(), t.Root() + "/out"); },
     "", "leads outside the site's folder"},
    {"LinkToTheRootItself", "b.htm",
     [](const SiteFileTest& t) { fs::create_directory_symlink(t.Root(), t.Root() + "/b.htm"); }, "",
     "not a regular file"},
    {"DanglingLink", "b.htm",
     [](const SiteFileTest& t) { fs::create_symlink(t.Outside() + "/none", t.Root() + "/b.htm"); },
     "", "leads outside the site's folder"},
    {"AFolder", "sub", [](const SiteFileTest&) {}, "", "not a regular file"},
    {"ClimbsOut", "sub/../../outside/a.htm", [](const SiteFileTest&) {}, "",
     "not a path inside the site's folder"},
    {"Absolute", "/etc/passwd", [](const SiteFileTest&) {}, "",
     "not a path inside the site's folder"},
    {"MissingPage", "sub/none.htm", [](const SiteFileTest&) {}, "", "No such file"},
    {"MissingFolder", "none/a.htm", [](const SiteFileTest&) {}, "", "No such file"},
};

class SiteFileOpen : public SiteFileTest, public testing::WithParamInterface<OpenCase> {};

TEST_P(SiteFileOpen, ReadsOnlyInsideTheRoot) {
  GetParam().prepare(*this);
  CSiteFile file;
  std::string error;
  std::string bytes;
  struct stat info {};
  const bool read =
      file.Open(Root(), GetParam().relative, CSiteFile::EFolders::kMustExist, error) &&
      file.Read(bytes, info, error, 1024);
  EXPECT_EQ(read ? bytes : "", GetParam().read) << error;
  if (!read) {
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
  }
  EXPECT_EQ(ReadBytes(Outside() + "/a.htm"), "outside");
}

INSTANTIATE_TEST_SUITE_P(Paths, SiteFileOpen, testing::ValuesIn(kOpenCases),
                         [](const auto& param) { return param.param.name; });

TEST_F(SiteFileTest, APageSwappedForALinkAfterOpenIsNeitherReadNorWritten) {
  CSiteFile file;
  std::string error;
  ASSERT_TRUE(file.Open(Root(), "sub/a.htm", CSiteFile::EFolders::kMustExist, error)) << error;
  fs::remove(Root() + "/sub/a.htm");
  fs::create_symlink(Outside() + "/a.htm", Root() + "/sub/a.htm");

  std::string bytes;
  struct stat info {};
  EXPECT_FALSE(file.Read(bytes, info, error, 1024));
  EXPECT_NE(error.find("leads outside the site's folder"), std::string::npos) << error;
  EXPECT_FALSE(file.Write("planted", nullptr, error));
  EXPECT_EQ(ReadBytes(Outside() + "/a.htm"), "outside");
  EXPECT_TRUE(fs::is_symlink(Root() + "/sub/a.htm"));
}

TEST_F(SiteFileTest, AWriteSinceReadingIsNotOverwritten) {
  CSiteFile file;
  std::string error;
  ASSERT_TRUE(file.Open(Root(), "sub/a.htm", CSiteFile::EFolders::kMustExist, error)) << error;
  std::string bytes;
  struct stat info {};
  ASSERT_TRUE(file.Read(bytes, info, error, 1024)) << error;
  const CFileStamp stamp = CFileStamp::From(info);
  WriteBytes(Root() + "/sub/a.htm", "edited meanwhile");

  EXPECT_FALSE(file.Write("rewritten", &stamp, error));
  EXPECT_NE(error.find("changed meanwhile"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(Root() + "/sub/a.htm"), "edited meanwhile");
  EXPECT_EQ(std::distance(fs::directory_iterator(Root() + "/sub"), fs::directory_iterator()), 1)
      << "no temporary file stays";
}

TEST_F(SiteFileTest, MissingFoldersAreMadeOnlyWhenAsked) {
  CSiteFile file;
  std::string error;
  EXPECT_FALSE(file.Open(Root(), "new/deep/a.htm", CSiteFile::EFolders::kMustExist, error));
  EXPECT_TRUE(file.IsFolderMissing());
  EXPECT_FALSE(fs::exists(Root() + "/new"));

  ASSERT_TRUE(file.Open(Root(), "new/deep/a.htm", CSiteFile::EFolders::kCreate, error)) << error;
  ASSERT_TRUE(file.Write("made", nullptr, error, 0640)) << error;
  EXPECT_EQ(ReadBytes(Root() + "/new/deep/a.htm"), "made");
  EXPECT_EQ(fs::status(Root() + "/new/deep/a.htm").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

} // namespace
