#include "utilcore/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {
std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  // A relative value is invalid for the XDG variables and would depend on the
  // current folder.
  if (value == nullptr || value[0] != '/') {
    return {};
  }
  return value;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}
} // namespace

std::string CUserFolders::GetHomeDir() {
  std::string home = AbsoluteEnv("HOME");
  if (!home.empty()) {
    return WithoutTrailingSlashes(home);
  }
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr) {
    return WithoutTrailingSlashes(found->pw_dir);
  }
  return "/";
}

std::string CUserFolders::GetConfigDir() {
  std::string config = AbsoluteEnv("XDG_CONFIG_HOME");
  if (config.empty()) {
    config = GetHomeDir() + "/.config";
  }
  config = WithoutTrailingSlashes(config);
  if (config.back() != '/') {
    config.push_back('/');
  }
  return config;
}

bool CUserFolders::IsHomeMissing() {
  const std::string home = GetHomeDir();
  const std::string homeFolder = home == "/" ? home : home + "/";
  if (!GetConfigDir().starts_with(homeFolder)) {
    return false;
  }
  struct stat status {};
  if (::stat(home.c_str(), &status) != 0) {
    // A home that cannot be looked at (no permission) is there; later errors tell why.
    return errno == ENOENT || errno == ENOTDIR;
  }
  return !S_ISDIR(status.st_mode);
}
