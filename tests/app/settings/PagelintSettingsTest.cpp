#include "settings/PagelintSettings.h"

#include "diskfiles/FileExtMgr.h"
#include "settings/DefaultShades.h"
#include "shadeui/BkgStyle.h"
#include "support/appcfg/SettingsBytes.h"
#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedFakeHome.h"
#include "utilcore/AppLogger.h"
#include "utilcore/FileUtils.h"
#include "utilcore/FileWriteFaults.h"
#include "utilcore/HTMLUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace settingsbytes;

namespace {
constexpr const char* kDamagedId = "{B2B0F801-E990-4D20-8883-BC65F2C973CF}";
constexpr const char* kSaveFailedId = "{645E8BCF-73FB-481B-B01F-BF45BF9589E9}";

CShadeProperties Shade(const std::string& name, std::uint32_t color) {
  CShadeProperties shade;
  shade.SetName(name);
  shade.SetEnabled(1);
  shade.SetColor(color);
  shade.SetShading(1, 2, 3, -4);
  return shade;
}

std::string ShadeBytes(const CShadeProperties& s) {
  return Str(s.GetName()) + U8(s.GetEnabled()) + U32(s.GetColor()) + U8(s.GetLighten()) +
         U8(s.GetGloss()) + U8(s.GetDarken()) + I32(s.GetPattern());
}

/// The background styles as stored: every component, those not given plain.
std::string StylesBytes(const std::map<int, CShadeProperties>& user) {
  std::string out = U16(1) + U32(BkgStyle::kComponentCount);
  for (int c = 0; c < BkgStyle::kComponentCount; ++c) {
    const auto found = user.find(c);
    out += I32(c) + ShadeBytes(found == user.end() ? CShadeProperties{} : found->second);
  }
  return out;
}

const CShadeProperties kMine = Shade("Tool Bar Buttons (mine)", 0x00123456);

class PagelintSettingsTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
    m_apps.RemoveAll();
    m_styles.RemoveAll();
  }
  void TearDown() override {
    CFileWriteFaults::Clear();
    m_apps.RemoveAll();
    m_styles.RemoveAll();
    CAppLogger::Close();
  }

  std::string SettingsFolder() const { return m_home.ConfigHome() + "/Pagelint/"; }
  std::string SettingsFile() const { return SettingsFolder() + "Pagelint.settings"; }
  void WriteSettings(const std::string& bytes) const {
    std::string error;
    ASSERT_TRUE(CFileUtils::WriteFileBytesAtomic(SettingsFile(), bytes, error)) << error;
  }
  static bool Read(CPagelintSettings& settings, bool* firstStart = nullptr) {
    bool first = true;
    bool upgraded = false;
    const bool ok = settings.Read("/opt/pagelint/", "Pagelint", first, upgraded);
    if (firstStart != nullptr) {
      *firstStart = first;
    }
    return ok;
  }
  std::vector<CShadeProperties> UserStyles() const {
    std::vector<CShadeProperties> styles;
    for (int c = 0; c < BkgStyle::kComponentCount; ++c) {
      styles.push_back(m_styles.GetUser(c));
    }
    return styles;
  }
  /// A registration made before the settings exist, so that construction adds none.
  void RegisterSentinel() { m_apps.SetOpenerApp("asp", "", true, true); }

  ScopedFakeHome m_home;
  FileExtMgr& m_apps = *FileExtMgr::GetInstance();
  BkgStyle& m_styles = *BkgStyle::GetInstance();
};
} // namespace

TEST_F(PagelintSettingsTest, ConstructionRegistersHTMLTypesOnlyInAnEmptyManager) {
  std::vector<std::string> extensions;
  CHTMLUtils::GetSupportedHTMLFiles(extensions, true);
  ASSERT_FALSE(extensions.empty());
  {
    const CPagelintSettings settings;
    std::vector<std::string> registered;
    m_apps.GetApplications(registered, true);
    EXPECT_EQ(registered.size(), extensions.size());
    for (const std::string& extension : extensions) {
      SCOPED_TRACE(extension);
      EXPECT_EQ(m_apps.SetOpenerApp(extension, "x", false, true), true) << "registered, empty";
      EXPECT_EQ(m_apps.GetEditorApp(extension, true), "");
    }
  }
  m_apps.RemoveAll();
  m_apps.SetEditorApp("htm", "/usr/bin/gedit", true, false);
  const std::vector<FileExtMgr::SEntry> before = m_apps.GetAll();
  const CPagelintSettings settings;
  EXPECT_EQ(m_apps.GetAll(), before);
}

