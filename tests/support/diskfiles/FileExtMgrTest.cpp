#include "diskfiles/FileExtMgr.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {
class FileExtMgrTest : public testing::Test {
protected:
  void SetUp() override { FileExtMgr::GetInstance()->RemoveAll(); }
  void TearDown() override { FileExtMgr::GetInstance()->RemoveAll(); }
  FileExtMgr& m_mgr = *FileExtMgr::GetInstance();
};
} // namespace

TEST_F(FileExtMgrTest, OpenerAndEditorAreKeptApartAndFoundWithoutCase) {
  EXPECT_TRUE(m_mgr.SetOpenerApp(".HTM", "/usr/bin/firefox", true, false));
  EXPECT_TRUE(m_mgr.SetEditorApp("htm", "/usr/bin/gedit", true, false));
  EXPECT_EQ(m_mgr.GetOpenerApp("htm", true), "/usr/bin/firefox");
  EXPECT_EQ(m_mgr.GetOpenerApp("*.Htm", true), "/usr/bin/firefox");
  EXPECT_EQ(m_mgr.GetEditorApp("HTM", true), "/usr/bin/gedit");
  EXPECT_EQ(m_mgr.GetEditorApp("HTM", false), "");
  EXPECT_EQ(m_mgr.GetOpenerApp("html", true), "");
}

TEST_F(FileExtMgrTest, FlagsDecideOverAddingAndReplacing) {
  EXPECT_FALSE(m_mgr.SetOpenerApp("php", "viewer", false, false)) << "unknown, not added";
  EXPECT_EQ(m_mgr.GetOpenerApp("php", true), "");
  EXPECT_TRUE(m_mgr.SetOpenerApp("php", "", true, true)) << "an empty default registers";
  EXPECT_TRUE(m_mgr.SetOpenerApp("php", "viewer", false, true)) << "known, and still empty";
  EXPECT_FALSE(m_mgr.SetOpenerApp("php", "other", true, true)) << "set already: kept";
  EXPECT_EQ(m_mgr.GetOpenerApp("php", true), "viewer");
  EXPECT_TRUE(m_mgr.SetOpenerApp("php", "other", true, false));
  EXPECT_EQ(m_mgr.GetOpenerApp("php", true), "other");
  EXPECT_FALSE(m_mgr.SetEditorApp("", "editor", true, false)) << "no extension";
}

TEST_F(FileExtMgrTest, ApplicationsListsExtensionsSortedWithOrWithoutUnsetOnes) {
  std::vector<std::string> list{"stale"};
  m_mgr.GetApplications(list, true);
  EXPECT_TRUE(list.empty());
  m_mgr.SetOpenerApp("shtml", "", true, true);
  m_mgr.SetEditorApp("shtml", "", true, true);
  m_mgr.SetEditorApp("asp", "editor", true, false);
  m_mgr.SetOpenerApp("htm", "viewer", true, false);
  m_mgr.GetApplications(list, true);
  EXPECT_EQ(list, (std::vector<std::string>{"asp", "htm", "shtml"}));
  m_mgr.GetApplications(list, false);
  EXPECT_EQ(list, (std::vector<std::string>{"asp", "htm"}));
}

TEST_F(FileExtMgrTest, ConcurrentWritersAndReadersAgree) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this, t] {
      for (int i = 0; i < 200; ++i) {
        const std::string extension = "e" + std::to_string(i % 20);
        m_mgr.SetOpenerApp(extension, "app" + std::to_string(t), true, false);
        (void)m_mgr.GetOpenerApp(extension, true);
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  std::vector<std::string> list;
  m_mgr.GetApplications(list, false);
  EXPECT_EQ(list.size(), 20u);
}

TEST_F(FileExtMgrTest, RestoreAllPutsBackExactlyWhatGetAllTook) {
  m_mgr.SetOpenerApp("htm", "viewer", true, false);
  m_mgr.SetEditorApp("php", "editor", true, false);
  m_mgr.SetOpenerApp("shtml", "", true, true);
  const std::vector<FileExtMgr::SEntry> before = m_mgr.GetAll();
  ASSERT_EQ(before.size(), 3u);
  EXPECT_EQ(before[1], (FileExtMgr::SEntry{"php", "", "editor"}));

  m_mgr.SetOpenerApp("htm", "other", true, false);
  m_mgr.SetOpenerApp("asp", "added", true, false);
  m_mgr.RestoreAll(before);
  EXPECT_EQ(m_mgr.GetAll(), before);

  m_mgr.RestoreAll({{".XHTML", "v", "e"}, {"", "dropped", ""}});
  EXPECT_EQ(m_mgr.GetAll(), (std::vector<FileExtMgr::SEntry>{{"xhtml", "v", "e"}}));
}
