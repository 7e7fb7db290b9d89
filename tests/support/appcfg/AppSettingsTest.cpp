#include "appcfg/AppSettings.h"

#include "diskfiles/FileExtMgr.h"
#include "support/appcfg/SettingsBytes.h"
#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedFakeHome.h"
#include "utilcore/AppLogger.h"
#include "utilcore/FileUtils.h"
#include "utilcore/FileWriteFaults.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

using namespace settingsbytes;

namespace {
constexpr const char* kDamagedId = "{B2B0F801-E990-4D20-8883-BC65F2C973CF}";
constexpr const char* kSaveFailedId = "{645E8BCF-73FB-481B-B01F-BF45BF9589E9}";

class AppSettingsTest : public testing::Test {
protected:
  // The log lies in the settings folder of this test's home.
  void SetUp() override {
    ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
    m_apps.RemoveAll();
  }
  void TearDown() override {
    CFileWriteFaults::Clear();
    m_apps.RemoveAll();
    CAppLogger::Close();
  }

  std::string SettingsFolder() const { return m_home.ConfigHome() + "/Pagelint/"; }
  std::string SettingsFile() const { return SettingsFolder() + "Pagelint.settings"; }
  void WriteSettings(const std::string& bytes) const {
    CFileUtils::WriteFileBytesAtomic(SettingsFile(), bytes, m_error);
    ASSERT_EQ(testkit::ReadBytes(SettingsFile()), bytes);
  }
  /// Reads into `settings`; the flags start as the program starts them.
  bool Read(CAppSettings& settings, bool* firstStart = nullptr, bool* upgraded = nullptr) {
    bool first = true;
    bool up = false;
    const bool ok = settings.Read("/opt/pagelint", "Pagelint", first, up);
    if (firstStart != nullptr) {
      *firstStart = first;
    }
    if (upgraded != nullptr) {
      *upgraded = up;
    }
    return ok;
  }

  ScopedFakeHome m_home;
  FileExtMgr& m_apps = *FileExtMgr::GetInstance();
  mutable std::string m_error;
};
} // namespace

TEST_F(AppSettingsTest, PathsFollowTheApplicationNameAndFolder) {
  CAppSettings settings;
  EXPECT_EQ(settings.GetApplicationSettingsPath(), SettingsFolder());
  EXPECT_EQ(settings.GetSettingsFilePath(), SettingsFile());
  EXPECT_EQ(std::string(CAppSettings::kSettingsFileName), "Pagelint.settings");
  EXPECT_FALSE(settings.GetApplicationPath().empty()) << "the running program's folder";

  bool first = true;
  bool upgraded = false;
  EXPECT_TRUE(settings.Read("/opt/other", "Other", first, upgraded));
  const std::string folder = m_home.ConfigHome() + "/Other/";
  EXPECT_EQ(settings.GetApplicationPath(), "/opt/other/");
  EXPECT_EQ(settings.GetSettingsFilePath(), folder + "Other.settings");
  EXPECT_EQ(settings.GetApplicationUpdatesDir(), folder + "Updates/");
  EXPECT_EQ(settings.GetApplicationUpdatesExe().rfind(folder + "Updates/", 0), 0U);
  EXPECT_EQ(settings.GetApplicationDictionaryUpdatesFile(), folder + "Updates/ZEB.fdc");
  EXPECT_EQ(settings.GetApplicationServerUpdatesPath(),
            settings.GetServerAddress() + "/pagelint/pagelint.deb");
  EXPECT_EQ(settings.GetApplicationServerDictionaryPath(),
            settings.GetServerAddress() + "/dictionary/ZEB.fdc");
}

TEST_F(AppSettingsTest, MissingFileIsAFirstStartWithDefaults) {
  CAppSettings settings;
  bool first = true;
  bool upgraded = true;
  EXPECT_TRUE(Read(settings, &first, &upgraded));
  EXPECT_TRUE(first);
  EXPECT_FALSE(upgraded);
  EXPECT_TRUE(settings.GetAutomaticUpgrading());
  EXPECT_FALSE(settings.GetPlayWelcomeMsg());
  EXPECT_FALSE(CFileUtils::DoesFileExist(SettingsFile())) << "reading writes nothing";
}

