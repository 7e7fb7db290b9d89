#include "utilcore/ExeUtils.h"

#include "LaunchRecorder.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ExeUtilsTest : public testing::Test {
protected:
  void SetUp() override {
    m_folder = m_dir.Sub("dir with 'single' and \"double\" quotes");
    std::filesystem::create_directories(m_folder);
  }
  void TearDown() override { CExeUtils::SetDocumentOpener("xdg-open"); }

  ScopedTempDir m_dir;
  std::string m_folder;
};

TEST_F(ExeUtilsTest, ArgumentsReachTheProgramUnchanged) {
  const CLaunchRecorder recorder(m_folder + "/rec ord.sh", m_folder);
  const std::string argument = m_folder + "/my page; $HOME `id` *.htm";
  std::string error;
  ASSERT_TRUE(CExeUtils::ShellLaunchApp(recorder.Path(), m_folder, argument, true, 0,
                                        CExeUtils::kShowNormal, error))
      << error;
  EXPECT_EQ(CLaunchRecorder::WaitForRecord(m_folder),
            (std::vector<std::string>{m_folder, "[" + argument + "]"}));
  EXPECT_EQ(CLaunchRecorder::WaitForNoZombies(), 0);
}

TEST_F(ExeUtilsTest, SeveralArgumentsAndNone) {
  const CLaunchRecorder recorder(m_folder + "/rec.sh", m_folder);
  std::string error;
  ASSERT_TRUE(CExeUtils::ShellLaunchApp(recorder.Path(), m_folder,
                                        std::vector<std::string>{"/VERYSILENT", "", "a b"}, false,
                                        0, CExeUtils::kShowHidden, error))
      << error;
  EXPECT_EQ(CLaunchRecorder::WaitForRecord(m_folder),
            (std::vector<std::string>{m_folder, "[/VERYSILENT]", "[]", "[a b]"}));
  std::filesystem::remove(m_folder + "/argv.txt");

  ASSERT_TRUE(CExeUtils::ShellLaunchApp(recorder.Path(), m_folder, "", true, 0,
                                        CExeUtils::kShowNormal, error));
  EXPECT_EQ(CLaunchRecorder::WaitForRecord(m_folder), std::vector<std::string>{m_folder});
  EXPECT_EQ(CLaunchRecorder::WaitForNoZombies(), 0);
}

TEST_F(ExeUtilsTest, AddressesAndDocumentsGoToTheOpener) {
  const CLaunchRecorder opener(m_dir.Sub("opener.sh"), m_folder);
  CExeUtils::SetDocumentOpener(opener.Path());
  testkit::WriteBytes(m_folder + "/page one.html", "<p>x</p>");
  const std::vector<std::pair<std::string, std::string>> launches = {
      {"https://www.example.org/define/word's", ""},
      {"mailto:support@example.org", ""},
      {m_folder + "/page one.html", ""},
      {"", m_folder + "/page one.html"},
      {m_folder, ""},
  };
  for (const auto& [application, parameters] : launches) {
    std::string error;
    ASSERT_TRUE(CExeUtils::ShellLaunchApp(application, m_folder, parameters, true, 0,
                                          CExeUtils::kShowNormal, error))
        << error;
    const std::string opened = application.empty() ? parameters : application;
    EXPECT_EQ(CLaunchRecorder::WaitForRecord(m_folder),
              (std::vector<std::string>{m_folder, "[" + opened + "]"}));
    std::filesystem::remove(m_folder + "/argv.txt");
  }
  EXPECT_EQ(CLaunchRecorder::WaitForNoZombies(), 0);
}

TEST_F(ExeUtilsTest, FailuresAreReportedWithAReason) {
  const CLaunchRecorder recorder(m_folder + "/rec.sh", m_folder);
  struct CCase {
    std::string application, folder, parameters;
    bool searchPath;
  };
  const std::vector<CCase> cases = {
      {m_dir.Sub("missing/program"), "", "", true},
      {"pagelint-no-such-program", "", "", true},
      {recorder.Path(), m_dir.Sub("no such folder"), "", true},
      {"", "", "", true},
  };
  for (const CCase& c : cases) {
    std::string error;
    EXPECT_FALSE(CExeUtils::ShellLaunchApp(c.application, c.folder, c.parameters, c.searchPath, 0,
                                           CExeUtils::kShowNormal, error))
        << c.application;
    EXPECT_FALSE(error.empty()) << c.application;
  }
  CExeUtils::SetDocumentOpener(m_dir.Sub("no-opener"));
  std::string error;
  EXPECT_FALSE(CExeUtils::ShellLaunchApp("https://www.example.org/", "", "", true, 0,
                                         CExeUtils::kShowNormal, error));
  EXPECT_NE(error.find("no-opener"), std::string::npos) << error;
}

TEST(ExeUtils, IsAddress) {
  for (const char* address :
       {"http://x", "https://x/y", "mailto:a@b", "file:///tmp", "git+ssh:x"}) {
    EXPECT_TRUE(CExeUtils::IsAddress(address)) << address;
  }
  for (const char* other : {"", "/usr/bin/x", "./a:b", "c:", "1http://x", "a b:c", "plain"}) {
    EXPECT_FALSE(CExeUtils::IsAddress(other)) << other;
  }
}

} // namespace
