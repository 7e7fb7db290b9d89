#include "utilcore/RegistryUtils.h"

#include "utilcore/FileStamp.h"
#include "utilcore/UserFolders.h"
#include "utilcore/WineRegistryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

namespace fs = std::filesystem;

// A registry file beyond this is not one Wine wrote; it is not read into memory.
constexpr off_t kMaxRegistryBytes = off_t{256} * 1024 * 1024;

class CFileDescriptor {
public:
  explicit CFileDescriptor(int fd) : m_fd(fd) {}
  ~CFileDescriptor() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  CFileDescriptor(const CFileDescriptor&) = delete;
  CFileDescriptor& operator=(const CFileDescriptor&) = delete;
  int Get() const { return m_fd; }

private:
  int m_fd;
};

bool ReadAll(int fd, off_t expectedSize, std::string& text) {
  text.clear();
  text.reserve(static_cast<std::size_t>(expectedSize));
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count == 0) {
      return true;
    }
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    text.append(buffer, static_cast<std::size_t>(count));
    if (text.size() > static_cast<std::size_t>(kMaxRegistryBytes)) {
      return false;
    }
  }
}

/// The parsed registry file at `path`, read again only when it changed; an empty
/// registry when it is missing or unreadable.
std::shared_ptr<const CWineRegistryFile> LoadRegistry(const std::string& path) {
  static std::mutex mutex;
  static std::unordered_map<std::string,
                            std::pair<CFileStamp, std::shared_ptr<const CWineRegistryFile>>>
      cache;
  static const auto empty = std::make_shared<const CWineRegistryFile>(std::string());

  // O_NONBLOCK: a FIFO put in the file's place must not hang the caller.
  const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  const std::lock_guard lock(mutex);
  if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size > kMaxRegistryBytes) {
    cache.erase(path);
    return empty;
  }
  const CFileStamp stamp = CFileStamp::From(info);
  const auto cached = cache.find(path);
  if (cached != cache.end() && cached->second.first == stamp) {
    return cached->second.second;
  }
  std::string text;
  if (!ReadAll(file.Get(), info.st_size, text)) {
    cache.erase(path);
    return empty;
  }
  auto parsed = std::make_shared<const CWineRegistryFile>(std::move(text));
  cache[path] = {stamp, parsed};
  return parsed;
}

bool IsDriveLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

/// Drops the "\\?\" and "\??\" forms that only lift Windows' length limit.
std::string_view WithoutLongPathPrefix(std::string_view path) {
  if (path.starts_with("\\\\?\\") || path.starts_with("\\??\\")) {
    path.remove_prefix(4);
  }
  return path;
}

bool IsAbsoluteWindowsPath(std::string_view path) {
  path = WithoutLongPathPrefix(path);
  return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
}

/// The local folder of a drive in `root`, without a trailing "/" ("" for the file
/// system root); false for a drive the prefix does not map.
bool DriveRoot(char letter, std::string& root) {
  const std::string prefix = CRegistryUtils::GetWinePrefix();
  std::error_code error;
  const fs::path target = fs::canonical(prefix + "dosdevices/" + letter + ":", error);
  if (!error && fs::is_directory(target, error)) {
    root = target.string();
  } else if (letter == 'c') {
    root = prefix + "drive_c";
  } else if (letter == 'z') {
    root = "/";
  } else {
    return false;
  }
  while (!root.empty() && root.back() == '/') {
    root.pop_back();
  }
  return true;
}

/// The entry of `folder` whose name equals `name` but for case; empty when none.
std::string FindNoCase(const std::string& folder, std::string_view name) {
  const std::string wanted = CWineRegistryFile::FoldName(name);
  std::error_code error;
  for (fs::directory_iterator it(folder.empty() ? "/" : folder, error), end; !error && it != end;
       it.increment(error)) {
    std::string entry = it->path().filename().string();
    if (CWineRegistryFile::FoldName(entry) == wanted) {
      return entry;
    }
  }
  return {};
}

