#include "mtcore/MTWorkerThread.h"

CMTWorkerThread::CMTWorkerThread(ThreadFunction function, void* parameter, int priority,
                                 const void* /*security*/, unsigned /*flags*/)
    : m_function(std::move(function)), m_parameter(parameter) {
  if (!m_function) {
    return;
  }
  if (Start([this] { m_exitCode.store(m_function(m_parameter), std::memory_order_release); }) &&
      priority != 0) {
    SetPriority(priority);
  }
}

CMTWorkerThread::~CMTWorkerThread() {
  StopAndJoin();
}
