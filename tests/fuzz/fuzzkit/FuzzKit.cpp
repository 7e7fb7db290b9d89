#include "fuzzkit/FuzzKit.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace fuzzkit {
namespace {

/// Removes the private home when the process ends normally.
struct SPrivateHome {
  std::string path;
  ~SPrivateHome() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

std::unique_ptr<SPrivateHome>& Home() {
  static std::unique_ptr<SPrivateHome> home;
  return home;
}

std::string MakeFolder(const std::string& path) {
  std::filesystem::create_directories(path);
  return path;
}

// Saves sync every file they write; on a disk that costs more than the rest of a run, so
// the home lies in memory when the system offers a memory file system.
std::string BaseFolder() {
  if (::access("/dev/shm", W_OK | X_OK) == 0) {
    return "/dev/shm";
  }
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  return error ? std::string("/tmp") : temp.string();
}

} // namespace

void UsePrivateHome() {
  if (Home() != nullptr) {
    return;
  }
  std::string pattern = BaseFolder() + "/pagelint-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("pagelint fuzz: mkdtemp");
    std::abort();
  }
  Home() = std::make_unique<SPrivateHome>(SPrivateHome{pattern});
  const std::string& home = Home()->path;
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", MakeFolder(home + "/.config").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", MakeFolder(home + "/run").c_str(), 1);
  ::setenv("WINEPREFIX", (home + "/.wine").c_str(), 1);
  ::setenv("TMPDIR", MakeFolder(home + "/tmp").c_str(), 1);
  std::filesystem::permissions(home + "/run", std::filesystem::perms::owner_all);
  MakeFolder(home + "/work");
}

const std::string& WorkFolder() {
  static const std::string folder = Home() != nullptr ? Home()->path + "/work/" : std::string();
  Require(!folder.empty(), "UsePrivateHome before WorkFolder");
  return folder;
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  Require(out.good(), "writing the input file");
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Require(in.good(), "opening a file to read it back");
  std::ostringstream content;
  content << in.rdbuf();
  return std::move(content).str();
}

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "pagelint fuzz: broken promise: %s\n", what);
    std::abort();
  }
}

} // namespace fuzzkit
