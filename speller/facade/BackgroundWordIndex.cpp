#include "facade/BackgroundWordIndex.h"

#include "mtcore/ThreadNice.h"

#include <mutex>
#include <system_error>
#include <utility>

namespace {
/// Below the desktop, above the checking threads (at the nicest value): idle time alone
/// could leave the index unbuilt for as long as a run or another program keeps the
/// cores busy, and it is a moment's work.
constexpr int kBuildNice = 10;
} // namespace

bool CBackgroundWordIndex::Start(CDictionaryRegistry& registry, std::function<void()> ready) {
  // Under the build lock: a build on a caller's thread is never joined by a second one.
  const std::lock_guard lock(m_buildLock);
  if (m_state.load(std::memory_order_acquire) != EState::kNone) {
    return false;
  }
  if (m_thread.joinable()) {
    m_thread.join(); // a failed build's thread, ended
  }
  m_state.store(EState::kBuilding, std::memory_order_release);
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
  // Threads that ask at once (the parallel suggestions of a check) wait for the one
  // that builds: each of them needs the index for the same answers as a lone caller.
  const std::lock_guard lock(m_buildLock);
  switch (m_state.load(std::memory_order_acquire)) {
  case EState::kReady:
    return &m_index;
  case EState::kBuilding:
    return nullptr; // started in the background meanwhile
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
