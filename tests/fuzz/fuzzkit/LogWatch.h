#pragma once

#include <cstdint>
#include <string>

/// Tells whether the application log received a line while the object lived. The
/// log is emptied now and then, so that millions of runs do not fill the disk.
class CLogWatch {
public:
  CLogWatch();
  ~CLogWatch();
  CLogWatch(const CLogWatch&) = delete;
  CLogWatch& operator=(const CLogWatch&) = delete;

  bool Logged() const;
  /// Whether a line logged since construction begins with `id`.
  bool Logged(const std::string& id) const;

private:
  std::string m_path;
  std::uintmax_t m_start = 0;
};
