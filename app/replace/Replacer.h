#pragma once

#include "checking/PageScanner.h"
#include "replace/ReplaceResult.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CBadWord;
struct CContentFingerprint;
class CBadWordsList;

/// Rewrites a project's files at the places where the check found a word, backing each
/// file up before it is written. Runs on the user interface thread.
class CReplacer {
public:
  /// Applies word.GetReplacement() at the word's locations, file by file (each file is
  /// read once and written at most once). `chosenFiles` (full paths, compared exactly)
  /// limits the files; empty means all. Takes the list's reader access while it copies
  /// the locations, none while it touches files. The backups made are appended to
  /// `backupsOut`; a file whose write failed has its backup removed and not listed.
  /// `attributeText` is the check's: only where it read alt and title values as text
  /// may a word in them be rewritten. Each file is reached below the root without
  /// following a link out of it, and written only while it is the file that was read,
  /// unchanged. With `writtenOut`, the fingerprint of each file written is appended, in
  /// the order of its backup.
  static SReplaceResult ReplaceInFiles(
      const CBadWordsList& list, const CBadWord& word, const std::string& backupFolder,
      std::size_t rootLength, const std::vector<std::string>& chosenFiles,
      std::vector<std::string>& backupsOut,
      CPageScanner::EAttributeText attributeText = CPageScanner::EAttributeText::kSkipped,
      std::vector<CContentFingerprint>* writtenOut = nullptr);
  /// The same for the word of `text` and `duplicate` flag, found in the list under its
  /// reader access: the way for a caller that holds no access of its own, since a check
  /// may delete any word (nothing is replaced then).
  static SReplaceResult ReplaceInFiles(
      const CBadWordsList& list, std::string_view text, int duplicate,
      const std::string& backupFolder, std::size_t rootLength,
      const std::vector<std::string>& chosenFiles, std::vector<std::string>& backupsOut,
      CPageScanner::EAttributeText attributeText = CPageScanner::EAttributeText::kSkipped,
      std::vector<CContentFingerprint>* writtenOut = nullptr);
  /// One backup copy: backupFolder + path.substr(rootLength) + "b" + lowest free n (from
  /// 1). Refuses (logs "{FA21A076-AB6A-4D0B-A498-FA8FA11992A0} - <path> - <error>",
  /// false) when the backup root (the folder above `backupFolder`) or any folder on the
  /// way is a symbolic link or not the user's, when the path does not lie below the
  /// project root, or when the copy fails. Creates the root 0700 when missing.
  static bool BackupFile(const std::string& path, const std::string& backupFolder,
                         std::size_t rootLength, std::vector<std::string>& backupsOut);
  /// The same for the content of `path` as it was read (`bytes`, permissions `mode`), so
  /// that the backup is of what is rewritten even when the path changes meanwhile.
  /// `error` says why it failed (logged as for BackupFile).
  static bool BackupBytes(const std::string& path, std::string_view bytes, unsigned mode,
                          const std::string& backupFolder, std::size_t rootLength,
                          std::vector<std::string>& backupsOut, std::string& error);
  /// Whether the line holds `word` exactly at [start, end) as the check found it there:
  /// in the line's page text (markup blanked, the values of alt and title kept with
  /// EAttributeText::kChecked, references decoded in place, addresses blanked) the whole-word
  /// search from `start` finds the word at `start` with length end - start. ReplaceInFiles converts
  /// a whole file, as markup may span lines.
  static bool
  IsWordAt(const std::string& line, const std::string& word, int start, int end,
           CPageScanner::EAttributeText attributeText = CPageScanner::EAttributeText::kSkipped);
};
