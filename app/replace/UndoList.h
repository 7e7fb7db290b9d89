#pragma once

#include "replace/UndoReplace.h"

#include <deque>
#include <memory>
#include <string>

/// A project's replacements, most recent first. Owns its entries. User interface
/// thread only.
class CUndoList {
public:
  void AddHead(std::unique_ptr<CUndoReplace> entry);
  /// The most recent entry, now the caller's; null when empty.
  std::unique_ptr<CUndoReplace> RemoveHead();
  /// The most recent entry; null when empty.
  CUndoReplace* GetHead() const;
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  bool IsEmpty() const { return m_entries.empty(); }
  void RemoveAll() { m_entries.clear(); }
  /// Moves every entry's backups from `oldFolder` to `newFolder` (a renamed project).
  void RewriteBackupPaths(const std::string& oldFolder, const std::string& newFolder);

private:
  std::deque<std::unique_ptr<CUndoReplace>> m_entries;
};
