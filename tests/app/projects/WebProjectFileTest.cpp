#include "projects/WebProject.h"

#include "WebProjectFileFixture.h"

#include "testkit/LogCapture.h"
#include "utilcore/FileWriteFaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using EStage = CFileWriteFaults::EStage;

constexpr const char* kArchiveErrorId = "{A0BEB667-EA94-45CE-AD8C-DE8DFCF6FB60}";
constexpr const char* kFileErrorId = "{40363C25-6A12-48ad-A244-0EC6F01A1ABC}";
constexpr const char* kWriteFailedId = "{1A7211AD-F9DB-4F9B-8C22-DA96F86D442A}";
constexpr const char* kCreateFailedId = "{6DC85668-3ED0-47C8-9228-50D8E13AC257}";
constexpr const char* kIgnoreMoveFailedId = "{1E9FB801-1562-477F-A68E-AA796A59A6E2}";

class WebProjectFile : public ProjectFileTest {
protected:
  /// A project named `name` that saves into the data folder.
  static void Prepare(CWebProject& project, const std::string& name, const std::string& dataDir) {
    project.SetName(name);
    project.SetRootDirectory("/srv/" + name + "/");
    project.SetDataPath(dataDir);
  }

  static CProjectDataFile::SContent ReadBack(const std::string& path) {
    const std::string bytes = testkit::ReadBytes(path);
    return CProjectDataFile::Read(bytes, path);
  }
};

TEST_F(WebProjectFile, DataFileIsNamedAfterTheProject) {
  CWebProject project;
  project.SetDataPath(DataDir());
  EXPECT_EQ(project.GetDataFilePath("a/b"), DataDir() + "a_b.plx");
  EXPECT_EQ(CWebProject::MakeIgnoreDictionaryName("a/b"), "a_b Ignore");
  // Once the data path names a file, its folder is the base.
  project.SetDataPath(DataDir() + "old.plx");
  EXPECT_EQ(project.GetDataFilePath("new"), DataDir() + "new.plx");
  project.SetDataPath(m_home.Root() + "/other");
  EXPECT_EQ(project.GetDataFilePath("x"), m_home.Root() + "/other/x.plx");
}

TEST_F(WebProjectFile, SavesTheActiveDictionariesByNameAndLoadsThemBack) {
  CSpellChecker& speller = StartSpeller({"Alpha", "Beta"});
  CWebProject project;
  Prepare(project, "a/b", DataDir());
  project.SetActiveDictionaries(
      {speller.GetDictionaryID("Beta"), speller.GetDictionaryID("Alpha")});
  project.AddFilter({0, "old/"});
  project.AddFilter({2, "*.php"});
  ASSERT_TRUE(project.SaveProject(false));
  EXPECT_EQ(project.GetDataPath(), DataDir() + "a_b.plx");

  CProjectDataFile::SContent expected = Content("a/b", "/srv/a/b/");
  expected.dictionaryNames = {"Beta", "Alpha"};
  expected.filters = {{0, "old/"}, {2, "*.php"}};
  EXPECT_EQ(ReadBack(DataDir() + "a_b.plx"), expected);

  CWebProject loaded;
  loaded.SetDataPath(DataDir() + "a_b.plx");
  ASSERT_TRUE(loaded.LoadProject());
  EXPECT_EQ(loaded.GetName(), "a/b");
  EXPECT_EQ(loaded.GetRootDirectory(), "/srv/a/b/");
  EXPECT_EQ(loaded.GetLoadedDictionaryNames(), expected.dictionaryNames);
  ASSERT_EQ(loaded.GetFilters().size(), 2U);
  EXPECT_EQ(loaded.GetFilters()[1].type, 2);
  EXPECT_EQ(loaded.GetFilters()[1].text, "*.php");
}

TEST_F(WebProjectFile, VersionOneFileGivesItsIdsAndSavesAsVersionTwoWithNames) {
  CSpellChecker& speller = StartSpeller({"Alpha", "Beta"});
  const int alpha = speller.GetDictionaryID("Alpha");
  const int beta = speller.GetDictionaryID("Beta");
  std::string bytes{"\x01\x00\x03Old\x03/o/\x00\x00\x00\x00\x02\x00\x00\x00", 18};
  for (const int id : {beta, alpha}) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes.push_back(static_cast<char>((static_cast<unsigned>(id) >> shift) & 0xFF));
    }
  }
  testkit::WriteBytes(DataDir() + "Old.plx", bytes);

  CWebProject project;
  project.SetDataPath(DataDir() + "Old.plx");
  ASSERT_TRUE(project.LoadProject());
  EXPECT_EQ(project.GetActiveDictionaries(), (std::vector<int>{beta, alpha}));
  EXPECT_TRUE(project.GetFilters().empty());
  EXPECT_TRUE(project.GetLoadedDictionaryNames().empty());

  ASSERT_TRUE(project.SaveProject(false));
  const CProjectDataFile::SContent saved = ReadBack(DataDir() + "Old.plx");
  EXPECT_EQ(saved.version, 2);
  EXPECT_EQ(saved.dictionaryNames, (std::vector<std::string>{"Beta", "Alpha"}));
}