TEST_F(PagelintSettingsTest, DefaultsPointBothFoldersAtTheSettingsFolder) {
  const CPagelintSettings settings;
  EXPECT_EQ(settings.GetDocSettings().projectDataDirectory, SettingsFolder());
  EXPECT_EQ(settings.GetDocSettings().newProjectDirectory, SettingsFolder());
  EXPECT_FALSE(settings.findMatchCase || settings.findSearchDown || settings.findStopAtEnd);
  EXPECT_EQ(settings.configurationTab, 0);
}

TEST_F(PagelintSettingsTest, FirstStartOnlyWithoutAFile) {
  RegisterSentinel();
  CPagelintSettings settings;
  bool first = false;
  EXPECT_TRUE(Read(settings, &first));
  EXPECT_TRUE(first);
  ASSERT_TRUE(settings.Save());
  CPagelintSettings again;
  EXPECT_TRUE(Read(again, &first));
  EXPECT_FALSE(first);
}

TEST_F(PagelintSettingsTest, VersionFiveIsWrittenByteForByteAndReadBack) {
  m_apps.SetOpenerApp("htm", "/usr/bin/firefox", true, false);
  m_apps.SetEditorApp("htm", "/usr/bin/gedit", true, false);
  m_styles.SetUser(2, kMine);
  CPagelintSettings settings;
  settings.findMatchCase = true;
  settings.findStopAtEnd = true;
  settings.configurationTab = 3;
  settings.GetDocSettings().newProjectDirectory = "/srv/sites/";
  settings.GetDocSettings().projectDataDirectory = "/srv/data/";
  settings.SetAppShape({10, 20, 800, 600, false, true, false});
  settings.SetAutomaticUpgrading(false);
  settings.SetPlayWelcomeMsg(true);
  ASSERT_TRUE(settings.Save());

  SBase base;
  base.version = settings.GetCurrentVersionNumber();
  base.left = 10;
  base.top = 20;
  base.width = 800;
  base.height = 600;
  base.maximized = true;
  base.stored = true;
  base.automaticUpgrading = false;
  base.playWelcomeMsg = true;
  base.apps = {{"htm", "/usr/bin/firefox", "/usr/bin/gedit"}};
  const std::string expected = BasePart(base) + U16(5) + U16(1) + U16(0) + U16(1) +
                               Str("/srv/sites/") + Str("/srv/data/") + I32(3) +
                               StylesBytes({{2, kMine}});
  EXPECT_EQ(testkit::ReadBytes(SettingsFile()), expected);

  m_apps.RemoveAll();
  m_apps.SetOpenerApp("htm", "", true, true); // so that construction registers nothing
  m_styles.RemoveAll();
  CPagelintSettings read;
  ASSERT_TRUE(Read(read));
  EXPECT_TRUE(read.findMatchCase);
  EXPECT_FALSE(read.findSearchDown);
  EXPECT_TRUE(read.findStopAtEnd);
  EXPECT_EQ(read.configurationTab, 3);
  EXPECT_EQ(read.GetDocSettings().newProjectDirectory, "/srv/sites/");
  EXPECT_EQ(read.GetDocSettings().projectDataDirectory, "/srv/data/");
  EXPECT_EQ(m_styles.GetUser(2), kMine);
  EXPECT_EQ(m_apps.GetOpenerApp("htm", true), "/usr/bin/firefox");
  EXPECT_EQ(m_apps.GetEditorApp("htm", true), "/usr/bin/gedit");
  ASSERT_TRUE(read.Save());
  EXPECT_EQ(testkit::ReadBytes(SettingsFile()), expected) << "a read and save changes nothing";
}

