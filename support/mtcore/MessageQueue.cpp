#include "mtcore/MessageQueue.h"

#include "mtcore/MessageTarget.h"

#include <algorithm>

namespace {
// The queue whose hook the calling thread is running, so that a hook that replaces
// its own queue's hook does not wait for itself.
thread_local const CMessageQueue* t_inHookOf = nullptr;
} // namespace

std::shared_ptr<CMessageQueue> CMessageQueue::ForThisThread() {
  thread_local std::shared_ptr<CMessageQueue> queue = std::make_shared<CMessageQueue>();
  return queue;
}

void CMessageQueue::AddTarget(HWND window, CMessageTarget* target) {
  std::lock_guard lock(m_mutex);
  m_targets[window] = target;
}

void CMessageQueue::RemoveTarget(HWND window) {
  std::lock_guard lock(m_mutex);
  m_targets.erase(window);
  std::erase_if(m_messages, [window](const SMessage& m) { return m.window == window; });
}

bool CMessageQueue::Push(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Hook hook;
  {
    std::lock_guard lock(m_mutex);
    // The target may have gone since its queue was looked up; checking under the
    // lock that RemoveTarget takes means nothing is queued for a removed target.
    if (!m_targets.contains(window)) {
      return false;
    }
    m_messages.push_back(SMessage{window, message, wParam, lParam});
    if (m_hook && m_hookArmed) {
      m_hookArmed = false;
      hook = m_hook;
      ++m_hookCalls;
    }
  }
  m_queued.notify_one();
  if (hook) {
    CallHook(hook);
  }
  return true;
}

void CMessageQueue::CallHook(const Hook& hook) {
  const CMessageQueue* outer = t_inHookOf;
  t_inHookOf = this;
  try {
    (*hook)();
  } catch (...) {
    // The message is queued all the same; a failing hook only delays its handling
    // until the next pump.
  }
  t_inHookOf = outer;
  bool idle = false;
  {
    std::lock_guard lock(m_mutex);
    idle = --m_hookCalls == 0;
  }
  if (idle) {
    m_hookIdle.notify_all();
  }
}

bool CMessageQueue::PopFront(SMessage& message, CMessageTarget*& target) {
  std::lock_guard lock(m_mutex);
  if (m_messages.empty()) {
    return false;
  }
  message = m_messages.front();
  m_messages.pop_front();
  const auto it = m_targets.find(message.window);
  target = it == m_targets.end() ? nullptr : it->second;
  return true;
}

std::size_t CMessageQueue::Pump() {
  std::size_t queued = 0;
  {
    std::lock_guard lock(m_mutex);
    m_hookArmed = true;
    queued = m_messages.size();
  }
  // One message at a time, looking its target up just before the call: a handler may
  // destroy other targets or pump again (a modal loop), and order must still hold.
  std::size_t handled = 0;
  SMessage message{};
  CMessageTarget* target = nullptr;
  for (std::size_t i = 0; i < queued && PopFront(message, target); ++i) {
    if (target != nullptr) {
      target->OnMessage(message.message, message.wParam, message.lParam);
      ++handled;
    }
  }
  return handled;
}

void CMessageQueue::WaitForMessage(std::chrono::steady_clock::time_point until) {
  std::unique_lock lock(m_mutex);
  m_queued.wait_until(lock, until, [this] { return !m_messages.empty(); });
}

void CMessageQueue::SetWakeUpHook(std::function<void()> hook) {
  Hook newHook;
  if (hook) {
    newHook = std::make_shared<const std::function<void()>>(std::move(hook));
  }
  Hook callNow;
  {
    std::unique_lock lock(m_mutex);
    m_hook = newHook;
    if (t_inHookOf != this) {
      m_hookIdle.wait(lock, [this] { return m_hookCalls == 0; });
    }
    // Messages that arrived before the hook still need a pump.
    if (m_hook && !m_messages.empty()) {
      m_hookArmed = false;
      callNow = m_hook;
      ++m_hookCalls;
    } else {
      m_hookArmed = true;
    }
  }
  if (callNow) {
    CallHook(callNow);
  }
}
