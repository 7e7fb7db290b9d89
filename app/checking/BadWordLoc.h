#pragma once

#include "checking/BadWordFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

/// One place where an unrecognized word occurs. Positions are byte offsets in the line
/// as read from disk, so a replacement can rewrite exactly [start, end).
class CBadWordLoc {
public:
  int line = 0;  ///< 0-based line index in the file as read
  int start = 0; ///< byte offset of the word's first byte in that line
  int end = 0;   ///< byte offset just past the word's written form (references included)
  /// Characters (code points, each byte of damaged UTF-8 one) before `start` and before
  /// `end` in the line as read, as editors count columns; -1 when not known.
  int column = -1;
  int endColumn = -1;
  /// Where the excerpt of the line around the word lies among the file's excerpts.
  CBadWordFile::SExcerpt excerpt;
  /// The language of the text around it (CLanguageNames); 0 when the page names none.
  /// It takes bytes the alignment of `file` left unused: a location grows no larger.
  std::uint16_t language = 0;
  /// The page, shared with the other locations recorded from it; null until recorded.
  std::shared_ptr<const CBadWordFile> file;

  /// The excerpt of the line around the word ("" before the location is recorded).
  std::string_view GetContext() const;

  /// The file's folder, ending in "/" ("" before the location is recorded).
  const std::string& GetDirectory() const;
  /// The file's name with extension.
  const std::string& GetFileName() const;
  std::string GetFullPath() const;
  /// Whether directory + fileName equals `path` exactly, without building the path.
  bool HasFullPath(std::string_view path) const;
  /// Whether both lie in the same file (the same record, or equal folder and name).
  bool IsInFileOf(const CBadWordLoc& other) const;
};
