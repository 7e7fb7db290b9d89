#pragma once

#include "mtcore/ChangeMonitor.h"

#include <cstdint>
#include <string_view>

/// Posts its message to a window when entries of a folder (with `subtree`, of the whole
/// tree below it, folders made later included) change in the ways the filter names.
/// A folder that cannot be watched gives a monitor that is not valid and posts nothing.
class CDirMonitorThread : public CChangeMonitor {
public:
  /// Filter bits, as the callers pass them.
  static constexpr std::uint32_t CHANGE_FILE_NAME = 0x1;  ///< files created, deleted, renamed
  static constexpr std::uint32_t CHANGE_DIR_NAME = 0x2;   ///< folders created, deleted, renamed
  static constexpr std::uint32_t CHANGE_ATTRIBUTES = 0x4; ///< permissions, owner, times
  static constexpr std::uint32_t CHANGE_SIZE = 0x8;       ///< files written
  static constexpr std::uint32_t CHANGE_LAST_WRITE = 0x10;
  static constexpr std::uint32_t CHANGE_LAST_ACCESS = 0x20;
  static constexpr std::uint32_t CHANGE_CREATION = 0x40;
  static constexpr std::uint32_t CHANGE_SECURITY = 0x100;

  /// `period` in ms coalesces a burst of changes into one message (NO_PERIOD: one
  /// message per batch of events, at once); the message carries wParam 0 and `lParam`.
  CDirMonitorThread(std::string_view folder, bool subtree, std::uint32_t filter, UINT message,
                    HWND window, std::uint32_t period, LPARAM lParam);

  /// The inotify events that can signal what `filter` names.
  static std::uint32_t ToInotifyMask(std::uint32_t filter);
  /// Whether an event with these inotify bits is a change that `filter` names.
  static bool IsInFilter(std::uint32_t filter, std::uint32_t mask);
};
