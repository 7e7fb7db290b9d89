#pragma once

#include "diskfiles/ExtensionSet.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

/// One collection pass over a folder tree: the files with a wanted extension, with their
/// size and modification time. Symbolic links are followed; a link back into the chain
/// of folders being read is skipped, so loops end. Not thread-safe; one pass at a time.
class CDirScan {
public:
  struct Entry {
    std::string path; ///< full path
    std::int64_t size = 0;
    std::int64_t modified = 0; ///< nanoseconds since the epoch
  };

  /// Folders nested deeper than this below the root are not read.
  static constexpr int MAX_DEPTH = 256;

  /// `root` is a folder ("/" is appended when missing). `exclusions` are paths relative
  /// to the root ("drafts", "old/index.html") or wildcard patterns ("*.bak.html") that
  /// leave out a file or a whole folder.
  CDirScan(std::string_view root, bool recursive, CExtensionSet extensions,
           const std::vector<std::string>& exclusions);
  virtual ~CDirScan();
  CDirScan(const CDirScan&) = delete;
  CDirScan& operator=(const CDirScan&) = delete;

  /// Runs one pass; `stopRequested` is asked before each folder and every few thousand
  /// entries of a large one. False when it stopped early, in which case the results
  /// are incomplete and must not be used.
  bool Run(const std::function<bool()>& stopRequested);

  const std::string& GetRoot() const { return m_root; }
  /// The files of the last pass, sorted by path (byte order).
  const std::vector<Entry>& GetFiles() const { return m_files; }
  /// Hands the files of the last pass over, leaving none behind.
  std::vector<Entry> TakeFiles() { return std::move(m_files); }
  /// Folders (ending in "/") that could not be read for a reason that may pass (out of
  /// file handles, I/O error): what was known below them should be kept, not dropped.
  /// Folders that are gone or forbidden are not listed: their files count as removed.
  const std::vector<std::string>& GetKeptFolders() const { return m_keptFolders; }

protected:
  /// Opens the folder `name` below `parentFd` (for the root: AT_FDCWD and the root
  /// path); returns the descriptor, or -1 with errno set. Tests override it to fail.
  virtual int OpenFolder(int parentFd, const char* name);

private:
  struct Exclusion {
    std::string text;
    bool wildcard = false;
  };

  void ScanFolder(int fd, int depth);
  void EnterFolder(int parentFd, const char* name, int depth);
  void AddFile(int fd, const char* name, const struct stat* known);
  /// Asks the caller's stop request (once it said yes, it stays yes).
  bool StopRequested();
  bool IsExcluded() const;
  void KeepFolderOnError(int error);

  std::string m_root;
  bool m_recursive;
  CExtensionSet m_extensions;
  std::vector<Exclusion> m_exclusions;
  const std::function<bool()>* m_stopRequested = nullptr;
  bool m_stopped = false;
  /// The path being read: root, then folder names each followed by "/".
  std::string m_path;
  std::vector<std::pair<dev_t, ino_t>> m_chain;
  std::vector<Entry> m_files;
  std::vector<std::string> m_keptFolders;
};
