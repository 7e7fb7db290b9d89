#pragma once

#include <exception>
#include <functional>
#include <thread>

/// A task run on a thread of its own while the caller does its share of the same work.
/// The report is made once the check is over, when its threads are gone and a core is
/// free. Join waits for the task and throws again what it threw; when no thread can be
/// started, the task runs in Join instead. The destructor waits too, throwing nothing.
class CHelperTask {
public:
  explicit CHelperTask(std::function<void()> task);
  ~CHelperTask();
  CHelperTask(const CHelperTask&) = delete;
  CHelperTask& operator=(const CHelperTask&) = delete;

  void Join();
  /// Whether the task runs on a thread of its own (if not, it runs in Join).
  bool Started() const { return m_started; }

private:
  std::function<void()> m_task;
  std::exception_ptr m_failure;
  std::thread m_thread;
  bool m_started = false;
  bool m_done = false;
};
