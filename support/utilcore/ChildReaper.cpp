#include "utilcore/ChildReaper.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// Through syscall(): the C library's own declaration lacks C linkage in some versions.
int OpenProcessDescriptor(pid_t pid) {
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}
} // namespace

CChildReaper& CChildReaper::GetInstance() {
  static CChildReaper reaper;
  return reaper;
}

CChildReaper::CChildReaper() : m_wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CChildReaper::~CChildReaper() {
  if (m_thread.joinable()) {
    m_thread.request_stop();
    Wake();
    m_thread.join();
  }
}

void CChildReaper::Adopt(pid_t pid) {
  CFileDescriptor pidFd(OpenProcessDescriptor(pid));
  if (!pidFd.IsValid() || !m_wake.IsValid()) {
    // Without process descriptors (an old kernel) one waiting thread per child does.
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
    return;
  }
  const std::lock_guard lock(m_mutex);
  m_arrived.push_back({pid, std::move(pidFd)});
  if (!m_thread.joinable()) {
    m_thread = std::jthread([this](const std::stop_token& stop) { Run(stop); });
  }
  Wake();
}

void CChildReaper::Wake() const {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(m_wake.Get(), &one, sizeof one);
}

void CChildReaper::Run(const std::stop_token& stop) {
  std::vector<CChild> children;
  std::vector<pollfd> polled;
  while (!stop.stop_requested()) {
    {
      const std::lock_guard lock(m_mutex);
      for (CChild& child : m_arrived) {
        children.push_back(std::move(child));
      }
      m_arrived.clear();
    }
    polled.assign(1, pollfd{m_wake.Get(), POLLIN, 0});
    for (const CChild& child : children) {
      polled.push_back({child.pidFd.Get(), POLLIN, 0});
    }
    if (::poll(polled.data(), polled.size(), -1) < 0 && errno != EINTR) {
      return;
    }
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(m_wake.Get(), &count, sizeof count);
    // Reap every child that ended; its descriptor turned readable.
    for (std::size_t i = children.size(); i-- > 0;) {
      if ((polled[i + 1].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
        continue;
      }
      if (::waitpid(children[i].pid, nullptr, WNOHANG) != 0) {
        children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
  }
}
