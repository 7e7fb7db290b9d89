#include "pagelint-check/HelperTask.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

TEST(HelperTask, RunsBesideTheCallerAndIsWaitedFor) {
  std::atomic<bool> ran{false};
  std::thread::id where;
  CHelperTask task([&] {
    where = std::this_thread::get_id();
    ran = true;
  });
  task.Join();
  EXPECT_TRUE(ran);
  EXPECT_NE(where, std::this_thread::get_id());
  task.Join(); // a second wait changes nothing
}

TEST(HelperTask, JoinThrowsWhatTheTaskThrewAndTheDestructorDoesNot) {
  CHelperTask failing([] { throw std::runtime_error("no room"); });
  EXPECT_THROW(failing.Join(), std::runtime_error);
  // Never joined: the destructor waits and swallows the failure.
  {
    CHelperTask unjoined([] { throw std::runtime_error("unseen"); });
  }
}

} // namespace
