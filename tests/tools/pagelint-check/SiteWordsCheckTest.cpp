// A site's own word list, .pagelint-words at its root, as pagelint-check uses it.
#include "CheckTestKit.h"

#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using checktest::ProcessResult;

class SiteWordsCheckTest : public testing::Test {
protected:
  void SetUp() override {
    for (const char* site : {"ours", "theirs"}) {
      checktest::WriteFile(m_work.Sub(std::string(site) + "/index.html"),
                           "<p>Pagelint checks teh wrld.</p>\n");
    }
  }

  ProcessResult Run(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{checktest::CheckerPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    return checktest::Run(argv, {m_work.Path(), "", {"HOME=" + m_work.Sub("home")}});
  }

  ScopedTempDir m_work;
};

TEST_F(SiteWordsCheckTest, TheWordsCountForTheirSiteOnly) {
  checktest::WriteFile(m_work.Sub("ours/.pagelint-words"),
                       "# Our product\r\nPagelint\r\n\r\nwrld  # sic, a brand\r\n");
  const ProcessResult result = Run({"--format", "words", "ours", "theirs"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Pagelint\t1\t1\nteh\t2\t2\nwrld\t1\t1\n");
  EXPECT_EQ(result.err, "");
  // Seeding the list from the words report leaves only the real slips.
  checktest::WriteFile(m_work.Sub("theirs/.pagelint-words"), "pagelint\nwrld\n");
  EXPECT_EQ(Run({"theirs"}).out, "index.html:1:20: teh\n");
}

// A user's word list may bear the folder's list name: the site's list still counts.
TEST_F(SiteWordsCheckTest, AListNameTakenByAUsersWordListStillCounts) {
  const std::string custom = m_work.Sub("home/.config/ZEB/Custom Dictionaries/");
  checktest::WriteFile(custom + "ours Site Words.dic", "teh\n");
  checktest::WriteFile(custom + "ours Site Words (2).dic", "");
  checktest::WriteFile(m_work.Sub("ours/.pagelint-words"), "Pagelint\n");
  const ProcessResult result = checktest::Run(
      {checktest::CheckerPath(), "ours"},
      {m_work.Path(),
       "",
       {"HOME=" + m_work.Sub("home"), "XDG_CONFIG_HOME=" + m_work.Sub("home/.config")}});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "index.html:1:24: wrld\n");
  EXPECT_EQ(result.err, "");
}

// A site without a list, or with a damaged one, keeps every other way a word is known:
// compounds of known words and abbreviations with their period.
TEST_F(SiteWordsCheckTest, AMissingOrDamagedListTakesNothingAway) {
  checktest::WriteFile(m_work.Sub("ours/index.html"),
                       "<p>A well-known built-in tool, e.g. this one: teh.</p>\n");
  for (const std::string& list : {std::string(), std::string("x\n\0", 3)}) {
    if (!list.empty()) {
      checktest::WriteFile(m_work.Sub("ours/.pagelint-words"), list);
    }
    const ProcessResult result = Run({"ours"});
    EXPECT_EQ(result.status, 1) << list.size();
    EXPECT_EQ(result.out, "index.html:1:47: teh\n") << list.size();
  }
}

TEST_F(SiteWordsCheckTest, ADamagedListIsIgnoredAndNeverChecked) {
  struct Case {
    std::string bytes;
    std::string what;
  };
  const std::vector<Case> cases = {
      {std::string("Pagelint\n\0\0\0", 12), "NUL bytes"},
      {"Pagelint\n\xFF\xFEwrld\n", "not UTF-8"},
  };
  for (const Case& c : cases) {
    checktest::WriteFile(m_work.Sub("ours/.pagelint-words"), c.bytes);
    const ProcessResult result = Run({"ours"});
    EXPECT_EQ(result.status, 1) << c.what;
    EXPECT_EQ(result.out, "index.html:1:4: Pagelint\nindex.html:1:20: teh\nindex.html:1:24: wrld\n")
        << c.what;
    EXPECT_EQ(result.err, "") << c.what;
  }
}

} // namespace
