#include "mtcore/TimerThread.h"
#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"

#include "RecordingTarget.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

using mtcoretest::CRecordingTarget;
using mtcoretest::kLongWait;

namespace {
constexpr UINT kTimerMessage = 0xC400;
constexpr std::uint32_t kHour = 3600 * 1000;
} // namespace

TEST(TimerThread, OneShotPostsOnceAndEnds) {
  CRecordingTarget target;
  CTimerThread timer(kTimerMessage, target.GetSafeHwnd(), 5, true, false, 77);
  EXPECT_TRUE(timer.Wait(INFINITE)); // ends by itself after firing
  EXPECT_TRUE(CMessageLoop::PumpUntil([&] { return !target.received.empty(); }, kLongWait));
  CMessageLoop::PumpPending();
  ASSERT_EQ(target.received.size(), 1U);
  EXPECT_EQ(target.received[0].message, kTimerMessage);
  EXPECT_EQ(target.received[0].wParam, 1U);
  EXPECT_EQ(target.received[0].lParam, 77);
  EXPECT_EQ(timer.GetFiredCount(), 1U);
}

TEST(TimerThread, RepeatingTimerNumbersItsFiringsUntilStopped) {
  CRecordingTarget target;
  CTimerThread timer(kTimerMessage, target.GetSafeHwnd(), 1, false);
  EXPECT_TRUE(CMessageLoop::PumpUntil([&] { return target.received.size() >= 3; }, kLongWait));
  EXPECT_TRUE(timer.Stop(INFINITE));
  CMessageLoop::PumpPending();
  EXPECT_EQ(target.received.size(), timer.GetFiredCount());
  for (std::size_t i = 0; i < target.received.size(); ++i) {
    EXPECT_EQ(target.received[i].wParam, i + 1);
  }
}

TEST(TimerThread, StopDoesNotWaitForTheDelay) {
  CRecordingTarget target;
  for (const bool once : {true, false}) {
    CTimerThread timer(kTimerMessage, target.GetSafeHwnd(), kHour, once);
    EXPECT_FALSE(timer.Wait(0));
    EXPECT_TRUE(timer.Stop(INFINITE)); // would take an hour with a plain sleep
    EXPECT_EQ(timer.GetFiredCount(), 0U);
  }
  CMessageLoop::PumpPending();
  EXPECT_TRUE(target.received.empty());
}

TEST(TimerThread, InfiniteDelayNeverFiresButStops) {
  CRecordingTarget target;
  auto timer = std::make_unique<CTimerThread>(kTimerMessage, target.GetSafeHwnd(), INFINITE, false);
  EXPECT_FALSE(timer->Wait(10));
  timer.reset(); // the destructor stops and joins
  CMessageLoop::PumpPending();
  EXPECT_TRUE(target.received.empty());
}

TEST(TimerThread, FirstAtOncePostsRightAway) {
  CRecordingTarget target;
  CTimerThread timer(kTimerMessage, target.GetSafeHwnd(), kHour, false, true, 5);
  EXPECT_TRUE(CMessageLoop::PumpUntil([&] { return !target.received.empty(); }, kLongWait));
  EXPECT_EQ(target.received[0].lParam, 5);
  EXPECT_TRUE(timer.Stop(INFINITE));
  EXPECT_EQ(timer.GetFiredCount(), 1U);
}

TEST(TimerThread, ARepeatingTimerEndsWhenItsWindowHasGone) {
  auto target = std::make_unique<CRecordingTarget>();
  const HWND window = target->GetSafeHwnd();
  target.reset();
  CTimerThread timer(kTimerMessage, window, 1, false);
  EXPECT_TRUE(timer.Wait(INFINITE));
  EXPECT_EQ(timer.GetFiredCount(), 0U);
}

TEST(TimerThread, ANullWindowEndsTheTimer) {
  CTimerThread timer(kTimerMessage, 0, 1, false, true);
  EXPECT_TRUE(timer.Wait(INFINITE));
  EXPECT_FALSE(timer.IsStopped());
}
