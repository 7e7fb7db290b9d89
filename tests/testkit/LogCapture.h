#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Reads back what the application log received while the object lives. Opens the
/// log (under the test's fake home) when none is open yet.
class LogCapture {
public:
  LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  /// The lines logged since construction, without their time stamps.
  std::vector<std::string> Lines() const;
  /// Whether a line logged since construction begins with `id`.
  bool Contains(const std::string& id) const;

private:
  std::string m_path;
  std::uintmax_t m_start = 0;
};
