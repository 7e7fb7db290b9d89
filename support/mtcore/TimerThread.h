#pragma once

#include "mtcore/MTKernel.h"
#include "mtcore/WindowMessages.h"

#include <atomic>
#include <cstdint>

/// A thread that posts `message` to `window` after `delay` milliseconds, once or
/// every `delay` milliseconds until stopped. wParam is the number of the firing
/// (1, 2, ...), lParam the value given. It ends by itself after a one-shot firing and
/// when the window has gone. Stop returns promptly; the destructor stops and joins.
class CTimerThread : public CMTKernel {
public:
  /// `firstAtOnce`: also post once right at the start. A delay of INFINITE never
  /// fires; a repeating timer fires at most once per millisecond.
  CTimerThread(UINT message, HWND window, std::uint32_t delay, bool once, bool firstAtOnce = false,
               LPARAM lParam = 0);
  ~CTimerThread() override;

  /// How many messages were posted so far.
  std::uint32_t GetFiredCount() const { return m_fired.load(std::memory_order_acquire); }

private:
  void Run();
  bool Fire();

  UINT m_message;
  HWND m_window;
  std::uint32_t m_delay;
  bool m_once;
  bool m_firstAtOnce;
  LPARAM m_lParam;
  std::atomic<std::uint32_t> m_fired{0};
};
