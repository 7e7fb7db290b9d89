#include "utilcore/DirWalker.h"

#include "utilcore/DirUtils.h"

#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

struct CDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, CDirCloser>;

using FolderId = std::pair<dev_t, ino_t>;

enum class EKind { Skip, File, Folder };

EKind KindOf(int dirFd, const dirent& entry, bool followFolderLinks) {
  if (entry.d_type == DT_REG) {
    return EKind::File;
  }
  if (entry.d_type == DT_DIR) {
    return EKind::Folder;
  }
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
    return EKind::Skip;
  }
  struct stat st {};
  if (::fstatat(dirFd, entry.d_name, &st, 0) != 0) {
    return EKind::Skip; // a link that leads nowhere, or a file that just vanished
  }
  if (S_ISREG(st.st_mode)) {
    return EKind::File;
  }
  if (!S_ISDIR(st.st_mode)) {
    return EKind::Skip;
  }
  return entry.d_type == DT_LNK && !followFolderLinks ? EKind::Skip : EKind::Folder;
}

DirHandle OpenFolder(const std::string& path, FolderId& id) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return nullptr;
  }
  struct stat st {};
  DirHandle dir(::fdopendir(fd));
  if (!dir) {
    ::close(fd);
    return nullptr;
  }
  if (::fstat(fd, &st) == 0) {
    id = {st.st_dev, st.st_ino};
  }
  return dir;
}

} // namespace

bool CDirWalker::Walk(const std::string& folder, const COptions& options, const Visitor& visit) {
  std::set<FolderId> entered;
  std::string start = folder;
  CDirUtils::EnsureTrailingBackslash(start);
  // Folders reached through links wait until every other folder was walked, so that a
  // folder inside the tree is reported by its own path, not by a link's.
  std::vector<std::pair<std::string, int>> pending{{std::move(start), 0}};
  std::vector<std::pair<std::string, int>> linked;
  bool first = true;
  while (!pending.empty() || !linked.empty()) {
    auto& queue = pending.empty() ? linked : pending;
    auto [path, depth] = std::move(queue.back());
    queue.pop_back();
    FolderId id{};
    const DirHandle dir = OpenFolder(path, id);
    if (!dir) {
      if (first) {
        return false;
      }
      continue;
    }
    first = false;
    if (!entered.insert(id).second) {
      continue;
    }
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == ".." || (!options.includeHidden && name.front() == '.')) {
        continue;
      }
      const EKind kind = KindOf(dirFd, *entry, options.followFolderLinks);
      const bool viaLink = entry->d_type == DT_LNK;
      if (kind == EKind::Skip) {
        continue;
      }
      std::string child = path;
      child.append(name);
      if (kind == EKind::Folder) {
        child.push_back('/');
      }
      if (!visit(child, kind == EKind::Folder)) {
        return true;
      }
      if (kind == EKind::Folder && options.recursive && depth + 1 < options.maxDepth) {
        (viaLink ? linked : pending).emplace_back(std::move(child), depth + 1);
      }
    }
  }
  return true;
}
