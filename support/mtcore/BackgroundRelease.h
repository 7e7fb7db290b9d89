#pragma once

#include <exception>
#include <thread>
#include <utility>

/// Frees what it is given on a thread of its own, so that dropping a large structure
/// (a big site's millions of findings) does not hold up the caller, often the user
/// interface thread. One release at a time: the next waits for the one before, and so
/// does the destructor. When no thread can be started the caller frees it after all.
class CBackgroundRelease {
public:
  CBackgroundRelease() = default;
  ~CBackgroundRelease() { Wait(); }
  CBackgroundRelease(const CBackgroundRelease&) = delete;
  CBackgroundRelease& operator=(const CBackgroundRelease&) = delete;

  template <typename T> void Release(T what) {
    Wait();
    if (!MayStart()) {
      return; // `what` goes here
    }
    try {
      m_thread = std::thread([held = std::move(what)]() mutable { T gone = std::move(held); });
    } catch (const std::exception&) {
      // No thread (system_error) or no memory for one (bad_alloc): the thread's
      // callable, and `what` with it, was freed here.
    }
  }
  /// Waits until the release under way, if any, is done.
  void Wait();

private:
  /// False when a thread start is to fail (test failure injection).
  static bool MayStart();

  std::thread m_thread;
};
