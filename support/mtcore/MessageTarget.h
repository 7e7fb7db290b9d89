#pragma once

#include "mtcore/WindowMessages.h"

#include <atomic>
#include <memory>

class CMessageQueue;

/// Stands in for a hidden window or a user interface window: a target of posted
/// messages, owned by the thread that constructs it.
///
/// Messages are handled only on the owner thread, when it pumps its queue, in the
/// order they were posted. Destroy the target on the owner thread: then no message can
/// be handled while the derived part is being destroyed, and the messages still queued
/// for it are dropped. A derived class whose destructor pumps messages must call
/// DestroyWindow first.
class CMessageTarget {
public:
  CMessageTarget();
  virtual ~CMessageTarget();
  CMessageTarget(const CMessageTarget&) = delete;
  CMessageTarget& operator=(const CMessageTarget&) = delete;

  /// The handle; 0 once the window is destroyed.
  HWND GetSafeHwnd() const { return m_window.load(std::memory_order_acquire); }

  /// Unregisters now (owner thread): the handle stops naming a window and queued
  /// messages are dropped. Called by the destructor; calling it twice is harmless.
  void DestroyWindow();

protected:
  /// Handles one message; called on the owner thread only.
  virtual void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
  friend class CMessageQueue;

  std::shared_ptr<CMessageQueue> m_queue;
  std::atomic<HWND> m_window;
};
