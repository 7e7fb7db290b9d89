#include "testkit/ScopedFakeHome.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

ScopedFakeHome::ScopedFakeHome() {
  for (const auto& dir : {Home(), ConfigHome(), RuntimeDir(), TmpDir()}) {
    std::filesystem::create_directories(dir);
  }
  // XDG_RUNTIME_DIR is private to its user; keep it so here too.
  chmod(RuntimeDir().c_str(), 0700);
  Set("HOME", Home());
  Set("XDG_CONFIG_HOME", ConfigHome());
  Set("XDG_RUNTIME_DIR", RuntimeDir());
  Set("WINEPREFIX", WinePrefix());
  Set("TMPDIR", TmpDir());
}

ScopedFakeHome::~ScopedFakeHome() {
  for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
    if (it->second) {
      setenv(it->first.c_str(), it->second->c_str(), 1);
    } else {
      unsetenv(it->first.c_str());
    }
  }
}

void ScopedFakeHome::Set(const char* name, const std::string& value) {
  const char* old = std::getenv(name);
  m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  setenv(name, value.c_str(), 1);
}