/// `root` followed by the components of `rest`, each matched against the disk.
std::string ResolveBelow(const std::string& root, std::string_view rest) {
  std::string path = root;
  // Where each name added to `path` begins, so that ".." can take it off again.
  std::vector<std::size_t> starts;
  bool onDisk = true;
  std::size_t begin = 0;
  while (begin < rest.size()) {
    std::size_t end = begin;
    while (end < rest.size() && !IsSeparator(rest[end])) {
      ++end;
    }
    const std::string_view name = rest.substr(begin, end - begin);
    begin = end + 1;
    if (name.empty() || name == ".") {
      continue;
    }
    if (name == "..") {
      if (!starts.empty()) {
        path.resize(starts.back());
        starts.pop_back();
      }
      continue;
    }
    const std::string folder = path;
    starts.push_back(path.size());
    path.push_back('/');
    path.append(name);
    std::error_code error;
    if (onDisk && !fs::exists(path, error)) {
      std::string actual = FindNoCase(folder, name);
      onDisk = !actual.empty();
      if (onDisk) {
        path.resize(starts.back() + 1);
        path.append(actual);
      }
    }
  }
  if (path.empty() || (!rest.empty() && IsSeparator(rest.back()))) {
    path.push_back('/');
  }
  return path;
}

} // namespace

std::string CRegistryUtils::ReadKeyText(const std::string& file, std::string_view key,
                                        bool subtree) {
  return LoadRegistry(file)->GetKeyText(key, subtree);
}

std::string CRegistryUtils::GetWinePrefix() {
  const char* value = std::getenv("WINEPREFIX");
  std::string prefix = value != nullptr && value[0] == '/' ? std::string(value)
                                                           : CUserFolders::GetHomeDir() + "/.wine";
  if (prefix.back() != '/') {
    prefix.push_back('/');
  }
  return prefix;
}

std::string CRegistryUtils::GetUserRegPath() {
  return GetWinePrefix() + "user.reg";
}

std::string CRegistryUtils::GetRegFilePath(ERegistryRoot root) {
  return root == ERegistryRoot::CurrentUser ? GetUserRegPath() : GetWinePrefix() + "system.reg";
}

bool CRegistryUtils::GetSubKeys(ERegistryRoot root, std::string_view key,
                                std::vector<std::string>& keys, bool allLevels) {
  keys.clear();
  const auto registry = LoadRegistry(GetRegFilePath(root));
  if (!registry->HasKey(key)) {
    return false;
  }
  registry->GetSubKeys(key, allLevels, keys);
  return true;
}

std::string CRegistryUtils::GetKeyValue(ERegistryRoot root, std::string_view key,
                                        std::string_view name, bool raw) {
  std::string value;
  if (!LoadRegistry(GetRegFilePath(root))->GetStringValue(key, name, value)) {
    return {};
  }
  if (raw || !IsAbsoluteWindowsPath(value)) {
    return value;
  }
  std::string local = TranslateWindowsPath(value);
  return local.empty() ? value : local;
}

std::string CRegistryUtils::TranslateWindowsPath(std::string_view windowsPath) {
  if (windowsPath.empty() || windowsPath.front() == '/') {
    return std::string(windowsPath);
  }
  const std::string_view path = WithoutLongPathPrefix(windowsPath);
  if (path.empty()) {
    return {};
  }
  std::string root;
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
    const char letter = static_cast<char>(path[0] | 0x20);
    return DriveRoot(letter, root) ? ResolveBelow(root, path.substr(2)) : std::string();
  }
  const bool longForm = path.size() != windowsPath.size();
  if (path.starts_with("\\\\") || (longForm && path.starts_with("UNC\\"))) {
    return {};
  }
  if (path.front() == '\\') {
    return DriveRoot('c', root) ? ResolveBelow(root, path) : std::string();
  }
  std::string relative(path);
  for (char& c : relative) {
    if (c == '\\') {
      c = '/';
    }
  }
  return relative;
}
