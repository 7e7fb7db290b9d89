#include "mtcore/MTKernel.h"

#include "mtcore/MTStartFaults.h"
#include "mtcore/WindowMessages.h"
#include "utilcore/AppLogger.h"
#include "utilcore/SystemUtils.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace {
constexpr const char* kThreadNotStarted = "{AF404A7E-E9E6-43F9-91C8-09122B7F7B2A}";
constexpr const char* kPriorityNotSet = "{4476A1CD-70FA-475B-ADD6-443B15145037}";
constexpr const char* kThreadFunctionThrew = "{652091CB-FE1E-44B5-B06C-9B4F02DE3A3C}";

constexpr int kIdlePriority = -15;
constexpr int kNicePerStep = 5;
constexpr int kHighestNice = 19;
constexpr int kLowestNice = -20;

// How much nicer than normal a Windows-style priority makes a thread. Priorities
// above normal stay normal: raising needs privileges a desktop program lacks.
int NiceOffset(int priority) {
  if (priority >= 0) {
    return 0;
  }
  if (priority <= kIdlePriority) {
    return kHighestNice - kLowestNice;
  }
  return -priority * kNicePerStep;
}

int CurrentNice(pid_t tid) {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
  return errno == 0 ? nice : 0;
}
} // namespace

CMTKernel::~CMTKernel() {
  StopAndJoin();
}

bool CMTKernel::Start(std::function<void()> body) {
  if (m_thread.joinable()) {
    return false; // one thread per object
  }
  try {
    if (CMTStartFaults::Fails()) {
      throw std::system_error(EAGAIN, std::generic_category());
    }
    m_thread = std::thread([this, body = std::move(body)] { Run(body); });
  } catch (const std::system_error& e) {
    CAppLogger::LogWithError(kThreadNotStarted, CSystemUtils::GetLastError(e.code().value()));
    return false;
  } catch (const std::bad_alloc&) {
    CAppLogger::LogWithError(kThreadNotStarted, CSystemUtils::GetLastError(ENOMEM));
    return false;
  }
  std::unique_lock lock(m_mutex);
  m_started = true;
  m_changed.wait(lock, [this] { return m_tid != 0; });
  return true;
}

void CMTKernel::Run(const std::function<void()>& body) {
  {
    std::lock_guard lock(m_mutex);
    m_tid = gettid();
    m_baseNice = CurrentNice(0);
  }
  m_changed.notify_all();
  try {
    body();
  } catch (...) {
    CAppLogger::Log(kThreadFunctionThrew);
  }
  {
    std::lock_guard lock(m_mutex);
    m_ended = true;
  }
  m_changed.notify_all();
}

bool CMTKernel::IsStarted() const {
  std::lock_guard lock(m_mutex);
  return m_started;
}

void CMTKernel::Stop() {
  std::vector<CMTWaitableCollection> events;
  {
    std::lock_guard lock(m_mutex);
    m_stopped.store(true, std::memory_order_release);
    events = m_stopEvents;
  }
  m_changed.notify_all();
  for (auto& event : events) {
    event.Set();
  }
  OnStopRequested();
}

bool CMTKernel::Stop(std::uint32_t milliseconds) {
  Stop();
  return Wait(milliseconds);
}

bool CMTKernel::Wait(std::uint32_t milliseconds) const {
  if (std::this_thread::get_id() == m_thread.get_id()) {
    return false; // a thread waiting for its own end would wait forever
  }
  std::unique_lock lock(m_mutex);
  if (!m_started) {
    return true;
  }
  const auto ended = [this] { return m_ended; };
  if (milliseconds == INFINITE) {
    m_changed.wait(lock, ended);
    return true;
  }
  return m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), ended);
}

bool CMTKernel::Wait(const CMTKernel* kernel, std::uint32_t milliseconds) {
  return kernel == nullptr || kernel->Wait(milliseconds);
}

bool CMTKernel::SetPriority(int priority) {
  int error = 0;
  bool raising = false;
  {
    std::lock_guard lock(m_mutex);
    m_priority = priority;
    if (!m_started || m_ended) {
      return false;
    }
    const int nice = std::clamp(m_baseNice + NiceOffset(priority), kLowestNice, kHighestNice);
    raising = nice < CurrentNice(m_tid);
    // Under the lock the thread cannot have ended, so m_tid still names it.
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(m_tid), nice) == 0) {
      return true;
    }
    error = errno;
  }
  // Linux lets only privileged users lower a nice value again; that refusal is
  // expected when a project becomes current and is not worth a log line.
  if (!(raising && (error == EACCES || error == EPERM))) {
    CAppLogger::LogWithError(kPriorityNotSet, CSystemUtils::GetLastError(error));
  }
  return false;
}

int CMTKernel::GetPriority() const {
  std::lock_guard lock(m_mutex);
  return m_priority;
}

void CMTKernel::GetThreadID(std::string& text) const {
  std::lock_guard lock(m_mutex);
  text = m_started ? std::to_string(m_tid) : std::string();
}

void CMTKernel::AddStopEvent(CMTWaitableCollection& events) {
  bool stopped = false;
  {
    std::lock_guard lock(m_mutex);
    m_stopEvents.push_back(events);
    stopped = IsStopped();
  }
  if (stopped) {
    events.Set();
  }
}

bool CMTKernel::SleepUntilUnlessStopped(std::chrono::steady_clock::time_point until) {
  std::unique_lock lock(m_mutex);
  return m_changed.wait_until(lock, until, [this] { return IsStopped(); });
}

void CMTKernel::SleepUntilStopped() {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [this] { return IsStopped(); });
}

void CMTKernel::StopAndJoin() {
  if (!m_thread.joinable()) {
    return;
  }
  Stop();
  m_thread.join();
}
