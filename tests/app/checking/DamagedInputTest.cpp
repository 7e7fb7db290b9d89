#include "CheckWorkerFixture.h"

#include "testkit/LogCapture.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using checktest::CheckWorkerTest;
using checktest::Finding;

namespace {

// Lines big enough that a scan quadratic in the line would take hours; smaller under
// ThreadSanitizer, which makes every byte access many times slower.
#if defined(__SANITIZE_THREAD__)
constexpr std::size_t kScale = 4;
#else
constexpr std::size_t kScale = 1;
#endif
constexpr std::size_t kHugeLineBytes = 5 * 1024 * 1024 / kScale;
constexpr std::size_t kHugeDistinctLineBytes = 2 * 1024 * 1024 / kScale;

/// One 5 MB line of known words with an unknown word every `every` words.
std::string HugeLine(int every) {
  std::string line;
  line.reserve(kHugeLineBytes + 16);
  for (int k = 0; line.size() < kHugeLineBytes; ++k) {
    line += k % every == every - 1 ? "teh " : "the ";
  }
  return line;
}

/// One 2 MB line of distinct made-up words, as a page of garbage would give (enough
/// for a scan quadratic in the line to hang).
std::string HugeLineOfDistinctWords() {
  std::string line;
  line.reserve(kHugeDistinctLineBytes + 16);
  for (int k = 0; line.size() < kHugeDistinctLineBytes; ++k) {
    line += "qz";
    for (int n = k; n > 0; n /= 26) {
      line += static_cast<char>('a' + n % 26);
    }
    line += ' ';
  }
  return line;
}

} // namespace

TEST_F(CheckWorkerTest, DamagedFilesAreCheckedWithoutHangOrCrash) {
  std::string binary;
  for (int k = 0; k < 70000; ++k) {
    binary += static_cast<char>((k * 131) % 256);
  }
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"binary.htm", binary},
      {"nul.htm", std::string("teh\0teh\0<b\0>", 13)},
      {"open-comment.htm", "ok <!-- teh teh"},
      {"open-tag.htm", "ok <a href='teh"},
      {"open-reference.htm", "&#99999999999; &; &#x; &amp teh"},
      {"bad-utf8.htm", "\xC3\x28 teh \xE2\x82 \xF0\x9F"},
  };
  for (const auto& c : cases) {
    AddFile(c.name, c.bytes);
  }
  auto worker = MakeWorker();
  RunToEnd(*worker);
  EXPECT_EQ(worker->GetFilesDone(), 6);
  EXPECT_EQ(m_messages.back().id, CProjectCheckWorker::MSG_PROJECT_CHECK_DONE);
  const CBadWord* teh = m_words.FindWord("teh");
  ASSERT_NE(teh, nullptr);
  EXPECT_TRUE(teh->HasFile(Root() + "open-reference.htm"));
  EXPECT_FALSE(teh->HasFile(Root() + "open-comment.htm"));
  EXPECT_FALSE(teh->HasFile(Root() + "open-tag.htm"));
}

TEST_F(CheckWorkerTest, VanishedFileIsCheckedAsEmpty) {
  CHTMLFile* file = AddFile("gone.htm", "teh");
  m_words.RecordLocation("teh", Root(), "gone.htm", 0, 0, 3, "");
  std::filesystem::remove(Root() + "gone.htm");
  auto worker = MakeWorker();
  RunToEnd(*worker);
  EXPECT_FALSE(file->IsCheckPending());
  EXPECT_EQ(m_words.GetWordCount(), 0);
  EXPECT_EQ(worker->GetFilesDone(), 1);
  const std::vector<SSkippedPage> skipped = worker->GetSkippedPages();
  ASSERT_EQ(skipped.size(), 1U);
  EXPECT_EQ(skipped[0].path, Root() + "gone.htm");
  EXPECT_FALSE(skipped[0].gap) << "a deleted page leaves nothing unchecked";
}

