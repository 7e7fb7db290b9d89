#include "FrameTestKit.h"
#include "GuiTestKit.h"

#include "mainwindow/LibraryInfoDlg.h"
#include "services/HelpLauncher.h"
#include "widgets/MessageBoxService.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(HelpLauncher, FindsAPageInTheFirstFolderThatHoldsItAndKeepsItsPart) {
  ScopedTempDir first;
  ScopedTempDir second;
  testkit::WriteBytes(second.Sub("Support.htm"), "<html></html>");
  const CHelpLauncher help({first.Path() + "/", second.Path() + "/"});
  EXPECT_EQ(help.FindTopic("Support.htm#privacy"),
            "file://" + second.Path() + "/Support.htm#privacy");
  EXPECT_EQ(help.FindTopic("Start.htm"), "");
}

TEST(HelpLauncher, SaysSoWhenThePagesAreNotInstalled) {
  guitest::Application();
  ScopedTempDir empty;
  std::vector<std::string> events;
  const frametest::CBoxRecorder boxes(events, CMessageBoxService::kAnswerYes);
  CHelpLauncher({empty.Path() + "/"}).Open(nullptr, "HowTo/Results.htm");
  EXPECT_EQ(events, std::vector<std::string>{"box:Pagelint"});
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Pagelint's help pages are not installed, "
                                                    "so the help topic \"HowTo/Results.htm\" "
                                                    "cannot be shown."});
}

TEST(LibraryInfo, ListsEachOwnLibraryOnceWithItsVersion) {
  const std::string maps =
      "55d0-55d1 r--p 00000000 08:01 1 /opt/pl/bin/Pagelint\n"
      "7f00-7f01 r--p 00000000 08:01 2 /opt/pl/lib/libspellcore.so.0.1.0\n"
      "7f01-7f02 r-xp 00001000 08:01 2 /opt/pl/lib/libspellcore.so.0.1.0\n"
      "7f02-7f03 r--p 00000000 08:01 3 /usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2\n"
      "7f03-7f04 r--p 00000000 08:01 4 /home/a b/build/libmtcore.so\n"
      "7f04-7f05 rw-p 00000000 00:00 0 [heap]\n"
      "7f05-7f06 rw-p 00000000 00:00 0\n";
  const auto libraries = CLibraryInfoDlg::FindOwnLibraries(maps);
  ASSERT_EQ(libraries.size(), 2U);
  EXPECT_EQ(libraries[0].name, "libspellcore.so.0.1.0");
  EXPECT_EQ(libraries[0].version, "0.1.0");
  EXPECT_EQ(libraries[0].path, "/opt/pl/lib/libspellcore.so.0.1.0");
  EXPECT_EQ(libraries[1].path, "/home/a b/build/libmtcore.so");
  EXPECT_EQ(libraries[1].version, "");
}

} // namespace
