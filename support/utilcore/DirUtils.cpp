#include "utilcore/DirUtils.h"

#include "utilcore/UserFolders.h"

#include "utilcore/DirWalker.h"
#include "utilcore/FileDescriptor.h"
#include "utilcore/FileError.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct CDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

std::string StripTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

// An environment variable naming an absolute path, with a trailing "/"; else "".
std::string FolderFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') {
    return {};
  }
  std::string folder = value;
  return CDirUtils::EnsureTrailingBackslash(folder);
}

std::vector<std::string> EntryNames(int dirFd) {
  std::vector<std::string> names;
  // fdopendir takes over the descriptor it is given, so give it a copy.
  const int copy = ::dup(dirFd);
  std::unique_ptr<DIR, CDirCloser> dir(copy >= 0 ? ::fdopendir(copy) : nullptr);
  if (!dir) {
    if (copy >= 0) {
      ::close(copy);
    }
    return names;
  }
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") {
      names.emplace_back(name);
    }
  }
  return names;
}

struct CClearOptions {
  bool includeSubfolders;
  bool forceReadOnly;
};

void MakeChangeable(int dirFd, bool force) {
  struct stat st {};
  if (force && ::fstat(dirFd, &st) == 0 && (st.st_mode & S_IRWXU) != S_IRWXU) {
    ::fchmod(dirFd, (st.st_mode & 07777) | S_IRWXU);
  }
}

// Empties the folder open at dirFd, working only through descriptors and with
// O_NOFOLLOW so that no link, even one swapped in meanwhile, leads out of it.
bool ClearAt(int dirFd, const std::string& shown, const CClearOptions& options,
             std::string& error) {
  MakeChangeable(dirFd, options.forceReadOnly);
  bool ok = true;
  const auto fail = [&](const std::string& name, int errnum) {
    if (ok) {
      error = CFileError::Describe("delete", shown + name, errnum);
    }
    ok = false;
  };
  for (const std::string& name : EntryNames(dirFd)) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      continue; // already gone
    }
    if (!S_ISDIR(st.st_mode)) {
      if (::unlinkat(dirFd, name.c_str(), 0) != 0 && errno != ENOENT) {
        fail(name, errno);
      }
      continue;
    }
    if (!options.includeSubfolders) {
      continue;
    }
    const CFileDescriptor sub(
        ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!sub.IsValid()) {
      fail(name, errno);
      continue;
    }
    if (!ClearAt(sub.Get(), shown + name + "/", options, error)) {
      ok = false;
      continue;
    }
    if (::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) != 0) {
      fail(name, errno);
    }
  }
  return ok;
}

} // namespace

std::string CDirUtils::ParsePathFromFile(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string& CDirUtils::EnsureTrailingBackslash(std::string& path) {
  if (!path.empty() && path.back() != '/') {
    path.push_back('/');
  }
  return path;
}

bool CDirUtils::DoesDirExist(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CDirUtils::CreateDirectoryA(const std::string& path, std::string* error) {
  if (DoesDirExist(path)) {
    return true;
  }
  // Create each missing level from the top down; the first real failure tells why.
  int errnum = path.empty() ? ENOENT : 0;
  for (std::size_t pos = path.find('/', 1); errnum == 0; pos = path.find('/', pos + 1)) {
    const std::string level = path.substr(0, pos);
    if (::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST) {
      errnum = errno;
    }
    if (pos == std::string::npos) {
      break;
    }
  }
  if (errnum == 0 && DoesDirExist(path)) {
    return true;
  }
  errnum = errnum == 0 ? ENOTDIR : errnum;
  if (error != nullptr) {
    *error = CFileError::Describe("create the folder", path, errnum);
  }
  errno = errnum;
  return false;
}

bool CDirUtils::RenameDirectory(const std::string& from, const std::string& to,
                                std::string& error) {
  const std::string source = StripTrailingSlashes(from);
  const std::string target = StripTrailingSlashes(to);
  if (!DoesDirExist(source)) {
    error = CFileError::Describe("rename the folder", from, ENOENT);
    return false;
  }
  const std::string parent = ParsePathFromFile(target);
  if (!parent.empty() && !CreateDirectoryA(parent, &error)) {
    return false;
  }
  if (::rename(source.c_str(), target.c_str()) != 0) {
    error = CFileError::Describe("rename the folder", from, errno);
    return false;
  }
  return true;
}

bool CDirUtils::ClearDirectory(const std::string& path, std::string& error, bool includeSubfolders,
                               bool removeFolder, bool forceReadOnly) {
  const std::string folder = StripTrailingSlashes(path);
  if (folder.empty() || folder == "/") {
    error = CFileError::Describe("clear the folder", path, EPERM);
    return false;
  }
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) {
    if (errno == ENOENT) {
      return true;
    }
    error = CFileError::Describe("clear the folder", path, errno);
    return false;
  }
  if (S_ISLNK(st.st_mode)) {
    error = CFileError::Describe("clear the folder", path, "it is a symbolic link");
    return false;
  }
  const CFileDescriptor dir(
      ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!dir.IsValid()) {
    error = CFileError::Describe("clear the folder", path, errno);
    return false;
  }
  if (!ClearAt(dir.Get(), folder + "/", {includeSubfolders, forceReadOnly}, error)) {
    return false;
  }
  if (removeFolder && ::rmdir(folder.c_str()) != 0) {
    error = CFileError::Describe("delete", path, errno);
    return false;
  }
  return true;
}

std::string CDirUtils::GetTempDir() {
  for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
    std::string folder = FolderFromEnvironment(name);
    if (DoesDirExist(folder)) {
      return folder;
    }
  }
  return DoesDirExist("/tmp/") ? "/tmp/" : "";
}

std::string CDirUtils::GetSpecialFolder(int id) {
  if (id == kProgramFiles) {
    return "/usr/";
  }
  if (id != kApplicationData) {
    return {};
  }
  return CUserFolders::GetConfigDir();
}

bool CDirUtils::GetDirectoryList(const std::string& folder, std::vector<std::string>& folders,
                                 int maxDepth) {
  CDirWalker::COptions options;
  options.recursive = true;
  options.followFolderLinks = true;
  options.maxDepth = maxDepth;
  return CDirWalker::Walk(folder, options, [&folders](const std::string& path, bool isFolder) {
    if (isFolder) {
      folders.push_back(path);
    }
    return true;
  });
}

void CDirUtils::MakePathsRelative(std::vector<std::string>& paths, const std::string& base) {
  std::string prefix = base;
  EnsureTrailingBackslash(prefix);
  for (std::string& path : paths) {
    if (!prefix.empty() && path.starts_with(prefix)) {
      path.erase(0, prefix.size());
    }
  }
}

std::string CDirUtils::GetAppPath() {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) {
      return {};
    }
    if (static_cast<std::size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(n));
      return ParsePathFromFile(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}
