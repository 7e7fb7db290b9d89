#pragma once

#include "mtcore/WindowMessages.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>

class CMessageTarget;

/// The message queue of one thread and the targets that thread owns (internal to the
/// message layer). Posting threads push; only the owner thread pumps.
class CMessageQueue {
public:
  /// The calling thread's queue, created on first use; it lives while the thread or a
  /// target of it does.
  static std::shared_ptr<CMessageQueue> ForThisThread();

  void AddTarget(HWND window, CMessageTarget* target);
  /// Forgets the target and drops every message queued for it.
  void RemoveTarget(HWND window);

  /// Queues the message when `window` is still a target of this queue; may call the
  /// wake-up hook (outside the lock).
  bool Push(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  /// Owner thread: handles the messages queued when the call begins.
  std::size_t Pump();
  /// Owner thread: waits until a message is queued or `until` has passed.
  void WaitForMessage(std::chrono::steady_clock::time_point until);

  void SetWakeUpHook(std::function<void()> hook);

private:
  struct SMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  using Hook = std::shared_ptr<const std::function<void()>>;

  bool PopFront(SMessage& message, CMessageTarget*& target);
  void CallHook(const Hook& hook);

  std::mutex m_mutex;
  std::condition_variable m_queued;
  std::condition_variable m_hookIdle;
  std::deque<SMessage> m_messages;
  std::unordered_map<HWND, CMessageTarget*> m_targets;
  Hook m_hook;
  bool m_hookArmed = true;
  int m_hookCalls = 0;
};
