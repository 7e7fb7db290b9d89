#include "utilcore/ZebUtils.h"

#include "LaunchRecorder.h"
#include "testkit/ScopedFakeHome.h"
#include "utilcore/DirUtils.h"
#include "utilcore/ExeUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(ZebUtils, CustomDictionaryFolderIsInApplicationDataAndCreated) {
  const ScopedFakeHome home;
  const std::string expected = home.ConfigHome() + "/ZEB/Custom Dictionaries/";
  ASSERT_FALSE(CDirUtils::DoesDirExist(expected));
  EXPECT_EQ(CZebUtils::GetCustomDictionaryPath(), expected);
  EXPECT_TRUE(CDirUtils::DoesDirExist(expected));

  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(CZebUtils::GetCustomDictionaryPath(),
            home.Home() + "/.config/ZEB/Custom Dictionaries/");
}

TEST(ZebUtils, LaunchWebSiteOpensTheMakersPage) {
  const ScopedFakeHome home;
  const CLaunchRecorder opener(home.Root() + "/opener.sh", home.Root());
  CExeUtils::SetDocumentOpener(opener.Path());
  const bool launched = CZebUtils::LaunchWebSite();
  CExeUtils::SetDocumentOpener("xdg-open");
  ASSERT_TRUE(launched);
  const std::vector<std::string> record = CLaunchRecorder::WaitForRecord(home.Root());
  ASSERT_EQ(record.size(), 2U);
  EXPECT_EQ(record[1], std::string("[") + CZebUtils::kWebSite + "]");
}

} // namespace
