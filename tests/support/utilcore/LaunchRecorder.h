#pragma once

#include "testkit/FileBytes.h"

#include <chrono>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

/// A small program for launch tests: it writes its working folder and then each of
/// its arguments, one per line in brackets, to "argv.txt" in `recordFolder`.
class CLaunchRecorder {
public:
  /// Creates the program at `path` (which may hold blanks and quotes).
  CLaunchRecorder(std::string path, const std::string& recordFolder) : m_path(std::move(path)) {
    const std::string folder = Quote(recordFolder);
    testkit::WriteBytes(m_path, "#!/bin/sh\n"
                                "{ pwd; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > " +
                                    folder + "/argv.tmp && mv " + folder + "/argv.tmp " + folder +
                                    "/argv.txt\n");
    ::chmod(m_path.c_str(), 0755);
  }

  const std::string& Path() const { return m_path; }

  /// The lines the program wrote in `folder`, once it has; empty when it never did.
  /// The wait is generous because a loaded machine may start programs slowly.
  static std::vector<std::string> WaitForRecord(const std::string& folder) {
    const std::string file = folder + "/argv.txt";
    for (int i = 0; i < 3000 && ::access(file.c_str(), F_OK) != 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
      lines.push_back(line);
    }
    return lines;
  }

  /// Zombie children of this process (ended, never waited for).
  static int CountZombieChildren() {
    int zombies = 0;
    DIR* proc = ::opendir("/proc");
    while (const dirent* entry = proc != nullptr ? ::readdir(proc) : nullptr) {
      std::ifstream in(std::string("/proc/") + entry->d_name + "/stat");
      std::stringstream text;
      text << in.rdbuf();
      const std::string stat = text.str();
      const std::size_t close = stat.rfind(')');
      if (close == std::string::npos) {
        continue;
      }
      std::istringstream fields(stat.substr(close + 1));
      char state = 0;
      long parent = 0;
      fields >> state >> parent;
      zombies += state == 'Z' && parent == ::getpid() ? 1 : 0;
    }
    if (proc != nullptr) {
      ::closedir(proc);
    }
    return zombies;
  }

  /// Waits (generously) until no child of this process is a zombie; the count left.
  static int WaitForNoZombies() {
    int zombies = CountZombieChildren();
    for (int i = 0; i < 3000 && zombies > 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      zombies = CountZombieChildren();
    }
    return zombies;
  }

private:
  // Single quotes for the shell; a quote inside becomes '\''.
  static std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
      quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
  }

  std::string m_path;
};
