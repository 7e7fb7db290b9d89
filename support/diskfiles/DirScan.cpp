#include "diskfiles/DirScan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

/// How many entries of one folder are read between two looks at the stop request.
constexpr std::size_t kEntriesPerStopCheck = 4096;

std::int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

/// A folder that is gone or forbidden holds no files any more; anything else may pass.
bool IsLastingError(int error) {
  return error == ENOENT || error == ENOTDIR || error == EACCES || error == EPERM ||
         error == ELOOP || error == ENAMETOOLONG;
}

std::string TrimSlashes(std::string_view text) {
  while (text.starts_with("./")) {
    text.remove_prefix(2);
  }
  while (!text.empty() && text.front() == '/') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() == '/') {
    text.remove_suffix(1);
  }
  return std::string(text);
}
} // namespace

CDirScan::CDirScan(std::string_view root, bool recursive, CExtensionSet extensions,
                   const std::vector<std::string>& exclusions)
    : m_root(root), m_recursive(recursive), m_extensions(std::move(extensions)) {
  if (m_root.empty() || m_root.back() != '/') {
    m_root.push_back('/');
  }
  for (const auto& exclusion : exclusions) {
    std::string text = TrimSlashes(exclusion);
    if (!text.empty()) {
      const bool wildcard = text.find_first_of("*?[") != std::string::npos;
      m_exclusions.push_back({std::move(text), wildcard});
    }
  }
}

CDirScan::~CDirScan() = default;

bool CDirScan::Run(const std::function<bool()>& stopRequested) {
  m_files.clear();
  m_keptFolders.clear();
  m_chain.clear();
  m_stopRequested = &stopRequested;
  m_stopped = false;
  m_path = m_root;
  const int fd = OpenFolder(AT_FDCWD, m_root.c_str());
  if (fd < 0) {
    KeepFolderOnError(errno);
  } else {
    ScanFolder(fd, 0);
  }
  m_stopRequested = nullptr;
  if (m_stopped) {
    return false;
  }
  std::sort(m_files.begin(), m_files.end(),
            [](const Entry& a, const Entry& b) { return a.path < b.path; });
  return true;
}

int CDirScan::OpenFolder(int parentFd, const char* name) {
  return openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
}

void CDirScan::ScanFolder(int fd, int depth) {
  struct stat self {};
  if (fstat(fd, &self) != 0) {
    close(fd);
    KeepFolderOnError(errno);
    return;
  }
  const std::pair<dev_t, ino_t> id{self.st_dev, self.st_ino};
  if (std::find(m_chain.begin(), m_chain.end(), id) != m_chain.end()) {
    close(fd); // a link back to a folder being read: reading it again would never end
    return;
  }
  UniqueDir dir(fdopendir(fd));
  if (!dir) {
    const int error = errno;
    close(fd);
    KeepFolderOnError(error);
    return;
  }
  m_chain.push_back(id);
  const int dirFd = dirfd(dir.get());
  for (std::size_t entries = 1;; ++entries) {
    if (entries % kEntriesPerStopCheck == 0 && StopRequested()) {
      break; // a huge folder: do not make a stop wait for all of it
    }
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) {
        KeepFolderOnError(errno);
      }
      break;
    }
    const char* name = entry->d_name;
    if (IsDotOrDotDot(name)) {
      continue;
    }
    unsigned char type = entry->d_type;
    struct stat target {};
    const bool needStat = type == DT_UNKNOWN || type == DT_LNK;
    if (needStat) {
      if (fstatat(dirFd, name, &target, 0) != 0) {
        continue; // a dangling link, or the entry vanished since the folder was listed
      }
      type = S_ISDIR(target.st_mode) ? DT_DIR : (S_ISREG(target.st_mode) ? DT_REG : DT_UNKNOWN);
    }
    if (type == DT_DIR && m_recursive) {
      EnterFolder(dirFd, name, depth + 1);
      if (m_stopped) {
        break;
      }
    } else if (type == DT_REG && m_extensions.Matches(name)) {
      AddFile(dirFd, name, needStat ? &target : nullptr);
    }
  }
  m_chain.pop_back();
}

void CDirScan::EnterFolder(int parentFd, const char* name, int depth) {
  if (depth > MAX_DEPTH) {
    return;
  }
  if (StopRequested()) {
    return;
  }
  const std::size_t length = m_path.size();
  m_path.append(name);
  if (!IsExcluded()) {
    m_path.push_back('/');
    const int fd = OpenFolder(parentFd, name);
    if (fd < 0) {
      KeepFolderOnError(errno);
    } else {
      ScanFolder(fd, depth);
    }
  }
  m_path.resize(length);
}

void CDirScan::AddFile(int fd, const char* name, const struct stat* known) {
  const std::size_t length = m_path.size();
  m_path.append(name);
  struct stat info {};
  if (!IsExcluded() && (known != nullptr || fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) == 0)) {
    const struct stat& use = known != nullptr ? *known : info;
    m_files.push_back({m_path, static_cast<std::int64_t>(use.st_size), Nanoseconds(use.st_mtim)});
  }
  m_path.resize(length);
}

bool CDirScan::StopRequested() {
  if (!m_stopped && *m_stopRequested && (*m_stopRequested)()) {
    m_stopped = true;
  }
  return m_stopped;
}

bool CDirScan::IsExcluded() const {
  if (m_exclusions.empty()) {
    return false;
  }
  // m_path ends with the entry's name here, so the relative path is NUL-terminated.
  const char* relative = m_path.c_str() + m_root.size();
  const std::string_view view(relative);
  return std::any_of(m_exclusions.begin(), m_exclusions.end(), [&](const Exclusion& exclusion) {
    return exclusion.wildcard ? fnmatch(exclusion.text.c_str(), relative, 0) == 0
                              : view == exclusion.text;
  });
}

void CDirScan::KeepFolderOnError(int error) {
  if (!IsLastingError(error)) {
    m_keptFolders.push_back(m_path);
  }
}
