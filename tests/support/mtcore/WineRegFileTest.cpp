#include "mtcore/WineRegFile.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {
const char* const kUserReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Microsoft\\\\Shared Tools\\\\Proofing Tools\\\\1.0\\\\Custom "
    "Dictionaries] 1700000000\n"
    "#time=1da0c1b2c3d4e5f\n"
    "\"1\"=\"C:\\\\users\\\\me\\\\CUSTOM.DIC\"\n"
    "\"2\"=\"extra.dic\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Shared Tools\\\\Proofing Tools\\\\1.0\\\\Custom "
    "Dictionaries\\\\Sub] 1700000001\n"
    "\"x\"=dword:00000001\n"
    "\n"
    "[Software\\\\Wine] 1700000002\n"
    "\"Version\"=\"win10\"\n";

const char* const kKey =
    "Software\\Microsoft\\Shared Tools\\Proofing Tools\\1.0\\Custom Dictionaries\\";
} // namespace

TEST(WineRegFile, HeaderParsingUnescapes) {
  std::string key;
  EXPECT_TRUE(CWineRegFile::ParseHeader("[Software\\\\Wine] 123", key));
  EXPECT_EQ(key, "Software\\Wine");
  EXPECT_TRUE(CWineRegFile::ParseHeader("[A\\]B]", key));
  EXPECT_EQ(key, "A]B");
  EXPECT_FALSE(CWineRegFile::ParseHeader("[Unclosed\\\\Key", key));
  EXPECT_FALSE(CWineRegFile::ParseHeader("\"1\"=\"x\"", key));
}

TEST(WineRegFile, ReadsOnlyTheKeyAndWithSubtreeItsSubkeys) {
  ScopedFakeHome home;
  const std::string file = home.Root() + "/user.reg";
  testkit::WriteBytes(file, kUserReg);
  const std::string own = CWineRegFile::ReadKey(file, kKey, false);
  EXPECT_NE(own.find("\"1\"=\"C:\\\\users\\\\me\\\\CUSTOM.DIC\""), std::string::npos);
  EXPECT_NE(own.find("\"2\"=\"extra.dic\""), std::string::npos);
  EXPECT_EQ(own.find("dword"), std::string::npos);
  EXPECT_EQ(own.find("win10"), std::string::npos);
  EXPECT_EQ(own.find("#time"), std::string::npos);
  const std::string all = CWineRegFile::ReadKey(file, kKey, true);
  EXPECT_NE(all.find("dword:00000001"), std::string::npos);
  EXPECT_EQ(all.find("win10"), std::string::npos);
  // Key names do not care about case; a key that only starts the same is another key.
  EXPECT_EQ(CWineRegFile::ReadKey(file, "software\\WINE", false),
            "[Software\\Wine]\n\"Version\"=\"win10\"\n");
  EXPECT_EQ(CWineRegFile::ReadKey(file, "Software\\Win", true), "");
}

TEST(WineRegFile, ChangesOfOtherKeysOrOfTimesDoNotChangeTheText) {
  ScopedFakeHome home;
  const std::string file = home.Root() + "/user.reg";
  testkit::WriteBytes(file, kUserReg);
  const std::string before = CWineRegFile::ReadKey(file, kKey, false);
  std::string edited = kUserReg;
  edited.replace(edited.find("win10"), 5, "win7");
  edited.replace(edited.find("1700000000"), 10, "1800000000");
  edited.replace(edited.find("#time=1da0"), 10, "#time=1db0");
  testkit::WriteBytes(file, edited);
  EXPECT_EQ(CWineRegFile::ReadKey(file, kKey, false), before);
  edited.replace(edited.find("extra.dic"), 9, "other.dic");
  testkit::WriteBytes(file, edited);
  EXPECT_NE(CWineRegFile::ReadKey(file, kKey, false), before);
}

TEST(WineRegFile, MissingFileGivesEmptyTextAndPrefixFollowsTheEnvironment) {
  ScopedFakeHome home;
  EXPECT_EQ(CWineRegFile::ReadKey(home.Root() + "/none.reg", kKey, false), "");
  EXPECT_EQ(CWineRegFile::GetUserRegPath(), home.WinePrefix() + "/user.reg");
  setenv("WINEPREFIX", "", 1);
  EXPECT_EQ(CWineRegFile::GetPrefixPath(), home.Home() + "/.wine/");
}