TEST_F(AppSettingsTest, SavedSettingsReadBackInANewObject) {
  CAppSettings saved;
  SAppShape shape{10, 20, 800, 600, false, true, false};
  saved.SetAppShape(shape);
  saved.SetAutomaticUpgrading(false);
  saved.SetPlayWelcomeMsg(true);
  m_apps.SetOpenerApp("htm", "/usr/bin/firefox", true, false);
  m_apps.SetEditorApp("php", "/usr/bin/gedit", true, false);
  const std::vector<FileExtMgr::SEntry> apps = m_apps.GetAll();
  ASSERT_TRUE(saved.Save());

  m_apps.RemoveAll();
  m_apps.SetOpenerApp("asp", "", true, true);
  CAppSettings read;
  bool first = true;
  ASSERT_TRUE(Read(read, &first));
  EXPECT_FALSE(first);
  SAppShape got;
  EXPECT_TRUE(read.GetAppShape(got, 652, 388)) << "stored maximized";
  shape.stored = true;
  EXPECT_EQ(got, shape);
  EXPECT_FALSE(read.GetAutomaticUpgrading());
  EXPECT_TRUE(read.GetPlayWelcomeMsg());
  EXPECT_FALSE(read.Upgraded()) << "written by this very version";
  EXPECT_EQ(read.GetOldVersionNumber(), read.GetCurrentVersionNumber());
  std::vector<FileExtMgr::SEntry> expected = apps;
  expected.insert(expected.begin(), {"asp", "", ""});
  EXPECT_EQ(m_apps.GetAll(), expected) << "stored registrations join the existing ones";
}

