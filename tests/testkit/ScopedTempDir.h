#pragma once

#include <string>

/// A fresh folder below the system's temporary folder, removed with everything in it
/// when the object goes away.
class ScopedTempDir {
public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  /// The folder, without a trailing slash.
  const std::string& Path() const { return m_path; }
  /// Path() + "/" + relative.
  std::string Sub(const std::string& relative) const;

private:
  std::string m_path;
};
