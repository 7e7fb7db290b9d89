// A check records and deletes words on its own thread at any time. The interface names a
// word by its text and duplicate flag, and each step finds it again under the list's
// access: run under ThreadSanitizer and AddressSanitizer, a word used after a check
// deleted it shows here.
#include "ReplacerFixture.h"

#include <atomic>
#include <span>
#include <thread>

namespace replacetest {
namespace {

class ReplaceWhileChecking : public ReplacerTest {};

TEST_F(ReplaceWhileChecking, AWordNamedByTextIsNeverUsedAfterACheckDeletedIt) {
  Write("a.htm", "<p>teh teh</p>\n");
  const std::string directory = Root();
  std::atomic<bool> done{false};
  std::atomic<int> rounds{0};
  std::jthread check([&] {
    while (!done.load()) {
      // The unrecognized word twice and its repeat, as the scan finds them.
      std::vector<CBadWordsList::SFileFindings> found = {
          {"teh", {{0, 3, 6, 3, 6, "teh teh"}, {0, 7, 10, 7, 10, "teh teh"}}, 0},
          {"teh", {{0, 7, 10, 7, 10, "teh teh"}}, 1}};
      m_list.RecordFileFindings(directory, "a.htm", std::span(found));
      m_list.RemoveFileLocations(directory + "a.htm");
      rounds.fetch_add(1);
    }
  });
  int replaced = 0;
  for (int k = 0; k < 200; ++k) {
    const int duplicate = k % 2;
    // The same text again: the page keeps its bytes, and every round finds its places.
    if (m_list.SetReplacement("teh", duplicate, "teh")) {
      replaced += CReplacer::ReplaceInFiles(m_list, "teh", duplicate, BackupFolder(), Root().size(),
                                            {}, m_backups)
                      .filesChanged;
    }
    m_list.RemoveWord("teh", duplicate);
  }
  while (rounds.load() < 2) {
    std::this_thread::yield();
  }
  done = true;
  check.join();
  EXPECT_EQ(testkit::ReadBytes(Root() + "a.htm"), "<p>teh teh</p>\n");
  EXPECT_EQ(static_cast<std::size_t>(replaced), m_backups.size());
}

TEST_F(ReplaceWhileChecking, AWordGoneBeforeTheReplacementChangesNothing) {
  Write("a.htm", "<p>teh</p>\n");
  EXPECT_FALSE(m_list.SetReplacement("teh", 0, "the"));
  EXPECT_FALSE(m_list.RemoveWord("teh", 0));
  const SReplaceResult result =
      CReplacer::ReplaceInFiles(m_list, "teh", 0, BackupFolder(), Root().size(), {}, m_backups);
  EXPECT_EQ(result.filesChanged, 0);
  EXPECT_TRUE(m_backups.empty());
  EXPECT_EQ(testkit::ReadBytes(Root() + "a.htm"), "<p>teh</p>\n");
}

} // namespace
} // namespace replacetest
