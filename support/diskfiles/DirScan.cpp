#include "diskfiles/DirScan.h"

#include "utilcore/FileDescriptor.h"
#include "utilcore/PseudoFileSystem.h"
#include "utilcore/SystemUtils.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <memory>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {
struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

struct FreeDeleter {
  void operator()(char* text) const { free(text); }
};

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

bool IsOutOfHandles(int error) {
  return error == EMFILE || error == ENFILE;
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

bool SameNode(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/// The path, links resolved, of what the descriptor holds open, so that what is judged
/// is what was opened; `spelled` is the path it was opened by, used only where /proc is
/// not mounted. Empty when it cannot be told.
std::string CanonicalPath(int fd, const std::string& spelled) {
  std::array<char, PATH_MAX> buffer{};
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = readlink(self.c_str(), buffer.data(), buffer.size());
  if (length > 0 && static_cast<std::size_t>(length) < buffer.size() && buffer[0] == '/') {
    return std::string(buffer.data(), static_cast<std::size_t>(length));
  }
  // Resolved by name instead: trusted only when the result is what was opened.
  const std::unique_ptr<char, FreeDeleter> resolved(realpath(spelled.c_str(), nullptr));
  struct stat byName {};
  struct stat opened {};
  if (!resolved || stat(resolved.get(), &byName) != 0 || fstat(fd, &opened) != 0 ||
      !SameNode(byName, opened)) {
    return {};
  }
  return resolved.get();
}

enum class Kind { Ignore, Folder, File, Link };

unsigned char TypeOf(mode_t mode) {
  if (S_ISDIR(mode)) {
    return DT_DIR;
  }
  if (S_ISREG(mode)) {
    return DT_REG;
  }
  return S_ISLNK(mode) ? DT_LNK : DT_UNKNOWN;
}
} // namespace

CDirScan::CDirScan(std::string_view root, bool recursive, CExtensionSet extensions,
                   const std::vector<std::string>& exclusions, int maxDepth)
    : m_root(root), m_recursive(recursive), m_maxDepth(maxDepth),
      m_extensions(std::move(extensions)) {
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

const char* CDirScan::DescribeSkip(SkipReason reason) {
  switch (reason) {
  case SkipReason::Unreadable:
    return "unreadable folder";
  case SkipReason::TooDeep:
    return "folder nested too deep";
  case SkipReason::PathTooLong:
    return "path longer than the system allows";
  case SkipReason::OutOfHandles:
    return "out of file handles";
  case SkipReason::RootMissing:
    return "root folder missing or moved";
  case SkipReason::PseudoRoot:
    return "root on a pseudo file system";
  case SkipReason::PseudoFileSystem:
    return "pseudo file system not walked";
  case SkipReason::OutsideRoot:
    return "link leads outside the root";
  case SkipReason::OutOfMemory:
    return "out of memory";
  }
  return "not walked";
}

bool CDirScan::IsGap(SkipReason reason) {
  return reason != SkipReason::OutsideRoot && reason != SkipReason::PseudoFileSystem;
}

bool CDirScan::Run(const std::function<bool()>& stopRequested) {
  m_files.clear();
  m_found.clear();
  m_keptFolders.clear();
  m_skipped.clear();
  m_walked.clear();
  m_linkedFolders.clear();
  m_canonicalRoot.clear();
  m_viaLink = false;
  m_stopRequested = &stopRequested;
  m_stopped = false;
  m_path = m_root;
  const CFileDescriptor root(OpenFolder(AT_FDCWD, m_root.c_str()));
  if (root.IsValid()) {
    ScanRoot(root.Get());
  } else {
    ReportFolderError(errno, true);
  }
  m_stopRequested = nullptr;
  if (m_stopped) {
    m_found.clear();
    return false;
  }
  Finish();
  return true;
}

int CDirScan::OpenFolder(int parentFd, const char* name) {
  // Below the root a link swapped in after the folder was listed must not be followed.
  const int follow = parentFd == AT_FDCWD ? 0 : O_NOFOLLOW;
  return openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY | follow);
}

void CDirScan::ScanRoot(int rootFd) {
  struct stat self {};
  if (fstat(rootFd, &self) != 0) {
    ReportFolderError(errno, true);
    return;
  }
  if (const char* pseudo = CPseudoFileSystem::NameOf(rootFd)) {
    Skip(m_root, SkipReason::PseudoRoot, pseudo);
    return;
  }
  m_canonicalRoot = CanonicalPath(rootFd, m_root);
  if (!m_canonicalRoot.empty() && m_canonicalRoot.back() != '/') {
    m_canonicalRoot.push_back('/');
  }
  const int walkFd = fcntl(rootFd, F_DUPFD_CLOEXEC, 0); // the walk closes its own copy
  if (walkFd < 0) {
    ReportFolderError(errno, true);
    return;
  }
  ScanFolder(walkFd, 0, self.st_dev);
  ScanLinkedFolders(rootFd);
  CheckRootStayed(rootFd);
}

void CDirScan::ScanLinkedFolders(int rootFd) {
  // Byte order of the link paths decides which link wins a folder several lead to.
  m_viaLink = true;
  while (!m_linkedFolders.empty() && !StopRequested()) {
    const auto node = m_linkedFolders.extract(m_linkedFolders.begin());
    const LinkedFolder& link = node.mapped();
    if (m_walked.contains(link.id)) {
      continue; // walked by its real path or an earlier link
    }
    m_path = node.key();
    if (link.depth > m_maxDepth) {
      Skip(m_path, SkipReason::TooDeep);
      continue;
    }
    const int fd = OpenBelowRoot(rootFd, link.target);
    if (fd < 0) {
      ReportFolderError(errno, false);
      continue;
    }
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || opened.st_dev != link.id.first ||
        opened.st_ino != link.id.second) {
      close(fd);
      m_keptFolders.push_back(m_path); // replaced during the pass: the next pass will tell
      continue;
    }
    ScanFolder(fd, link.depth, link.parentDev);
  }
  m_viaLink = false;
}