TEST_F(WebProjectFile, UnresolvedLoadedNamesAreSavedAsLoaded) {
  CProjectDataFile::SContent content = Content("Site", "/s/");
  content.dictionaryNames = {"Gone Dictionary", "Alpha"};
  const std::string path = WriteDataFile("Site.plx", content);
  CWebProject project;
  project.SetDataPath(path);
  ASSERT_TRUE(project.LoadProject());
  ASSERT_TRUE(project.SaveProject(false));
  EXPECT_EQ(ReadBack(path).dictionaryNames, content.dictionaryNames);
}

struct LoadFailureCase {
  const char* name;
  std::string path;  ///< below the data folder; "" for no data path
  std::string bytes; ///< written when `write`
  bool write;
  const char* logId; ///< nullptr: nothing logged
};

void PrintTo(const LoadFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class WebProjectFileLoadFailure : public WebProjectFile,
                                  public testing::WithParamInterface<LoadFailureCase> {};

TEST_P(WebProjectFileLoadFailure, FailsWithItsLogLine) {
  const LoadFailureCase& c = GetParam();
  const std::string path = c.path.empty() ? std::string() : DataDir() + c.path;
  if (c.write) {
    testkit::WriteBytes(path, c.bytes);
  }
  LogCapture log;
  CWebProject project;
  project.SetDataPath(path);
  EXPECT_FALSE(project.LoadProject());
  if (c.logId != nullptr) {
    EXPECT_TRUE(log.Contains(c.logId));
  } else {
    EXPECT_TRUE(log.Lines().empty());
  }
  EXPECT_TRUE(project.GetName().empty()) << "nothing of a failed file is taken";
}

INSTANTIATE_TEST_SUITE_P(Cases, WebProjectFileLoadFailure,
                         testing::Values(LoadFailureCase{"NoDataPath", "", "", false,
                                                         "{73652F43-368E-418D-9A89-6331BB5A0D45}"},
                                         LoadFailureCase{"NotADataFile", "a.txt", "x", true,
                                                         "{FC719034-9B4A-45EF-A763-792F18C3C376}"},
                                         LoadFailureCase{"Missing", "a.plx", "", false,
                                                         "{264F00B3-6B3F-4F6F-8063-FCFCF48296A5}"},
                                         LoadFailureCase{"Empty", "a.plx", "", true, nullptr},
                                         LoadFailureCase{"Damaged", "a.plx",
                                                         std::string("\x02\x00\x09Site", 7), true,
                                                         kArchiveErrorId}),
                         CaseName<LoadFailureCase>);

// Only the versions this release knows load; any other is logged as damaged, so that
// a file of a later release is never taken for one of ours.
TEST_F(WebProjectFile, OnlyKnownVersionsLoad) {
  const std::string versionTwoBody =
      CProjectDataFile::Write(Content("Site", "/s/"), "Site.plx").substr(2);
  const std::string versionOneBody("\x04Site\x03/s/\0\0\0\0\0\0\0\0", 17);
  struct Case {
    int version;
    bool loads;
  };
  for (const Case c : {Case{0, false}, Case{1, true}, Case{2, true}, Case{3, true}, Case{4, false},
                       Case{0xFFFF, false}}) {
    SCOPED_TRACE(c.version);
    std::string bytes{static_cast<char>(c.version & 0xFF), static_cast<char>(c.version >> 8)};
    bytes += c.version == 1 ? versionOneBody : versionTwoBody;
    if (c.version >= 3) {
      bytes += std::string("\x01\x00\x00\x00", 4);
    }
    testkit::WriteBytes(DataDir() + "Site.plx", bytes);
    LogCapture log;
    CWebProject project;
    project.SetDataPath(DataDir() + "Site.plx");
    EXPECT_EQ(project.LoadProject(), c.loads);
    EXPECT_EQ(project.GetName(), c.loads ? "Site" : "");
    EXPECT_EQ(log.Contains(kArchiveErrorId), !c.loads);
  }
}

// The largest file read: 16 MiB of empty dictionary names. It is refused at its count,
// with one line in the log however many names it claims, and stays as it is.
TEST_F(WebProjectFile, AHugeFileIsRefusedAsDamagedWithOneLogLine) {
  const std::string head = std::string("\x02\x00\x04Huge\x03/s/", 11);
  const std::size_t names = 16 * 1024 * 1024 - head.size() - 4 - 4;
  std::string bytes = head;
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(static_cast<char>((names >> shift) & 0xFF));
  }
  bytes.append(names, '\0');
  bytes.append(4, '\0'); // no filters
  const std::string path = DataDir() + "Huge.plx";
  testkit::WriteBytes(path, bytes);

  LogCapture log;
  CWebProject project;
  project.SetDataPath(path);
  EXPECT_FALSE(project.LoadProject());
  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0], std::string(kArchiveErrorId) + " - " + path + " - Too many entries: " +
                          std::to_string(names) + " at offset 11, at most 1024");
  EXPECT_TRUE(project.GetLoadedDictionaryNames().empty());
  EXPECT_EQ(fs::file_size(path), bytes.size());
}