TEST_F(AppSettingsTest, WindowShapeFallsBackToTheDefaultSize) {
  const struct {
    const char* what;
    std::optional<SAppShape> stored;
    SAppShape expected;
    bool maximized;
  } cases[] = {
      {"never stored", std::nullopt, {0, 0, 652, 388, false, false, false}, false},
      {"stored",
       SAppShape{5, 6, 700, 500, true, false, false},
       {5, 6, 700, 500, true, false, true},
       false},
      {"stored maximized",
       SAppShape{5, 6, 700, 500, false, true, false},
       {5, 6, 700, 500, false, true, true},
       true},
      {"no width",
       SAppShape{5, 6, 0, 500, false, true, false},
       {0, 0, 652, 388, false, false, false},
       false},
      {"negative height",
       SAppShape{5, 6, 700, -1, false, false, false},
       {0, 0, 652, 388, false, false, false},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CAppSettings settings;
    if (c.stored) {
      settings.SetAppShape(*c.stored);
    }
    SAppShape got{1, 1, 1, 1, true, true, true};
    EXPECT_EQ(settings.GetAppShape(got, 652, 388), c.maximized);
    EXPECT_EQ(got, c.expected);
  }
}

TEST_F(AppSettingsTest, AnOlderStoredVersionMeansUpgraded) {
  const std::string current = CAppSettings().GetCurrentVersionNumber();
  const struct {
    std::string stored;
    bool upgraded;
  } cases[] = {{"0.0.1", true}, {"0.0.0.1", true}, {current, false},
               {"99.0", false}, {"", false},       {"garbage", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE("stored " + c.stored);
    SBase base;
    base.version = c.stored;
    WriteSettings(BasePart(base));
    CAppSettings settings;
    bool upgraded = !c.upgraded;
    ASSERT_TRUE(Read(settings, nullptr, &upgraded));
    EXPECT_EQ(upgraded, c.upgraded);
    EXPECT_EQ(settings.Upgraded(), c.upgraded);
    EXPECT_EQ(settings.GetOldVersionNumber(), c.stored);
  }
}

TEST_F(AppSettingsTest, DamagedFileIsKeptAsBadAndChangesNothing) {
  SBase base;
  base.width = 700;
  base.height = 500;
  base.stored = true;
  base.automaticUpgrading = false;
  base.apps = {{"htm", "viewer", "editor"}, {"php", "", "phpedit"}};
  const std::string good = BasePart(base);
  std::vector<std::pair<std::string, std::string>> damaged;
  for (std::size_t length = 0; length < good.size(); ++length) {
    damaged.emplace_back("truncated at " + std::to_string(length), good.substr(0, length));
  }
  for (const std::uint16_t version : {0, 2, 0xFFFF}) {
    damaged.emplace_back("base version " + std::to_string(version), U16(version) + good.substr(2));
  }
  m_apps.SetOpenerApp("htm", "before", true, false);
  m_apps.SetEditorApp("shtml", "", true, true);
  const std::vector<FileExtMgr::SEntry> appsBefore = m_apps.GetAll();

  for (const auto& [what, bytes] : damaged) {
    SCOPED_TRACE(what);
    WriteSettings(bytes);
    testkit::WriteBytes(SettingsFile() + ".bad", "an older damaged file");
    CAppSettings settings;
    const LogCapture log;
    bool first = true;
    EXPECT_FALSE(Read(settings, &first));
    EXPECT_FALSE(first) << "a file was there";
    EXPECT_FALSE(CFileUtils::DoesFileExist(SettingsFile()));
    EXPECT_EQ(testkit::ReadBytes(SettingsFile() + ".bad"), bytes);
    ASSERT_EQ(log.Lines().size(), 1U);
    EXPECT_EQ(log.Lines()[0].rfind(std::string(kDamagedId) + " - " + SettingsFile() + " - ", 0), 0U)
        << log.Lines()[0];
    EXPECT_EQ(m_apps.GetAll(), appsBefore);
    EXPECT_TRUE(settings.GetAutomaticUpgrading());
    SAppShape shape;
    EXPECT_FALSE(settings.GetAppShape(shape, 652, 388));
    EXPECT_EQ(shape.width, 652);
  }
}

/// The base part with `count` registrations, the first with an opener of `openerBytes`.
std::string BaseWith(std::size_t count, std::size_t openerBytes,
                     const std::string& version = "0.0.1") {
  std::string out = U16(1) + AnyStr(version) + I32(0) + I32(0) + I32(0) + I32(0) + U8(0) + U8(0) +
                    U8(0) + U8(1) + U8(0) + U32(static_cast<std::uint32_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    out +=
        Str("e" + std::to_string(i)) + AnyStr(std::string(i == 0 ? openerBytes : 0, 'o')) + Str("");
  }
  return out;
}

// Each list and text of the file at its bound reads; one entry or byte more makes the
// file damaged: set aside with one log line, as any other damage.
TEST_F(AppSettingsTest, ListsAndTextsUpToTheirBoundsReadAndLongerOnesAreDamage) {
  constexpr std::size_t kList = CAppSettings::kMaxListEntries;
  constexpr std::size_t kText = CAppSettings::kMaxTextBytes;
  const struct {
    const char* what;
    std::string bytes;
    bool reads;
    std::size_t apps; ///< registrations taken; none from a damaged file
  } cases[] = {
      {"registrations at the bound", BaseWith(kList, 0), true, kList},
      {"one registration more", BaseWith(kList + 1, 0), false, 0},
      {"opener at the bound", BaseWith(1, kText), true, 1},
      {"opener a byte longer", BaseWith(1, kText + 1), false, 0},
      {"version at the bound", BaseWith(0, 0, std::string(kText, '9')), true, 0},
      {"version a byte longer", BaseWith(0, 0, std::string(kText + 1, '9')), false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    m_apps.RemoveAll();
    WriteSettings(c.bytes);
    CAppSettings settings;
    const LogCapture log;
    EXPECT_EQ(Read(settings), c.reads);
    EXPECT_EQ(log.Lines().size(), c.reads ? 0U : 1U);
    EXPECT_EQ(m_apps.GetAll().size(), c.apps);
    EXPECT_EQ(settings.GetDamagedFile().path, c.reads ? "" : SettingsFile());
    EXPECT_EQ(settings.GetDamagedFile().keptAs, c.reads ? "" : SettingsFile() + ".bad");
  }
}

TEST_F(AppSettingsTest, ADamagedFileThatCannotBeMovedIsToldApart) {
  WriteSettings("damaged");
  std::filesystem::create_directories(SettingsFile() + ".bad/full");
  CAppSettings settings;
  EXPECT_FALSE(Read(settings));
  EXPECT_EQ(settings.GetDamagedFile().path, SettingsFile());
  EXPECT_EQ(settings.GetDamagedFile().keptAs, "");
  EXPECT_EQ(testkit::ReadBytes(SettingsFile()), "damaged");

  // A later read that finds nothing wrong has nothing to tell.
  std::filesystem::remove(SettingsFile());
  EXPECT_TRUE(Read(settings));
  EXPECT_EQ(settings.GetDamagedFile().path, "");
}

// Save never writes a file that Read would refuse: the old file stays.
TEST_F(AppSettingsTest, RegistrationsBeyondTheBoundAreNotSaved) {
  CAppSettings settings;
  ASSERT_TRUE(settings.Save());
  const std::string saved = testkit::ReadBytes(SettingsFile());
  for (std::size_t i = 0; i <= CAppSettings::kMaxListEntries; ++i) {
    m_apps.SetOpenerApp("e" + std::to_string(i), "viewer", true, false);
  }
  const LogCapture log;
  EXPECT_FALSE(settings.Save());
  EXPECT_TRUE(log.Contains(kSaveFailedId));
  EXPECT_EQ(testkit::ReadBytes(SettingsFile()), saved);
}

TEST_F(AppSettingsTest, TrailingBytesAreIgnored) {
  SBase base;
  base.playWelcomeMsg = true;
  WriteSettings(BasePart(base) + "later additions");
  CAppSettings settings;
  EXPECT_TRUE(Read(settings));
  EXPECT_TRUE(settings.GetPlayWelcomeMsg());
}

TEST_F(AppSettingsTest, FailedSaveLeavesTheOldFileWhole) {
  CAppSettings settings;
  settings.SetPlayWelcomeMsg(true);
  ASSERT_TRUE(settings.Save());
  const std::string old = testkit::ReadBytes(SettingsFile());
  settings.SetPlayWelcomeMsg(false);
  settings.SetAppShape({1, 2, 3, 4, false, false, true});

  const struct {
    CFileWriteFaults::EStage stage;
    std::uint64_t after;
  } faults[] = {{CFileWriteFaults::EStage::Open, 0},
                {CFileWriteFaults::EStage::Write, 5},
                {CFileWriteFaults::EStage::Sync, 0},
                {CFileWriteFaults::EStage::Rename, 0}};
  for (const auto& fault : faults) {
    SCOPED_TRACE(static_cast<int>(fault.stage));
    CFileWriteFaults::Clear();
    CFileWriteFaults::Inject(fault.stage, fault.after);
    const LogCapture log;
    EXPECT_FALSE(settings.Save());
    EXPECT_TRUE(log.Contains(std::string(kSaveFailedId) + " - " + SettingsFile() + " - "));
    EXPECT_EQ(testkit::ReadBytes(SettingsFile()), old);
  }
  CFileWriteFaults::Clear();
  EXPECT_TRUE(settings.Save());
  EXPECT_NE(testkit::ReadBytes(SettingsFile()), old);
}

TEST_F(AppSettingsTest, SaveCreatesTheMissingSettingsFolder) {
  CAppLogger::Close(); // the log lives in the same folder
  std::filesystem::remove_all(SettingsFolder());
  CAppSettings settings;
  ASSERT_FALSE(CFileUtils::DoesFileExist(SettingsFolder()));
  EXPECT_TRUE(settings.Save());
  EXPECT_TRUE(CFileUtils::DoesFileExist(SettingsFile()));
}

TEST_F(AppSettingsTest, UpgradeServerIsHttpsByDefaultAndSettableWithoutBeingStored) {
  {
    CAppSettings settings;
    EXPECT_EQ(settings.GetServerAddress(), "https://www.corvanesoftware.com");
    settings.SetServerAddress("http://127.0.0.1:8080//");
    EXPECT_EQ(settings.GetApplicationServerDictionaryPath(),
              "http://127.0.0.1:8080/dictionary/ZEB.fdc");
    ASSERT_TRUE(settings.Save());
  }
  ::setenv(CAppSettings::kServerVariable, "http://mirror.example/", 1);
  CAppSettings settings;
  ::unsetenv(CAppSettings::kServerVariable);
  bool first = true;
  bool upgraded = false;
  ASSERT_TRUE(settings.Read("/opt/pagelint", "Pagelint", first, upgraded));
  EXPECT_EQ(settings.GetServerAddress(), "http://mirror.example");
}