int CDirScan::OpenBelowRoot(int rootFd, const std::string& relative) {
  // Folder by folder, refusing links: the path was canonical when the link was read.
  CFileDescriptor folder(OpenFolder(rootFd, "."));
  for (std::size_t begin = 0; folder.IsValid() && begin < relative.size();) {
    std::size_t end = relative.find('/', begin);
    if (end == std::string::npos) {
      end = relative.size();
    }
    const std::string name = relative.substr(begin, end - begin);
    folder = CFileDescriptor(OpenFolder(folder.Get(), name.c_str()));
    begin = end + 1;
  }
  return folder.Release();
}

void CDirScan::ScanFolder(int fd, int depth, dev_t parentDev) {
  CFileDescriptor owned(fd);
  struct stat self {};
  if (fstat(fd, &self) != 0) {
    ReportFolderError(errno, false);
    return;
  }
  if (!m_walked.insert({self.st_dev, self.st_ino}).second) {
    return; // reached again through a mount of it, or a loop
  }
  if (self.st_dev != parentDev && IsPseudo(fd, m_path)) {
    return;
  }
  UniqueDir dir(fdopendir(fd));
  if (!dir) {
    ReportFolderError(errno, false);
    return;
  }
  owned.Release();
  const int dirFd = dirfd(dir.get());
  bool tooLong = false;
  for (std::size_t entries = 1;; ++entries) {
    if (entries % kEntriesPerStopCheck == 0 && StopRequested()) {
      break; // a huge folder: do not make a stop wait for all of it
    }
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) {
        ReportFolderError(errno, false);
      }
      break;
    }
    if (!IsDotOrDotDot(entry->d_name) && ScanEntry(dirFd, *entry, depth, self.st_dev) && !tooLong) {
      tooLong = true;
      Skip(m_path, SkipReason::PathTooLong, CSystemUtils::GetLastError(ENAMETOOLONG));
    }
    if (m_stopped) {
      break;
    }
  }
}

