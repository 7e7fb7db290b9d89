#include "mtcore/TimerThread.h"

#include <algorithm>
#include <chrono>

CTimerThread::CTimerThread(UINT message, HWND window, std::uint32_t delay, bool once,
                           bool firstAtOnce, LPARAM lParam)
    : m_message(message), m_window(window), m_delay(delay), m_once(once),
      m_firstAtOnce(firstAtOnce), m_lParam(lParam) {
  Start([this] { Run(); });
}

CTimerThread::~CTimerThread() {
  StopAndJoin();
}

bool CTimerThread::Fire() {
  const std::uint32_t number = m_fired.load(std::memory_order_relaxed) + 1;
  if (!PostMessage(m_window, m_message, number, m_lParam)) {
    return false; // the window has gone, and handles are never reused
  }
  m_fired.store(number, std::memory_order_release);
  return true;
}

void CTimerThread::Run() {
  if (m_firstAtOnce && (!Fire() || m_once)) {
    return;
  }
  if (m_delay == INFINITE) {
    SleepUntilStopped();
    return;
  }
  const std::chrono::milliseconds period(m_once ? m_delay : std::max<std::uint32_t>(m_delay, 1));
  auto next = std::chrono::steady_clock::now() + period;
  while (!SleepUntilUnlessStopped(next) && Fire() && !m_once) {
    // Keep to the schedule, but after a long stall start afresh instead of
    // posting a burst of overdue messages.
    const auto now = std::chrono::steady_clock::now();
    next = std::max(next + period, now);
  }
}
