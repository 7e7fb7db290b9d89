#pragma once

#include "mtcore/MTKernel.h"

#include <atomic>
#include <functional>

/// A worker thread that runs function(parameter) at once. The function asks
/// IsStopped() at its stop points, or waits on a stop event, to honour Stop().
/// The destructor stops the thread and waits for it.
class CMTWorkerThread : public CMTKernel {
public:
  using ThreadFunction = std::function<unsigned(void* parameter)>;

  /// Starts the thread; `priority` as for SetPriority. `security` and `flags` are
  /// accepted for the callers' sake and ignored. Without a function nothing starts.
  CMTWorkerThread(ThreadFunction function, void* parameter, int priority = 0,
                  const void* security = nullptr, unsigned flags = 0);
  ~CMTWorkerThread() override;

  /// The function's result once the thread has ended; 0 before.
  unsigned GetExitCode() const { return m_exitCode.load(std::memory_order_acquire); }

private:
  ThreadFunction m_function;
  void* m_parameter;
  std::atomic<unsigned> m_exitCode{0};
};
