#pragma once

#include <cstdint>
#include <vector>

/// How a text file is stored on disk: what it takes to write edited lines back so
/// that every unchanged byte stays as it was.
struct CTextFileFormat {
  enum class EEncoding : std::uint8_t {
    Utf8,         ///< UTF-8 without byte order mark
    Utf8Bom,      ///< UTF-8 with byte order mark
    Utf16LE,      ///< UTF-16 little-endian, with byte order mark
    Utf16BE,      ///< UTF-16 big-endian, with byte order mark
    Windows1252,  ///< any other file that is not valid UTF-8
    Utf16LENoBom, ///< UTF-16 little-endian without mark, known by its zero high bytes
    Utf16BENoBom, ///< UTF-16 big-endian without mark, known by its zero high bytes
    Binary        ///< not text: holds NUL characters or mostly control characters
  };
  enum class ELineEnding : std::uint8_t { None, LF, CRLF, CR };

  EEncoding encoding = EEncoding::Utf8;
  /// The ending of each line in order; the last one is None when the file does not end
  /// in a newline.
  std::vector<ELineEnding> endings;

  /// The ending most lines use (LF when there is none), used for lines that are added.
  ELineEnding DominantEnding() const;
  /// Whether the last line ends in a newline (true for a file without lines).
  bool HasFinalNewline() const;
};
