#include "pagelint-check/HelperTask.h"

#include <system_error>
#include <utility>

CHelperTask::CHelperTask(std::function<void()> task) : m_task(std::move(task)) {
  try {
    m_thread = std::thread([this] {
      try {
        m_task();
      } catch (...) {
        m_failure = std::current_exception();
      }
    });
    m_started = true;
  } catch (const std::system_error&) {
    // No thread to be had: Join runs the task.
  }
}

CHelperTask::~CHelperTask() {
  if (m_thread.joinable()) {
    m_thread.join();
  }
}

void CHelperTask::Join() {
  if (m_done) {
    return;
  }
  m_done = true;
  if (m_thread.joinable()) {
    m_thread.join();
  } else {
    m_task();
  }
  if (m_failure) {
    std::rethrow_exception(std::exchange(m_failure, nullptr));
  }
}
