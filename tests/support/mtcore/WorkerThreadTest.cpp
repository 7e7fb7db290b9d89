#include "mtcore/MTKernel.h"
#include "mtcore/MTLog.h"
#include "mtcore/MTWaitableCollection.h"
#include "mtcore/MTWorkerThread.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {
struct SRecord {
  std::atomic<int> runs{0};
  std::atomic<pid_t> tid{0};
  std::atomic<int> nice{0};
};

unsigned CountRun(void* parameter) {
  auto* record = static_cast<SRecord*>(parameter);
  record->tid = gettid();
  ++record->runs;
  return 42;
}

// Captures mtcore's log lines for one test.
class CLogCapture {
public:
  CLogCapture() {
    CMTLog::SetSink([this](const std::string& line) {
      std::lock_guard lock(m_mutex);
      m_lines.push_back(line);
    });
  }
  ~CLogCapture() { CMTLog::SetSink(nullptr); }
  CLogCapture(const CLogCapture&) = delete;
  CLogCapture& operator=(const CLogCapture&) = delete;

  std::vector<std::string> Lines() {
    std::lock_guard lock(m_mutex);
    return m_lines;
  }

private:
  std::mutex m_mutex;
  std::vector<std::string> m_lines;
};

int NiceOf(pid_t tid) {
  return getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
}
} // namespace

TEST(MTWorkerThread, RunsTheCFunctionWithItsParameterAtOnce) {
  SRecord record;
  CMTWorkerThread thread(&CountRun, &record, 0, nullptr, 0);
  ASSERT_TRUE(thread.IsStarted());
  EXPECT_TRUE(CMTKernel::Wait(&thread, INFINITE));
  EXPECT_EQ(record.runs.load(), 1);
  EXPECT_EQ(thread.GetExitCode(), 42U);
  EXPECT_FALSE(thread.IsStopped()); // ending by itself is not a stop
  std::string id;
  thread.GetThreadID(id);
  EXPECT_EQ(id, std::to_string(record.tid.load()));
}

TEST(MTWorkerThread, StopIsHonouredAtTheNextStopPoint) {
  std::atomic<long> rounds{0};
  CMTWorkerThread* self = nullptr;
  std::atomic<bool> ready{false};
  CMTWorkerThread thread(
      [&](void*) -> unsigned {
        while (!ready.load()) {
          std::this_thread::yield();
        }
        while (!self->IsStopped()) {
          ++rounds;
          std::this_thread::yield();
        }
        return 1;
      },
      nullptr);
  self = &thread;
  ready = true;
  EXPECT_FALSE(thread.Wait(0));
  thread.Stop();
  EXPECT_TRUE(thread.IsStopped());
  EXPECT_TRUE(CMTKernel::Wait(&thread, INFINITE));
  EXPECT_EQ(thread.GetExitCode(), 1U);
}

TEST(MTWorkerThread, StopEventsWakeAWaitingWorker) {
  CMTWaitableCollection events;
  std::atomic<bool> woken{false};
  CMTWorkerThread thread(
      [&](void*) -> unsigned {
        woken = events.Wait(INFINITE);
        return 0;
      },
      nullptr);
  thread.AddStopEvent(events);
  EXPECT_FALSE(events.IsSet());
  EXPECT_TRUE(thread.Stop(INFINITE));
  EXPECT_TRUE(woken.load());
}

TEST(MTWorkerThread, AStopEventAddedAfterTheStopIsSetAtOnce) {
  CMTWorkerThread thread([](void*) -> unsigned { return 0; }, nullptr);
  thread.Stop();
  CMTWaitableCollection events;
  thread.AddStopEvent(events);
  EXPECT_TRUE(events.IsSet());
}

TEST(MTWorkerThread, TheDestructorStopsAndJoins) {
  CMTWaitableCollection events;
  std::atomic<bool> finished{false};
  {
    CMTWorkerThread thread(
        [&](void*) -> unsigned {
          events.Wait(INFINITE);
          finished = true;
          return 0;
        },
        nullptr);
    thread.AddStopEvent(events);
  }
  EXPECT_TRUE(finished.load());
}

