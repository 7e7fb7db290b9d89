#include "diskfiles/DirScan.h"

#include "ScanFixtures.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string_view>
#include <unistd.h>

namespace {
std::vector<std::string> Scan(const SiteTree& site, bool recursive = true,
                              std::vector<std::string> exclusions = {}) {
  CDirScan scan(site.Root(), recursive, CExtensionSet({"htm", "html"}), std::move(exclusions));
  EXPECT_TRUE(scan.Run(kNeverStop));
  return Relative(scan);
}

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
  ASSERT_EQ(missing.GetSkipped().size(), 1u);
  EXPECT_EQ(missing.GetSkipped()[0],
            (CDirScan::Skipped{site.Full("gone/"), CDirScan::SkipReason::RootMissing,
                               "No such file or directory"}));
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

TEST(DirScan, FolderAndFilesVanishingDuringThePass) {
  SiteTree site;
  site.Write("index.html");
  site.Write("gone/a.html");
  FailingScan vanishing(site,
                        {"gone", 0, [](const SiteTree& tree, auto&) { tree.Remove("gone"); }});
  ASSERT_TRUE(vanishing.Run(kNeverStop));
  EXPECT_EQ(Relative(vanishing), (std::vector<std::string>{"index.html"}));
  EXPECT_TRUE(vanishing.GetKeptFolders().empty());

  // The root is listed before "sub" is entered; its files are deleted then, so some
  // of them vanish between the listing and their turn.
  for (int i = 0; i < 20; ++i) {
    site.Write("f" + std::to_string(i) + ".html");
  }
  site.Write("sub/kept.html");
  FailingScan files(site, {"sub", 0, [](const SiteTree& tree, auto&) {
                             for (int i = 0; i < 20; ++i) {
                               tree.Remove("f" + std::to_string(i) + ".html");
                             }
                           }});
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

TEST(DirScan, StopIsAskedWithinALargeFolderToo) {
  SiteTree site;
  for (int i = 0; i < 5000; ++i) {
    site.Write("f" + std::to_string(i) + ".html", "");
  }
  int asked = 0;
  const std::function<bool()> stopAtOnce = [&] { return ++asked > 0; };
  CDirScan scan(site.Root(), true, CExtensionSet({"html"}), {});
  EXPECT_FALSE(scan.Run(stopAtOnce)) << "the root has no sub-folder: asked among its entries";
  EXPECT_EQ(asked, 1);
}
