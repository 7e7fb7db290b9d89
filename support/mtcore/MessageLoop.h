#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

/// Pumps the calling thread's message queue: runs the handlers of the messages queued
/// for the targets that this thread owns. The user interface thread is pumped from the
/// Qt event loop through the wake-up hook; other threads and tests pump themselves.
class CMessageLoop {
public:
  /// Handles the messages queued for the calling thread's targets when the call
  /// begins (not those that their handlers post); returns how many were handled.
  static std::size_t PumpPending();

  /// Pumps, and waits for messages in between, until done() holds (true) or the
  /// time-out has passed (false). done() is tested after every pump and at least
  /// every 10 ms, so it may also watch state that changes without a message.
  static bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

  /// Sets the hook of the calling thread's queue: it is called on the posting thread,
  /// outside every lock of the message layer, when a message is queued and no call
  /// is outstanding since the last pump began (so one pump drains what it announced).
  /// An empty hook removes it. When this returns, the old hook is no longer running
  /// on any thread and will not be called again.
  static void SetWakeUpHook(std::function<void()> hook);
};
