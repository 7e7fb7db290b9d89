#include "facade/BackgroundWordIndex.h"

#include "mtcore/ThreadNice.h"

#include <system_error>
#include <utility>

namespace {
/// Below the desktop, above the checking threads (at the nicest value): idle time alone
/// could leave the index unbuilt for as long as a run or another program keeps the
/// cores busy, and it is a moment's work.
constexpr int kBuildNice = 10;
} // namespace

bool CBackgroundWordIndex::Start(CDictionaryRegistry& registry, std::function<void()> ready) {
  EState expected = EState::kNone;
  if (!m_state.compare_exchange_strong(expected, EState::kBuilding, std::memory_order_acq_rel)) {
    return false;
  }
  try {
    m_thread = std::jthread([this, &registry, ready = std::move(ready)] {
      CThreadNice::SetForCallingThread(kBuildNice);
      if (!m_index.Build(registry)) {
        // Get tries again on its caller's thread, as without a background build.
        m_state.store(EState::kNone, std::memory_order_release);
        return;
      }
      m_state.store(EState::kReady, std::memory_order_release);
      if (ready) {
        ready();
      }
    });
  } catch (const std::system_error&) {
    m_state.store(EState::kNone, std::memory_order_release); // Get builds when needed
    return false;
  }
  return true;
}

const CMainWordIndex* CBackgroundWordIndex::Get(CDictionaryRegistry& registry) {
  switch (m_state.load(std::memory_order_acquire)) {
  case EState::kReady:
    return &m_index;
  case EState::kBuilding:
    return nullptr;
  case EState::kNone:
    break;
  }
  // A failed background build has ended; its thread is joined before the index is
  // touched again here.
  if (m_thread.joinable()) {
    m_thread.join();
  }
  if (!m_index.Build(registry)) {
    return nullptr;
  }
  m_state.store(EState::kReady, std::memory_order_release);
  return &m_index;
}
