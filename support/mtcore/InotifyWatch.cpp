#include "mtcore/InotifyWatch.h"

#include "utilcore/PseudoFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
/// Folders nested deeper than this below a watched root get no watch of their own.
constexpr int kMaxDepth = 256;
constexpr std::size_t kBufferBytes = 64 * 1024;
/// No device has this number: the first folder's file system is always looked at.
constexpr dev_t kUnknownDevice = static_cast<dev_t>(-1);

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

std::string WithSlash(std::string_view folder) {
  std::string result(folder);
  if (result.empty() || result.back() != '/') {
    result.push_back('/');
  }
  return result;
}
} // namespace

CInotifyWatch::CInotifyWatch(std::string_view folder, bool subtree, std::uint32_t mask)
    : m_subtree(subtree), m_mask(mask | IN_DELETE_SELF | IN_MOVE_SELF), m_root(WithSlash(folder)),
      m_buffer(kBufferBytes / sizeof(std::uint64_t)) {
  if (subtree) {
    // Folders created or moved in must get watches of their own.
    m_mask |= IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM;
  }
  m_fd = CFileDescriptor(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!m_fd.IsValid()) {
    return;
  }
  m_rootWatch = AddTree(m_root, 0);
  if (m_rootWatch < 0) {
    m_fd.Reset();
  }
}

int CInotifyWatch::AddTree(const std::string& folder, int depth) {
  if (depth > kMaxDepth) {
    return -1;
  }
  // The root may be a link to a folder; below it links are not followed, so that no
  // folder outside the tree is watched and no loop arises.
  const int follow = depth == 0 ? 0 : O_NOFOLLOW;
  CFileDescriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | follow));
  if (!fd.IsValid()) {
    return -1; // gone already, or not a folder
  }
  std::set<NodeId> watched;
  return AddFolder(std::move(fd), folder, depth, kUnknownDevice, watched);
}

int CInotifyWatch::AddFolder(CFileDescriptor fd, const std::string& folder, int depth,
                             dev_t parentDev, std::set<NodeId>& watched) {
  struct stat self {};
  if (fstat(fd.Get(), &self) != 0 || !watched.insert({self.st_dev, self.st_ino}).second) {
    return -1; // a folder mounted at two places is watched once
  }
  if (m_subtree && self.st_dev != parentDev && CPseudoFileSystem::NameOf(fd.Get()) != nullptr) {
    return -1; // /proc, /sys and the like: endless, and nothing of a site
  }
  const int watch = AddWatch(fd.Get(), folder, depth);
  if (watch < 0) {
    return -1; // out of watches: the folder stays unwatched
  }
  m_folders[watch] = folder;
  if (m_subtree) {
    AddChildren(std::move(fd), folder, depth, self.st_dev, watched);
  }
  return watch;
}

int CInotifyWatch::AddWatch(int fd, const std::string& folder, int depth) {
  // Through the descriptor the watch lands on the folder opened, even if its path was
  // swapped for a link since. Adding an existing watch again returns its descriptor: a
  // renamed folder gets its new path this way.
  const std::string opened = "/proc/self/fd/" + std::to_string(fd);
  const int watch = inotify_add_watch(m_fd.Get(), opened.c_str(), m_mask | IN_ONLYDIR);
  if (watch >= 0 || errno == ENOSPC) {
    return watch;
  }
  const std::uint32_t follow = depth == 0 ? 0 : IN_DONT_FOLLOW; // without /proc
  return inotify_add_watch(m_fd.Get(), folder.c_str(), m_mask | IN_ONLYDIR | follow);
}

void CInotifyWatch::AddChildren(CFileDescriptor fd, const std::string& folder, int depth,
                                dev_t folderDev, std::set<NodeId>& watched) {
  std::unique_ptr<DIR, DirCloser> dir(fdopendir(fd.Get()));
  if (!dir) {
    return;
  }
  fd.Release();
  const int dirFd = dirfd(dir.get());
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == ".." || depth + 1 > kMaxDepth) {
      continue;
    }
    bool isFolder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat info {};
      isFolder =
          fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
    }
    if (!isFolder) {
      continue;
    }
    CFileDescriptor child(
        openat(dirFd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (child.IsValid()) {
      AddFolder(std::move(child), folder + std::string(name) + "/", depth + 1, folderDev, watched);
    }
  }
}

void CInotifyWatch::RemoveTree(const std::string& folder) {
  for (auto it = m_folders.begin(); it != m_folders.end();) {
    if (it->first != m_rootWatch && it->second.starts_with(folder)) {
      inotify_rm_watch(m_fd.Get(), it->first);
      it = m_folders.erase(it);
    } else {
      ++it;
    }
  }
}

void CInotifyWatch::Follow(const inotify_event& event, const std::string& folder) {
  if (!m_subtree || (event.mask & IN_ISDIR) == 0 || event.len == 0) {
    return;
  }
  const std::string path = folder + event.name + "/";
  if ((event.mask & IN_MOVED_FROM) != 0) {
    RemoveTree(path);
  }
  if ((event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
    const std::string_view below = std::string_view(path).substr(m_root.size());
    AddTree(path, static_cast<int>(std::count(below.begin(), below.end(), '/')));
  }
}

bool CInotifyWatch::ReadEvents(const std::function<void(const Event&)>& onEvent) {
  if (!m_fd.IsValid()) {
    return false;
  }
  char* buffer = reinterpret_cast<char*>(m_buffer.data());
  for (;;) {
    const ssize_t length = read(m_fd.Get(), buffer, kBufferBytes);
    if (length < 0) {
      return errno == EAGAIN || errno == EINTR;
    }
    if (length == 0) {
      return false;
    }
    for (ssize_t offset = 0; offset < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
      offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if ((event->mask & IN_Q_OVERFLOW) != 0) {
        if (m_subtree) {
          AddTree(m_root, 0); // folders created meanwhile may lack watches
        }
        onEvent({m_root, {}, event->mask});
        continue;
      }
      const auto found = m_folders.find(event->wd);
      if (found == m_folders.end()) {
        continue; // a watch removed a moment ago
      }
      // Copied: Follow and IN_IGNORED may change the map.
      const std::string folder = found->second;
      if ((event->mask & IN_IGNORED) != 0) {
        m_folders.erase(found);
        continue;
      }
      Follow(*event, folder);
      const std::string_view name =
          event->len == 0 ? std::string_view() : std::string_view(event->name);
      onEvent({folder, name, event->mask});
    }
  }
}
