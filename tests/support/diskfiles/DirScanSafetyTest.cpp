// A hostile site: links that multiply paths, lead outside or loop; pseudo file systems;
// folders that cannot be read, nest too deep or have paths over the system's limit.
#include "diskfiles/DirScan.h"

#include "ChildProcess.h"
#include "ScanFixtures.h"

#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
using Paths = std::vector<std::string>;
constexpr int kLevels = 20;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  if (const auto at = text.find(from); !from.empty() && at != std::string::npos) {
    text.replace(at, from.size(), to);
  }
  return text;
}

/// A place as the tables write it: relative to the root ("ROOT" for the root itself),
/// the description, "[warning]" when it is no gap, and the detail; the folder outside
/// the site is "OUT/", this process's /proc folder "/proc/self/".
std::string Show(const CDirScan::Skipped& skipped, const std::string& root,
                 const std::string& outside) {
  std::string path = skipped.path == root ? "ROOT" : Replace(skipped.path, root, "");
  std::string text = path + ": " + CDirScan::DescribeSkip(skipped.reason);
  if (!CDirScan::IsGap(skipped.reason)) {
    text += " [warning]";
  }
  std::string detail = Replace(skipped.detail, outside, "OUT/");
  detail = Replace(detail, "/proc/" + std::to_string(getpid()) + "/", "/proc/self/");
  return detail.empty() ? text : text + " - " + detail;
}

Paths Shown(const CDirScan& scan, const std::string& outside = {}) {
  Paths shown;
  for (const auto& skipped : scan.GetSkipped()) {
    shown.push_back(Show(skipped, scan.GetRoot(), outside));
  }
  return shown;
}

Paths KeptFolders(const CDirScan& scan) {
  Paths kept;
  for (const auto& folder : scan.GetKeptFolders()) {
    kept.push_back(folder == scan.GetRoot() ? "ROOT" : Replace(folder, scan.GetRoot(), ""));
  }
  return kept;
}

/// Folder `level` holds a page and two links to the next level: 2^kLevels paths.
void BuildLinkDag(const SiteTree& site, const std::string& base) {
  for (int level = 0; level < kLevels; ++level) {
    const std::string folder = base + std::to_string(level) + "/";
    site.Write(folder + "page.html");
    if (level + 1 < kLevels) {
      site.Link("../" + std::to_string(level + 1), folder + "a");
      site.Link("../" + std::to_string(level + 1), folder + "b");
    }
  }
}