TEST_F(CheckWorkerTest, BinaryPagesAreSkippedAndLoggedWhileOddTextIsRead) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    std::string bytes;
    bool binary;
  } cases[] = {
      {"nul.htm", "<p>teh</p>\0"s, true},
      {"control.htm", "\x01\x02\x03 teh \x04\x05\x06"s, true},
      {"cp1252.htm", "<p>caf\xE9 teh \x1A</p>\n", false},
      {"utf16.htm", "<\0p\0>\0t\0e\0h\0"s, false},
  };
  std::vector<CHTMLFile*> files;
  for (const auto& c : cases) {
    files.push_back(AddFile(c.name, c.bytes));
  }
  const LogCapture log;
  auto worker = MakeWorker();
  RunToEnd(*worker);
  EXPECT_EQ(worker->GetFilesDone(), 4);
  const std::vector<std::string> logged = log.Lines();
  const CBadWord* teh = m_words.FindWord("teh");
  ASSERT_NE(teh, nullptr);
  const std::vector<SSkippedPage> skipped = worker->GetSkippedPages();
  EXPECT_EQ(skipped.size(), 2U);
  EXPECT_TRUE(std::none_of(skipped.begin(), skipped.end(), [](auto& page) { return page.gap; }));
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    const auto& c = cases[k];
    const std::string path = Root() + c.name;
    EXPECT_EQ(teh->HasFile(path), !c.binary) << c.name;
    EXPECT_FALSE(files[k]->IsCheckPending()) << c.name;
    EXPECT_EQ(
        std::count(logged.begin(), logged.end(),
                   "{6E0B3C71-2A4F-4D8E-9B15-C7F3A2D84E06} - " + path + " - binary file, skipped"),
        c.binary ? 1 : 0)
        << c.name;
  }
}

TEST_F(CheckWorkerTest, HugeLineWithManyRepeatsIsCheckedCompletely) {
  const std::string line = HugeLine(50);
  AddFile("huge.htm", line);
  auto worker = MakeWorker();
  RunToEnd(*worker);
  const CBadWord* teh = m_words.FindWord("teh");
  ASSERT_NE(teh, nullptr);
  const int expected = static_cast<int>(line.size() / 4 / 50);
  ASSERT_EQ(teh->GetLocations().GetCount(), expected);
  int previousEnd = -1;
  for (const auto& loc : teh->GetLocations()) {
    ASSERT_GT(loc.start, previousEnd);
    ASSERT_EQ(line.compare(static_cast<std::size_t>(loc.start), 3, "teh"), 0);
    previousEnd = loc.end;
  }
}

TEST_F(CheckWorkerTest, HugeLineOfDistinctWordsRecordsEachAtItsPlace) {
  const std::string line = HugeLineOfDistinctWords();
  AddFile("garbage.htm", line);
  auto worker = MakeWorker();
  RunToEnd(*worker);
  EXPECT_EQ(worker->GetFilesDone(), 1);
  // Every made-up word is unknown and occurs once: spot-check the first and last.
  const CBadWord* first = m_words.FindWord("qz");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetLocations().begin()->start, 0);
  const std::size_t lastStart = line.rfind(' ', line.size() - 2) + 1;
  const CBadWord* last =
      m_words.FindWord(std::string_view(line).substr(lastStart, line.size() - 1 - lastStart));
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->GetLocations().begin()->start, static_cast<int>(lastStart));
}

TEST_F(CheckWorkerTest, StopBeforeAFileLeavesItPendingAndSilent) {
  CHTMLFile* file = AddFile("huge.htm", HugeLine(10));
  auto worker = MakeWorker();
  auto thread = IdleThread();
  worker->SetWorkerThread(thread.get());
  thread->Stop();
  worker->CheckProjectFile(file);
  CMessageLoop::PumpPending();
  EXPECT_TRUE(file->IsCheckPending());
  EXPECT_TRUE(m_messages.empty());
  EXPECT_EQ(worker->GetFilesDone(), 0);
  // A line scanned by a stopped worker reports the stop, not a clean line.
  EXPECT_FALSE(worker->ScanLine("teh", file, 0));
  EXPECT_EQ(m_words.GetWordCount(), 0);
}

// Stopping while a huge file is being checked: whenever the stop lands, a file is
// reported checked exactly when its flag was cleared, and done is never posted after a
// file was left pending.
TEST_F(CheckWorkerTest, StopDuringARunIsHonouredAndLeavesConsistentState) {
  AddFile("small.htm", "teh");
  CHTMLFile* huge = AddFile("huge.htm", HugeLine(3));
  auto worker = MakeWorker();
  auto thread = StartRun(*worker);
  ASSERT_TRUE(
      CMessageLoop::PumpUntil([this] { return MessageIds().size() >= 2; }, checktest::kLongWait));
  thread->Stop();
  ASSERT_TRUE(thread->Wait(INFINITE));
  CMessageLoop::PumpPending();
  int checked = 0;
  bool done = false;
  for (const auto& message : m_messages) {
    checked += message.id == CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED ? 1 : 0;
    done = done || message.id == CProjectCheckWorker::MSG_PROJECT_CHECK_DONE;
  }
  EXPECT_EQ(checked, worker->GetFilesDone());
  EXPECT_EQ(huge->IsCheckPending(), checked == 1);
  EXPECT_FALSE(done && huge->IsCheckPending());
}
