#include "mtcore/InotifyWatch.h"

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
  m_fd.Reset(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!m_fd.IsValid()) {
    return;
  }
  m_rootWatch = inotify_add_watch(m_fd.Get(), m_root.c_str(), m_mask | IN_ONLYDIR);
  if (m_rootWatch < 0) {
    m_fd.Reset();
    return;
  }
  m_folders[m_rootWatch] = m_root;
  if (m_subtree) {
    AddTree(m_root, 0);
  }
}

void CInotifyWatch::AddTree(const std::string& folder, int depth) {
  if (depth > kMaxDepth) {
    return;
  }
  // Adding an existing watch again returns its descriptor: a renamed folder gets its
  // new path this way.
  const int watch =
      inotify_add_watch(m_fd.Get(), folder.c_str(), m_mask | IN_ONLYDIR | IN_DONT_FOLLOW);
  if (watch < 0) {
    return; // gone already, or out of watches: the folder stays unwatched
  }
  m_folders[watch] = folder;
  std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) {
    return;
  }
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") {
      continue;
    }
    bool isFolder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat info {};
      isFolder = fstatat(dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                 S_ISDIR(info.st_mode);
    }
    if (isFolder) {
      AddTree(folder + std::string(name) + "/", depth + 1);
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
