#pragma once

#include <string>
#include <vector>

/// One replacement that can be undone: the word, what replaced it, and the backup
/// copies made of the files it changed (one per file, in the order made).
class CUndoReplace {
public:
  CUndoReplace(std::string word, std::string replacement, std::vector<std::string> backups);

  const std::string& GetWord() const { return m_word; }
  const std::string& GetReplacement() const { return m_replacement; }
  const std::vector<std::string>& GetBackups() const { return m_backups; }

  /// The question before an undo; empty when there is no backup.
  std::string GetUndoPrompt() const;
  /// Paths that begin with `oldFolder` get `newFolder` in its place; others stay.
  void RewriteBackupPaths(const std::string& oldFolder, const std::string& newFolder);

  /// Moves each backup back over its file below `rootDirectory`; returns the number of
  /// files restored. A missing backup, or one that is refused (its folders are not the
  /// user's own, or it would land outside the root) or cannot be moved, is logged and
  /// the others are still restored.
  static int UndoReplacement(const std::string& rootDirectory, const std::string& projectName,
                             const std::vector<std::string>& backups);

private:
  std::string m_word;
  std::string m_replacement;
  std::vector<std::string> m_backups;
};
