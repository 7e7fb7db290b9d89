#pragma once

#include "testkit/ScopedTempDir.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

/// Points HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR, WINEPREFIX and TMPDIR at folders
/// inside a fresh temporary folder, and puts the old values back on destruction.
/// The folders exist (the Wine prefix does not, so that "no Wine" is the default).
class ScopedFakeHome {
public:
  ScopedFakeHome();
  ~ScopedFakeHome();
  ScopedFakeHome(const ScopedFakeHome&) = delete;
  ScopedFakeHome& operator=(const ScopedFakeHome&) = delete;

  const std::string& Root() const { return m_root.Path(); }
  std::string Home() const { return m_root.Sub("home"); }
  std::string ConfigHome() const { return m_root.Sub("home/.config"); }
  std::string RuntimeDir() const { return m_root.Sub("run"); }
  std::string WinePrefix() const { return m_root.Sub("home/.wine"); }
  std::string TmpDir() const { return m_root.Sub("tmp"); }

private:
  void Set(const char* name, const std::string& value);

  ScopedTempDir m_root;
  std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
