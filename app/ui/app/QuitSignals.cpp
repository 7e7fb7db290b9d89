#include "app/QuitSignals.h"

#include "utilcore/AppLogger.h"
#include "utilcore/SystemUtils.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {
constexpr const char* kNoQuitSignals = "{250EBFDD-DD86-4DFE-BAD3-E7BCDDCE1E99}";

// The write end of the pipe, for the handler (which may only touch lock-free atomics).
std::atomic<int> g_writeEnd{-1};

extern "C" void OnQuitSignal(int signal) {
  const int savedErrno = errno;
  const auto byte = static_cast<char>(signal);
  const int fd = g_writeEnd.load();
  if (fd >= 0) {
    // A full pipe already holds a request; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
  }
  errno = savedErrno;
}
} // namespace

CQuitSignals::CQuitSignals(std::function<void()> onQuit, QObject* parent)
    : QObject(parent), m_onQuit(std::move(onQuit)) {
  int ends[2] = {-1, -1};
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    CAppLogger::LogWithError(kNoQuitSignals, CSystemUtils::GetLastError(errno));
    return;
  }
  m_readEnd = CFileDescriptor(ends[0]);
  m_writeEnd = CFileDescriptor(ends[1]);
  m_notifier = new QSocketNotifier(m_readEnd.Get(), QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &CQuitSignals::Drain);
  g_writeEnd.store(m_writeEnd.Get());

  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, &m_oldTerm);
  sigaction(SIGINT, &action, &m_oldInt);
  m_installed = true;
}

CQuitSignals::~CQuitSignals() {
  if (m_installed) {
    sigaction(SIGTERM, &m_oldTerm, nullptr);
    sigaction(SIGINT, &m_oldInt, nullptr);
  }
  g_writeEnd.store(-1);
}

void CQuitSignals::Drain() {
  char bytes[16];
  bool received = false;
  while (read(m_readEnd.Get(), bytes, sizeof(bytes)) > 0) {
    received = true;
  }
  if (received && m_onQuit) {
    m_onQuit();
  }
}
