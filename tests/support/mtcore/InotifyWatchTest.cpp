#include "mtcore/InotifyWatch.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>

namespace {
using Seen = std::vector<std::string>; // "folder-relative-to-root|name|kind"

/// Reads events until `expected` was seen or a generous limit passed.
Seen ReadUntil(CInotifyWatch& watch, const std::string& expected) {
  Seen seen;
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::find(seen.begin(), seen.end(), expected) == seen.end() &&
         std::chrono::steady_clock::now() < limit) {
    pollfd fd{watch.GetFd(), POLLIN, 0};
    if (poll(&fd, 1, 100) <= 0) {
      continue;
    }
    watch.ReadEvents([&](const CInotifyWatch::Event& event) {
      const char* kind = (event.mask & (IN_CREATE | IN_MOVED_TO)) != 0     ? "new"
                         : (event.mask & (IN_DELETE | IN_MOVED_FROM)) != 0 ? "gone"
                         : (event.mask & IN_CLOSE_WRITE) != 0              ? "written"
                                                                           : "other";
      seen.push_back(std::string(event.folder.substr(watch.GetFolder().size())) + "|" +
                     std::string(event.name) + "|" + kind);
    });
  }
  return seen;
}

bool Contains(const Seen& seen, const std::string& item) {
  return std::find(seen.begin(), seen.end(), item) != seen.end();
}

constexpr std::uint32_t kMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE;
} // namespace

TEST(InotifyWatch, MissingFolderIsInvalid) {
  ScopedTempDir dir;
  const CInotifyWatch watch(dir.Sub("missing"), true, kMask);
  EXPECT_FALSE(watch.IsValid());
  EXPECT_EQ(watch.GetFd(), -1);
  testkit::WriteBytes(dir.Sub("file"), "x");
  EXPECT_FALSE(CInotifyWatch(dir.Sub("file"), false, kMask).IsValid()) << "not a folder";
}

TEST(InotifyWatch, ReportsNamesOfCreatedWrittenRenamedAndDeletedFiles) {
  ScopedTempDir dir;
  CInotifyWatch watch(dir.Path(), false, kMask);
  ASSERT_TRUE(watch.IsValid());
  EXPECT_EQ(watch.GetFolder(), dir.Path() + "/");
  testkit::WriteBytes(dir.Sub("a.dic"), "x");
  EXPECT_TRUE(Contains(ReadUntil(watch, "|a.dic|written"), "|a.dic|new"));
  std::filesystem::rename(dir.Sub("a.dic"), dir.Sub("b.dic"));
  EXPECT_TRUE(Contains(ReadUntil(watch, "|b.dic|new"), "|a.dic|gone"));
  std::filesystem::remove(dir.Sub("b.dic"));
  EXPECT_TRUE(Contains(ReadUntil(watch, "|b.dic|gone"), "|b.dic|gone"));
}

TEST(InotifyWatch, WithoutSubtreeSubfoldersAreNotWatched) {
  ScopedTempDir dir;
  std::filesystem::create_directories(dir.Sub("sub"));
  CInotifyWatch watch(dir.Path(), false, kMask);
  testkit::WriteBytes(dir.Sub("sub/x.html"), "x");
  testkit::WriteBytes(dir.Sub("marker"), "x");
  EXPECT_FALSE(Contains(ReadUntil(watch, "|marker|written"), "sub/|x.html|written"));
}

TEST(InotifyWatch, SubtreeWatchesFoldersMadeRenamedOrMovedInLater) {
  ScopedTempDir outside;
  ScopedTempDir dir;
  std::filesystem::create_directories(dir.Sub("old/inner"));
  CInotifyWatch watch(dir.Path(), true, kMask);
  ASSERT_TRUE(watch.IsValid());
  testkit::WriteBytes(dir.Sub("old/inner/a.html"), "x");
  ReadUntil(watch, "old/inner/|a.html|written");

  std::filesystem::create_directories(dir.Sub("new/deep/er"));
  ReadUntil(watch, "|new|new");
  testkit::WriteBytes(dir.Sub("new/deep/er/b.html"), "x");
  EXPECT_TRUE(
      Contains(ReadUntil(watch, "new/deep/er/|b.html|written"), "new/deep/er/|b.html|written"));

  std::filesystem::rename(dir.Sub("old"), dir.Sub("renamed"));
  ReadUntil(watch, "|renamed|new");
  testkit::WriteBytes(dir.Sub("renamed/inner/c.html"), "x");
  EXPECT_TRUE(
      Contains(ReadUntil(watch, "renamed/inner/|c.html|written"), "renamed/inner/|c.html|written"));

  std::filesystem::create_directories(outside.Sub("moved/in"));
  std::filesystem::rename(outside.Sub("moved"), dir.Sub("moved"));
  ReadUntil(watch, "|moved|new");
  testkit::WriteBytes(dir.Sub("moved/in/d.html"), "x");
  EXPECT_TRUE(Contains(ReadUntil(watch, "moved/in/|d.html|written"), "moved/in/|d.html|written"));

  // A folder moved out of the tree is no longer watched.
  std::filesystem::rename(dir.Sub("new"), outside.Sub("new"));
  ReadUntil(watch, "|new|gone");
  testkit::WriteBytes(outside.Sub("new/deep/er/e.html"), "x");
  testkit::WriteBytes(dir.Sub("marker"), "x");
  const Seen seen = ReadUntil(watch, "|marker|written");
  for (const auto& item : seen) {
    EXPECT_EQ(item.find("e.html"), std::string::npos) << item;
  }
}

TEST(InotifyWatch, RootGivenAsALinkIsFollowedWithItsSubtree) {
  ScopedTempDir dir;
  std::filesystem::create_directories(dir.Sub("real/sub"));
  std::filesystem::create_directory_symlink(dir.Sub("real"), dir.Sub("link"));
  CInotifyWatch watch(dir.Sub("link"), true, kMask);
  ASSERT_TRUE(watch.IsValid());
  testkit::WriteBytes(dir.Sub("real/sub/a.html"), "x");
  EXPECT_TRUE(Contains(ReadUntil(watch, "sub/|a.html|written"), "sub/|a.html|written"));
}

TEST(InotifyWatch, SubtreeWatchesEachFolderOnceAndNothingOutsideOrOnPseudoFileSystems) {
  ScopedTempDir outside;
  ScopedTempDir dir;
  std::filesystem::create_directories(dir.Sub("sub/inner"));
  std::filesystem::create_directories(outside.Sub("tree"));
  std::filesystem::create_directory_symlink(outside.Sub("tree"), dir.Sub("out"));
  std::filesystem::create_directory_symlink(dir.Sub("sub"), dir.Sub("again"));
  std::filesystem::create_directory_symlink("/proc", dir.Sub("proc"));
  CInotifyWatch watch(dir.Path(), true, kMask);
  ASSERT_TRUE(watch.IsValid());
  EXPECT_EQ(watch.GetWatchCount(), 3u) << "the root, sub/ and sub/inner/";
  testkit::WriteBytes(outside.Sub("tree/x.html"), "x");
  testkit::WriteBytes(dir.Sub("marker"), "x");
  for (const auto& item : ReadUntil(watch, "|marker|written")) {
    EXPECT_EQ(item.find("x.html"), std::string::npos) << item;
  }
  // Walking /proc would add tens of thousands of watches that never see a site change.
  EXPECT_FALSE(CInotifyWatch("/proc", true, kMask).IsValid());
}
