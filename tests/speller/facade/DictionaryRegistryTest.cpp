#include "facade/DictionaryRegistry.h"
#include "facade/DictionaryMsgWnd.h"

#include "speller/facade/SpellerFixture.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using spellertest::CDictChangedRecorder;
using spellertest::SpellerTest;
using Notices = std::vector<std::pair<int, long>>;
using Words = std::vector<std::string>;

using spellertest::kLogNoThunderbird;
using spellertest::kLogNoWordKey;

class DictionaryRegistryTest : public SpellerTest {
protected:
  /// Delivers a monitor's notice to the registry's window and handles it.
  void Notify(UINT message, LPARAM lParam = 0) {
    ASSERT_TRUE(PostMessage(m_registry.GetMsgWindowHandle(), message, 0, lParam));
    CMessageLoop::PumpPending();
  }
  void RescanFolder() { Notify(CDictionaryMsgWnd::MSG_CUSTOM_DIR_CHANGED); }

  Words Names() {
    std::vector<int> ids;
    m_registry.GetDictionaries(ids, true, true);
    Words names;
    for (const int id : ids) {
      std::string name;
      m_registry.GetDictionaryName(id, name);
      names.push_back(name + "#" + std::to_string(id));
    }
    return names;
  }

  CDictionaryRegistry m_registry;
};

TEST_F(DictionaryRegistryTest, HasAMessageWindowAfterStartUp) {
  EXPECT_EQ(m_registry.GetMsgWindowHandle(), 0U);
  m_registry.SetAppPath(AppDir());
  EXPECT_TRUE(IsWindow(m_registry.GetMsgWindowHandle()));
}

TEST_F(DictionaryRegistryTest, RescanDropsDeletedFilesAndRegistersNewOnes) {
  for (const char* file : {"a.dic", "b.dic", "c.dic"}) {
    WriteDic(file, "");
  }
  m_registry.SetAppPath(AppDir());
  CDictChangedRecorder recorder;
  m_registry.SetMsgWindow(recorder.GetSafeHwnd(), 77);
  ASSERT_EQ(Names(), (Words{"ZEB U.S. English#0", "a#1", "b#2", "c#3", "ZEB Custom#4"}));

  // Two files deleted at once and one created.
  fs::remove(CustomFolder() + "b.dic");
  fs::remove(CustomFolder() + "c.dic");
  WriteDic("d.dic", "");
  RescanFolder();
  EXPECT_EQ(Names(), (Words{"ZEB U.S. English#0", "a#1", "ZEB Custom#4", "d#5"}));
  CMessageLoop::PumpPending();
  EXPECT_EQ(recorder.notices, (Notices{{2, 77}, {3, 77}}));
  std::string name = "stale";
  m_registry.GetDictionaryName(2, name);
  EXPECT_EQ(name, "");
  EXPECT_FALSE(m_registry.LookUp("anything", {2, 3}));

  // A rename drops the old name and registers the new one under a new id; dropping
  // the last entry ends the walk.
  fs::rename(CustomFolder() + "a.dic", CustomFolder() + "e.dic");
  RescanFolder();
  fs::remove(CustomFolder() + "e.dic");
  RescanFolder();
  EXPECT_EQ(Names(), (Words{"ZEB U.S. English#0", "ZEB Custom#4", "d#5"}));
  CMessageLoop::PumpPending();
  EXPECT_EQ(recorder.notices, (Notices{{2, 77}, {3, 77}, {1, 77}, {6, 77}}));
  // Ids are never handed out twice.
  WriteDic("f.dic", "");
  RescanFolder();
  EXPECT_EQ(m_registry.GetDictionaryID("f"), 7);
}

TEST_F(DictionaryRegistryTest, RescanWithoutMessageWindowTellsNobody) {
  WriteDic("a.dic", "");
  m_registry.SetAppPath(AppDir());
  CDictChangedRecorder recorder;
  fs::remove(CustomFolder() + "a.dic");
  RescanFolder();
  CMessageLoop::PumpPending();
  EXPECT_EQ(m_registry.GetDictionaryID("a"), -1);
  EXPECT_TRUE(recorder.notices.empty());
}

TEST_F(DictionaryRegistryTest, RescanKeepsDictionariesWhoseFilesRemain) {
  WriteDic("my_terms.dic", "");
  m_registry.SetAppPath(AppDir());
  ASSERT_TRUE(m_registry.AddCustomDictionary("My Words"));
  RescanFolder();
  EXPECT_EQ(Names(), (Words{"ZEB U.S. English#0", "my terms#1", "ZEB Custom#2", "My Words#3"}));
}