namespace {
struct SVersionCase {
  const char* name;
  std::string body;          ///< everything after the base part
  std::string dataDirectory; ///< empty: the default
  std::int32_t tab;
  bool stylesRead;
  std::vector<FileExtMgr::SEntry> apps;
};

const std::string kFlags = U16(1) + U16(0) + U16(1);
const std::string kNewProject = Str("/srv/sites/");
// What a reader that does not stop would take for the tab and the styles.
const std::string kTabAndStyles = I32(3) + StylesBytes({{5, kMine}});
const std::vector<FileExtMgr::SEntry> kSentinelOnly{{"asp", "", ""}};

std::vector<SVersionCase> VersionCases() {
  return {
      {"v1", U16(1) + kFlags + kNewProject + kTabAndStyles, "", 0, false, kSentinelOnly},
      {"v2",
       U16(2) + kFlags + kNewProject + Str("dropped") + U32(2) + Str("htm") +
           Str("/usr/bin/viewer") + Str(".PHP") + Str("/usr/bin/phpview") + U32(1) + Str("htm") +
           Str("/usr/bin/editor") + kTabAndStyles,
       "",
       0,
       false,
       {{"asp", "", ""},
        {"htm", "/usr/bin/viewer", "/usr/bin/editor"},
        {"php", "/usr/bin/phpview", ""}}},
      {"v3", U16(3) + kFlags + kNewProject + Str("dropped") + kTabAndStyles, "", 0, false,
       kSentinelOnly},
      {"v4", U16(4) + kFlags + kNewProject + Str("dropped") + kTabAndStyles, "", 3, true,
       kSentinelOnly},
      {"v5", U16(5) + kFlags + kNewProject + Str("/srv/data/") + kTabAndStyles, "/srv/data/", 3,
       true, kSentinelOnly},
  };
}

class SettingsVersions : public PagelintSettingsTest,
                         public testing::WithParamInterface<SVersionCase> {};
} // namespace

