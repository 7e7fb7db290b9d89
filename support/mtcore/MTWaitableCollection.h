#pragma once

#include "mtcore/WindowMessages.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

/// The stop events of a worker: an event that stays signalled once set (until Reset)
/// and that a thread can wait on with a time-out, to sleep until it is told to stop.
/// Copies share the same event, so a thread that was handed one keeps it alive.
class CMTWaitableCollection {
public:
  CMTWaitableCollection();

  /// Signals the event and wakes every waiter.
  void Set();
  void Reset();
  bool IsSet() const;
  /// Waits until the event is signalled (true) or `milliseconds` have passed (false);
  /// INFINITE waits without a time limit.
  bool Wait(std::uint32_t milliseconds) const;
  /// As Wait, with a duration.
  bool WaitFor(std::chrono::milliseconds timeout) const;

private:
  struct SState {
    std::mutex mutex;
    std::condition_variable signalled;
    bool set = false;
  };
  std::shared_ptr<SState> m_state;
};
