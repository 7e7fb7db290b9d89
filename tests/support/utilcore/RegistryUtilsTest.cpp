#include "utilcore/RegistryUtils.h"
#include "utilcore/WineRegistryFile.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kProofing = "Software\\Microsoft\\Shared Tools\\Proofing Tools";
const std::string kWordKey = kProofing + "\\1.0\\Custom Dictionaries";

// Word's dictionary list as Wine stores it: escaped backslashes, a time stamp
// after the section name, meta lines, a non-ASCII name as \x escape, values of
// other types and a hex value continued over two lines.
const std::string kUserReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-1-2-3-1000

#arch=win64

[Software\\Microsoft\\Office\\16.0\\Word\\Options] 1700000000
#time=1da1c2b3a4f5e60
"AutoSave"=dword:00000001

[Software\\Microsoft\\Shared Tools\\Proofing Tools\\1.0\\Custom Dictionaries] 1700000001
#time=1da1c2b3a4f5e61
"1"="C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\UProof\\CUSTOM.DIC"
"2"="C:\\users\\tester\\AppData\\Roaming\\Microsoft\\UProof\\Fachw\xf6rter.dic"
"3"="CUSTOM2.DIC"
"Blob"=hex:01,02,03,\
  "4"="not a value",05
"Count"=dword:00000003
@="the default"

[Software\\Microsoft\\Shared Tools\\Proofing Tools\\1.0\\Override\\en-US] 1700000002
"DLL"=str(2):"%CommonProgramFiles%\\mssp7en.dll\0"
"Lists"=str(7):"first\0second\0"
)";

class RegistryTest : public testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(Prefix() + "drive_c/users/tester/AppData/Roaming/Microsoft/UProof");
    fs::create_directories(Prefix() + "dosdevices");
    fs::create_symlink("../drive_c", Prefix() + "dosdevices/c:");
    WriteUserReg(kUserReg);
  }

  std::string Prefix() const { return m_home.WinePrefix() + "/"; }
  std::string DriveC() const { return fs::canonical(Prefix() + "drive_c").string(); }
  void WriteUserReg(const std::string& text) const {
    testkit::WriteBytes(Prefix() + "user.reg", text);
  }

  ScopedFakeHome m_home;
};

TEST_F(RegistryTest, PathsFollowTheWinePrefix) {
  EXPECT_EQ(CRegistryUtils::GetWinePrefix(), Prefix());
  EXPECT_EQ(CRegistryUtils::GetUserRegPath(), Prefix() + "user.reg");
  EXPECT_EQ(CRegistryUtils::GetRegFilePath(HKEY_LOCAL_MACHINE), Prefix() + "system.reg");
}

TEST_F(RegistryTest, FindsWordsDictionaryListAtAllLevels) {
  std::vector<std::string> keys{"stale"};
  ASSERT_TRUE(CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, kProofing, keys, true));
  // "1.0" and "Override" have no section of their own.
  EXPECT_EQ(keys,
            (std::vector<std::string>{kProofing + "\\1.0", kWordKey, kProofing + "\\1.0\\Override",
                                      kProofing + "\\1.0\\Override\\en-US"}));
}

TEST_F(RegistryTest, DirectChildrenOnly) {
  std::vector<std::string> keys;
  ASSERT_TRUE(CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, kProofing + "\\1.0", keys, false));
  EXPECT_EQ(keys, (std::vector<std::string>{kWordKey, kProofing + "\\1.0\\Override"}));
  ASSERT_TRUE(CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "", keys, false));
  EXPECT_EQ(keys, std::vector<std::string>{"Software"});
}

TEST_F(RegistryTest, MissingKeyHasNoSubKeys) {
  std::vector<std::string> keys{"stale"};
  EXPECT_FALSE(CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "Software\\Nobody", keys, true));
  EXPECT_TRUE(keys.empty());
  EXPECT_FALSE(CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "Software\\Micro", keys, true));
}

TEST_F(RegistryTest, WordValuesBecomeDriveCPaths) {
  const std::string uproof = DriveC() + "/users/tester/AppData/Roaming/Microsoft/UProof/";
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "1", false),
            uproof + "CUSTOM.DIC");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "2", false),
            uproof + "Fachw\xC3\xB6rter.dic");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "3", false), "CUSTOM2.DIC");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "4", false), "");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "1", true),
            "C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\UProof\\CUSTOM.DIC");
}

