// Nice values are per thread on Linux: setting one thread's must leave the others alone.
#include "mtcore/ThreadNice.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

TEST(ThreadNice, AThreadSetsItsOwnValueAndOthersReadItByItsId) {
  const int callerBefore = CThreadNice::OfCallingThread();
  std::atomic<pid_t> tid{0};
  std::atomic<bool> set{false};
  std::atomic<bool> release{false};
  std::jthread idle([&] {
    set = CThreadNice::SetForCallingThread(CThreadNice::kIdle);
    tid = gettid();
    while (!release) {
      std::this_thread::yield();
    }
  });
  while (tid == 0) {
    std::this_thread::yield();
  }
  EXPECT_TRUE(set);
  EXPECT_EQ(CThreadNice::Of(tid), CThreadNice::kIdle);
  EXPECT_EQ(CThreadNice::OfCallingThread(), callerBefore) << "only the thread itself changes";
  release = true;
}

// Lowering the value needs privileges: refused, the value stays; granted (as root), it
// is taken.
TEST(ThreadNice, ASetThatTheSystemRefusesLeavesTheValue) {
  std::jthread([] {
    ASSERT_TRUE(CThreadNice::SetForCallingThread(CThreadNice::kIdle));
    const bool lowered = CThreadNice::SetForCallingThread(CThreadNice::kIdle - 4);
    EXPECT_EQ(CThreadNice::OfCallingThread(),
              lowered ? CThreadNice::kIdle - 4 : CThreadNice::kIdle);
    // Beyond the nicest value the system takes the nicest.
    EXPECT_TRUE(CThreadNice::SetForCallingThread(CThreadNice::kIdle + 10));
    EXPECT_EQ(CThreadNice::OfCallingThread(), CThreadNice::kIdle);
  });
}

} // namespace