bool CDirScan::ScanEntry(int dirFd, const dirent& entry, int depth, dev_t folderDev) {
  const char* name = entry.d_name;
  unsigned char type = entry.d_type;
  if (type == DT_UNKNOWN) {
    struct stat info {};
    if (fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
      return false; // vanished since the folder was listed
    }
    type = TypeOf(info.st_mode);
  }
  Kind kind = Kind::Ignore;
  if (type == DT_DIR) {
    kind = m_recursive ? Kind::Folder : Kind::Ignore;
  } else if (type == DT_REG) {
    kind = m_extensions.Matches(name) ? Kind::File : Kind::Ignore;
  } else if (type == DT_LNK) {
    kind = m_recursive || m_extensions.Matches(name) ? Kind::Link : Kind::Ignore;
  }
  if (kind == Kind::Ignore) {
    return false;
  }
  if (m_path.size() + std::strlen(name) >= PATH_MAX) {
    return true; // no one could open it by its path
  }
  if (kind == Kind::Folder) {
    EnterFolder(dirFd, name, depth + 1, folderDev);
  } else if (kind == Kind::File) {
    AddFile(dirFd, name);
  } else {
    FollowLink(dirFd, name, depth, folderDev);
  }
  return false;
}

void CDirScan::EnterFolder(int parentFd, const char* name, int depth, dev_t parentDev) {
  if (StopRequested()) {
    return;
  }
  const std::size_t length = m_path.size();
  m_path.append(name);
  if (!IsExcluded()) {
    m_path.push_back('/');
    if (depth > m_maxDepth) {
      Skip(m_path, SkipReason::TooDeep);
    } else if (const int fd = OpenFolder(parentFd, name); fd < 0) {
      ReportFolderError(errno, false);
    } else {
      ScanFolder(fd, depth, parentDev);
    }
  }
  m_path.resize(length);
}

void CDirScan::AddFile(int fd, const char* name) {
  const std::size_t length = m_path.size();
  m_path.append(name);
  struct stat info {};
  // Not followed: an entry swapped for a link since the folder was listed is left out.
  if (!IsExcluded() && fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISREG(info.st_mode)) {
    m_found.push_back({{m_path, static_cast<std::int64_t>(info.st_size), Nanoseconds(info.st_mtim)},
                       {info.st_dev, info.st_ino},
                       m_viaLink});
  }
  m_path.resize(length);
}

void CDirScan::FollowLink(int dirFd, const char* name, int depth, dev_t folderDev) {
  const std::size_t length = m_path.size();
  m_path.append(name);
  if (!IsExcluded()) {
    // O_PATH resolves the whole chain of links without opening the target for reading.
    const CFileDescriptor target(openat(dirFd, name, O_PATH | O_CLOEXEC));
    struct stat info {};
    if (!target.IsValid()) {
      if (IsOutOfHandles(errno)) {
        Skip(m_path, SkipReason::OutOfHandles, CSystemUtils::GetLastError(errno));
        m_keptFolders.push_back(m_path.substr(0, length));
      }
      // Otherwise it leads nowhere: dangling, a loop of links, or forbidden.
    } else if (fstat(target.Get(), &info) == 0) {
      const bool wanted =
          S_ISDIR(info.st_mode) ? m_recursive : S_ISREG(info.st_mode) && m_extensions.Matches(name);
      if (wanted) {
        AddLinkTarget(target.Get(), info, depth, folderDev);
      }
    }
  }
  m_path.resize(length);
}

