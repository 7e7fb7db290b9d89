#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"
#include "mtcore/WindowMessages.h"

#include "RecordingTarget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

using mtcoretest::CRecordingTarget;
using mtcoretest::kLongWait;

TEST(RegisterWindowMessage, SameNameSameIdFromManyThreads) {
  const std::vector<std::string> names = {"27FF44D7-15A6-4d83-A726-7FAC0E802DD4",
                                          "663307A8-3235-4a5b-8683-4226B32E4539", "test-register-a",
                                          "test-register-b"};
  std::vector<std::vector<UINT>> idsPerThread(8);
  std::vector<std::thread> threads;
  for (auto& ids : idsPerThread) {
    threads.emplace_back([&names, &ids] {
      for (const auto& name : names) {
        ids.push_back(RegisterWindowMessageA(name.c_str()));
      }
    });
  }
  for (auto& t : threads) {
    t.join();
  }
  for (const auto& ids : idsPerThread) {
    EXPECT_EQ(ids, idsPerThread.front());
  }
  const std::set<UINT> distinct(idsPerThread.front().begin(), idsPerThread.front().end());
  EXPECT_EQ(distinct.size(), names.size());
  for (UINT id : distinct) {
    EXPECT_GE(id, 0xC000U);
    EXPECT_LE(id, 0xFFFFU);
  }
}

TEST(RegisterWindowMessage, NamesIgnoreAsciiCaseAndEmptyNamesFail) {
  EXPECT_EQ(RegisterWindowMessageA("9F0C18A8-759F-48c3-979A-5D42A937A0CB"),
            RegisterWindowMessageA("9f0c18a8-759f-48C3-979a-5d42a937a0cb"));
  EXPECT_EQ(RegisterWindowMessageA(""), 0U);
  EXPECT_EQ(RegisterWindowMessageA(nullptr), 0U);
}

TEST(MessageTarget, HandlesAreUniqueAndDieWithTheTarget) {
  HWND first = 0;
  {
    CRecordingTarget target;
    first = target.GetSafeHwnd();
    EXPECT_NE(first, 0U);
    EXPECT_TRUE(IsWindow(first));
  }
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(PostMessage(first, 1, 0, 0));
  CRecordingTarget next;
  EXPECT_NE(next.GetSafeHwnd(), first);
  EXPECT_FALSE(IsWindow(0));
  EXPECT_FALSE(PostMessage(0, 1, 0, 0));
}

TEST(MessageTarget, DestroyWindowDropsQueuedMessagesAndIsIdempotent) {
  CRecordingTarget target;
  const HWND window = target.GetSafeHwnd();
  ASSERT_TRUE(PostMessage(window, 1, 0, 0));
  ASSERT_TRUE(SendNotifyMessage(window, 2, 0, 0));
  target.DestroyWindow();
  target.DestroyWindow();
  EXPECT_EQ(target.GetSafeHwnd(), 0U);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CMessageLoop::PumpPending(), 0U);
  EXPECT_TRUE(target.received.empty());
}

TEST(MessageTarget, MessagesArriveInOrderWithTheirParameters) {
  CRecordingTarget target;
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(PostMessage(target.GetSafeHwnd(), 0xC100, static_cast<WPARAM>(i), -i));
  }
  EXPECT_TRUE(target.received.empty()); // nothing runs before the owner pumps
  EXPECT_EQ(CMessageLoop::PumpPending(), 100U);
  ASSERT_EQ(target.received.size(), 100U);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(target.received[i].message, 0xC100U);
    EXPECT_EQ(target.received[i].wParam, static_cast<WPARAM>(i));
    EXPECT_EQ(target.received[i].lParam, -i);
  }
}

TEST(MessageTarget, SendNotifyFromAHandlerIsQueuedNotNested) {
  int depth = 0;
  int maxDepth = 0;
  std::vector<UINT> order;
  std::unique_ptr<CFunctionTarget> target;
  target = std::make_unique<CFunctionTarget>([&](UINT m, WPARAM, LPARAM) {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    order.push_back(m);
    if (m == 1) {
      SendNotifyMessage(target->GetSafeHwnd(), 2, 0, 0);
      order.push_back(100);
    }
    --depth;
  });
  PostMessage(target->GetSafeHwnd(), 1, 0, 0);
  // A pump handles only what was queued when it began.
  EXPECT_EQ(CMessageLoop::PumpPending(), 1U);
  EXPECT_EQ(CMessageLoop::PumpPending(), 1U);
  EXPECT_EQ(maxDepth, 1);
  EXPECT_EQ(order, (std::vector<UINT>{1, 100, 2}));
}