TEST_F(RegistryTest, KeysAndNamesIgnoreCaseAndStraySeparators) {
  const std::string expected = "CUSTOM2.DIC";
  for (const std::string& key :
       {kWordKey, kWordKey + "\\", kWordKey + "/", "\\" + kWordKey,
        std::string(
            "software\\MICROSOFT\\shared tools\\\\proofing tools\\1.0\\custom dictionaries")}) {
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, key, "3", false), expected) << key;
  }
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "COUNT", false), "");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER,
                                        "Software\\microsoft\\office\\16.0\\word", "x", false),
            "");
}

TEST_F(RegistryTest, ValueKinds) {
  const std::string overrideKey = kProofing + "\\1.0\\Override\\en-US";
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "", false), "the default");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "Count", false), "");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "Blob", false), "");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, overrideKey, "DLL", false),
            "%CommonProgramFiles%\\mssp7en.dll");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, overrideKey, "Lists", false), "first");
}

TEST_F(RegistryTest, ReadsTheFileAgainWhenItChanges) {
  const std::string before = "WINE REGISTRY Version 2\n[A] 1\n\"v\"=\"one\"\n";
  const std::string after = "WINE REGISTRY Version 2\n[A] 1\n\"v\"=\"two\"\n";
  WriteUserReg(before);
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "A", "v", false), "one");
  // Replaced by rename, as Wine saves it: same size, new file.
  testkit::WriteBytes(Prefix() + "user.reg.new", after);
  fs::rename(Prefix() + "user.reg.new", Prefix() + "user.reg");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "A", "v", false), "two");
  // Rewritten in place with another size.
  WriteUserReg(before + "\"w\"=\"three\"\n");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "A", "w", false), "three");
  fs::remove(Prefix() + "user.reg");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "A", "w", false), "");
}

TEST_F(RegistryTest, ConcurrentReadersAgree) {
  std::vector<std::thread> threads;
  std::vector<int> good(4, 0);
  for (int& count : good) {
    threads.emplace_back([&count] {
      for (int i = 0; i < 50; ++i) {
        std::vector<std::string> keys;
        CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, kProofing, keys, true);
        if (keys.size() == 4 &&
            CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "3", true) == "CUSTOM2.DIC") {
          ++count;
        }
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(good, std::vector<int>(4, 50));
}

TEST(RegistryNoWine, MissingPrefixIsAnEmptyRegistry) {
  ScopedFakeHome home;
  std::vector<std::string> keys;
  EXPECT_FALSE(CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, kProofing, keys, true));
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kWordKey, "1", false), "");
  // The root itself exists even in an empty registry.
  EXPECT_TRUE(CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "", keys, true));
  EXPECT_TRUE(keys.empty());
}

TEST(RegistryNoWine, FifoInPlaceOfTheFileDoesNotHang) {
  ScopedFakeHome home;
  fs::create_directories(home.WinePrefix());
  ASSERT_EQ(::mkfifo((home.WinePrefix() + "/user.reg").c_str(), 0600), 0);
  std::vector<std::string> keys;
  EXPECT_FALSE(CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, kProofing, keys, true));
}

TEST(RegistryNoWine, DefaultPrefixIsInTheHomeFolder) {
  ScopedFakeHome home;
  ::unsetenv("WINEPREFIX");
  EXPECT_EQ(CRegistryUtils::GetWinePrefix(), home.Home() + "/.wine/");
}

// The parser on its own: escapes and damaged files.

std::string ValueOf(const std::string& body, const std::string& name = "v") {
  const CWineRegistryFile file("WINE REGISTRY Version 2\n[K]\n" + body + "\n");
  std::string value = "<none>";
  file.GetStringValue("K", name, value);
  return value;
}

