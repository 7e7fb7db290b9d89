#include "utilcore/RegistryUtils.h"

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

TEST(RegistryKeyText, ReadsOnlyTheKeyAndWithSubtreeItsSubkeys) {
  ScopedFakeHome home;
  const std::string file = home.Root() + "/user.reg";
  testkit::WriteBytes(file, kUserReg);
  const std::string own = CRegistryUtils::ReadKeyText(file, kKey, false);
  EXPECT_NE(own.find("\"1\"=\"C:\\\\users\\\\me\\\\CUSTOM.DIC\""), std::string::npos);
  EXPECT_NE(own.find("\"2\"=\"extra.dic\""), std::string::npos);
  EXPECT_EQ(own.find("dword"), std::string::npos);
  EXPECT_EQ(own.find("win10"), std::string::npos);
  EXPECT_EQ(own.find("#time"), std::string::npos);
  const std::string all = CRegistryUtils::ReadKeyText(file, kKey, true);
  EXPECT_NE(all.find("dword:00000001"), std::string::npos);
  EXPECT_EQ(all.find("win10"), std::string::npos);
  // Key names do not care about case; a key that only starts the same is another key.
  EXPECT_EQ(CRegistryUtils::ReadKeyText(file, "software\\WINE", false),
            "[Software\\Wine]\n\"Version\"=\"win10\"\n");
  EXPECT_EQ(CRegistryUtils::ReadKeyText(file, "Software\\Win", true), "");
}

TEST(RegistryKeyText, ChangesOfOtherKeysOrOfTimesDoNotChangeTheText) {
  ScopedFakeHome home;
  const std::string file = home.Root() + "/user.reg";
  testkit::WriteBytes(file, kUserReg);
  const std::string before = CRegistryUtils::ReadKeyText(file, kKey, false);
  std::string edited = kUserReg;
  edited.replace(edited.find("win10"), 5, "win7");
  edited.replace(edited.find("1700000000"), 10, "1800000000");
  edited.replace(edited.find("#time=1da0"), 10, "#time=1db0");
  testkit::WriteBytes(file, edited);
  EXPECT_EQ(CRegistryUtils::ReadKeyText(file, kKey, false), before);
  edited.replace(edited.find("extra.dic"), 9, "other.dic");
  testkit::WriteBytes(file, edited);
  EXPECT_NE(CRegistryUtils::ReadKeyText(file, kKey, false), before);
}

TEST(RegistryKeyText, MissingFileGivesEmptyText) {
  ScopedFakeHome home;
  EXPECT_EQ(CRegistryUtils::ReadKeyText(home.Root() + "/none.reg", kKey, false), "");
}
