#include "mtcore/MessageLoop.h"

#include "mtcore/MessageQueue.h"

#include <algorithm>

namespace {
// done() may depend on state that changes without a message (a thread that ends),
// so waiting is cut into slices of at most this length.
constexpr std::chrono::milliseconds kPollSlice{10};

std::chrono::steady_clock::time_point DeadlineAfter(std::chrono::milliseconds timeout) {
  const auto now = std::chrono::steady_clock::now();
  const auto room = std::chrono::steady_clock::time_point::max() - now;
  if (timeout >= std::chrono::duration_cast<std::chrono::milliseconds>(room)) {
    return std::chrono::steady_clock::time_point::max();
  }
  return now + std::max(timeout, std::chrono::milliseconds::zero());
}
} // namespace

std::size_t CMessageLoop::PumpPending() {
  return CMessageQueue::ForThisThread()->Pump();
}

bool CMessageLoop::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto queue = CMessageQueue::ForThisThread();
  const auto deadline = DeadlineAfter(timeout);
  for (;;) {
    queue->Pump();
    if (done && done()) {
      return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      return false;
    }
    queue->WaitForMessage(std::min(deadline, now + kPollSlice));
  }
}

void CMessageLoop::SetWakeUpHook(std::function<void()> hook) {
  CMessageQueue::ForThisThread()->SetWakeUpHook(std::move(hook));
}
