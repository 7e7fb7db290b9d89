#pragma once

#include <string>

/// Operating system helpers.
class CSystemUtils {
public:
  /// The message text of an errno value; 0 means the current errno. Never empty.
  static std::string GetLastError(int errorCode);
};
