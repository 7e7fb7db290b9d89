#include "mtcore/MessageTarget.h"

#include "mtcore/MessageQueue.h"
#include "mtcore/MessageRegistry.h"

CMessageTarget::CMessageTarget()
    : m_queue(CMessageQueue::ForThisThread()),
      m_window(CMessageRegistry::Instance().Register(m_queue)) {
  m_queue->AddTarget(m_window.load(std::memory_order_relaxed), this);
}

CMessageTarget::~CMessageTarget() {
  DestroyWindow();
}

void CMessageTarget::DestroyWindow() {
  const HWND window = m_window.exchange(0, std::memory_order_acq_rel);
  if (window == 0) {
    return;
  }
  // Unregister first so that new posts fail, then drop what is already queued.
  CMessageRegistry::Instance().Unregister(window);
  m_queue->RemoveTarget(window);
}