void CDirScan::AddLinkTarget(int targetFd, const struct stat& target, int depth, dev_t folderDev) {
  const std::string canonical = CanonicalPath(targetFd, m_path);
  const bool folder = S_ISDIR(target.st_mode);
  if (folder) {
    m_path.push_back('/');
  }
  if (!IsInsideRoot(canonical)) {
    Skip(m_path, SkipReason::OutsideRoot, canonical);
    return;
  }
  if (target.st_dev != folderDev && IsPseudo(targetFd, m_path)) {
    return;
  }
  const NodeId id{target.st_dev, target.st_ino};
  if (folder) {
    const std::size_t rootLength = std::min(canonical.size(), m_canonicalRoot.size());
    m_linkedFolders.emplace(m_path,
                            LinkedFolder{canonical.substr(rootLength), id, depth + 1, folderDev});
    return;
  }
  m_found.push_back(
      {{m_path, static_cast<std::int64_t>(target.st_size), Nanoseconds(target.st_mtim)}, id, true});
}

bool CDirScan::IsInsideRoot(const std::string& canonical) const {
  if (m_canonicalRoot.empty() || canonical.empty()) {
    return false; // cannot tell: refuse
  }
  return canonical.starts_with(m_canonicalRoot) || canonical + "/" == m_canonicalRoot;
}

bool CDirScan::IsPseudo(int fd, const std::string& path) {
  const char* name = fd < 0 ? nullptr : CPseudoFileSystem::NameOf(fd);
  if (name == nullptr) {
    return false;
  }
  Skip(path, SkipReason::PseudoFileSystem, name);
  return true;
}

void CDirScan::CheckRootStayed(int rootFd) {
  if (m_stopped) {
    return;
  }
  struct stat opened {};
  struct stat now {};
  if (fstat(rootFd, &opened) == 0 && opened.st_nlink > 0 && stat(m_root.c_str(), &now) == 0 &&
      SameNode(opened, now)) {
    return;
  }
  // What was found now lies elsewhere or nowhere: keep what was known, and let the next
  // pass see the new state.
  m_found.clear();
  m_skipped.clear();
  m_keptFolders.assign(1, m_root);
  Skip(m_root, SkipReason::RootMissing, "deleted or moved during the pass");
}

void CDirScan::Finish() {
  // One entry per file: its real path before a link's, then the first path in byte order.
  std::sort(m_found.begin(), m_found.end(), [](const Found& a, const Found& b) {
    return std::tie(a.id, a.viaLink, a.entry.path) < std::tie(b.id, b.viaLink, b.entry.path);
  });
  const auto end = std::unique(m_found.begin(), m_found.end(),
                               [](const Found& a, const Found& b) { return a.id == b.id; });
  m_files.reserve(static_cast<std::size_t>(end - m_found.begin()));
  for (auto it = m_found.begin(); it != end; ++it) {
    m_files.push_back(std::move(it->entry));
  }
  m_found.clear();
  std::sort(m_files.begin(), m_files.end(),
            [](const Entry& a, const Entry& b) { return a.path < b.path; });
  std::stable_sort(m_skipped.begin(), m_skipped.end(),
                   [](const Skipped& a, const Skipped& b) { return a.path < b.path; });
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

void CDirScan::ReportFolderError(int error, bool root) {
  if (!IsLastingError(error)) {
    m_keptFolders.push_back(m_path);
  }
  const std::string text = CSystemUtils::GetLastError(error);
  if (root && (error == ENOENT || error == ENOTDIR)) {
    Skip(m_path, SkipReason::RootMissing, text);
  } else if (!root && (error == ENOENT || error == ENOTDIR || error == ELOOP)) {
    return; // gone, or swapped for a link, since its folder was listed
  } else if (IsOutOfHandles(error)) {
    Skip(m_path, SkipReason::OutOfHandles, text);
  } else {
    Skip(m_path, error == ENAMETOOLONG ? SkipReason::PathTooLong : SkipReason::Unreadable, text);
  }
}

void CDirScan::Skip(std::string path, SkipReason reason, std::string detail) {
  m_skipped.push_back({std::move(path), reason, std::move(detail)});
}
