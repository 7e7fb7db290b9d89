#include "fuzzkit/FuzzHome.h"

#include "utilcore/AppLogger.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string BaseFolder() {
  // Every save syncs its file and folder: in memory that costs next to nothing, on a
  // disk it cuts the runs to a few dozen a second.
  if (::access("/dev/shm", W_OK | X_OK) == 0) {
    return "/dev/shm";
  }
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
}

std::string MakeRoot() {
  std::string pattern = BaseFolder() + "/pagelint-fuzzhome.XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    FuzzFail("cannot make the fake home", __FILE__, __LINE__);
  }
  return pattern;
}
} // namespace

CFuzzHome::CFuzzHome() : m_root(MakeRoot()) {
  const std::string home = m_root + "/home";
  const std::string run = m_root + "/run";
  const std::string tmp = m_root + "/tmp";
  for (const std::string& folder : {home + "/.config", run, tmp}) {
    std::filesystem::create_directories(folder);
  }
  ::chmod(run.c_str(), 0700);
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
  // The prefix does not exist: no Wine is the ordinary case.
  ::setenv("WINEPREFIX", (home + "/.wine").c_str(), 1);
  ::setenv("TMPDIR", tmp.c_str(), 1);
  if (!CAppLogger::SetAppName("Pagelint")) {
    FuzzFail("cannot open the log", __FILE__, __LINE__);
  }
}

CFuzzHome::~CFuzzHome() {
  CAppLogger::Close();
  std::error_code ignored;
  std::filesystem::remove_all(m_root, ignored);
}

const CFuzzHome& CFuzzHome::Get() {
  static const CFuzzHome home;
  return home;
}

std::string CFuzzHome::Folder(std::string_view relative) const {
  std::string folder = m_root + "/" + std::string(relative);
  std::filesystem::create_directories(folder);
  if (folder.back() != '/') {
    folder.push_back('/');
  }
  return folder;
}

void CFuzzHome::WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) {
    FuzzFail(("cannot write " + path).c_str(), __FILE__, __LINE__);
  }
}

std::string CFuzzHome::ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    FuzzFail(("cannot read " + path).c_str(), __FILE__, __LINE__);
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void FuzzFail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
  std::abort();
}
