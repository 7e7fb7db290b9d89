#include "pagelint-check/PageSelection.h"

#include "CheckTestKit.h"

#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(PageSelection, ReadLinesDropsBlankLinesAndCarriageReturns) {
  std::istringstream in("a.html\r\n\r\n  \n\tb.htm\nsub/c d.html\n\nlast.html");
  EXPECT_EQ(CPageSelection::ReadLines(in),
            (std::vector<std::string>{"a.html", "\tb.htm", "sub/c d.html", "last.html"}));
  std::istringstream empty("");
  EXPECT_TRUE(CPageSelection::ReadLines(empty).empty());
}

/// A repository folder with the site "site" inside it, a page beside the site and a
/// file outside both; the test runs from the repository's top.
class PageSelectionTest : public testing::Test {
protected:
  void SetUp() override {
    checktest::WriteFile(m_repo.Sub("site/a.html"), "<p>a</p>\n");
    checktest::WriteFile(m_repo.Sub("site/sub/b.HTM"), "<p>b</p>\n");
    checktest::WriteFile(m_repo.Sub("site/notes.txt"), "notes\n");
    checktest::WriteFile(m_repo.Sub("site/.pagelint-words"), "wrld\n");
    checktest::WriteFile(m_repo.Sub("top.html"), "<p>outside</p>\n");
    checktest::WriteFile(m_outside.Sub("secret.html"), "<p>secret</p>\n");
    fs::create_symlink(m_outside.Sub("secret.html"), m_repo.Sub("site/leak.html"));
    fs::create_symlink(m_outside.Path(), m_repo.Sub("site/away"));
    fs::create_symlink("a.html", m_repo.Sub("site/alias.html"));
    m_root = fs::canonical(m_repo.Sub("site")).string() + "/";
    m_top = fs::canonical(m_repo.Path()).string();
  }

  ScopedTempDir m_repo;
  ScopedTempDir m_outside;
  std::string m_root;
  std::string m_top;
};

TEST_F(PageSelectionTest, ListedPathsAreResolvedFromHereOrFromTheRoot) {
  struct Case {
    std::string line;
    std::string page;   ///< relative to the root; empty: not selected
    std::string reason; ///< why it is not checked; empty: it is
  };
  const std::vector<Case> cases = {
      {"site/a.html", "a.html", ""}, // as git prints it from the repository's top
      {"a.html", "a.html", ""},      // relative to the root
      {"./site/sub/../a.html", "a.html", ""},
      {"sub/b.HTM", "sub/b.HTM", ""}, // extensions without regard to case
      {"site/sub/b.HTM", "sub/b.HTM", ""},
      {"alias.html", "alias.html", ""}, // a link inside the root is the page it names
      {"site/gone.html", "", "no such page"},
      {"gone.html", "", "no such page"},
      {"top.html", "", "no such page"}, // beside the root: read from the root
      {"site/notes.txt", "", "not a page"},
      {".pagelint-words", "", "not a page"},
      {"sub", "", "not a page"},
      {"site", "", "not a page"}, // the root itself, from here
      {std::string("a.html\0x", 8), "", "not a page"},
      {std::string(5000, 'a') + ".html", "", "not a page"},
  };
  for (const Case& c : cases) {
    CPageSelection selection;
    std::string error;
    ASSERT_TRUE(selection.Resolve(m_root, m_top, {c.line}, error)) << c.line << ": " << error;
    if (c.page.empty()) {
      EXPECT_TRUE(selection.GetPages().empty()) << c.line;
      ASSERT_EQ(selection.GetNotChecked().size(), 1u) << c.line;
      EXPECT_EQ(selection.GetNotChecked()[0].given, c.line);
      EXPECT_EQ(selection.GetNotChecked()[0].reason, c.reason) << c.line;
      continue;
    }
    EXPECT_TRUE(selection.GetNotChecked().empty()) << c.line;
    ASSERT_EQ(selection.GetPages().size(), 1u) << c.line;
    EXPECT_EQ(selection.GetPages()[0].path, m_root + c.page) << c.line;
    EXPECT_EQ(selection.GetPages()[0].given, c.line);
    EXPECT_TRUE(selection.GetPaths()->contains(m_root + c.page)) << c.line;
  }
}

TEST_F(PageSelectionTest, ALinkedPageIsKnownByBothItsPaths) {
  CPageSelection selection;
  std::string error;
  ASSERT_TRUE(selection.Resolve(m_root, m_top, {"alias.html", "a.html", "site/a.html"}, error));
  // Each page once; the link and its target are both met by the check.
  ASSERT_EQ(selection.GetPages().size(), 2u);
  EXPECT_EQ(*selection.GetPaths(),
            (std::set<std::string>{m_root + "a.html", m_root + "alias.html"}));
}

TEST_F(PageSelectionTest, APathOutsideTheRootIsRefusedWhereverItIsListed) {
  const std::vector<std::string> outside = {
      "../top.html",       // relative to the root
      m_top + "/top.html", // absolute
      m_outside.Sub("secret.html"),
      "leak.html", // a link that leads out
      "site/leak.html",
      "away/secret.html", // through a linked folder
      "../../../../../../../../etc/passwd",
  };
  for (const std::string& line : outside) {
    CPageSelection selection;
    std::string error;
    EXPECT_FALSE(selection.Resolve(m_root, m_top, {"a.html", line, "sub/b.HTM"}, error)) << line;
    EXPECT_EQ(error, "outside the root " + m_root + ": " + line);
  }
}

TEST_F(PageSelectionTest, FromInsideTheRootRelativePathsStillWork) {
  CPageSelection selection;
  std::string error;
  ASSERT_TRUE(selection.Resolve(m_root, m_root + "sub", {"b.HTM", "a.html"}, error)) << error;
  ASSERT_EQ(selection.GetPages().size(), 2u);
  EXPECT_EQ(selection.GetPages()[0].path, m_root + "sub/b.HTM");
  EXPECT_EQ(selection.GetPages()[1].path, m_root + "a.html");
}

} // namespace
