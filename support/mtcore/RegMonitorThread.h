#pragma once

#include "mtcore/ChangeMonitor.h"

#include <cstdint>
#include <string>
#include <string_view>

/// Posts its message to a window when the values of a registry key change. The keys
/// live in Wine's registry files (HKEY_CURRENT_USER in user.reg, HKEY_LOCAL_MACHINE in
/// system.reg, in the Wine prefix); the monitor watches the file's folder and, after
/// every save of the file, compares the key's values with those it saw last, so saves
/// that changed other keys post nothing. Without a prefix folder it is not valid.
class CRegMonitorThread : public CChangeMonitor {
public:
  /// The roots, with their Windows handle values.
  static constexpr std::uintptr_t ROOT_CURRENT_USER = 0x80000001;
  static constexpr std::uintptr_t ROOT_LOCAL_MACHINE = 0x80000002;
  /// Filter bits: keys added or removed below the key; values set or removed. 0: both.
  static constexpr std::uint32_t CHANGE_NAME = 0x1;
  static constexpr std::uint32_t CHANGE_LAST_SET = 0x4;

  /// `key` is backslash-separated ("Software\\Microsoft\\..."), a trailing separator
  /// allowed. With `subtree` the values of the keys below it count too. `period` and
  /// `lParam` as for CDirMonitorThread.
  CRegMonitorThread(std::uintptr_t root, std::string_view key, bool subtree, UINT message,
                    HWND window, std::uint32_t period, std::uint32_t filter, LPARAM lParam);

  /// The registry file of `root`; empty for a root that no file holds.
  static std::string FileOfRoot(std::uintptr_t root);

private:
  CRegMonitorThread(const std::string& file, std::string_view key, bool subtree, UINT message,
                    HWND window, std::uint32_t period, std::uint32_t filter, LPARAM lParam);
};
