#include "mtcore/RegMonitorThread.h"

#include "mtcore/WineRegFile.h"

#include <string>
#include <sys/inotify.h>

namespace {
constexpr std::uint32_t kSaveEvents =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE;

std::string NameOf(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

/// What of the key's text `filter` cares for: only the key names when it asks for
/// names alone, else everything.
std::string Watched(std::string text, std::uint32_t filter) {
  if (filter != CRegMonitorThread::CHANGE_NAME) {
    return text;
  }
  std::string names;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string::npos ? text.size() : end + 1;
    if (text[start] == '[') {
      names.append(text, start, next - start);
    }
    start = next;
  }
  return names;
}

std::unique_ptr<CInotifyWatch> WatchFile(const std::string& file) {
  if (file.empty()) {
    return nullptr;
  }
  return std::make_unique<CInotifyWatch>(file.substr(0, file.rfind('/')), false, kSaveEvents);
}
} // namespace

std::string CRegMonitorThread::FileOfRoot(std::uintptr_t root) {
  const std::string prefix = CWineRegFile::GetPrefixPath();
  if (prefix.empty()) {
    return {};
  }
  if (root == ROOT_CURRENT_USER) {
    return prefix + "user.reg";
  }
  return root == ROOT_LOCAL_MACHINE ? prefix + "system.reg" : std::string();
}

CRegMonitorThread::CRegMonitorThread(std::uintptr_t root, std::string_view key, bool subtree,
                                     UINT message, HWND window, std::uint32_t period,
                                     std::uint32_t filter, LPARAM lParam)
    : CRegMonitorThread(FileOfRoot(root), key, subtree, message, window, period, filter, lParam) {}

CRegMonitorThread::CRegMonitorThread(const std::string& file, std::string_view key, bool subtree,
                                     UINT message, HWND window, std::uint32_t period,
                                     std::uint32_t filter, LPARAM lParam)
    : CChangeMonitor(
          WatchFile(file),
          [name = NameOf(file)](const CInotifyWatch::Event& event) { return event.name == name; },
          // The confirmation owns the key's last seen text, so it lives as long as the thread.
          [file, key = std::string(key), subtree, filter,
           seen = Watched(CWineRegFile::ReadKey(file, key, subtree), filter)]() mutable {
            std::string now = Watched(CWineRegFile::ReadKey(file, key, subtree), filter);
            if (now == seen) {
              return false;
            }
            seen = std::move(now);
            return true;
          },
          message, window, period, lParam) {}