TEST(WineRegistryFile, StringEscapes) {
  const struct {
    const char* body;
    const char* value;
  } cases[] = {
      {R"("v"="plain")", "plain"},
      {R"("v"="a\\b")", "a\\b"},
      {R"("v"="say \"hi\"")", "say \"hi\""},
      {R"("v"="tab\there\nline")", "tab\there\nline"},
      {R"("v"="caf\xe9")", "caf\xC3\xA9"},
      {R"("v"="\x20ac\x41")", "\xE2\x82\xAC"
                              "A"},
      {R"("v"="\xe9t")", "\xC3\xA9t"},
      {R"("v"="\xd83d\xde00!")", "\xF0\x9F\x98\x80!"},
      {R"("v"="\xd83dx")", "\xEF\xBF\xBDx"},
      {R"("v"="\xde00")", "\xEF\xBF\xBD"},
      {R"("v"="\101\60")", "A0"},
      {R"("v"="\q")", "q"},
      {R"("v"="")", ""},
      {"\"v\"=\"raw \xC3\xA9 bytes\"", "raw \xC3\xA9 bytes"},
      {R"("v"="unterminated)", "<none>"},
      {R"("v"="ends in escape\)", "<none>"},
      {R"("v" = "spaced")", "<none>"},
      {R"("v"=str(2):"expand")", "expand"},
      {R"~("v"=str(2)"broken")~", "<none>"},
      {R"("v"=hex(1):41,00)", "<none>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValueOf(c.body), c.value) << c.body;
  }
}

TEST(WineRegistryFile, EscapedValueNamesAndKeyNames) {
  EXPECT_EQ(ValueOf(R"("na\"me"="x")", "na\"me"), "x");
  // Wine writes four digits when a hex letter follows.
  EXPECT_EQ(ValueOf(R"("Gr\xf6\x00dfe"="x")", "GR\xC3\x96\xC3\x9F"
                                              "E"),
            "x");
  const CWineRegistryFile file("WINE REGISTRY Version 2\n[Caf\\xe9\\\\Sub\\]Key] 5\n\"v\"=\"x\"\n");
  std::vector<std::string> keys;
  file.GetSubKeys("", true, keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"Caf\xC3\xA9", "Caf\xC3\xA9\\Sub]Key"}));
  std::string value;
  EXPECT_TRUE(file.GetStringValue("CAF\xC3\x89\\sub]key", "V", value));
  EXPECT_EQ(value, "x");
}

TEST(WineRegistryFile, DamagedFiles) {
  const struct {
    const char* name;
    std::string text;
    bool hasKey;
    const char* value;
  } cases[] = {
      {"Empty", "", false, ""},
      {"NoHeader", "[K]\n\"v\"=\"x\"\n", false, ""},
      {"OtherVersion", "WINE REGISTRY Version 1\n[K]\n\"v\"=\"x\"\n", false, ""},
      {"CrLf", "WINE REGISTRY Version 2\r\n[K] 1\r\n\"v\"=\"x\"\r\n", true, "x"},
      {"NoFinalNewline", "WINE REGISTRY Version 2\n[K]\n\"v\"=\"x\"", true, "x"},
      // A damaged section line must not hand its values to the key before it.
      {"BrokenSectionLine", "WINE REGISTRY Version 2\n[K]\n[K\\Sub\n\"v\"=\"x\"\n", true, ""},
      {"LaterSectionWins", "WINE REGISTRY Version 2\n[K]\n\"v\"=\"1\"\n[k]\n\"v\"=\"2\"\n", true,
       "2"},
      {"BinaryJunk", std::string("WINE REGISTRY Version 2\n[K]\n\0\xFF\xFE\"v\"=\"x\n", 38), true,
       ""},
      {"ContinuedHexHidesNothing",
       "WINE REGISTRY Version 2\n[K]\n\"h\"=hex:00,\\\n  00,\\\n  00\n\"v\"=\"after\"\n", true,
       "after"},
  };
  for (const auto& c : cases) {
    const CWineRegistryFile file(c.text);
    EXPECT_EQ(file.HasKey("K"), c.hasKey) << c.name;
    std::string value;
    file.GetStringValue("K", "v", value);
    EXPECT_EQ(value, c.value) << c.name;
  }
}

