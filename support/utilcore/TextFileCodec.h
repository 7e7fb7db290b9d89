#pragma once

#include "utilcore/TextFileFormat.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

/// Converts a text file's bytes to UTF-8 lines and back, keeping its encoding, byte
/// order mark, line endings and final newline so that unchanged text is written back
/// byte for byte.
class CTextFileCodec {
public:
  using EEncoding = CTextFileFormat::EEncoding;
  using ELineEnding = CTextFileFormat::ELineEnding;

  /// One line as stored: its bytes (without the ending) in the file's encoding.
  struct CRawLine {
    std::string_view bytes;
    ELineEnding ending = ELineEnding::None;
  };

  /// UTF-16 by its byte order mark or, without one, by the zero high bytes of its ASCII
  /// text; else UTF-8 (with or without mark) when the bytes are valid UTF-8, else
  /// Windows-1252. Binary instead when the text would hold a NUL character or mostly
  /// control characters; the bytes are then not decoded at all.
  static EEncoding DetectEncoding(std::string_view bytes);
  static bool IsValidUtf8(std::string_view text);
  static std::string_view ByteOrderMark(EEncoding encoding);

  /// Splits the bytes that follow the byte order mark into lines.
  static void SplitLines(std::string_view body, EEncoding encoding, std::vector<CRawLine>& lines);

  /// Decodes a whole file into UTF-8 lines (appended to `lines`) and its format; a
  /// binary file gives none.
  static void Decode(std::string_view bytes, std::vector<std::string>& lines,
                     CTextFileFormat& format);
  /// Decode into `lines` from index `first` on, reusing the strings already there, and
  /// resizes `lines` to `first` plus the file's line count.
  static void DecodeInto(std::string_view bytes, std::vector<std::string>& lines, std::size_t first,
                         CTextFileFormat& format);

  /// Encodes `lines` in `format`. Line i keeps ending i when the line count is the one
  /// the format describes; otherwise every line gets the dominant ending. False (and
  /// `error` set) when a line is not valid UTF-8 or the encoding cannot hold it.
  static bool Encode(std::span<const std::string> lines, const CTextFileFormat& format,
                     std::string& bytes, std::string& error);

  /// Like Encode, in the format of the file whose current content is `oldBytes`; lines
  /// equal to the old ones keep their old bytes even where decoding them lost something
  /// (a damaged UTF-16 file).
  static bool Reencode(std::span<const std::string> lines, std::string_view oldBytes,
                       std::string& bytes, std::string& error);

  /// Decodes one stored line to UTF-8 (appended to `out`); false when something in it
  /// could not be decoded and was replaced by U+FFFD.
  static bool DecodeLine(std::string_view raw, EEncoding encoding, std::string& out);
  /// Encodes one UTF-8 line (appended to `out`); false when it cannot be represented.
  static bool EncodeLine(std::string_view utf8, EEncoding encoding, std::string& out);

private:
  static bool EncodeLines(std::span<const std::string> lines, EEncoding encoding,
                          const std::vector<ELineEnding>& oldEndings,
                          std::span<const CRawLine> oldRaw, std::string& bytes, std::string& error);
  static void AppendEnding(ELineEnding ending, EEncoding encoding, std::string& out);
  static bool CanReuseRaw(const std::string& line, const CRawLine& raw, EEncoding encoding);
};
