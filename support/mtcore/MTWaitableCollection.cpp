#include "mtcore/MTWaitableCollection.h"

CMTWaitableCollection::CMTWaitableCollection() : m_state(std::make_shared<SState>()) {}

void CMTWaitableCollection::Set() {
  {
    std::lock_guard lock(m_state->mutex);
    m_state->set = true;
  }
  m_state->signalled.notify_all();
}

void CMTWaitableCollection::Reset() {
  std::lock_guard lock(m_state->mutex);
  m_state->set = false;
}

bool CMTWaitableCollection::IsSet() const {
  std::lock_guard lock(m_state->mutex);
  return m_state->set;
}

bool CMTWaitableCollection::Wait(std::uint32_t milliseconds) const {
  if (milliseconds != INFINITE) {
    return WaitFor(std::chrono::milliseconds(milliseconds));
  }
  std::unique_lock lock(m_state->mutex);
  m_state->signalled.wait(lock, [this] { return m_state->set; });
  return true;
}

bool CMTWaitableCollection::WaitFor(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(m_state->mutex);
  return m_state->signalled.wait_for(lock, timeout, [this] { return m_state->set; });
}
