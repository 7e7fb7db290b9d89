#include "utilcore/ExeUtils.h"

#include "utilcore/ChildReaper.h"
#include "utilcore/FileError.h"

#include <cctype>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

namespace {

std::mutex g_openerMutex;
std::string g_opener = "xdg-open"; // guarded by g_openerMutex

// posix_spawn's attributes and file actions, released on every path.
class CSpawnSetup {
public:
  CSpawnSetup() {
    posix_spawnattr_init(&m_attr);
    posix_spawn_file_actions_init(&m_actions);
  }
  ~CSpawnSetup() {
    posix_spawn_file_actions_destroy(&m_actions);
    posix_spawnattr_destroy(&m_attr);
  }
  CSpawnSetup(const CSpawnSetup&) = delete;
  CSpawnSetup& operator=(const CSpawnSetup&) = delete;

  // The child gets a clean signal state and a session of its own, so that it outlives
  // Pagelint and does not share its terminal.
  void Prepare(const std::string& folder, bool hidden) {
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&m_attr, &none);
    posix_spawnattr_setsigdefault(&m_attr, &all);
    posix_spawnattr_setflags(&m_attr,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (hidden) {
      posix_spawn_file_actions_addopen(&m_actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_adddup2(&m_actions, STDOUT_FILENO, STDERR_FILENO);
    }
    if (!folder.empty()) {
      posix_spawn_file_actions_addchdir_np(&m_actions, folder.c_str());
    }
  }

  int Spawn(const std::string& program, const std::vector<std::string>& arguments, bool searchPath,
            pid_t& pid) const {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const auto spawn = searchPath ? &posix_spawnp : &posix_spawn;
    return spawn(&pid, program.c_str(), &m_actions, &m_attr, argv.data(), environ);
  }

private:
  posix_spawnattr_t m_attr{};
  posix_spawn_file_actions_t m_actions{};
};

bool Start(const std::string& program, const std::vector<std::string>& arguments,
           const std::string& folder, bool searchPath, int showMode, std::string& error) {
  CSpawnSetup setup;
  setup.Prepare(folder, showMode == CExeUtils::kShowHidden);
  pid_t pid = 0;
  const int errnum = setup.Spawn(program, arguments, searchPath, pid);
  if (errnum != 0) {
    error = CFileError::Describe("start", program, errnum);
    return false;
  }
  CChildReaper::GetInstance().Adopt(pid);
  return true;
}

bool Open(const std::string& target, const std::string& folder, int showMode, std::string& error) {
  return Start(CExeUtils::GetDocumentOpener(), {target}, folder, true, showMode, error);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

bool CExeUtils::IsAddress(std::string_view text) {
  // A scheme: a letter, then letters, digits, "+", "-" or "."; at least two characters
  // so that nothing looks like a drive letter.
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon < 2 ||
      std::isalpha(static_cast<unsigned char>(text[0])) == 0) {
    return false;
  }
  for (const char c : text.substr(0, colon)) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '+' && c != '-' && c != '.') {
      return false;
    }
  }
  return true;
}

void CExeUtils::SetDocumentOpener(const std::string& program) {
  const std::lock_guard lock(g_openerMutex);
  g_opener = program;
}

std::string CExeUtils::GetDocumentOpener() {
  const std::lock_guard lock(g_openerMutex);
  return g_opener;
}

bool CExeUtils::ShellLaunchApp(const std::string& application, const std::string& folder,
                               const std::string& parameters, bool searchPath, int verb,
                               int showMode, std::string& error) {
  std::vector<std::string> arguments;
  if (!parameters.empty()) {
    arguments.push_back(parameters);
  }
  return ShellLaunchApp(application, folder, arguments, searchPath, verb, showMode, error);
}

bool CExeUtils::ShellLaunchApp(const std::string& application, const std::string& folder,
                               const std::vector<std::string>& arguments, bool searchPath,
                               int /*verb*/, int showMode, std::string& error) {
  if (application.empty()) {
    if (arguments.empty() || arguments.front().empty()) {
      error = "cannot start a program: none was given";
      return false;
    }
    return Open(arguments.front(), folder, showMode, error);
  }
  if (IsAddress(application)) {
    return Open(application, folder, showMode, error);
  }
  if (application.find('/') == std::string::npos) {
    return Start(application, arguments, folder, searchPath, showMode, error);
  }
  if (IsExecutableFile(application)) {
    return Start(application, arguments, folder, false, showMode, error);
  }
  struct stat st {};
  if (::stat(application.c_str(), &st) != 0) {
    error = CFileError::Describe("start", application, errno);
    return false;
  }
  return Open(application, folder, showMode, error); // a document or a folder
}