TEST(MessageTarget, NestedPumpKeepsTheOrder) {
  std::vector<UINT> order;
  CFunctionTarget target([&](UINT m, WPARAM, LPARAM) {
    order.push_back(m);
    if (m == 1) {
      CMessageLoop::PumpPending(); // a modal loop inside a handler
    }
  });
  for (UINT m = 1; m <= 4; ++m) {
    PostMessage(target.GetSafeHwnd(), m, 0, 0);
  }
  CMessageLoop::PumpPending();
  EXPECT_EQ(order, (std::vector<UINT>{1, 2, 3, 4}));
}

TEST(MessageTarget, AHandlerThatDestroysAnotherTargetDropsItsMessages) {
  auto victim = std::make_unique<CRecordingTarget>();
  CFunctionTarget killer([&](UINT, WPARAM, LPARAM) { victim.reset(); });
  const HWND victimWindow = victim->GetSafeHwnd();
  PostMessage(killer.GetSafeHwnd(), 1, 0, 0);
  PostMessage(victimWindow, 2, 0, 0);
  EXPECT_EQ(CMessageLoop::PumpPending(), 1U);
  EXPECT_EQ(victim, nullptr);
}

TEST(MessageTarget, PostsFromManyThreadsReachOnlyTheOwnerInOrderPerPoster) {
  constexpr int kPosters = 4;
  constexpr int kPerPoster = 500;
  std::promise<HWND> windowPromise;
  std::atomic<bool> postersDone{false};
  std::vector<std::vector<WPARAM>> seen(kPosters);
  int foreignCalls = 0;

  std::thread owner([&] {
    CRecordingTarget target;
    windowPromise.set_value(target.GetSafeHwnd());
    CMessageLoop::PumpUntil([&] { return target.received.size() == kPosters * kPerPoster; },
                            kLongWait);
    for (const auto& r : target.received) {
      seen[static_cast<std::size_t>(r.lParam)].push_back(r.wParam);
    }
    foreignCalls = target.foreignCalls;
  });
  const HWND window = windowPromise.get_future().get();
  std::vector<std::thread> posters;
  for (int p = 0; p < kPosters; ++p) {
    posters.emplace_back([window, p] {
      for (int i = 0; i < kPerPoster; ++i) {
        PostMessage(window, 0xC200, static_cast<WPARAM>(i), p);
      }
    });
  }
  for (auto& t : posters) {
    t.join();
  }
  owner.join();
  EXPECT_EQ(foreignCalls, 0);
  for (const auto& fromOnePoster : seen) {
    ASSERT_EQ(fromOnePoster.size(), static_cast<std::size_t>(kPerPoster));
    for (int i = 0; i < kPerPoster; ++i) {
      EXPECT_EQ(fromOnePoster[i], static_cast<WPARAM>(i));
    }
  }
}

TEST(MessageTarget, NothingIsHandledAfterTheTargetIsDestroyedWhilePostsGoOn) {
  std::atomic<bool> alive{true};
  std::atomic<int> afterDeath{0};
  std::atomic<bool> stopPosting{false};
  std::promise<HWND> windowPromise;

  std::atomic<int> handled{0};
  std::thread owner([&] {
    auto target = std::make_unique<CFunctionTarget>([&](UINT, WPARAM, LPARAM) {
      ++handled;
      if (!alive.load()) {
        ++afterDeath;
      }
    });
    windowPromise.set_value(target->GetSafeHwnd());
    CMessageLoop::PumpUntil([&] { return handled.load() >= 100; }, kLongWait);
    alive = false;
    target.reset();
    // Posts still arriving for the dead handle must go nowhere.
    for (int i = 0; i < 50; ++i) {
      CMessageLoop::PumpPending();
      std::this_thread::yield();
    }
    stopPosting = true;
    CMessageLoop::PumpPending();
  });
  const HWND window = windowPromise.get_future().get();
  std::vector<std::thread> posters;
  for (int p = 0; p < 3; ++p) {
    posters.emplace_back([&, window] {
      while (!stopPosting.load()) {
        PostMessage(window, 0xC300, 0, 0);
        std::this_thread::yield(); // keep the queue from outgrowing the pump
      }
    });
  }
  for (auto& t : posters) {
    t.join();
  }
  owner.join();
  EXPECT_EQ(afterDeath.load(), 0);
  EXPECT_FALSE(IsWindow(window));
}

