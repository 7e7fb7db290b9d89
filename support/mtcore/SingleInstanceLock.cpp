#include "mtcore/SingleInstanceLock.h"

#include "mtcore/MTLog.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

namespace {
constexpr const char* kLockNotSetUp = "{C0BF057C-5CA7-47CC-B44C-0CD03A572D7C}";
constexpr const char* kNotListening = "{B6E854F3-96A4-416D-8D2C-E5233F89F1F2}";
constexpr const char* kRunningNotTold = "{ECAF8AB4-421B-4EA7-93ED-68E40FEAB61C}";

constexpr char kShowRequest[] = "show\n";
// The running instance may be between taking the lock and listening.
constexpr int kConnectAttempts = 40;
constexpr std::chrono::milliseconds kConnectRetryDelay{50};
// A client that connects and says nothing must not hold up the listener for long.
constexpr int kRequestTimeoutMs = 1000;

bool IsFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && path.front() == '/' && stat(path.c_str(), &info) == 0 &&
         S_ISDIR(info.st_mode);
}

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') {
    path += '/';
  }
  return path;
}

// Creates every missing folder of `path` (which ends in '/') with mode 0700.
bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return false;
    }
  }
  return IsFolder(path);
}

std::optional<std::string> EnvFolder(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') {
    return std::nullopt;
  }
  return WithSlash(value);
}

// The socket's address; through /proc/self/fd when the folder's path is too long
// for sun_path.
std::optional<sockaddr_un> SocketAddress(const std::string& folder, int folderFd,
                                         const std::string& name, const char* identifier) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = folder + name;
  if (path.size() >= sizeof(address.sun_path)) {
    path = "/proc/self/fd/" + std::to_string(folderFd) + "/" + name;
  }
  if (path.size() >= sizeof(address.sun_path)) {
    CMTLog::AddFileError(identifier, folder + name, ENAMETOOLONG);
    return std::nullopt;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

const sockaddr* AsSockaddr(const sockaddr_un& address) {
  return reinterpret_cast<const sockaddr*>(&address);
}

bool PeerIsThisUser(int socket) {
  ucred credentials{};
  socklen_t size = sizeof(credentials);
  return getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
         credentials.uid == geteuid();
}
} // namespace

CSingleInstanceLock::CSingleInstanceLock(std::string appName) : m_appName(std::move(appName)) {}

CSingleInstanceLock::~CSingleInstanceLock() {
  if (m_listener) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(m_wakeFd.Get(), &one, sizeof(one));
    m_listener.reset();
  }
  if (m_listenFd.IsValid()) {
    // Still under the lock, so the socket is ours to remove.
    if (const auto address =
            SocketAddress(m_folder, m_folderFd.Get(), m_appName + ".sock", kNotListening)) {
      unlink(address->sun_path);
    }
  }
}

std::string CSingleInstanceLock::LockFolder() {
  if (const auto runtime = EnvFolder("XDG_RUNTIME_DIR"); runtime && IsFolder(*runtime)) {
    return *runtime;
  }
  std::optional<std::string> config = EnvFolder("XDG_CONFIG_HOME");
  if (!config) {
    const auto home = EnvFolder("HOME");
    if (!home) {
      return {};
    }
    config = *home + ".config/";
  }
  const std::string settings = *config + "Pagelint/";
  return MakeFolders(settings) ? settings : std::string();
}

