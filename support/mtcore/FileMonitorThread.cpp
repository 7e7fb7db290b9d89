#include "mtcore/FileMonitorThread.h"

#include <string>
#include <sys/inotify.h>

namespace {
constexpr std::uint32_t kFileEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_CLOSE_WRITE;

std::string_view FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) {
    return ".";
  }
  return slash == 0 ? std::string_view("/") : path.substr(0, slash);
}

std::string_view NameOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::unique_ptr<CInotifyWatch> WatchFolderOf(std::string_view path, bool attributes) {
  if (NameOf(path).empty()) {
    return nullptr;
  }
  return std::make_unique<CInotifyWatch>(FolderOf(path), false,
                                         kFileEvents | (attributes ? IN_ATTRIB : 0U));
}
} // namespace

CFileMonitorThread::CFileMonitorThread(std::string_view path, UINT message, HWND window,
                                       std::uint32_t period, LPARAM lParam, bool attributes)
    : CChangeMonitor(
          WatchFolderOf(path, attributes),
          [name = std::string(NameOf(path))](const CInotifyWatch::Event& event) {
            if (event.name.empty()) {
              // The folder itself went away or moved: so did the file.
              return (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0;
            }
            return event.name == name;
          },
          {}, message, window, period, lParam) {}