// A project beyond the file's bounds is not saved (it would never load again): the
// failure is logged and the old file stays.
TEST_F(WebProjectFile, AProjectBeyondTheBoundsIsNotSaved) {
  CWebProject project;
  Prepare(project, "Site", DataDir());
  ASSERT_TRUE(project.SaveProject(false));
  const std::string path = project.GetDataPath();
  const std::string saved = testkit::ReadBytes(path);
  project.GetLoadedDictionaryNames().assign(CProjectDataFile::kMaxDictionaries + 1, "Main");
  LogCapture log;
  EXPECT_FALSE(project.SaveProject(false));
  EXPECT_TRUE(log.Contains(kWriteFailedId));
  EXPECT_EQ(testkit::ReadBytes(path), saved);
}

TEST_F(WebProjectFile, FolderInPlaceOfTheFileIsAFileError) {
  fs::create_directories(DataDir() + "dir.plx");
  LogCapture log;
  CWebProject project;
  project.SetDataPath(DataDir() + "dir.plx");
  EXPECT_FALSE(project.LoadProject());
  EXPECT_TRUE(log.Contains(kFileErrorId));
}

TEST_F(WebProjectFile, EveryTruncationFailsLoggedAndKeepsTheFile) {
  CProjectDataFile::SContent content = Content("Site", "/srv/site/");
  content.dictionaryNames = {"Alpha", "Site Ignore"};
  content.filters = {{1, "a.htm"}, {2, "*.bak"}};
  const std::string whole = CProjectDataFile::Write(content, "Site.plx");
  const std::string path = DataDir() + "Site.plx";
  for (std::size_t size = 1; size < whole.size(); ++size) {
    SCOPED_TRACE(size);
    testkit::WriteBytes(path, whole.substr(0, size));
    LogCapture log;
    CWebProject project;
    project.SetDataPath(path);
    EXPECT_FALSE(project.LoadProject());
    EXPECT_TRUE(log.Contains(kArchiveErrorId));
    EXPECT_EQ(testkit::ReadBytes(path), whole.substr(0, size));
  }
}

struct SaveFaultCase {
  const char* name;
  EStage stage;
  const char* logId;
};

void PrintTo(const SaveFaultCase& c, std::ostream* os) {
  *os << c.name;
}

class WebProjectFileSaveFault : public WebProjectFile,
                                public testing::WithParamInterface<SaveFaultCase> {};