Paths DagPages(bool throughLinks) {
  Paths pages;
  std::string below = "entry/";
  for (int level = 0; level < kLevels; ++level) {
    pages.push_back(throughLinks ? below + "page.html" : std::to_string(level) + "/page.html");
    below += "a/";
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

struct WalkCase {
  const char* name;
  std::function<void(const SiteTree& site, const std::string& outside)> build;
  Paths files;
  Paths skipped;
  Paths kept = {};
  Fault fault = {};
  Paths exclusions = {};
  int maxDepth = CDirScan::MAX_DEPTH;
  bool recursive = true;
};

void PrintTo(const WalkCase& test, std::ostream* out) {
  *out << test.name;
}

class DirScanWalk : public testing::TestWithParam<WalkCase> {};

const WalkCase kWalkCases[] = {
    {.name = "LinkDagIsWalkedOncePerFolderByRealPaths",
     .build = [](const SiteTree& site, auto&) { BuildLinkDag(site, ""); },
     .files = DagPages(false),
     .skipped = {}},
    {.name = "LinkDagBehindAnExcludedFolderIsWalkedOnceThroughTheFirstLinks",
     .build =
         [](const SiteTree& site, auto&) {
           BuildLinkDag(site, "levels/");
           site.Link("levels/0", "entry");
         },
     .files = DagPages(true),
     .skipped = {},
     .exclusions = {"levels"}},
    {.name = "LoopsDanglingLinksAndSecondPathsGiveEachFileOnce",
     .build =
         [](const SiteTree& site, auto&) {
           site.Write("index.html");
           site.Write("a/page.html");
           site.Link("..", "a/up");
           site.Link(".", "a/self");
           site.Link("page.html", "a/alias.html");
           site.Link("missing.html", "a/dangling.html");
           site.Link("a", "linked");
           site.Link("loop2", "loop1");
           site.Link("loop1", "loop2");
           fs::create_hard_link(site.Full("a/page.html"), site.Full("z-hard.html"));
         },
     .files = {"a/page.html", "index.html"},
     .skipped = {}},
    {.name = "FileLinksLeadingOutsideAreNamedNotRead",
     .build =
         [](const SiteTree& site, const std::string& outside) {
           site.Write("index.html");
           testkit::WriteBytes(outside + "secret.html", "secret");
           site.Link(outside + "secret.html", "passwd.html");
           site.Link("/proc/self/environ", "env.html");
         },
     .files = {"index.html"},
     .skipped = {"env.html: link leads outside the root [warning] - /proc/self/environ",
                 "passwd.html: link leads outside the root [warning] - OUT/secret.html"}},
    {.name = "FolderLinksLeadingOutsideAreNamedNotWalked",
     .build =
         [](const SiteTree& site, const std::string& outside) {
           site.Write("index.html");
           fs::create_directory(outside + "tree");
           testkit::WriteBytes(outside + "tree/page.html", "");
           site.MakeFolder("sub");
           site.Link(outside + "tree", "sub/other");
           site.Link("/proc", "proc");
           site.Link(outside + "tree", "excluded");
         },
     .files = {"index.html"},
     .skipped = {"proc/: link leads outside the root [warning] - /proc",
                 "sub/other/: link leads outside the root [warning] - OUT/tree"},
     .exclusions = {"excluded"}},
    {.name = "ChainsOfLinksAreJudgedByTheirLastTarget",
     .build =
         [](const SiteTree& site, const std::string& outside) {
           testkit::WriteBytes(outside + "secret.html", "secret");
           site.Link("b.html", "a.html");
           site.Link("sub/c.html", "b.html");
           site.MakeFolder("sub");
           site.Link(outside + "secret.html", "sub/c.html");
           site.Write("real.html");
           site.Link("x.html", "ok.html");
           site.Link("real.html", "x.html");
         },
     .files = {"real.html"},
     .skipped = {"a.html: link leads outside the root [warning] - OUT/secret.html",
                 "b.html: link leads outside the root [warning] - OUT/secret.html",
                 "sub/c.html: link leads outside the root [warning] - OUT/secret.html"}},
    {.name = "WithoutRecursionALinkKeepsItsPathAndFolderLinksAreLeftAlone",
     .build =
         [](const SiteTree& site, const std::string& outside) {
           site.Write("sub/page.html");
           site.Link("sub/page.html", "top.html");
           site.Link(outside, "elsewhere");
         },
     .files = {"top.html"},
     .skipped = {},
     .recursive = false},
    {.name = "FoldersPastTheDepthLimitAreNamed",
     .build =
         [](const SiteTree& site, auto&) {
           site.Write("a/b/c/page.html");
           site.Write("a/b/c/d/page.html");
         },
     .files = {"a/b/c/page.html"},
     .skipped = {"a/b/c/d/: folder nested too deep"},
     .maxDepth = 3},
    {.name = "ForbiddenFolderIsAGapWhoseFilesCountAsGone",
     .build = [](const SiteTree& site, auto&) { site.Write("locked/a.html"); },
     .files = {},
     .skipped = {"locked/: unreadable folder - Permission denied"},
     .fault = {"locked", EACCES}},
    {.name = "OutOfHandlesIsAGapThatKeepsWhatWasKnown",
     .build = [](const SiteTree& site, auto&) { site.Write("busy/a.html"); },
     .files = {},
     .skipped = {"busy/: out of file handles - Too many open files"},
     .kept = {"busy/"},
     .fault = {"busy", EMFILE}},
    {.name = "FolderSwappedForAnOutsideLinkAfterListingIsNotEntered",
     .build = [](const SiteTree&,
                 const std::string& outside) { testkit::WriteBytes(outside + "x.html", ""); },
     .files = {},
     .skipped = {},
     .fault = {"sub", 0,
               [](const SiteTree& site, const std::string& outside) {
                 site.Remove("sub");
                 site.Link(outside, "sub");
               }}},
    {.name = "RootDeletedDuringThePassKeepsWhatWasKnown",
     .build = [](const SiteTree& site, auto&) { site.Write("index.html"); },
     .files = {},
     .skipped = {"ROOT: root folder missing or moved - deleted or moved during the pass"},
     .kept = {"ROOT"},
     .fault = {"sub", 0, [](const SiteTree& site, auto&) { fs::remove_all(site.Root()); }}},
    {.name = "RootReplacedDuringThePassKeepsWhatWasKnown",
     .build = [](const SiteTree& site, auto&) { site.Write("index.html"); },
     .files = {},
     .skipped = {"ROOT: root folder missing or moved - deleted or moved during the pass"},
     .kept = {"ROOT"},
     .fault = {"sub", 0,
               [](const SiteTree& site, const std::string& outside) {
                 fs::rename(site.Root(), outside + "old");
                 fs::create_directory(site.Root());
               }}},
};

TEST_P(DirScanWalk, ListsEachFileOnceAndNamesWhatItSkipped) {
  const WalkCase& test = GetParam();
  SiteTree site;
  const ScopedTempDir outsideDir;
  const std::string outside = fs::canonical(outsideDir.Path()).string() + "/";
  test.build(site, outside);
  if (!test.fault.folder.empty()) {
    site.MakeFolder(test.fault.folder);
  }
  FailingScan scan(site, test.fault, test.recursive, test.exclusions, test.maxDepth, outside);
  // A fault changes the site; without one a second pass must agree with the first.
  const int passes = test.fault.before ? 1 : 2;
  for (int pass = 0; pass < passes; ++pass) {
    ASSERT_TRUE(scan.Run(kNeverStop));
    EXPECT_EQ(Relative(scan), test.files) << "pass " << pass;
    EXPECT_EQ(Shown(scan, outside), test.skipped) << "pass " << pass;
    EXPECT_EQ(KeptFolders(scan), test.kept) << "pass " << pass;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, DirScanWalk, testing::ValuesIn(kWalkCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(DirScanRoot, RootOnAPseudoFileSystemIsAGapAndNotWalked) {
  for (const char* root : {"/proc", "/proc/self/"}) {
    CDirScan scan(root, true, CExtensionSet({"*"}), {});
    ASSERT_TRUE(scan.Run(kNeverStop)) << root;
    EXPECT_TRUE(scan.GetFiles().empty()) << root;
    EXPECT_TRUE(scan.GetKeptFolders().empty()) << root;
    EXPECT_EQ(Shown(scan), (Paths{"ROOT: root on a pseudo file system - proc"})) << root;
  }
}

/// A chain of folders with names of 250 bytes, built and taken apart folder by folder
/// because no call could take its whole path.
class LongChain {
public:
  LongChain(const std::string& root, std::size_t length) : m_root(root) {
    int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t path = root.size(); path < length; path += m_name.size() + 1) {
      mkdirat(fd, m_name.c_str(), 0755);
      const int next = openat(fd, m_name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      close(fd);
      fd = next;
      ++m_levels;
    }
    close(openat(fd, "page.html", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    close(fd);
  }
  ~LongChain() {
    int fd = open(m_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < m_levels && fd >= 0; ++level) {
      renameat(fd, m_name.c_str(), fd, "s");
      const int next = openat(fd, "s", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      close(fd);
      fd = next;
    }
    close(fd);
  }
  LongChain(const LongChain&) = delete;
  LongChain& operator=(const LongChain&) = delete;

  /// The deepest folder whose sub-folder's path would reach the limit.
  std::string LastWalkable() const {
    std::string path = m_root;
    while (path.size() + m_name.size() < PATH_MAX) {
      path += m_name + "/";
    }
    return path;
  }

private:
  std::string m_root;
  std::string m_name = std::string(250, 'x');
  int m_levels = 0;
};

TEST(DirScanRoot, PathsOverTheSystemLimitAreNamedOncePerFolder) {
  SiteTree site;
  site.Write("index.html");
  const LongChain chain(site.Root(), PATH_MAX + 600);
  CDirScan scan(site.Root(), true, CExtensionSet({"html"}), {});
  ASSERT_TRUE(scan.Run(kNeverStop));
  EXPECT_EQ(Relative(scan), (Paths{"index.html"}));
  ASSERT_EQ(scan.GetSkipped().size(), 1u);
  EXPECT_EQ(scan.GetSkipped()[0],
            (CDirScan::Skipped{chain.LastWalkable(), CDirScan::SkipReason::PathTooLong,
                               "File name too long"}));
  EXPECT_EQ(CDirScan::DescribeSkip(CDirScan::SkipReason::PathTooLong),
            std::string("path longer than the system allows"));
}

std::string ScanToText(const char* root) {
  CDirScan scan(root, true, CExtensionSet({"html"}), {});
  scan.Run(kNeverStop);
  std::string text;
  for (const auto& file : Relative(scan)) {
    text += file + "\n";
  }
  for (const auto& shown : Shown(scan)) {
    text += shown + "\n";
  }
  return text;
}

TEST(DirScanRoot, UnreadableFoldersOnDiskAreGaps) {
  SiteTree site;
  site.Write("index.html");
  site.Write("locked/a.html");
  ASSERT_EQ(chmod(site.Full("locked").c_str(), 0), 0);
  ASSERT_EQ(chmod(site.Root().c_str(), 0755), 0);
  // The scan runs inside the site: the test's own temporary folder is private.
  const std::string text = RunInChild([&] {
    if (chdir(site.Root().c_str()) != 0) {
      return std::string("SKIP cannot enter the site");
    }
    // A privileged account reads through any mode: take an unprivileged one.
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0 ||
                           prctl(PR_SET_DUMPABLE, 1) != 0)) {
      return std::string("SKIP cannot drop privileges");
    }
    return ScanToText("./") + ScanToText("./locked");
  });
  chmod(site.Full("locked").c_str(), 0755);
  if (text.starts_with("SKIP")) {
    GTEST_SKIP() << text;
  }
  EXPECT_EQ(text, "index.html\n"
                  "locked/: unreadable folder - Permission denied\n"
                  "ROOT: unreadable folder - Permission denied\n");
}

TEST(DirScanRoot, PseudoFileSystemMountedBelowTheRootIsAWarning) {
  SiteTree site;
  site.Write("index.html");
  site.MakeFolder("proc");
  site.Link("proc/self/environ", "env.html");
  site.Link("proc/self", "self");
  const std::string text = RunInChild([&] {
    // A mount namespace of its own (with a user namespace where the test is unprivileged)
    // lets the child mount /proc below the site; the test process sees none of it.
    if (unshare(CLONE_NEWNS) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
      return std::string("SKIP no mount namespace");
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("/proc", site.Full("proc").c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0) {
      return std::string("SKIP cannot mount");
    }
    return ScanToText(site.Root().c_str());
  });
  if (text.starts_with("SKIP")) {
    GTEST_SKIP() << text;
  }
  EXPECT_EQ(text, "index.html\n"
                  "env.html: pseudo file system not walked [warning] - proc\n"
                  "proc/: pseudo file system not walked [warning] - proc\n"
                  "self/: pseudo file system not walked [warning] - proc\n");
}
} // namespace
