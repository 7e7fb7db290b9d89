#include "settings/DictionaryUpdate.h"

#include "appcfg/UpgradeVersionFile.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedTempDir.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
using testkit::ReadBytes;
using testkit::WriteBytes;
constexpr const char* kLogWrongSize = "{F05B2A72-BCBB-440C-8689-6CD34912A8E1}";
constexpr const char* kLogUnusable = "{D3CCCC71-23C2-4438-BF94-7961975C1968}";
constexpr const char* kLogNotPlaced = "{41BD1029-4CA3-49B7-8A4F-AFE7B79EEC99}";
const std::string kOld = "the old dictionary's bytes";

// The dictionary built beside the test programs.
std::string RealDictionary() {
  return ReadBytes(CDirUtils::GetAppPath() + "ZEB.fdc");
}

enum class EDownload { Real, Truncated, Garbage, Hostile };

std::string Bytes(EDownload kind) {
  std::string real = RealDictionary();
  switch (kind) {
  case EDownload::Real:
    return real;
  case EDownload::Truncated:
    return real.substr(0, real.size() / 2);
  case EDownload::Garbage:
    return std::string(real.size(), 'x');
  case EDownload::Hostile:
    // The header's word stream said to run far past the end of the file.
    real[20] = '\xff';
    real[21] = '\xff';
    return real;
  }
  return {};
}

struct SCase {
  const char* name;
  EDownload download;
  bool announcedRight;
  bool appWritable;
  const char* log; ///< the line the refusal or fallback logs, or null
  bool placedInApp;
  bool placedKept;
};

class DictionaryUpdateTest : public testing::TestWithParam<SCase> {
protected:
  ScopedTempDir m_dir;
};

TEST_P(DictionaryUpdateTest, OnlyASoundDownloadOfTheAnnouncedSizeReplacesTheDictionary) {
  const SCase& c = GetParam();
  const std::string bytes = Bytes(c.download);
  const std::string download = m_dir.Sub("Updates/ZEB.fdc");
  std::filesystem::create_directories(m_dir.Sub("Updates"));
  WriteBytes(download, bytes);
  // A program folder that cannot be written: a file stands where its folder would be.
  std::string appFolder = m_dir.Sub("app/");
  if (c.appWritable) {
    std::filesystem::create_directories(appFolder);
    WriteBytes(appFolder + "ZEB.fdc", kOld);
  } else {
    WriteBytes(m_dir.Sub("app"), kOld);
  }
  const std::string kept = m_dir.Sub("settings/");

  LogCapture log;
  const std::int64_t announced =
      static_cast<std::int64_t>(bytes.size()) + (c.announcedRight ? 0 : 1);
  const std::string placed = CDictionaryUpdate::Apply(download, announced, appFolder, kept);

  EXPECT_FALSE(CFileUtils::DoesFileExist(download)) << "a download is used once or deleted";
  if (c.log != nullptr) {
    EXPECT_TRUE(log.Contains(c.log));
  } else {
    EXPECT_TRUE(log.Lines().empty());
  }
  const std::string inApp =
      c.appWritable ? ReadBytes(appFolder + "ZEB.fdc") : ReadBytes(m_dir.Sub("app"));
  EXPECT_EQ(inApp, c.placedInApp ? bytes : kOld) << "the old file stays byte for byte";
  EXPECT_EQ(CFileUtils::DoesFileExist(kept + "ZEB.fdc"), c.placedKept);
  if (c.placedKept) {
    EXPECT_EQ(ReadBytes(kept + "ZEB.fdc"), bytes);
    EXPECT_EQ(CDictionaryUpdate::ChooseMainFile(appFolder, kept), kept + "ZEB.fdc")
        << "the next start uses the kept copy";
  }
  EXPECT_EQ(placed, c.placedInApp ? appFolder + "ZEB.fdc" : c.placedKept ? kept + "ZEB.fdc" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Downloads, DictionaryUpdateTest,
    testing::Values(
        SCase{"Sound", EDownload::Real, true, true, nullptr, true, false},
        SCase{"WrongSize", EDownload::Real, false, true, kLogWrongSize, false, false},
        SCase{"Truncated", EDownload::Truncated, true, true, kLogUnusable, false, false},
        SCase{"Garbage", EDownload::Garbage, true, true, kLogUnusable, false, false},
        SCase{"Hostile", EDownload::Hostile, true, true, kLogUnusable, false, false},
        SCase{"ReadOnlyProgram", EDownload::Real, true, false, kLogNotPlaced, false, true},
        SCase{"ReadOnlyGarbage", EDownload::Garbage, true, false, kLogUnusable, false, false}),
    [](const testing::TestParamInfo<SCase>& param) { return std::string(param.param.name); });

TEST(DictionaryUpdateSizeTest, ADownloadOverTheLargestDictionaryIsRefusedUnannouncedToo) {
  ScopedTempDir dir;
  const std::string app = dir.Sub("app/");
  std::filesystem::create_directories(app);
  WriteBytes(app + "ZEB.fdc", kOld);
  const std::string download = dir.Sub("ZEB.fdc");
  // A sound dictionary's start, then a hole up to one byte too many: nothing is written.
  WriteBytes(download, RealDictionary());
  std::filesystem::resize_file(download, CUpgradeVersionFile::kMaxDictionaryBytes + 1);
  LogCapture log;
  EXPECT_EQ(CDictionaryUpdate::Apply(download, -1, app, dir.Sub("kept/")), "");
  EXPECT_TRUE(log.Contains(kLogWrongSize));
  EXPECT_EQ(ReadBytes(app + "ZEB.fdc"), kOld);
  EXPECT_FALSE(CFileUtils::DoesFileExist(download));
}

TEST(DictionaryUpdateChoiceTest, AKeptCopyIsUsedUntilTheProgramFolderHasANewerOne) {
  ScopedTempDir dir;
  const std::string app = dir.Sub("app/");
  const std::string kept = dir.Sub("kept/");
  std::filesystem::create_directories(app);
  std::filesystem::create_directories(kept);
  WriteBytes(app + "ZEB.fdc", "installed");
  EXPECT_EQ(CDictionaryUpdate::ChooseMainFile(app, kept), app + "ZEB.fdc") << "no kept copy";
  WriteBytes(kept + "ZEB.fdc", "kept");
  const auto now = std::filesystem::last_write_time(app + "ZEB.fdc");
  const std::pair<int, const std::string*> cases[] = {{-60, &kept}, {0, &kept}, {60, &app}};
  for (const auto& [appNewerBy, chosen] : cases) {
    std::filesystem::last_write_time(kept + "ZEB.fdc", now);
    std::filesystem::last_write_time(app + "ZEB.fdc", now + std::chrono::seconds(appNewerBy));
    EXPECT_EQ(CDictionaryUpdate::ChooseMainFile(app, kept), *chosen + "ZEB.fdc") << appNewerBy;
  }
}
} // namespace
