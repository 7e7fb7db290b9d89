#pragma once

#include "diskfiles/ExtensionSet.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

/// One collection pass over a folder tree: the files with a wanted extension, with their
/// size and modification time. Safe on a hostile tree: every folder (device and inode) is
/// walked once and every file listed once, however many links lead to it; links whose
/// target lies outside the root are not followed; pseudo file systems (/proc, /sys, ...)
/// are not walked. Where one folder or file is reachable by several paths, its real path
/// wins, else the first link path in byte order, so passes agree. What could not be walked
/// is listed in GetSkipped. Not thread-safe; one pass at a time.
class CDirScan {
public:
  struct Entry {
    std::string path; ///< full path
    std::int64_t size = 0;
    std::int64_t modified = 0; ///< nanoseconds since the epoch
  };

  /// Why a place was not walked.
  enum class SkipReason {
    Unreadable,       ///< a folder could not be opened or read (detail: the error)
    TooDeep,          ///< a folder nested deeper than the depth limit
    PathTooLong,      ///< entries of the folder have paths over the system's limit
    OutOfHandles,     ///< no file descriptor was left to open the folder
    RootMissing,      ///< the root does not exist, or was deleted or moved during the pass
    PseudoRoot,       ///< the root lies on a pseudo file system (detail: its name)
    PseudoFileSystem, ///< a pseudo file system below the root (detail: its name)
    OutsideRoot,      ///< a link whose target lies outside the root (detail: the target)
    OutOfMemory,      ///< the pass ran out of memory: the root was not walked whole
  };
  /// A place the last pass did not walk: a folder (ending in "/") or a file link.
  struct Skipped {
    std::string path;
    SkipReason reason = SkipReason::Unreadable;
    std::string detail; ///< the error's text, a file system name, a link's target, or ""
    bool operator==(const Skipped&) const = default;
  };

  /// Folders nested deeper than this below the root are not read.
  static constexpr int MAX_DEPTH = 256;

  /// `root` is a folder ("/" is appended when missing). `exclusions` are paths relative
  /// to the root ("drafts", "old/index.html") or wildcard patterns ("*.bak.html") that
  /// leave out a file or a whole folder. `maxDepth` replaces MAX_DEPTH.
  CDirScan(std::string_view root, bool recursive, CExtensionSet extensions,
           const std::vector<std::string>& exclusions, int maxDepth = MAX_DEPTH);
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
  /// file handles, I/O error, the root moved during the pass): what was known below them
  /// should be kept, not dropped. Folders that are gone or forbidden are not listed:
  /// their files count as removed.
  const std::vector<std::string>& GetKeptFolders() const { return m_keptFolders; }
  /// The places the last pass did not walk, sorted by path; each link at most once.
  const std::vector<Skipped>& GetSkipped() const { return m_skipped; }

  /// A short English description ("unreadable folder", "link leads outside the root").
  static const char* DescribeSkip(SkipReason reason);
  /// Whether the reason leaves part of the site unchecked; links leading outside and
  /// pseudo file systems below the root are only warnings.
  static bool IsGap(SkipReason reason);

protected:
  /// Opens the folder `name` below `parentFd` (for the root: AT_FDCWD and the root
  /// path, which may be a link); returns the descriptor, or -1 with errno set. Below
  /// the root a link is refused. Tests override it to fail.
  virtual int OpenFolder(int parentFd, const char* name);

private:
  using NodeId = std::pair<dev_t, ino_t>;
  /// A file found, with what decides between several paths to it.
  struct Found {
    Entry entry;
    NodeId id;
    bool viaLink = false;
  };
  /// A link to a folder inside the root, walked after the real tree if still unwalked.
  struct LinkedFolder {
    std::string target; ///< canonical path relative to the root's, "" for the root
    NodeId id;
    int depth = 0;
    dev_t parentDev = 0;
  };

  void ScanRoot(int rootFd);
  void ScanLinkedFolders(int rootFd);
  void ScanFolder(int fd, int depth, dev_t parentDev);
  /// Walks, adds or follows one entry of the folder m_path; true when its path would be
  /// over the system's limit, so it was left alone.
  bool ScanEntry(int dirFd, const struct dirent& entry, int depth, dev_t folderDev);
  void EnterFolder(int parentFd, const char* name, int depth, dev_t parentDev);
  void AddFile(int fd, const char* name);
  void FollowLink(int dirFd, const char* name, int depth, dev_t folderDev);
  void AddLinkTarget(int targetFd, const struct stat& target, int depth, dev_t folderDev);
  int OpenBelowRoot(int rootFd, const std::string& relative);
  bool IsInsideRoot(const std::string& canonical) const;
  bool IsPseudo(int fd, const std::string& path);
  void CheckRootStayed(int rootFd);
  void Finish();
  /// Asks the caller's stop request (once it said yes, it stays yes).
  bool StopRequested();
  bool IsExcluded() const;
  /// Reports a folder (m_path) that could not be opened or read, and keeps what was
  /// known below it when the error may pass.
  void ReportFolderError(int error, bool root);
  void Skip(std::string path, SkipReason reason, std::string detail = {});

  std::string m_root;
  bool m_recursive;
  int m_maxDepth;
  CExtensionSet m_extensions;
  struct Exclusion {
    std::string text;
    bool wildcard = false;
  };
  std::vector<Exclusion> m_exclusions;
  const std::function<bool()>* m_stopRequested = nullptr;
  bool m_stopped = false;
  /// The path being read: root, then folder names each followed by "/".
  std::string m_path;
  /// The root's canonical path, ending in "/"; empty when unknown (no link is followed).
  std::string m_canonicalRoot;
  /// True while a folder reached through a link is walked.
  bool m_viaLink = false;
  std::set<NodeId> m_walked;
  std::map<std::string, LinkedFolder> m_linkedFolders; ///< by link path, ending in "/"
  std::vector<Found> m_found;
  std::vector<Entry> m_files;
  std::vector<std::string> m_keptFolders;
  std::vector<Skipped> m_skipped;
};
