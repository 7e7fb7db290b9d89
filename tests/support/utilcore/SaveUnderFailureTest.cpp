#include "utilcore/FileUtils.h"

#include "testkit/FileBytes.h"
#include "testkit/SaveFaults.h"
#include "testkit/ScopedTempDir.h"
#include "utilcore/FileWriteFaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using EStage = CFileWriteFaults::EStage;
using testkit::ReadBytes;
using testkit::WriteBytes;
using Names = std::set<std::string>;

constexpr const char* kOld = "old line\r\nsecond old line\r\n";

// One writer of utilcore: it replaces "target" in `folder`, where "source" lies too.
struct SWriterCase {
  const char* name;
  std::function<bool(const std::string& folder)> save;
};

void PrintTo(const SWriterCase& writer, std::ostream* out) {
  *out << writer.name;
}

std::string Source(const std::string& folder) {
  return folder + "/source";
}
std::string Target(const std::string& folder) {
  return folder + "/target";
}

const std::string kSourceBytes = "the source's own bytes\n\0and more after a NUL byte\n"s;

const SWriterCase kWriters[] = {
    {"WriteFileBytesAtomic",
     [](const std::string& folder) {
       std::string error;
       return CFileUtils::WriteFileBytesAtomic(Target(folder), std::string(300, 'n'), error);
     }},
    // Written back in the old file's line ends and encoding.
    {"WriteFileContent",
     [](const std::string& folder) {
       return CFileUtils::WriteFileContent(Target(folder),
                                           std::vector<std::string>{"new", "lines", "caf\xC3\xA9"});
     }},
    {"CopyFileA",
     [](const std::string& folder) {
       std::string error;
       return CFileUtils::CopyFileA(Source(folder), Target(folder), error);
     }},
    // A move that worked took the source away; each save moves a fresh one.
    {"MoveFileAAcrossFileSystems",
     [](const std::string& folder) {
       if (!std::filesystem::exists(Source(folder))) {
         WriteBytes(Source(folder), kSourceBytes);
       }
       CFileWriteFaults::Inject(EStage::CrossDevice);
       std::string error;
       return CFileUtils::MoveFileA(Source(folder), Target(folder), error);
     }},
};

class UtilcoreSave : public testing::TestWithParam<SWriterCase> {
protected:
  void SetUp() override {
    WriteBytes(Source(Folder()), kSourceBytes);
    WriteBytes(Target(Folder()), "old line\r\nsecond old line\r\n");
  }
  void TearDown() override { CFileWriteFaults::Clear(); }

  const std::string& Folder() const { return m_dir.Path(); }

  testkit::SWriterUnderTest Writer() const {
    testkit::SWriterUnderTest writer;
    writer.path = Target(Folder());
    writer.save = [this] { return GetParam().save(Folder()); };
    writer.expectNothingLost = [this] { EXPECT_EQ(ReadBytes(Source(Folder())), kSourceBytes); };
    return writer;
  }

  ScopedTempDir m_dir;
};

PAGELINT_SAVE_UNDER_FAILURE_TESTS(TEST_P, UtilcoreSave)

INSTANTIATE_TEST_SUITE_P(Writers, UtilcoreSave, testing::ValuesIn(kWriters),
                         [](const testing::TestParamInfo<SWriterCase>& c) {
                           return std::string(c.param.name);
                         });

// --- the failure seam itself ------------------------------------------------------------

TEST(FileWriteFaults, SparedFilesAreWrittenAndTheNextOneFails) {
  ScopedTempDir dir;
  std::string error;
  for (const EStage stage : {EStage::Open, EStage::Write, EStage::Sync, EStage::Rename}) {
    CFileWriteFaults::Clear();
    CFileWriteFaults::Inject(stage, 1);
    CFileWriteFaults::SpareFiles(2);
    EXPECT_TRUE(CFileUtils::WriteFileBytesAtomic(dir.Sub("a"), "first", error));
    EXPECT_TRUE(CFileUtils::WriteFileBytesAtomic(dir.Sub("b"), "second", error));
    EXPECT_FALSE(CFileUtils::WriteFileBytesAtomic(dir.Sub("c"), "third", error));
    EXPECT_FALSE(CFileUtils::WriteFileBytesAtomic(dir.Sub("c"), "third", error));
  }
  CFileWriteFaults::Clear();
  EXPECT_EQ(testkit::NamesIn(dir.Path()), (Names{"a", "b"}));
}

TEST(FileWriteFaults, AKillPointNotReachedLetsTheSaveFinish) {
  ScopedTempDir dir;
  const std::string path = dir.Sub("short");
  // Ten bytes never reach a limit of ten, and a spared file meets no fault at all.
  const std::vector<std::pair<testkit::SSaveFault, unsigned>> cases = {
      {{EStage::Write, 10}, 0}, {{EStage::Rename}, 1}, {{EStage::CrossDevice}, 0}};
  for (const auto& [fault, spare] : cases) {
    SCOPED_TRACE(testing::PrintToString(fault));
    EXPECT_FALSE(testkit::KilledDuringSave(
        fault,
        [&] {
          std::string error;
          CFileUtils::WriteFileBytesAtomic(path, "0123456789", error);
        },
        spare));
    EXPECT_EQ(ReadBytes(path), "0123456789");
  }
}

} // namespace