TEST(MessageLoop, PumpUntilTimesOutWhenNothingHappens) {
  CRecordingTarget target;
  EXPECT_FALSE(CMessageLoop::PumpUntil([&] { return !target.received.empty(); }, 20ms));
  EXPECT_FALSE(CMessageLoop::PumpUntil([] { return false; }, -5ms));
}

TEST(MessageLoop, PumpUntilReturnsOnceAMessageFromAnotherThreadArrives) {
  CRecordingTarget target;
  const HWND window = target.GetSafeHwnd();
  std::thread poster([window] {
    std::this_thread::sleep_for(20ms);
    PostMessage(window, 7, 8, 9);
  });
  EXPECT_TRUE(CMessageLoop::PumpUntil([&] { return !target.received.empty(); }, kLongWait));
  poster.join();
  ASSERT_EQ(target.received.size(), 1U);
  EXPECT_EQ(target.received[0].wParam, 8U);
}

TEST(MessageLoop, PumpUntilSeesStateThatChangesWithoutAMessage) {
  std::atomic<bool> flag{false};
  std::thread setter([&] {
    std::this_thread::sleep_for(20ms);
    flag = true;
  });
  EXPECT_TRUE(CMessageLoop::PumpUntil([&] { return flag.load(); }, kLongWait));
  setter.join();
}

TEST(MessageLoop, WakeUpHookRunsOnThePostingThreadOncePerPump) {
  CRecordingTarget target;
  const HWND window = target.GetSafeHwnd();
  std::mutex mutex;
  std::vector<std::thread::id> callers;
  CMessageLoop::SetWakeUpHook([&] {
    std::lock_guard lock(mutex);
    callers.push_back(std::this_thread::get_id());
  });
  std::thread::id posterId;
  std::thread poster([&] {
    posterId = std::this_thread::get_id();
    for (int i = 0; i < 3; ++i) {
      PostMessage(window, 1, 0, 0);
    }
  });
  poster.join();
  {
    std::lock_guard lock(mutex);
    ASSERT_EQ(callers.size(), 1U); // one drain announced for three messages
    EXPECT_EQ(callers[0], posterId);
  }
  EXPECT_EQ(CMessageLoop::PumpPending(), 3U);
  PostMessage(window, 1, 0, 0);
  {
    std::lock_guard lock(mutex);
    EXPECT_EQ(callers.size(), 2U);
  }
  CMessageLoop::SetWakeUpHook(nullptr);
  CMessageLoop::PumpPending();
  PostMessage(window, 1, 0, 0);
  std::lock_guard lock(mutex);
  EXPECT_EQ(callers.size(), 2U);
}

TEST(MessageLoop, SettingAHookWhileMessagesWaitAnnouncesThem) {
  CRecordingTarget target;
  PostMessage(target.GetSafeHwnd(), 1, 0, 0);
  int calls = 0;
  CMessageLoop::SetWakeUpHook([&] { ++calls; });
  EXPECT_EQ(calls, 1);
  CMessageLoop::SetWakeUpHook(nullptr);
  EXPECT_EQ(CMessageLoop::PumpPending(), 1U);
}

TEST(MessageLoop, AThrowingHookDoesNotLoseTheMessage) {
  CRecordingTarget target;
  CMessageLoop::SetWakeUpHook([] { throw std::runtime_error("hook"); });
  EXPECT_TRUE(PostMessage(target.GetSafeHwnd(), 1, 0, 0));
  CMessageLoop::SetWakeUpHook(nullptr);
  EXPECT_EQ(CMessageLoop::PumpPending(), 1U);
}
