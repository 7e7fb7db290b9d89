#include "mtcore/ChangeMonitor.h"

#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left);
}
} // namespace

CChangeMonitor::CChangeMonitor(std::unique_ptr<CInotifyWatch> watch, Filter filter, Confirm confirm,
                               UINT message, HWND window, std::uint32_t period, LPARAM lParam)
    : m_watch(std::move(watch)), m_filter(std::move(filter)), m_confirm(std::move(confirm)),
      m_message(message), m_window(window), m_period(period), m_lParam(lParam),
      m_wake(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (m_watch && m_watch->IsValid() && m_wake.IsValid()) {
    m_valid = Start([this] { Run(); });
  }
}

CChangeMonitor::~CChangeMonitor() {
  StopAndJoin();
}

void CChangeMonitor::OnStopRequested() {
  if (m_wake.IsValid()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wake.Get(), &one, sizeof one);
  }
}

bool CChangeMonitor::WaitForEvents(bool watching, int timeoutMs) {
  pollfd fds[2] = {{m_wake.Get(), POLLIN, 0}, {m_watch->GetFd(), POLLIN, 0}};
  const int ready = poll(fds, watching ? 2 : 1, timeoutMs);
  return !IsStopped() && !(ready > 0 && (fds[0].revents & POLLIN) != 0);
}

void CChangeMonitor::Run() {
  const bool coalesce = m_period != 0 && m_period != NO_PERIOD;
  bool pending = false;
  bool watching = true; // false once the inotify descriptor failed: only a stop is awaited
  Clock::time_point deadline;
  while (WaitForEvents(watching, pending ? MillisecondsUntil(deadline) : -1)) {
    if (watching) {
      watching = m_watch->ReadEvents([&](const CInotifyWatch::Event& event) {
        if (!pending && m_filter(event)) {
          pending = true;
          deadline = Clock::now() + std::chrono::milliseconds(coalesce ? m_period : 0);
        }
      });
    }
    if (pending && Clock::now() >= deadline) {
      pending = false;
      Post();
    }
  }
}

void CChangeMonitor::Post() {
  if (!m_confirm || m_confirm()) {
    PostMessage(m_window, m_message, 0, m_lParam);
  }
}