TEST_P(WebProjectFileSaveFault, KeepsTheOldFileByteForByte) {
  CWebProject project;
  Prepare(project, "Site", DataDir());
  ASSERT_TRUE(project.SaveProject(false));
  const std::string path = DataDir() + "Site.plx";
  const std::string before = testkit::ReadBytes(path);

  project.SetRootDirectory("/elsewhere/");
  project.SetCheckState(ECheckState::Checked);
  CFileWriteFaults::Inject(GetParam().stage, 5);
  LogCapture log;
  EXPECT_FALSE(project.SaveProject(true));
  EXPECT_TRUE(log.Contains(GetParam().logId));
  EXPECT_EQ(testkit::ReadBytes(path), before);
  EXPECT_EQ(project.GetCheckState(), ECheckState::Checked)
      << "a failed save marks nothing out of date";
  EXPECT_EQ(std::distance(fs::directory_iterator(DataDir()), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
}

INSTANTIATE_TEST_SUITE_P(Stages, WebProjectFileSaveFault,
                         testing::Values(SaveFaultCase{"Create", EStage::Open, kCreateFailedId},
                                         SaveFaultCase{"Write", EStage::Write, kWriteFailedId},
                                         SaveFaultCase{"Sync", EStage::Sync, kWriteFailedId},
                                         SaveFaultCase{"Rename", EStage::Rename, kWriteFailedId}),
                         CaseName<SaveFaultCase>);

TEST_F(WebProjectFile, OutOfDateOnlyWhenAsked) {
  CWebProject project;
  Prepare(project, "Site", DataDir());
  project.SetCheckState(ECheckState::Checked);
  ASSERT_TRUE(project.SaveProject(false));
  EXPECT_EQ(project.GetCheckState(), ECheckState::Checked);
  ASSERT_TRUE(project.SaveProject(true));
  EXPECT_EQ(project.GetCheckState(), ECheckState::OutOfDate);
}

TEST_F(WebProjectFile, SaveWithoutDataFolderIsRefused) {
  CWebProject project;
  project.SetName("Site");
  LogCapture log;
  EXPECT_FALSE(project.SaveProject(false));
  EXPECT_TRUE(log.Contains("{E129C0D9-25B0-4AF6-A5E5-8ABD4C1C13BB}"));
}

TEST_F(WebProjectFile, SaveCreatesAMissingDataFolderAndReplacesAReadOnlyFile) {
  CWebProject project;
  Prepare(project, "Site", DataDir() + "deeper/");
  ASSERT_TRUE(project.SaveProject(false));
  const std::string path = DataDir() + "deeper/Site.plx";
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  project.SetRootDirectory("/new/");
  ASSERT_TRUE(project.SaveProject(false));
  EXPECT_EQ(ReadBack(path).rootDirectory, "/new/");
}

TEST_F(WebProjectFile, RenameWritesTheNewFileBeforeRemovingTheOld) {
  CWebProject project;
  Prepare(project, "Old", DataDir());
  ASSERT_TRUE(project.SaveProject(false));
  const std::string oldBytes = testkit::ReadBytes(DataDir() + "Old.plx");

  project.RenameProject("New");
  EXPECT_EQ(project.GetName(), "New");
  EXPECT_EQ(testkit::ReadBytes(DataDir() + "Old.plx"), oldBytes) << "renaming alone keeps it";

  CFileWriteFaults::Inject(EStage::Write, 3);
  EXPECT_FALSE(project.SaveProject(false));
  EXPECT_EQ(testkit::ReadBytes(DataDir() + "Old.plx"), oldBytes);
  EXPECT_FALSE(Exists(DataDir() + "New.plx"));

  CFileWriteFaults::Clear();
  ASSERT_TRUE(project.SaveProject(false));
  EXPECT_FALSE(Exists(DataDir() + "Old.plx"));
  EXPECT_EQ(ReadBack(DataDir() + "New.plx").name, "New");
  EXPECT_EQ(project.GetDataPath(), DataDir() + "New.plx");
}

TEST_F(WebProjectFile, RenameToTheSameFileNameKeepsTheFile) {
  CWebProject project;
  Prepare(project, "a/b", DataDir());
  ASSERT_TRUE(project.SaveProject(false));
  project.RenameProject("a:b"); // both give "a_b.plx"
  ASSERT_TRUE(project.SaveProject(false));
  EXPECT_EQ(ReadBack(DataDir() + "a_b.plx").name, "a:b");
}

TEST_F(WebProjectFile, RenameMovesTheIgnoreDictionary) {
  testkit::WriteBytes(CustomFolder() + "Old Ignore.dic", "mine\n");
  CWebProject project;
  Prepare(project, "Old", DataDir());
  project.RenameProject("New");
  EXPECT_FALSE(Exists(CustomFolder() + "Old Ignore.dic"));
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "New Ignore.dic"), "mine\n");
}

TEST_F(WebProjectFile, RenameNeverOverwritesAnotherIgnoreDictionary) {
  testkit::WriteBytes(CustomFolder() + "Old Ignore.dic", "old\n");
  testkit::WriteBytes(CustomFolder() + "New Ignore.dic", "new\n");
  LogCapture log;
  CWebProject project;
  Prepare(project, "Old", DataDir());
  project.RenameProject("New");
  EXPECT_TRUE(log.Contains(kIgnoreMoveFailedId));
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "Old Ignore.dic"), "old\n");
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "New Ignore.dic"), "new\n");
}

TEST_F(WebProjectFile, DeleteProjectDataRemovesOnlyADataFile) {
  CWebProject project;
  Prepare(project, "Site", DataDir());
  ASSERT_TRUE(project.SaveProject(false));
  ASSERT_EQ(::chmod((DataDir() + "Site.plx").c_str(), 0444), 0);
  project.DeleteProjectData();
  EXPECT_FALSE(Exists(DataDir() + "Site.plx"));

  CWebProject unsaved; // its data path is still the folder
  Prepare(unsaved, "Other", DataDir());
  unsaved.DeleteProjectData();
  EXPECT_TRUE(fs::is_directory(DataDir()));
}

} // namespace
