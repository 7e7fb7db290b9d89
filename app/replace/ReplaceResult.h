#pragma once

#include <string>
#include <vector>

/// A chosen file that a replacement left as it was, and why.
struct SUnchangedFile {
  enum class EWhy {
    kWordMoved, ///< the page changed since the check: the word is no longer at its places
    kNotWritten ///< refused or failed: see `reason`
  };
  std::string path;
  EWhy why = EWhy::kNotWritten;
  std::string reason;

  bool operator==(const SUnchangedFile&) const = default;
};

/// What one replacement did, so the view can tell the user. Files that were not chosen
/// count nowhere.
struct SReplaceResult {
  int filesChanged = 0; ///< written with the replacement (each backed up first)
  /// To change, but not written: unreadable, binary, read-only, leading outside the
  /// site's folder, the replacement not writable in the file's encoding, backup failed,
  /// or the write failed.
  int filesLeftUnchanged = 0;
  int filesWithoutMatch = 0; ///< none of their locations holds the word any more
  int locationsReplaced = 0; ///< in the files written
  /// The bytes there are no longer the word, or the line is past the end of the file.
  int locationsSkipped = 0;
  /// The files of filesLeftUnchanged and filesWithoutMatch, in the order handled.
  std::vector<SUnchangedFile> unchangedFiles;

  bool operator==(const SReplaceResult&) const = default;
};
