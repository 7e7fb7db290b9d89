#pragma once

#include "guess/MainWordIndex.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

class CDictionaryRegistry;

/// The main dictionary's word index for the wider suggestion searches. Built on the
/// calling thread when first needed, or, once Start was called, on a thread of its own
/// at a low priority, so that the user interface thread never waits for it.
class CBackgroundWordIndex {
public:
  CBackgroundWordIndex() = default;
  /// Waits for a running build (the registry it reads must outlive this object).
  ~CBackgroundWordIndex() = default;
  CBackgroundWordIndex(const CBackgroundWordIndex&) = delete;
  CBackgroundWordIndex& operator=(const CBackgroundWordIndex&) = delete;

  /// Builds the index of `registry` on a thread of its own; `ready` runs on that thread
  /// once it is usable (not when the build failed). False, and nothing starts, when the
  /// index is built or being built.
  bool Start(CDictionaryRegistry& registry, std::function<void()> ready);
  /// The index once built; null while a background build runs. Without one, builds
  /// it on the calling thread first, other callers waiting meanwhile (null when the
  /// main dictionary cannot be read). Any thread.
  const CMainWordIndex* Get(CDictionaryRegistry& registry);
  /// Whether a background build is running: Get gives null until it ends.
  bool IsPending() const { return m_state.load(std::memory_order_acquire) == EState::kBuilding; }

private:
  enum class EState { kNone, kBuilding, kReady };

  CMainWordIndex m_index; ///< written only by the build, read only once kReady
  std::atomic<EState> m_state{EState::kNone};
  std::mutex m_buildLock; ///< held by Start and by a build on a caller's thread
  // Last, so that it is joined before the index it fills goes.
  std::jthread m_thread;
};
