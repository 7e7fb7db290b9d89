#pragma once

#include "mtcore/ChangeMonitor.h"

#include <string_view>

/// Posts its message to a window when one file changes: written in place, created,
/// deleted, or replaced by a rename (as editors and atomic saves do). It watches the
/// file's folder, so the file may be missing at first; other files there are ignored.
/// A folder that cannot be watched gives a monitor that is not valid.
class CFileMonitorThread : public CChangeMonitor {
public:
  /// `period` and `lParam` as for CDirMonitorThread; with `attributes`, changes of the
  /// file's permissions or times alone count too.
  CFileMonitorThread(std::string_view path, UINT message, HWND window, std::uint32_t period,
                     LPARAM lParam, bool attributes);
};
