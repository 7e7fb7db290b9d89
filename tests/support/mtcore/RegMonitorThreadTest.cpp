#include "mtcore/RegMonitorThread.h"

#include "MessageCounter.h"
#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
const UINT kMessage = RegisterWindowMessageA("test-reg-monitor-changed");
constexpr std::uint32_t kNoPeriod = CChangeMonitor::NO_PERIOD;
const char* const kKey =
    "Software\\Microsoft\\Shared Tools\\Proofing Tools\\1.0\\Custom Dictionaries\\";

std::string UserReg(const std::string& firstValue, const std::string& wineVersion) {
  return "WINE REGISTRY Version 2\n\n"
         "[Software\\\\Microsoft\\\\Shared Tools\\\\Proofing Tools\\\\1.0\\\\Custom "
         "Dictionaries] 1700000000\n#time=1d0\n\"1\"=\"" +
         firstValue +
         "\"\n\n"
         "[Software\\\\Wine] 1700000002\n#time=1d1\n\"Version\"=\"" +
         wineVersion + "\"\n";
}

/// Saves the registry file the way Wine does: a new file renamed over the old one.
void Save(const ScopedFakeHome& home, const std::string& content) {
  const std::string tmp = home.WinePrefix() + "/reg1234.tmp";
  testkit::WriteBytes(tmp, content);
  std::filesystem::rename(tmp, home.WinePrefix() + "/user.reg");
}
} // namespace

TEST(RegMonitorThread, PostsWhenTheKeysValuesChangeAndNotForOtherKeys) {
  ScopedFakeHome home;
  std::filesystem::create_directories(home.WinePrefix());
  Save(home, UserReg("CUSTOM.DIC", "win10"));
  MessageCounter counter(kMessage);
  CRegMonitorThread monitor(CRegMonitorThread::ROOT_CURRENT_USER, kKey, false, kMessage,
                            counter.GetSafeHwnd(), kNoPeriod, 0, 9);
  ASSERT_TRUE(monitor.IsValid());
  monitor.SetPriority(-1);
  Save(home, UserReg("CUSTOM.DIC", "win7"));
  testkit::WriteBytes(home.WinePrefix() + "/system.reg", "other file");
  counter.Settle(500ms);
  EXPECT_EQ(counter.count, 0);
  Save(home, UserReg("OTHER.DIC", "win7"));
  ASSERT_TRUE(counter.WaitFor(1));
  EXPECT_EQ(counter.lastLParam, 9);
  counter.Settle(300ms);
  EXPECT_EQ(counter.count, 1);
  std::filesystem::remove(home.WinePrefix() + "/user.reg");
  EXPECT_TRUE(counter.WaitFor(2)) << "the key is gone with its file";
  EXPECT_TRUE(monitor.Stop(30000));
}

TEST(RegMonitorThread, InvalidWithoutPrefixOrForAnUnknownRoot) {
  ScopedFakeHome home;
  MessageCounter counter(kMessage);
  const CRegMonitorThread noPrefix(CRegMonitorThread::ROOT_CURRENT_USER, kKey, false, kMessage,
                                   counter.GetSafeHwnd(), kNoPeriod, 0, 0);
  EXPECT_FALSE(noPrefix.IsValid());
  std::filesystem::create_directories(home.WinePrefix());
  const CRegMonitorThread unknownRoot(0x80000003, kKey, false, kMessage, counter.GetSafeHwnd(),
                                      kNoPeriod, 0, 0);
  EXPECT_FALSE(unknownRoot.IsValid());
  EXPECT_EQ(CRegMonitorThread::FileOfRoot(CRegMonitorThread::ROOT_LOCAL_MACHINE),
            home.WinePrefix() + "/system.reg");
}

TEST(RegMonitorThread, NameFilterWithSubtreeWatchesOnlyKeysComingAndGoing) {
  ScopedFakeHome home;
  std::filesystem::create_directories(home.WinePrefix());
  Save(home, UserReg("CUSTOM.DIC", "win10"));
  MessageCounter counter(kMessage);
  CRegMonitorThread monitor(CRegMonitorThread::ROOT_CURRENT_USER, "Software", true, kMessage,
                            counter.GetSafeHwnd(), kNoPeriod, CRegMonitorThread::CHANGE_NAME, 0);
  ASSERT_TRUE(monitor.IsValid());
  Save(home, UserReg("OTHER.DIC", "win7")); // values only
  counter.Settle(500ms);
  EXPECT_EQ(counter.count, 0);
  Save(home, UserReg("OTHER.DIC", "win7") + "\n[Software\\\\New] 1700000003\n\"a\"=\"b\"\n");
  EXPECT_TRUE(counter.WaitFor(1));
}
