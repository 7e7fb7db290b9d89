#pragma once

#include "diskfiles/DiskFile.h"
#include "mtcore/MultiReaderWriter.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_set>
#include <vector>

/// An owning list of files on disk, in the order they were added, indexed by full path.
/// Its own lock guards it: the reading members expect the caller to hold reader access
/// (CDiskFileListAccess) or writer access for as long as it uses what they return; the
/// changing members take writer access themselves.
class CDiskFileList {
public:
  /// An iteration position; 0 is past the end.
  using POSITION = std::size_t;

  CDiskFileList();
  virtual ~CDiskFileList();
  CDiskFileList(const CDiskFileList&) = delete;
  CDiskFileList& operator=(const CDiskFileList&) = delete;

  POSITION GetHeadPosition() const { return m_files.empty() ? 0 : 1; }
  /// The entry at `position`, moving `position` on to the next one (0 after the last).
  CDiskFile* GetNext(POSITION& position) const;
  CDiskFile* GetAt(POSITION position) const;
  /// The position of the 0-based `index`; 0 when out of range.
  POSITION FindIndex(std::size_t index) const { return index < m_files.size() ? index + 1 : 0; }
  std::size_t GetCount() const { return m_files.size(); }
  /// The entry with this full path, or null. `ignoreCase` compares ASCII letters without
  /// case (a walk over every entry); otherwise the path index answers at once.
  CDiskFile* Find(std::string_view fullPath, bool ignoreCase) const;

  /// Adds an entry made by CreateDiskFile, or returns the one with this path already.
  /// Null when the factory made none. Takes writer access.
  CDiskFile* Add(std::string_view fullPath);
  /// Removes and deletes the entry with this path; false when there is none.
  bool Remove(std::string_view fullPath);
  /// Removes and deletes every entry. Takes writer access.
  void RemoveAll();

  CMultiReaderWriter& GetLock() const { return m_lock; }

protected:
  /// Makes the entry for a path being added; derived lists make their own file type.
  /// Called with the writer access held: it must not take this list's lock.
  virtual std::unique_ptr<CDiskFile> CreateDiskFile(std::string_view fullPath);

private:
  friend class CFileCollector; // merges a whole pass under one writer access

  struct PathHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view fullPath) const;
    std::size_t operator()(const CDiskFile* file) const;
  };
  struct PathEqual {
    using is_transparent = void;
    bool operator()(const CDiskFile* a, const CDiskFile* b) const { return a == b; }
    bool operator()(std::string_view path, const CDiskFile* file) const {
      return file->HasFullPath(path);
    }
    bool operator()(const CDiskFile* file, std::string_view path) const {
      return file->HasFullPath(path);
    }
  };

  CDiskFile* AddLocked(std::string_view fullPath);
  /// Makes room for `more` entries, so that adding them does not rehash the index.
  void ReserveLocked(std::size_t more);
  /// Removes and deletes every entry for which `remove` is true, keeping the order.
  void RemoveIfLocked(const std::function<bool(const CDiskFile&)>& remove);
  void RemoveAllLocked();

  std::vector<std::unique_ptr<CDiskFile>> m_files;
  std::unordered_set<CDiskFile*, PathHash, PathEqual> m_index;
  mutable CMultiReaderWriter m_lock;
};