TEST(WineRegistryFile, NormalKeysAreFixedPoints) {
  const struct {
    std::string key;
    std::string normal;
  } cases[] = {
      {"Software\\Wine", "software\\wine"},
      {"\\\\A\\\\b\\", "a\\b"},
      {"A\\B/", "a\\b"},
      {"a//", "a"},
      {"a\\/", "a"},
      {"a/\\", "a"},
      {"a/\\//\\\\/", "a"},
      {"/a/b\\c", "/a/b\\c"},
      {"Caf\xC3\x89\\\xCE\xA3", "caf\xC3\xA9\\\xCF\x83"},
      {"\xD4/\\/", "\xD4"},
      {"/", ""},
      {"\\/\\", ""},
  };
  for (const auto& c : cases) {
    const std::string normal = CWineRegistryFile::NormalizeKey(c.key);
    EXPECT_EQ(normal, c.normal) << c.key;
    EXPECT_EQ(CWineRegistryFile::NormalizeKey(normal), normal) << c.key;
  }
}

// Found by fuzzing: a section named <slashes>\/\A lists its parent <slashes>\/, which
// normalised to <slashes> with the slashes before the backslash kept; normalising that
// again took them off.
TEST(WineRegistryFile, ListedKeysNormaliseToFixedPoints) {
  const CWineRegistryFile file("WINE REGISTRY Version 2\n[" + std::string(17, '/') + "\xD4" +
                               std::string(10, '/') + std::string(44, '\\') +
                               "/\\\\\\\\A\\\\\\\\] 1\n\"v\"=\"x\"\n");
  std::vector<std::string> keys;
  file.GetSubKeys("", true, keys);
  ASSERT_EQ(keys.size(), 3U);
  for (const std::string& key : keys) {
    const std::string normal = CWineRegistryFile::NormalizeKey(key);
    EXPECT_EQ(CWineRegistryFile::NormalizeKey(normal), normal) << key;
  }
  std::string value;
  EXPECT_TRUE(file.GetStringValue(keys.back(), "v", value));
}

class TranslatePathTest : public RegistryTest {
protected:
  void SetUp() override {
    RegistryTest::SetUp();
    fs::create_directories(m_home.Root() + "/docs/Letters");
    fs::create_symlink(m_home.Root() + "/docs", Prefix() + "dosdevices/d:");
  }
};

TEST_F(TranslatePathTest, Table) {
  const std::string c = DriveC();
  const std::string d = fs::canonical(m_home.Root() + "/docs").string();
  const struct {
    const char* windows;
    std::string local;
  } cases[] = {
      {"C:\\Users\\TESTER\\appdata\\Roaming", c + "/users/tester/AppData/Roaming"},
      {"c:/users/tester/", c + "/users/tester/"},
      {"C:\\", c + "/"},
      {"C:\\users\\.\\tester\\..\\..\\..\\users", c + "/users"},
      {"C:\\NoSuch\\Dir\\File.DIC", c + "/NoSuch/Dir/File.DIC"},
      {"\\\\?\\C:\\users", c + "/users"},
      {"\\users\\tester", c + "/users/tester"},
      {"D:\\letters\\a.txt", d + "/Letters/a.txt"},
      {"E:\\x.dic", ""},
      {"Z:\\etc\\hosts", "/etc/hosts"},
      {"\\\\server\\share\\x.dic", ""},
      {"\\\\?\\UNC\\server\\share", ""},
      {"\\\\?\\", ""},
      {"CUSTOM.DIC", "CUSTOM.DIC"},
      {"sub\\x.dic", "sub/x.dic"},
      {"/already/local.dic", "/already/local.dic"},
      {"", ""},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(CRegistryUtils::TranslateWindowsPath(t.windows), t.local) << t.windows;
  }
}

TEST_F(TranslatePathTest, UnmappedDriveValueIsKeptAsStored) {
  WriteUserReg("WINE REGISTRY Version 2\n[K]\n\"1\"=\"E:\\\\x.dic\"\n");
  EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "K", "1", false), "E:\\x.dic");
}

TEST_F(TranslatePathTest, DriveCWithoutDosDevices) {
  fs::remove_all(Prefix() + "dosdevices");
  EXPECT_EQ(CRegistryUtils::TranslateWindowsPath("C:\\users"), Prefix() + "drive_c/users");
  EXPECT_EQ(CRegistryUtils::TranslateWindowsPath("D:\\x"), "");
}

} // namespace
