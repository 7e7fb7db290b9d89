#pragma once

#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>

/// A web site folder made in a test: files are named relative to its root.
class SiteTree {
public:
  /// The root, ending in "/".
  std::string Root() const { return m_dir.Path() + "/"; }
  std::string Full(const std::string& relative) const { return Root() + relative; }

  void Write(const std::string& relative, const std::string& bytes = "<p>text</p>") const {
    std::filesystem::create_directories(std::filesystem::path(Full(relative)).parent_path());
    testkit::WriteBytes(Full(relative), bytes);
  }
  void MakeFolder(const std::string& relative) const {
    std::filesystem::create_directories(Full(relative));
  }
  void Link(const std::string& target, const std::string& relative) const {
    std::filesystem::create_symlink(target, Full(relative));
  }
  void Remove(const std::string& relative) const { std::filesystem::remove_all(Full(relative)); }
  void Rename(const std::string& from, const std::string& to) const {
    std::filesystem::rename(Full(from), Full(to));
  }
  /// Sets the modification time to `seconds` since the epoch, leaving the size alone.
  void SetModified(const std::string& relative, long seconds) const {
    const struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    utimes(Full(relative).c_str(), times);
  }

private:
  ScopedTempDir m_dir;
};
