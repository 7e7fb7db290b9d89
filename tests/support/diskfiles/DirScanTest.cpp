#include "diskfiles/DirScan.h"

#include "SiteTree.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string_view>
#include <unistd.h>

namespace {
const std::function<bool()> kNeverStop = [] { return false; };

std::vector<std::string> Relative(const CDirScan& scan) {
  std::vector<std::string> paths;
  for (const auto& entry : scan.GetFiles()) {
    paths.push_back(entry.path.substr(scan.GetRoot().size()));
  }
  return paths;
}

std::vector<std::string> Scan(const SiteTree& site, bool recursive = true,
                              std::vector<std::string> exclusions = {}) {
  CDirScan scan(site.Root(), recursive, CExtensionSet({"htm", "html"}), std::move(exclusions));
  EXPECT_TRUE(scan.Run(kNeverStop));
  return Relative(scan);
}

/// Fails the opening of one folder with a chosen error, or runs an action first.
class FailingScan : public CDirScan {
public:
  FailingScan(const SiteTree& site, std::string folder, int error,
              std::function<void()> before = {})
      : CDirScan(site.Root(), true, CExtensionSet({"html"}), {}), m_folder(std::move(folder)),
        m_error(error), m_before(std::move(before)) {}

protected:
  int OpenFolder(int parentFd, const char* name) override {
    if (std::string_view(name) == m_folder) {
      if (m_before) {
        m_before();
      }
      if (m_error != 0) {
        errno = m_error;
        return -1;
      }
    }
    return CDirScan::OpenFolder(parentFd, name);
  }

private:
  std::string m_folder;
  int m_error;
  std::function<void()> m_before;
};
} // namespace

TEST(DirScan, FindsWantedFilesInEveryFolderSortedWithSizeAndTime) {
  SiteTree site;
  site.Write("index.html", "12345");
  site.Write("b/INDEX.HTM");
  site.Write("a/deep/er/page.Html");
  site.Write("a/notes.txt");
  site.Write("a/style.css");
  site.SetModified("index.html", 1000000000);
  EXPECT_EQ(Scan(site),
            (std::vector<std::string>{"a/deep/er/page.Html", "b/INDEX.HTM", "index.html"}));
  CDirScan scan(site.Root(), true, CExtensionSet({"html"}), {});
  ASSERT_TRUE(scan.Run(kNeverStop));
  const auto& index = scan.GetFiles().back();
  EXPECT_EQ(index.path, site.Full("index.html"));
  EXPECT_EQ(index.size, 5);
  EXPECT_EQ(index.modified, 1000000000LL * 1000000000LL);
}

TEST(DirScan, WithoutRecursionOnlyTheRootIsRead) {
  SiteTree site;
  site.Write("index.html");
  site.Write("sub/page.html");
  EXPECT_EQ(Scan(site, false), (std::vector<std::string>{"index.html"}));
}

TEST(DirScan, RootWithoutSlashAndMissingRoot) {
  SiteTree site;
  site.Write("index.html");
  std::string root = site.Root();
  root.pop_back();
  CDirScan scan(root, true, CExtensionSet({"html"}), {});
  ASSERT_TRUE(scan.Run(kNeverStop));
  EXPECT_EQ(Relative(scan), (std::vector<std::string>{"index.html"}));

  CDirScan missing(site.Full("gone"), true, CExtensionSet({"html"}), {});
  EXPECT_TRUE(missing.Run(kNeverStop));
  EXPECT_TRUE(missing.GetFiles().empty());
  EXPECT_TRUE(missing.GetKeptFolders().empty()) << "a missing root holds no files";
}

TEST(DirScan, ExclusionsLeaveOutFoldersFilesAndPatterns) {
  SiteTree site;
  site.Write("index.html");
  site.Write("drafts/a.html");
  site.Write("drafts2/b.html");
  site.Write("old/keep.html");
  site.Write("old/skip.html");
  site.Write("x/y/page.bak.html");
  EXPECT_EQ(Scan(site, true, {"drafts/", "./old/skip.html", "*.bak.html"}),
            (std::vector<std::string>{"drafts2/b.html", "index.html", "old/keep.html"}));
}