TEST(MTWorkerThread, WithoutAFunctionNothingStarts) {
  CMTWorkerThread thread(nullptr, nullptr);
  EXPECT_FALSE(thread.IsStarted());
  EXPECT_TRUE(thread.Wait(INFINITE));
  EXPECT_FALSE(thread.SetPriority(-1));
  std::string id = "stale";
  thread.GetThreadID(id);
  EXPECT_EQ(id, "");
  EXPECT_TRUE(CMTKernel::Wait(nullptr, INFINITE));
}

TEST(MTWorkerThread, AThrowingFunctionEndsTheThreadWithALogLine) {
  CLogCapture log;
  CMTWorkerThread thread([](void*) -> unsigned { throw std::runtime_error("boom"); }, nullptr);
  EXPECT_TRUE(thread.Wait(INFINITE));
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0], "{652091CB-FE1E-44B5-B06C-9B4F02DE3A3C}");
}

// A worker that notes its id and nice value, then sleeps until it is stopped.
class CParkedWorker {
public:
  explicit CParkedWorker(int priority = 0)
      : m_thread(
            [this](void*) -> unsigned {
              m_nice = NiceOf(0);
              m_tid = gettid();
              m_events.Wait(INFINITE);
              return 0;
            },
            nullptr, priority) {
    m_thread.AddStopEvent(m_events);
    while (m_tid.load() == 0) {
      std::this_thread::yield();
    }
  }

  CMTWorkerThread& Thread() { return m_thread; }
  pid_t Tid() const { return m_tid.load(); }
  int NiceAtStart() const { return m_nice.load(); }

private:
  CMTWaitableCollection m_events;
  std::atomic<pid_t> m_tid{0};
  std::atomic<int> m_nice{0};
  CMTWorkerThread m_thread;
};

TEST(MTWorkerThread, PrioritiesBelowNormalRaiseTheThreadsNiceValue) {
  CParkedWorker worker;
  CMTWorkerThread& thread = worker.Thread();
  const int base = worker.NiceAtStart();
  EXPECT_TRUE(thread.SetPriority(-2));
  EXPECT_EQ(NiceOf(worker.Tid()), std::min(base + 10, 19));
  EXPECT_EQ(thread.GetPriority(), -2);
  // Lowering the nice value again needs privileges; only the result may differ.
  thread.SetPriority(-1);
  EXPECT_GE(NiceOf(worker.Tid()), std::min(base + 5, 19));
  EXPECT_EQ(NiceOf(0), base) << "the caller's own priority must not change";
  thread.Stop(INFINITE);
  EXPECT_FALSE(thread.SetPriority(-1)); // the thread has ended
}

TEST(MTWorkerThread, PriorityGivenAtConstructionIsApplied) {
  CParkedWorker worker(-1);
  // Compared with the caller's: the thread may note its own before or after the change.
  EXPECT_EQ(NiceOf(worker.Tid()), std::min(NiceOf(0) + 5, 19));
}

TEST(MTWaitableCollection, WaitsTimesOutAndSharesStateBetweenCopies) {
  CMTWaitableCollection events;
  EXPECT_FALSE(events.Wait(0));
  EXPECT_FALSE(events.Wait(10));
  CMTWaitableCollection copy = events;
  copy.Set();
  EXPECT_TRUE(events.IsSet());
  EXPECT_TRUE(events.Wait(INFINITE));
  events.Reset();
  EXPECT_FALSE(copy.IsSet());
}

TEST(MTWaitableCollection, SetWakesEveryWaiter) {
  CMTWaitableCollection events;
  std::atomic<int> woken{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&] { woken += events.Wait(INFINITE) ? 1 : 0; });
  }
  events.Set();
  for (auto& t : waiters) {
    t.join();
  }
  EXPECT_EQ(woken.load(), 3);
}
