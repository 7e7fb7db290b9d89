#pragma once

#include "replace/ReplaceResult.h"
#include "utilcore/ContentFingerprint.h"

#include <functional>
#include <string>
#include <vector>

/// One replacement that can be undone: the word, what replaced it, and the backup
/// copies made of the files it changed (one per file, in the order made), with the
/// fingerprint of what the replacement wrote to each file.
class CUndoReplace {
public:
  /// Asked for a page changed since the replacement: true restores it anyway (the later
  /// edit is lost), false keeps it as it is.
  using RestoreChanged = std::function<bool(const std::string& page)>;

  /// What an undo did with the backups.
  struct SRestoreResult {
    int restored = 0;
    /// Pages changed since the replacement and kept as they are.
    std::vector<std::string> keptChanged;
    /// Pages not restored because they were refused or the restore failed, with why.
    std::vector<SUnchangedFile> failed;
  };

  /// `written` holds the fingerprint of each backup's file as the replacement wrote it,
  /// in the order of `backups`; without it the files are restored unasked.
  CUndoReplace(std::string word, std::string replacement, std::vector<std::string> backups,
               std::vector<CContentFingerprint> written = {});

  const std::string& GetWord() const { return m_word; }
  const std::string& GetReplacement() const { return m_replacement; }
  const std::vector<std::string>& GetBackups() const { return m_backups; }

  /// The question before an undo; empty when there is no backup.
  std::string GetUndoPrompt() const;
  /// Paths that begin with `oldFolder` get `newFolder` in its place; others stay.
  void RewriteBackupPaths(const std::string& oldFolder, const std::string& newFolder);

  /// Restores this entry's files below `rootDirectory`. A file that no longer holds
  /// what the replacement wrote is restored only when `restoreChanged` says so (never
  /// without it); the answer is logged.
  SRestoreResult Restore(const std::string& rootDirectory, const std::string& projectName,
                         const RestoreChanged& restoreChanged) const;

  /// Moves each backup back over its file below `rootDirectory`; returns the number of
  /// files restored. A missing backup, or one that is refused (its folders are not the
  /// user's own, it would land outside the root, or the file or a folder on its way now
  /// leads outside the root) or cannot be moved, is logged and the others are still
  /// restored.
  static int UndoReplacement(const std::string& rootDirectory, const std::string& projectName,
                             const std::vector<std::string>& backups);

private:
  std::string m_word;
  std::string m_replacement;
  std::vector<std::string> m_backups;
  std::vector<CContentFingerprint> m_written;
};
