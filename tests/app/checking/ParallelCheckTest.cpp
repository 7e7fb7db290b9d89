#include "CheckWorkerFixture.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using checktest::CheckWorkerTest;
using checktest::Finding;
using checktest::Message;

namespace {

/// A page whose unknown words repeat across pages, so that threads record the same
/// words at once.
std::string Page(int index) {
  std::string page = "<html><body><p>The site page " + std::to_string(index) + "</p>\n";
  for (int line = 0; line < 30; ++line) {
    page += "<p>teh quick zzq" + std::to_string(index % 4) + " fox &amp; qzbq</p>\n";
  }
  return page + "</body></html>\n";
}

} // namespace

// More threads must find exactly what one thread finds: the same words once each, the
// same locations in sorted order, every file checked and reported.
TEST_F(CheckWorkerTest, ParallelRunFindsWhatASingleThreadFinds) {
  for (int k = 0; k < 40; ++k) {
    AddFile("p" + std::to_string(k) + ".htm", Page(k));
  }
  auto single = MakeWorker();
  RunToEnd(*single);
  std::vector<Finding> expected = Findings();
  ASSERT_FALSE(expected.empty());
  for (int threads : {2, 4}) {
    m_messages.clear();
    m_files.MarkAllPending();
    m_words.ClearWords();
    auto worker = MakeWorker();
    worker->SetParallelism(threads);
    RunToEnd(*worker);
    std::vector<Finding> found = Findings();
    // Words come in the order first found, which depends on the threads.
    const auto byWord = [](const Finding& a, const Finding& b) { return a.word < b.word; };
    std::stable_sort(found.begin(), found.end(), byWord);
    std::vector<Finding> sortedExpected = expected;
    std::stable_sort(sortedExpected.begin(), sortedExpected.end(), byWord);
    EXPECT_EQ(found, sortedExpected) << threads;
    EXPECT_EQ(worker->GetFilesDone(), 40);
    ASSERT_EQ(m_messages.size(), 42U);
    EXPECT_EQ(m_messages.front().id, CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN);
    EXPECT_EQ(m_messages.back().id, CProjectCheckWorker::MSG_PROJECT_CHECK_DONE);
    EXPECT_EQ(m_messages.back().wParam, CProjectCheckWorker::MakeProgressParam(40, 40));
    // Every file's message carries a count of its own.
    std::vector<WPARAM> counts;
    for (std::size_t k = 1; k + 1 < m_messages.size(); ++k) {
      EXPECT_EQ(m_messages[k].id, CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED);
      counts.push_back(m_messages[k].wParam & 0xFFFFU);
    }
    std::sort(counts.begin(), counts.end());
    for (std::size_t k = 0; k < counts.size(); ++k) {
      EXPECT_EQ(counts[k], k + 1);
    }
  }
}

// The run's owner takes the findings as soon as the run says it is done, before the
// run's thread has ended: by then every page must be recorded, whichever thread had it.
TEST_F(CheckWorkerTest, EveryPageIsRecordedWhenTheParallelRunSaysDone) {
  for (int k = 0; k < 40; ++k) {
    AddFile("p" + std::to_string(k) + ".htm", Page(k));
  }
  auto single = MakeWorker();
  RunToEnd(*single);
  const std::size_t expected = Findings().size();
  ASSERT_GT(expected, 0U);
  for (int round = 0; round < 5; ++round) {
    m_messages.clear();
    m_files.MarkAllPending();
    m_words.ClearWords();
    auto worker = MakeWorker();
    worker->SetParallelism(4);
    auto thread = StartRun(*worker);
    const auto done = [this] {
      return std::any_of(m_messages.begin(), m_messages.end(), [](const Message& message) {
        return message.id == CProjectCheckWorker::MSG_PROJECT_CHECK_DONE;
      });
    };
    ASSERT_TRUE(CMessageLoop::PumpUntil(done, std::chrono::seconds(60)));
    EXPECT_EQ(worker->GetFilesDone(), 40) << round;
    EXPECT_EQ(Findings().size(), expected) << round;
    ASSERT_TRUE(thread->Wait(INFINITE));
  }
}

TEST_F(CheckWorkerTest, StoppedParallelRunPostsNoDone) {
  for (int k = 0; k < 8; ++k) {
    AddFile("p" + std::to_string(k) + ".htm", Page(k));
  }
  auto worker = MakeWorker();
  worker->SetParallelism(3);
  auto thread = IdleThread();
  worker->SetWorkerThread(thread.get());
  thread->Stop();
  worker->Run();
  CMessageLoop::PumpPending();
  ASSERT_EQ(MessageIds(), (std::vector<UINT>{CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN}));
  EXPECT_EQ(worker->GetFilesDone(), 0);
}
