#pragma once

#include "mtcore/MTWaitableCollection.h"

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

/// The base of every thread object of mtcore: one thread, started by the derived
/// class, asked to stop, waited for and joined; never detached.
///
/// A derived class starts its thread in its constructor and must call StopAndJoin in
/// its destructor, so that the thread has ended before the derived members it uses
/// are destroyed. The thread object must not be destroyed by its own thread.
class CMTKernel {
public:
  virtual ~CMTKernel();
  CMTKernel(const CMTKernel&) = delete;
  CMTKernel& operator=(const CMTKernel&) = delete;

  /// False when the thread could not be started (the failure is logged).
  bool IsStarted() const;
  /// True once a stop was asked.
  bool IsStopped() const { return m_stopped.load(std::memory_order_acquire); }

  /// Asks the thread to stop: IsStopped turns true, the stop events are signalled and
  /// the sleeps of the thread end. Does not wait.
  void Stop();
  /// Stop, then Wait(milliseconds); true when the thread has ended.
  bool Stop(std::uint32_t milliseconds);

  /// Waits until the thread has ended (true) or `milliseconds` have passed (false);
  /// INFINITE waits without a time limit. True at once when no thread was started;
  /// false at once when called on the thread itself.
  bool Wait(std::uint32_t milliseconds) const;
  /// kernel->Wait(milliseconds); true for a null kernel.
  static bool Wait(const CMTKernel* kernel, std::uint32_t milliseconds);

  /// Windows-style priority: 0 normal, -1 and -2 below normal (a higher nice value of
  /// this thread: +5 and +10), -15 idle (nice 19). Raising above normal is not done.
  /// False when the thread is not running or the system refused (logged).
  bool SetPriority(int priority);
  int GetPriority() const;

  /// The kernel's id of the thread (its tid) as decimal text; empty without a thread.
  void GetThreadID(std::string& text) const;

  /// `events` is signalled when a stop is asked (at once if it was asked already).
  void AddStopEvent(CMTWaitableCollection& events);

protected:
  CMTKernel() = default;

  /// Starts the thread running `body`; false (logged) when it cannot be started.
  /// Returns once the thread's id is known, so SetPriority works at once.
  bool Start(std::function<void()> body);
  /// Sleeps until `until` or until a stop is asked; true when a stop was asked.
  bool SleepUntilUnlessStopped(std::chrono::steady_clock::time_point until);
  /// Sleeps without a time limit until a stop is asked.
  void SleepUntilStopped();
  /// Called by Stop on the stopping thread, outside the kernel's lock; a thread that
  /// blocks elsewhere (a poll on a descriptor) overrides it to wake that wait.
  virtual void OnStopRequested() {}
  /// Stop and join; idempotent. Every derived destructor calls it first.
  void StopAndJoin();

private:
  void Run(const std::function<void()>& body);

  mutable std::mutex m_mutex;
  mutable std::condition_variable m_changed; // id published, stop asked, thread ended
  std::thread m_thread;
  std::atomic<bool> m_stopped{false};
  bool m_started = false;
  bool m_ended = false;
  pid_t m_tid = 0;
  int m_baseNice = 0;
  int m_priority = 0;
  std::vector<CMTWaitableCollection> m_stopEvents;
};
