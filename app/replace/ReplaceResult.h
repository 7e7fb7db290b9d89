#pragma once

/// What one replacement did, so the view can tell the user. Files that were not chosen
/// count nowhere.
struct SReplaceResult {
  int filesChanged = 0; ///< written with the replacement (each backed up first)
  /// To change, but not written: unreadable, binary, read-only, the replacement not
  /// writable in the file's encoding, backup failed, or the write failed.
  int filesLeftUnchanged = 0;
  int filesWithoutMatch = 0; ///< none of their locations holds the word any more
  int locationsReplaced = 0; ///< in the files written
  /// The bytes there are no longer the word, or the line is past the end of the file.
  int locationsSkipped = 0;

  bool operator==(const SReplaceResult&) const = default;
};
