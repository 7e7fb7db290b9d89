#pragma once

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

/// What stat tells of a file's identity and content: the same stamp twice means the
/// file was (as far as the file system can tell) not replaced or changed in between.
struct CFileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t mtimeNs = 0;

  bool operator==(const CFileStamp&) const = default;

  static CFileStamp From(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size,
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
  }
  /// The stamp of `path` (links followed); false when it cannot be read.
  static bool Of(const std::string& path, CFileStamp& stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
      return false;
    }
    stamp = From(info);
    return true;
  }
};