TEST(DirScan, FollowsLinksButEndsOnLoopsAndIgnoresDanglingOnes) {
  SiteTree site;
  site.Write("index.html");
  site.Write("a/page.html");
  site.Link("..", "a/up");  // a loop back to the root
  site.Link(".", "a/self"); // a loop onto itself
  site.Link("page.html", "a/alias.html");
  site.Link("missing.html", "a/dangling.html");
  site.Link("a", "linked");
  site.Link("loop2", "loop1"); // links that point at each other
  site.Link("loop1", "loop2");
  EXPECT_EQ(Scan(site), (std::vector<std::string>{"a/alias.html", "a/page.html", "index.html",
                                                  "linked/alias.html", "linked/page.html"}));
}

TEST(DirScan, ForbiddenFolderCountsAsEmptyButPassingErrorsKeepWhatWasKnown) {
  SiteTree site;
  site.Write("index.html");
  site.Write("locked/a.html");
  site.Write("busy/b.html");
  FailingScan forbidden(site, "locked", EACCES);
  ASSERT_TRUE(forbidden.Run(kNeverStop));
  EXPECT_EQ(Relative(forbidden), (std::vector<std::string>{"busy/b.html", "index.html"}));
  EXPECT_TRUE(forbidden.GetKeptFolders().empty());

  FailingScan busy(site, "busy", EMFILE);
  ASSERT_TRUE(busy.Run(kNeverStop));
  EXPECT_EQ(Relative(busy), (std::vector<std::string>{"index.html", "locked/a.html"}));
  EXPECT_EQ(busy.GetKeptFolders(), (std::vector<std::string>{site.Full("busy/")}));
}

TEST(DirScan, UnreadableFolderOnDiskNeitherHangsNorCrashes) {
  SiteTree site;
  site.Write("index.html");
  site.Write("locked/a.html");
  ASSERT_EQ(chmod(site.Full("locked").c_str(), 0), 0);
  const auto found = Scan(site);
  chmod(site.Full("locked").c_str(), 0755);
  // A privileged account reads through the mode; anyone else finds the folder empty.
  if (geteuid() == 0) {
    EXPECT_EQ(found, (std::vector<std::string>{"index.html", "locked/a.html"}));
  } else {
    EXPECT_EQ(found, (std::vector<std::string>{"index.html"}));
  }
}

TEST(DirScan, FolderAndFilesVanishingDuringThePass) {
  SiteTree site;
  site.Write("index.html");
  site.Write("gone/a.html");
  FailingScan vanishing(site, "gone", 0, [&] { site.Remove("gone"); });
  ASSERT_TRUE(vanishing.Run(kNeverStop));
  EXPECT_EQ(Relative(vanishing), (std::vector<std::string>{"index.html"}));
  EXPECT_TRUE(vanishing.GetKeptFolders().empty());

  // The root is listed before "sub" is entered; its files are deleted then, so some
  // of them vanish between the listing and their turn.
  for (int i = 0; i < 20; ++i) {
    site.Write("f" + std::to_string(i) + ".html");
  }
  site.Write("sub/kept.html");
  FailingScan files(site, "sub", 0, [&] {
    for (int i = 0; i < 20; ++i) {
      site.Remove("f" + std::to_string(i) + ".html");
    }
  });
  ASSERT_TRUE(files.Run(kNeverStop));
  const auto found = Relative(files);
  EXPECT_NE(std::find(found.begin(), found.end(), "sub/kept.html"), found.end());
  EXPECT_NE(std::find(found.begin(), found.end(), "index.html"), found.end());
}

TEST(DirScan, StopRequestEndsThePassEarly) {
  SiteTree site;
  for (int i = 0; i < 10; ++i) {
    site.Write("d" + std::to_string(i) + "/page.html");
  }
  int asked = 0;
  const std::function<bool()> stopAfterTwo = [&] { return ++asked > 2; };
  CDirScan scan(site.Root(), true, CExtensionSet({"html"}), {});
  EXPECT_FALSE(scan.Run(stopAfterTwo));
  EXPECT_EQ(asked, 3);
  EXPECT_TRUE(scan.Run(kNeverStop)) << "the next pass runs in full";
  EXPECT_EQ(scan.GetFiles().size(), 10u);
}

TEST(DirScan, TooDeepFoldersAreNotRead) {
  SiteTree site;
  std::string deep;
  for (int i = 0; i <= CDirScan::MAX_DEPTH; ++i) {
    deep += "d/";
  }
  site.Write(deep + "page.html");
  site.Write(deep.substr(2) + "page.html");
  EXPECT_EQ(Scan(site), (std::vector<std::string>{deep.substr(2) + "page.html"}));
}