bool CSingleInstanceLock::OpenFolder() {
  m_folder = LockFolder();
  if (m_folder.empty()) {
    CMTLog::AddFileError(kLockNotSetUp, "XDG_RUNTIME_DIR", ENOENT);
    return false;
  }
  m_folderFd.Reset(open(m_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!m_folderFd.IsValid()) {
    CMTLog::AddFileError(kLockNotSetUp, m_folder, errno);
    return false;
  }
  return true;
}

bool CSingleInstanceLock::Acquire(bool notifyRunning) {
  if (IsHeld()) {
    return true;
  }
  if (!OpenFolder()) {
    return true;
  }
  const std::string lockPath = m_folder + m_appName + ".lock";
  CFileDescriptor lock(openat(m_folderFd.Get(), (m_appName + ".lock").c_str(),
                              O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!lock.IsValid()) {
    CMTLog::AddFileError(kLockNotSetUp, lockPath, errno);
    return true;
  }
  if (flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) {
      CMTLog::AddFileError(kLockNotSetUp, lockPath, errno);
      return true;
    }
    if (notifyRunning) {
      NotifyRunning();
    }
    return false;
  }
  m_lockFd = std::move(lock);
  Listen();
  return true;
}

bool CSingleInstanceLock::Listen() {
  const std::string name = m_appName + ".sock";
  const auto address = SocketAddress(m_folder, m_folderFd.Get(), name, kNotListening);
  if (!address) {
    return false;
  }
  // A socket left by an instance that crashed; we hold the lock, so it is not in use.
  unlink(address->sun_path);
  CFileDescriptor listener(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!listener.IsValid() || bind(listener.Get(), AsSockaddr(*address), sizeof(*address)) != 0 ||
      fchmodat(m_folderFd.Get(), name.c_str(), 0600, 0) != 0 || listen(listener.Get(), 8) != 0) {
    CMTLog::AddFileError(kNotListening, m_folder + name, errno);
    return false;
  }
  m_listenFd = std::move(listener);
  m_wakeFd.Reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!m_wakeFd.IsValid()) {
    CMTLog::AddFileError(kNotListening, m_folder + name, errno);
    return false;
  }
  m_listener = std::make_unique<CMTWorkerThread>(
      [this](void*) {
        Serve();
        return 0U;
      },
      nullptr);
  if (!m_listener->IsStarted()) {
    m_listener.reset();
    return false;
  }
  return true;
}

bool CSingleInstanceLock::NotifyRunning() {
  const std::string name = m_appName + ".sock";
  const auto address = SocketAddress(m_folder, m_folderFd.Get(), name, kRunningNotTold);
  if (!address) {
    return false;
  }
  int error = 0;
  for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
    CFileDescriptor client(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!client.IsValid()) {
      error = errno;
      break;
    }
    if (connect(client.Get(), AsSockaddr(*address), sizeof(*address)) == 0) {
      const auto size = sizeof(kShowRequest) - 1;
      if (send(client.Get(), kShowRequest, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size)) {
        return true;
      }
      error = errno;
      break;
    }
    error = errno;
    if (error != ENOENT && error != ECONNREFUSED && error != EINTR) {
      break;
    }
    std::this_thread::sleep_for(kConnectRetryDelay);
  }
  CMTLog::AddFileError(kRunningNotTold, m_folder + name, error);
  return false;
}

void CSingleInstanceLock::Serve() {
  pollfd waits[2] = {{m_listenFd.Get(), POLLIN, 0}, {m_wakeFd.Get(), POLLIN, 0}};
  for (;;) {
    if (poll(waits, 2, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      CMTLog::AddFileError(kNotListening, m_folder + m_appName + ".sock", errno);
      return;
    }
    if (waits[1].revents != 0) {
      return;
    }
    if ((waits[0].revents & POLLIN) == 0) {
      continue;
    }
    CFileDescriptor client(
        accept4(m_listenFd.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (client.IsValid() && ReadShowRequest(client.Get())) {
      RequestShow();
    }
  }
}

bool CSingleInstanceLock::ReadShowRequest(int client) const {
  if (!PeerIsThisUser(client)) {
    return false;
  }
  pollfd waits[2] = {{client, POLLIN, 0}, {m_wakeFd.Get(), POLLIN, 0}};
  if (poll(waits, 2, kRequestTimeoutMs) <= 0 || (waits[0].revents & POLLIN) == 0) {
    return false;
  }
  char buffer[16] = {};
  const ssize_t got = read(client, buffer, sizeof(buffer));
  const auto expected = sizeof(kShowRequest) - 1;
  return got >= static_cast<ssize_t>(expected) && std::memcmp(buffer, kShowRequest, expected) == 0;
}

void CSingleInstanceLock::RequestShow() {
  HWND window = 0;
  UINT message = 0;
  {
    std::lock_guard lock(m_mutex);
    if (m_showWindow == 0) {
      m_showPending = true;
      return;
    }
    window = m_showWindow;
    message = m_showMessage;
  }
  PostMessage(window, message, 0, 0);
}

void CSingleInstanceLock::SetShowTarget(HWND window, UINT message) {
  bool deliver = false;
  {
    std::lock_guard lock(m_mutex);
    m_showWindow = window;
    m_showMessage = message;
    deliver = window != 0 && m_showPending;
    if (deliver) {
      m_showPending = false;
    }
  }
  if (deliver) {
    PostMessage(window, message, 0, 0);
  }
}
