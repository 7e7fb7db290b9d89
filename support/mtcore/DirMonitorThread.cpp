#include "mtcore/DirMonitorThread.h"

#include <sys/inotify.h>

namespace {
constexpr std::uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t kWriteEvents = IN_MODIFY | IN_CLOSE_WRITE;
/// The watched folder itself went away or was renamed: what was below it changed.
constexpr std::uint32_t kSelfEvents = IN_DELETE_SELF | IN_MOVE_SELF;
} // namespace

CDirMonitorThread::CDirMonitorThread(std::string_view folder, bool subtree, std::uint32_t filter,
                                     UINT message, HWND window, std::uint32_t period, LPARAM lParam)
    : CChangeMonitor(
          std::make_unique<CInotifyWatch>(folder, subtree, ToInotifyMask(filter)),
          [filter](const CInotifyWatch::Event& event) { return IsInFilter(filter, event.mask); },
          {}, message, window, period, lParam) {}

std::uint32_t CDirMonitorThread::ToInotifyMask(std::uint32_t filter) {
  std::uint32_t mask = 0;
  if ((filter & (CHANGE_FILE_NAME | CHANGE_DIR_NAME)) != 0) {
    mask |= kNameEvents | kSelfEvents;
  }
  if ((filter & (CHANGE_SIZE | CHANGE_LAST_WRITE)) != 0) {
    mask |= kWriteEvents;
  }
  if ((filter & (CHANGE_ATTRIBUTES | CHANGE_SECURITY)) != 0) {
    mask |= IN_ATTRIB;
  }
  if ((filter & CHANGE_LAST_ACCESS) != 0) {
    mask |= IN_ACCESS;
  }
  if ((filter & CHANGE_CREATION) != 0) {
    mask |= IN_CREATE;
  }
  return mask;
}

bool CDirMonitorThread::IsInFilter(std::uint32_t filter, std::uint32_t mask) {
  if ((mask & IN_Q_OVERFLOW) != 0) {
    return true; // events were lost: anything may have changed
  }
  const bool folder = (mask & IN_ISDIR) != 0;
  if ((mask & kSelfEvents) != 0) {
    return (filter & CHANGE_DIR_NAME) != 0 || (filter & CHANGE_FILE_NAME) != 0;
  }
  if ((mask & kNameEvents) != 0 && (filter & (folder ? CHANGE_DIR_NAME : CHANGE_FILE_NAME)) != 0) {
    return true;
  }
  if ((mask & IN_CREATE) != 0 && (filter & CHANGE_CREATION) != 0) {
    return true;
  }
  if ((mask & kWriteEvents) != 0 && !folder && (filter & (CHANGE_SIZE | CHANGE_LAST_WRITE)) != 0) {
    return true;
  }
  if ((mask & IN_ATTRIB) != 0 && (filter & (CHANGE_ATTRIBUTES | CHANGE_SECURITY)) != 0) {
    return true;
  }
  return (mask & IN_ACCESS) != 0 && (filter & CHANGE_LAST_ACCESS) != 0;
}
