#include "utilcore/DesktopEntry.h"
#include "utilcore/InstalledApps.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedEnv.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {
using Words = std::vector<std::string>;

TEST(DesktopEntry, SplitsACommandAndLeavesItsFieldCodesOut) {
  const struct {
    const char* exec;
    Words words;
  } cases[] = {
      {"firefox %u", {"firefox"}},
      {"code --unity-launch %F", {"code", "--unity-launch"}},
      {"app %f %F %u %U %i %c %k %d %D %n %N %v %m", {"app"}},
      {"\"/opt/My Editor/edit\" --new %U", {"/opt/My Editor/edit", "--new"}},
      {"say \"a \\\"b\\\" \\$c \\\\d\"", {"say", "a \"b\" $c \\d"}},
      {"printf 100%% --file=%f", {"printf", "100%", "--file="}},
      {"  spaced\t\targs  ", {"spaced", "args"}},
      {"empty \"\" quoted", {"empty", "", "quoted"}},
      {"tail %", {"tail", "%"}},
      {"open \"unclosed", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CDesktopEntry::SplitCommand(c.exec), c.words) << c.exec;
  }
}

TEST(DesktopEntry, OffersOnlyVisibleApplicationsThatRunWithAFile) {
  const std::string head = "[Desktop Entry]\nType=Application\nName=Web View\n";
  const struct {
    std::string text;
    const char* program; ///< "" when not offered
    const char* name;
  } cases[] = {
      {head + "Exec=webview %U\n", "webview", "Web View"},
      {head + "Exec=webview --private-window %u\r\n", "webview", "Web View"},
      {head + "Exec=flatpak run org.example.View %U\n", "", "Web View"},
      {head + "NoDisplay=true\nExec=webview\n", "", "Web View"},
      {head + "Hidden=true\nExec=webview\n", "", "Web View"},
      {head + "NoDisplay=false\nHidden=false\nExec=webview\n", "webview", "Web View"},
      {head, "", "Web View"},
      {head + "Exec=\"unclosed %f\n", "", "Web View"},
      {"[Desktop Entry]\nType=Link\nName=Site\nExec=webview\n", "", "Site"},
      {"[Desktop Entry]\nType=Application\nExec=webview\n", "", ""},
      // Localized names are not used; keys of other groups do not count.
      {"# c\n[Desktop Entry]\nName[de]=Netzansicht\nType = Application\nName = Web\\sView\n"
       "Exec=webview\n[Desktop Action new]\nName=New Window\nExec=other --new\n",
       "webview", "Web View"},
      {"Name=Outside\n[Desktop Entry]\nType=Application\nExec=webview\n", "", ""},
  };
  for (const auto& c : cases) {
    const CDesktopEntry entry = CDesktopEntry::Parse(c.text);
    EXPECT_EQ(entry.OfferedProgram(), c.program) << c.text;
    EXPECT_EQ(entry.GetName(), c.name) << c.text;
  }
}

TEST(DesktopEntry, ReadsTheListsAndTheTryExecProgram) {
  const CDesktopEntry entry = CDesktopEntry::Parse(
      "[Desktop Entry]\nTryExec=/opt/x/run\nMimeType=text/html; application/xhtml+xml;;\n");
  EXPECT_EQ(entry.GetTryExec(), "/opt/x/run");
  EXPECT_EQ(entry.GetMimeTypes(), (Words{"text/html", "application/xhtml+xml"}));
}

class InstalledAppsTest : public testing::Test {
protected:
  void SetUp() override {
    std::filesystem::create_directories(m_root.Sub("bin"));
    for (const char* program : {"webview", "pageedit"}) {
      testkit::WriteBytes(Bin(program), "#!/bin/sh\n");
      ::chmod(Bin(program).c_str(), 0755);
    }
    testkit::WriteBytes(Bin("not-executable"), "x");
  }
  std::string Bin(const std::string& name) const { return m_root.Sub("bin/" + name); }
  void Entry(const std::string& relative, const std::string& body) const {
    std::filesystem::create_directories(std::filesystem::path(m_root.Sub(relative)).parent_path());
    testkit::WriteBytes(m_root.Sub(relative), "[Desktop Entry]\nType=Application\n" + body);
  }

  ScopedTempDir m_root;
  CScopedEnv m_path{"PATH", "relative/bin:" + m_root.Sub("bin")};
};

TEST_F(InstalledAppsTest, FindsProgramsThroughPath) {
  EXPECT_EQ(CInstalledApps::FindProgram("webview"), Bin("webview"));
  EXPECT_EQ(CInstalledApps::FindProgram(Bin("pageedit")), Bin("pageedit"));
  EXPECT_EQ(CInstalledApps::FindProgram("not-executable"), "");
  EXPECT_EQ(CInstalledApps::FindProgram("missing"), "");
  EXPECT_EQ(CInstalledApps::FindProgram(""), "");
}

TEST_F(InstalledAppsTest, TheMoreImportantFolderWinsAndMissingProgramsAreLeftOut) {
  Entry("user/view.desktop", "Name=Web View\nExec=webview %U\nMimeType=Text/HTML;\n");
  Entry("user/gone.desktop", "Hidden=true\n");
  Entry("system/view.desktop", "Name=System View\nExec=webview\nMimeType=text/html;\n");
  Entry("system/gone.desktop", "Name=Gone\nExec=webview\nMimeType=text/html;\n");
  Entry("system/kde/edit.desktop",
        "Name=Page Edit\nExec=pageedit -n %F\nMimeType=application/xhtml+xml;\n");
  Entry("system/tried.desktop", "Name=Tried\nTryExec=missing\nExec=webview\nMimeType=text/html;\n");
  Entry("system/absent.desktop", "Name=Absent\nExec=absent %f\nMimeType=text/html;\n");
  testkit::WriteBytes(m_root.Sub("system/notes.txt"), "[Desktop Entry]\nName=Notes\n");

  const auto apps =
      CInstalledApps::Read({m_root.Sub("user/"), m_root.Sub("missing/"), m_root.Sub("system/")});
  const std::vector<CInstalledApps::SApp> expected{
      {"Page Edit", Bin("pageedit"), {"application/xhtml+xml"}},
      {"Web View", Bin("webview"), {"text/html"}}};
  EXPECT_EQ(apps, expected);
  EXPECT_EQ(CInstalledApps::HandlersOf(apps, "htm"), (std::vector{expected[1]}));
  EXPECT_EQ(CInstalledApps::HandlersOf(apps, "xht"), expected);
}

TEST_F(InstalledAppsTest, TheFoldersComeFromTheEnvironment) {
  const CScopedEnv home("XDG_DATA_HOME", "/home/u/data");
  const CScopedEnv dirs("XDG_DATA_DIRS", "relative:/usr/share/:/opt/share");
  EXPECT_EQ(CInstalledApps::ApplicationFolders(),
            (Words{"/home/u/data/applications/", "/usr/share/applications/",
                   "/opt/share/applications/"}));
  const CScopedEnv noHome("XDG_DATA_HOME", "");
  const CScopedEnv noDirs("XDG_DATA_DIRS", "");
  const CScopedEnv user("HOME", "/home/v");
  EXPECT_EQ(CInstalledApps::ApplicationFolders(),
            (Words{"/home/v/.local/share/applications/", "/usr/local/share/applications/",
                   "/usr/share/applications/"}));
}

} // namespace
