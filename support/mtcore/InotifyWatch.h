#pragma once

#include "utilcore/FileDescriptor.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unordered_map>
#include <utility>
#include <vector>

/// An inotify watch on one folder, or on a folder and every folder below it, including
/// folders created or moved in later. It does not wait itself: the owner polls GetFd()
/// and calls ReadEvents when it is readable. Used by one thread at a time.
class CInotifyWatch {
public:
  struct Event {
    std::string_view folder; ///< the watched folder, ending in "/"
    std::string_view name;   ///< the entry's name in it; empty for the folder itself
    std::uint32_t mask;      ///< inotify's IN_* bits
  };

  /// Watches `folder` for the IN_* events of `mask`. With `subtree`, the folders below
  /// it too, each once: links to folders are not followed, so loops cannot arise and no
  /// folder outside is watched, and pseudo file systems (/proc, /sys, ...) are left out,
  /// the root's included.
  CInotifyWatch(std::string_view folder, bool subtree, std::uint32_t mask);
  CInotifyWatch(const CInotifyWatch&) = delete;
  CInotifyWatch& operator=(const CInotifyWatch&) = delete;

  /// Whether the folder itself is watched.
  bool IsValid() const { return m_rootWatch >= 0; }
  /// The descriptor to poll for reading; -1 when invalid.
  int GetFd() const { return m_fd.Get(); }
  const std::string& GetFolder() const { return m_root; }
  /// How many folders are watched.
  std::size_t GetWatchCount() const { return m_folders.size(); }

  /// Reads every queued event and hands each to `onEvent`. A lost-events overflow is
  /// handed on as one event with IN_Q_OVERFLOW on the root. False when the descriptor
  /// failed (nothing more will come).
  bool ReadEvents(const std::function<void(const Event&)>& onEvent);

private:
  /// Watches `folder` (and, with the subtree, the folders below it); its descriptor.
  int AddTree(const std::string& folder, int depth);
  using NodeId = std::pair<dev_t, ino_t>;
  /// AddTree for the open folder `fd`; `watched` holds the folders this AddTree reached.
  int AddFolder(CFileDescriptor fd, const std::string& folder, int depth, dev_t parentDev,
                std::set<NodeId>& watched);
  int AddWatch(int fd, const std::string& folder, int depth);
  void AddChildren(CFileDescriptor fd, const std::string& folder, int depth, dev_t folderDev,
                   std::set<NodeId>& watched);
  void RemoveTree(const std::string& folder);
  void Follow(const struct inotify_event& event, const std::string& folder);

  CFileDescriptor m_fd;
  int m_rootWatch = -1;
  bool m_subtree;
  std::uint32_t m_mask;
  std::string m_root;
  std::unordered_map<int, std::string> m_folders; ///< watch descriptor -> folder
  std::vector<std::uint64_t> m_buffer;            ///< 8-byte aligned for inotify_event
};