// A site's list follows its project's renames, but never takes another dictionary's
// name, nor renames what is not a site's list; a rescan of the folder keeps it.
TEST_F(DictionaryRegistryTest, ASiteWordListIsRenamedToFreeNamesOnly) {
  m_registry.SetAppPath(AppDir());
  ASSERT_TRUE(m_registry.AddCustomDictionary("Taken"));
  const int site = m_registry.AddSiteWordList("Old Site Words", AppDir() + ".pagelint-words");
  ASSERT_GT(site, 0);
  const int custom = m_registry.GetDictionaryID("Taken");
  struct Case {
    int id;
    std::string name;
    bool renamed;
    std::string siteName; ///< the site list's name afterwards
  };
  const std::vector<Case> cases = {
      {site, "New Site Words", true, "New Site Words"},
      {site, "New Site Words", true, "New Site Words"},
      {site, "Taken", false, "New Site Words"},
      {site, "ZEB Custom", false, "New Site Words"},
      {site, " \t", false, "New Site Words"},
      {custom, "Other", false, "New Site Words"},
      {0, "Other", false, "New Site Words"},
      {site + 100, "Other", false, "New Site Words"},
      {site, "Old Site Words", true, "Old Site Words"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(m_registry.RenameSiteWordList(c.id, c.name), c.renamed) << c.id << " " << c.name;
    std::string name;
    m_registry.GetDictionaryName(site, name);
    EXPECT_EQ(name, c.siteName) << c.id << " " << c.name;
  }
  EXPECT_EQ(m_registry.GetDictionaryID("Taken"), custom);
  EXPECT_EQ(m_registry.GetDictionaryID("New Site Words"), -1) << "the old name is free again";
  RescanFolder();
  EXPECT_EQ(m_registry.GetDictionaryID("Old Site Words"), site);
  // Registering the same file again gives the one list under the name it has now.
  EXPECT_EQ(m_registry.AddSiteWordList("Third Site Words", AppDir() + ".pagelint-words"), site);
}

TEST_F(DictionaryRegistryTest, UnreadableFolderDropsNothing) {
  WriteDic("a.dic", "");
  m_registry.SetAppPath(AppDir());
  const std::string folder = CustomFolder().substr(0, CustomFolder().size() - 1);
  fs::rename(folder, folder + ".away");
  WriteFile(folder, "a file where the folder was");
  RescanFolder();
  EXPECT_EQ(Names(), (Words{"ZEB U.S. English#0", "a#1", "ZEB Custom#2"}));
}

TEST_F(DictionaryRegistryTest, FileChangeIsPassedOnForKnownIdsOnly) {
  m_registry.SetAppPath(AppDir());
  Notify(CDictionaryMsgWnd::MSG_DICT_FILE_CHANGED, 1); // no window set yet
  CDictChangedRecorder recorder;
  m_registry.SetMsgWindow(recorder.GetSafeHwnd(), -5);
  Notify(CDictionaryMsgWnd::MSG_DICT_FILE_CHANGED, 1);
  Notify(CDictionaryMsgWnd::MSG_DICT_FILE_CHANGED, 0);
  Notify(CDictionaryMsgWnd::MSG_DICT_FILE_CHANGED, 9);
  CMessageLoop::PumpPending();
  EXPECT_EQ(recorder.notices, (Notices{{1, -5}, {0, -5}}));
}

// Microsoft Word under Wine: its list of custom dictionaries in the prefix's user.reg.
// The path of Word's own list as user.reg stores it, backslashes escaped.
const std::string kCustomDicValue =
    "C:\\\\users\\\\me\\\\AppData\\\\Roaming\\\\Microsoft\\\\UProof\\\\CUSTOM.DIC";

class WordDictionariesTest : public DictionaryRegistryTest {
protected:
  void SetUp() override {
    DictionaryRegistryTest::SetUp();
    WriteFile(UProof() + "CUSTOM.DIC", spellertest::Utf16("Pagelint\r\nWysiwyg\r\n"));
    WriteFile(ConfigDir() + "Microsoft/Proof/MINE.DIC", "mine\n");
    WriteFile(ConfigDir() + "Microsoft/Proof/NEW.DIC", "newer\n");
    WriteFile(m_home.WinePrefix() + "/drive_c/users/me/after-gap.dic", "");
  }

  std::string UProof() const {
    return m_home.WinePrefix() + "/drive_c/users/me/AppData/Roaming/Microsoft/UProof/";
  }
};

TEST_F(WordDictionariesTest, RegistersTheListedFilesThatExist) {
  WriteUserReg("\"1\"=\"" + kCustomDicValue +
               "\"\n"
               "\"2\"=\"MINE.DIC\"\n"
               "\"3\"=\"C:\\\\users\\\\me\\\\missing.dic\"\n"
               "\"5\"=\"C:\\\\users\\\\me\\\\after-gap.dic\"");
  m_registry.SetAppPath(AppDir());
  EXPECT_EQ(Names(), (Words{"ZEB U.S. English#0", "ZEB Custom#1", "Microsoft Word CUSTOM#2",
                            "Microsoft Word MINE#3"}));
  EXPECT_TRUE(m_registry.LookUp("WYSIWYG", {2}));
  EXPECT_TRUE(m_registry.LookUp("mine", {3}));
  EXPECT_EQ(LogCount(kLogNoWordKey), 0);

  // Word's folder dictionaries survive a re-scan of the custom dictionary folder.
  RescanFolder();
  EXPECT_EQ(m_registry.GetDictionaryID("Microsoft Word CUSTOM"), 2);
}

TEST_F(WordDictionariesTest, RescanFollowsTheList) {
  WriteUserReg("\"1\"=\"" + kCustomDicValue +
               "\"\n"
               "\"2\"=\"MINE.DIC\"");
  m_registry.SetAppPath(AppDir());
  CDictChangedRecorder recorder;
  m_registry.SetMsgWindow(recorder.GetSafeHwnd(), 0);

  WriteUserReg("\"1\"=\"NEW.DIC\"\n"
               "\"2\"=\"" +
               kCustomDicValue + "\"");
  Notify(CDictionaryMsgWnd::MSG_WORD_DICTS_CHANGED);
  EXPECT_EQ(Names(), (Words{"ZEB U.S. English#0", "ZEB Custom#1", "Microsoft Word CUSTOM#2",
                            "Microsoft Word NEW#4"}));
  CMessageLoop::PumpPending();
  EXPECT_EQ(recorder.notices, (Notices{{3, 0}}));
}

TEST_F(WordDictionariesTest, NoWordKeyIsLoggedAndNeverRescanned) {
  m_registry.SetAppPath(AppDir());
  EXPECT_EQ(LogCount(kLogNoWordKey), 1);
  WriteUserReg("\"1\"=\"MINE.DIC\"");
  Notify(CDictionaryMsgWnd::MSG_WORD_DICTS_CHANGED);
  EXPECT_EQ(m_registry.GetDictionaryID("Microsoft Word MINE"), -1);
}

class ThunderbirdTest : public DictionaryRegistryTest {
protected:
  std::string ConfigProfiles() const { return ConfigDir() + "Thunderbird/Profiles/"; }
  std::string HomeProfiles() const { return m_home.Home() + "/.thunderbird/"; }
};

TEST_F(ThunderbirdTest, TheFirstPersonalDictionaryFoundIsUsed) {
  WriteFile(ConfigProfiles() + "b.default/persdict.dat", "second\n");
  WriteFile(ConfigProfiles() + "a.default/persdict.dat", "first\n");
  WriteFile(ConfigProfiles() + "a.default/other.dat", "");
  WriteFile(HomeProfiles() + "x.default/persdict.dat", "linux\n");
  m_registry.SetAppPath(AppDir());
  EXPECT_EQ(Names(), (Words{"ZEB U.S. English#0", "ZEB Custom#1", "Thunderbird Custom#2"}));
  EXPECT_TRUE(m_registry.LookUp("First", {2}));
  EXPECT_FALSE(m_registry.LookUp("second", {2}));
  EXPECT_EQ(LogCount(kLogNoThunderbird), 0);
  RescanFolder();
  EXPECT_EQ(m_registry.GetDictionaryID("Thunderbird Custom"), 2);
}

TEST_F(ThunderbirdTest, ProfilesInTheHomeFolderAreFoundToo) {
  WriteFile(HomeProfiles() + "x.default-release/persdict.dat", "Linux\n");
  m_registry.SetAppPath(AppDir());
  EXPECT_TRUE(m_registry.LookUp("linux", {m_registry.GetDictionaryID("Thunderbird Custom")}));
}

} // namespace