TEST_P(SettingsVersions, ReadOnlyTheFieldsTheVersionHas) {
  const SVersionCase& c = GetParam();
  RegisterSentinel();
  CDefaultShades::Apply(&m_styles);
  const CShadeProperties defaultFive = m_styles.GetDefault(5);
  WriteSettings(BasePart({}) + c.body);
  CPagelintSettings settings;
  ASSERT_TRUE(Read(settings));
  EXPECT_TRUE(settings.findMatchCase);
  EXPECT_FALSE(settings.findSearchDown);
  EXPECT_TRUE(settings.findStopAtEnd);
  EXPECT_EQ(settings.GetDocSettings().newProjectDirectory, "/srv/sites/");
  EXPECT_EQ(settings.GetDocSettings().projectDataDirectory,
            c.dataDirectory.empty() ? SettingsFolder() : c.dataDirectory);
  EXPECT_EQ(settings.configurationTab, c.tab);
  EXPECT_EQ(m_styles.GetUser(5), c.stylesRead ? kMine : defaultFive);
  EXPECT_EQ(m_styles.GetUser(4), c.stylesRead ? CShadeProperties{} : m_styles.GetDefault(4));
  EXPECT_EQ(m_apps.GetAll(), c.apps);
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, SettingsVersions, testing::ValuesIn(VersionCases()),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(PagelintSettingsTest, OnlyAStoredOneReadsAsTrue) {
  RegisterSentinel();
  const struct {
    std::uint16_t stored;
    bool expected;
  } cases[] = {{0, false}, {1, true}, {2, false}, {0x0100, false}, {0xFFFF, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    WriteSettings(BasePart({}) + U16(5) + U16(c.stored) + U16(c.stored) + U16(c.stored) + Str("") +
                  Str("") + kTabAndStyles);
    CPagelintSettings settings;
    ASSERT_TRUE(Read(settings));
    EXPECT_EQ(settings.findMatchCase, c.expected);
    EXPECT_EQ(settings.findSearchDown, c.expected);
    EXPECT_EQ(settings.findStopAtEnd, c.expected);
  }
}

TEST_F(PagelintSettingsTest, DamagedOrUnknownFilesGiveDefaultsAndKeepTheBytes) {
  RegisterSentinel();
  CDefaultShades::Apply(&m_styles);
  m_styles.SetUser(2, kMine);
  m_apps.SetOpenerApp("htm", "/usr/bin/firefox", true, false);
  std::string good;
  {
    CPagelintSettings settings;
    settings.findSearchDown = true;
    settings.configurationTab = 2;
    settings.GetDocSettings().projectDataDirectory = "/srv/data/";
    ASSERT_TRUE(settings.Save());
    good = testkit::ReadBytes(SettingsFile());
  }
  const std::string base = BasePart({});
  std::vector<std::pair<std::string, std::string>> damaged;
  for (std::size_t length = 0; length < good.size(); ++length) {
    damaged.emplace_back("truncated at " + std::to_string(length), good.substr(0, length));
  }
  for (const std::uint16_t version : {0, 6, 0xFFFF}) {
    damaged.emplace_back("version " + std::to_string(version),
                         base + U16(version) + kFlags + kNewProject + Str("/d/") + kTabAndStyles);
  }
  damaged.emplace_back("v2 table count beyond the bytes", base + U16(2) + kFlags + kNewProject +
                                                              Str("x") + U32(1) + Str("htm") +
                                                              Str("/usr/bin/viewer") + U32(1000));
  const std::vector<FileExtMgr::SEntry> appsBefore = m_apps.GetAll();

  for (const auto& [what, bytes] : damaged) {
    SCOPED_TRACE(what);
    WriteSettings(bytes);
    m_styles.SetUser(2, kMine);
    CPagelintSettings settings;
    settings.findMatchCase = true;
    settings.configurationTab = 7;
    const LogCapture log;
    bool first = true;
    EXPECT_FALSE(Read(settings, &first));
    EXPECT_FALSE(first);
    EXPECT_EQ(testkit::ReadBytes(SettingsFile() + ".bad"), bytes);
    EXPECT_FALSE(CFileUtils::DoesFileExist(SettingsFile()));
    ASSERT_EQ(log.Lines().size(), 1U);
    EXPECT_EQ(log.Lines()[0].rfind(std::string(kDamagedId) + " - " + SettingsFile() + " - ", 0), 0U)
        << log.Lines()[0];
    EXPECT_FALSE(settings.findMatchCase || settings.findSearchDown);
    EXPECT_EQ(settings.configurationTab, 0);
    EXPECT_EQ(settings.GetDocSettings().projectDataDirectory, SettingsFolder());
    EXPECT_EQ(m_styles.GetUser(2), m_styles.GetDefault(2));
    EXPECT_EQ(m_apps.GetAll(), appsBefore);
  }
}

// The lists and paths of Pagelint's part at their bounds read; one entry or byte more
// is damage, set aside like any other.
TEST_F(PagelintSettingsTest, ListsAndPathsUpToTheirBoundsReadAndLongerOnesAreDamage) {
  const auto tables = [](std::size_t count) {
    std::string out =
        U16(2) + kFlags + kNewProject + Str("x") + U32(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
      out += Str("e" + std::to_string(i)) + Str("");
    }
    return out + U32(0);
  };
  const auto styles = [](std::size_t count) {
    std::string out = U16(5) + kFlags + kNewProject + Str("/d/") + I32(0) + U16(1) +
                      U32(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
      out += I32(0) + ShadeBytes({});
    }
    return out;
  };
  const auto dataFolder = [](std::size_t bytes) {
    return U16(5) + kFlags + kNewProject + AnyStr(std::string(bytes, '/')) + kTabAndStyles;
  };
  // Each list or text at its bound, then one entry or byte more.
  const std::pair<const char*, std::string> cases[] = {
      {"version 2 tables", tables(CAppSettings::kMaxListEntries)},
      {"version 2 tables", tables(CAppSettings::kMaxListEntries + 1)},
      {"styles", styles(BkgStyle::kMaxEntries)},
      {"styles", styles(BkgStyle::kMaxEntries + 1)},
      {"data folder", dataFolder(CAppSettings::kMaxTextBytes)},
      {"data folder", dataFolder(CAppSettings::kMaxTextBytes + 1)},
  };
  bool reads = true;
  for (const auto& [what, body] : cases) {
    SCOPED_TRACE(std::string(what) + (reads ? " at the bound" : " past it"));
    WriteSettings(BasePart({}) + body);
    CPagelintSettings settings;
    const LogCapture log;
    EXPECT_EQ(Read(settings), reads);
    EXPECT_EQ(log.Lines().size(), reads ? 0U : 1U);
    EXPECT_EQ(CFileUtils::DoesFileExist(SettingsFile() + ".bad"), !reads);
    std::filesystem::remove(SettingsFile() + ".bad");
    reads = !reads;
  }
}

TEST_F(PagelintSettingsTest, FailedSaveLeavesTheOldFileWhole) {
  RegisterSentinel();
  CPagelintSettings settings;
  ASSERT_TRUE(settings.Save());
  const std::string old = testkit::ReadBytes(SettingsFile());
  settings.configurationTab = 4;
  CFileWriteFaults::Inject(CFileWriteFaults::EStage::Write, 40);
  const LogCapture log;
  EXPECT_FALSE(settings.Save());
  EXPECT_TRUE(log.Contains(kSaveFailedId));
  EXPECT_EQ(testkit::ReadBytes(SettingsFile()), old);
}

TEST_F(PagelintSettingsTest, TheDocumentsSaveWritesTheSettings) {
  RegisterSentinel();
  CPagelintSettings settings;
  CDocSettings& doc = settings.GetDocSettings();
  ASSERT_TRUE(doc.save);
  doc.newProjectDirectory = "/srv/new/";
  doc.save();
  CPagelintSettings read;
  ASSERT_TRUE(Read(read));
  EXPECT_EQ(read.GetDocSettings().newProjectDirectory, "/srv/new/");
}

TEST_F(PagelintSettingsTest, DefaultShadesGiveThirteenComponentsTheirShading) {
  const struct {
    int component;
    const char* name;
    std::uint32_t color;
    std::uint8_t lighten, gloss, darken;
    std::int32_t pattern;
  } expected[] = {
      {10, "Stand-alone Buttons", 0x8E8E38, 42, 33, 16, 7},
      {11, "Horizontally-grouped Buttons", 0x009300, 33, 16, 10, 3},
      {1, "Pop-up Windows", 0x009300, 20, 0, 10, 1},
      {0, "Main Window", 0x8E8E38, 15, 33, 16, 1},
      {4, "Tool Bar", 0x98FB98, 17, 0, 27, 1},
      {5, "Tool Bar Buttons", 0x98FB98, 17, 33, 27, 1},
      {2, "Menu Bar", 0x98FB98, 17, 0, 27, 1},
      {3, "Menu Bar Buttons", 0x98FB98, 17, 33, 27, 1},
      {6, "Status Bar", 0x98FB98, 17, 0, 27, 1},
      {7, "Status Bar Panes", 0x98FB98, 17, 0, 27, 1},
      {8, "Web Projects Bar", 0x98FB98, 17, 0, 27, 1},
      {9, "Web Projects Buttons", 0x98FB98, 17, 33, 27, 1},
      {24, "Web Projects Button (selected)", 0x00FFFF, 23, 33, 16, 1},
  };
  m_styles.SetUser(24, kMine);
  CDefaultShades::Apply(&m_styles);
  std::map<int, CShadeProperties> shaded;
  for (const auto& row : expected) {
    SCOPED_TRACE(row.name);
    CShadeProperties shade;
    shade.SetName(row.name);
    shade.SetEnabled(1);
    shade.SetColor(row.color);
    shade.SetShading(row.lighten, row.gloss, row.darken, row.pattern);
    EXPECT_EQ(m_styles.GetDefault(row.component), shade);
    shaded[row.component] = shade;
  }
  EXPECT_EQ(shaded.size(), 13U);
  for (int c = 0; c < BkgStyle::kComponentCount; ++c) {
    SCOPED_TRACE(c);
    const auto found = shaded.find(c);
    EXPECT_EQ(m_styles.GetUser(c), found == shaded.end() ? CShadeProperties{} : found->second);
  }
  CDefaultShades::Apply(nullptr); // no instance: nothing to do, no crash
}
