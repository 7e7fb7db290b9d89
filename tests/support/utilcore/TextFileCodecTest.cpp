#include "utilcore/TextFileCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;
using EEncoding = CTextFileFormat::EEncoding;
using ELineEnding = CTextFileFormat::ELineEnding;

std::vector<std::string> Decode(const std::string& bytes, CTextFileFormat* format = nullptr) {
  std::vector<std::string> lines;
  CTextFileFormat found;
  CTextFileCodec::Decode(bytes, lines, found);
  if (format != nullptr) {
    *format = found;
  }
  return lines;
}

// UTF-16 bytes of an ASCII text, with its byte order mark unless `mark` is false.
std::string Utf16(const std::string& ascii, bool littleEndian, bool mark = true) {
  std::string bytes = !mark ? "" : littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (const char c : ascii) {
    bytes += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
  }
  return bytes;
}

struct CRoundTrip {
  const char* name;
  std::string bytes;
  EEncoding encoding;
  std::vector<std::string> lines;
};

void PrintTo(const CRoundTrip& c, std::ostream* os) {
  *os << c.name;
}

class TextFileCodecRoundTrip : public testing::TestWithParam<CRoundTrip> {};

TEST_P(TextFileCodecRoundTrip, DecodesAndWritesBackByteForByte) {
  const CRoundTrip& c = GetParam();
  CTextFileFormat format;
  const std::vector<std::string> lines = Decode(c.bytes, &format);
  EXPECT_EQ(format.encoding, c.encoding);
  EXPECT_EQ(lines, c.lines);

  std::string again;
  std::string error;
  ASSERT_TRUE(CTextFileCodec::Encode(lines, format, again, error)) << error;
  EXPECT_EQ(again, c.bytes);
  ASSERT_TRUE(CTextFileCodec::Reencode(lines, c.bytes, again, error)) << error;
  EXPECT_EQ(again, c.bytes);
}

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r' && b != '\n') {
      bytes.push_back(static_cast<char>(b));
    }
  }
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextFileCodecRoundTrip,
    testing::Values(
        CRoundTrip{"Empty", "", EEncoding::Utf8, {}},
        CRoundTrip{"Lf", "one\ntwo\n", EEncoding::Utf8, {"one", "two"}},
        CRoundTrip{"Crlf", "one\r\ntwo\r\n", EEncoding::Utf8, {"one", "two"}},
        CRoundTrip{"Cr", "one\rtwo\r", EEncoding::Utf8, {"one", "two"}},
        CRoundTrip{"Mixed", "a\r\nb\nc\rd", EEncoding::Utf8, {"a", "b", "c", "d"}},
        CRoundTrip{"NoFinalNewline", "a\nb", EEncoding::Utf8, {"a", "b"}},
        CRoundTrip{"OnlyNewlines", "\n\r\n\r", EEncoding::Utf8, {"", "", ""}},
        CRoundTrip{"CrThenCrlf", "a\r\r\nb", EEncoding::Utf8, {"a", "", "b"}},
        CRoundTrip{
            "Utf8", "caf\xC3\xA9 \xE2\x80\x99s\n", EEncoding::Utf8, {"caf\xC3\xA9 \xE2\x80\x99s"}},
        CRoundTrip{"Utf8Bom", "\xEF\xBB\xBFword\r\n", EEncoding::Utf8Bom, {"word"}},
        CRoundTrip{"Utf8BomOnly", "\xEF\xBB\xBF", EEncoding::Utf8Bom, {}},
        CRoundTrip{"Utf16LE", Utf16("ab\r\ncd", true), EEncoding::Utf16LE, {"ab", "cd"}},
        CRoundTrip{"Utf16BE", Utf16("ab\ncd\n", false), EEncoding::Utf16BE, {"ab", "cd"}},
        CRoundTrip{"Utf16LENoBom",
                   Utf16("<p>ab\r\n", true, false) + "\x19\x20"s + Utf16("s</p>", true, false),
                   EEncoding::Utf16LENoBom,
                   {"<p>ab", "\xE2\x80\x99s</p>"}},
        CRoundTrip{
            "Utf16BENoBom", Utf16("ab\ncd", false, false), EEncoding::Utf16BENoBom, {"ab", "cd"}},
        CRoundTrip{"Cp1252FewControls",
                   "<p>caf\xE9\x1B[0m\x7F</p>\x0B\f\t\n\x1A",
                   EEncoding::Windows1252,
                   {"<p>caf\xC3\xA9\x1B[0m\x7F</p>\x0B\f\t", "\x1A"}},
        CRoundTrip{"QuarterControls",
                   "\x01\x02"
                   "abcdef",
                   EEncoding::Utf8,
                   {"\x01\x02"
                    "abcdef"}},
        CRoundTrip{"Utf16Surrogates",
                   "\xFF\xFE\x3D\xD8\x00\xDE\x0A\x00"s,
                   EEncoding::Utf16LE,
                   {"\xF0\x9F\x98\x80"}},
        CRoundTrip{"Cp1252",
                   "caf\xE9\n\x80\x99\n",
                   EEncoding::Windows1252,
                   {"caf\xC3\xA9", "\xE2\x82\xAC\xE2\x84\xA2"}},
        CRoundTrip{"Cp1252Undefined",
                   "\x81\x8D\x8F\x90\x9D",
                   EEncoding::Windows1252,
                   {"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}},
        CRoundTrip{"Cp1252BomLookalike",
                   "\xEF\xBB\xBF\xFF",
                   EEncoding::Windows1252,
                   {"\xC3\xAF\xC2\xBB\xC2\xBF\xC3\xBF"}}),
    [](const testing::TestParamInfo<CRoundTrip>& param) { return std::string(param.param.name); });

// NUL anywhere, or more than a quarter control characters, makes a file binary: it
// gives no lines and is never written as text.
TEST(TextFileCodec, BinaryFilesGiveNoLinesAndAreNotWritten) {
  const std::string later = std::string(5000, 'a') + "\0abcdefgh"s;
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"NUL in ASCII", "a\0b\n"s},
      {"NUL after a late NUL-free sample", later},
      {"NUL after a Windows-1252 byte", "caf\xE9\n\0"s},
      {"NUL before a Windows-1252 byte", "\0caf\xE9"s},
      {"NUL after a UTF-8 mark", "\xEF\xBB\xBF\0"s},
      {"over a quarter control bytes", "\x01\x02\x03"
                                       "abcdefgh"},
      {"over a quarter DEL bytes", "\x7F\x7F\x7F"
                                   "abcdefgh"},
      {"image header", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s},
      {"UTF-16 with a NUL character", "\xFF\xFE"
                                      "a\0\0\0b\0"s},
      {"UTF-16BE of control characters", "\xFE\xFF\0\x01\0\x02\0a"s},
      {"16-bit numbers", "\x01\0\x02\0\x03\0\x04\0"s},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    CTextFileFormat format;
    std::vector<std::string> lines = {"kept"};
    CTextFileCodec::DecodeInto(bytes, lines, 1, format);
    EXPECT_EQ(format.encoding, EEncoding::Binary);
    EXPECT_EQ(lines, std::vector<std::string>{"kept"});
    std::string again;
    std::string error;
    EXPECT_FALSE(CTextFileCodec::Reencode({}, bytes, again, error));
    EXPECT_EQ(error, "a binary file is not written as text");
  }
}

TEST(TextFileCodec, EveryWindows1252ByteRoundTrips) {
  const std::string bytes = "\xFF" + AllBytes().substr(1); // no UTF-8, no NUL
  CTextFileFormat format;
  const std::vector<std::string> lines = Decode(bytes, &format);
  ASSERT_EQ(format.encoding, EEncoding::Windows1252);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_TRUE(CTextFileCodec::IsValidUtf8(lines[0]));
  std::string again;
  std::string error;
  ASSERT_TRUE(CTextFileCodec::Encode(lines, format, again, error)) << error;
  EXPECT_EQ(again, bytes);
}

TEST(TextFileCodec, DamagedUtf16KeepsItsBytesWhereLinesAreUnchanged) {
  // A lone high surrogate in line 1 and an odd last byte in line 3.
  const std::string bytes = "\xFF\xFE"
                            "a\0\x00\xD8\n\0"
                            "b\0\n\0"
                            "c\0\x41"s;
  std::vector<std::string> lines = Decode(bytes);
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[0], "a\xEF\xBF\xBD");
  EXPECT_EQ(lines[2], "c\xEF\xBF\xBD");

  std::string again;
  std::string error;
  ASSERT_TRUE(CTextFileCodec::Reencode(lines, bytes, again, error)) << error;
  EXPECT_EQ(again, bytes);

  lines[1] = "B";
  ASSERT_TRUE(CTextFileCodec::Reencode(lines, bytes, again, error)) << error;
  EXPECT_EQ(again, "\xFF\xFE"
                   "a\0\x00\xD8\n\0"
                   "B\0\n\0"
                   "c\0\x41"s);
}

TEST(TextFileCodec, RefusesTextTheEncodingCannotHold) {
  struct CCase {
    EEncoding encoding;
    std::string line;
  };
  const std::vector<CCase> cases = {
      {EEncoding::Windows1252, "\xCE\xA9"},         // Greek omega
      {EEncoding::Windows1252, "\xC2\x80"},         // U+0080: 0x80 is the euro sign
      {EEncoding::Windows1252, "\xF0\x9F\x98\x80"}, // outside the BMP
      {EEncoding::Utf8, "bad \xFF byte"},           // would turn the file into 1252
      {EEncoding::Utf8Bom, "\xC3"},                 // truncated sequence
      {EEncoding::Utf16LE, "\xED\xA0\x80"},         // encoded surrogate
  };
  for (const CCase& c : cases) {
    CTextFileFormat format;
    format.encoding = c.encoding;
    std::string bytes;
    std::string error;
    EXPECT_FALSE(CTextFileCodec::Encode(std::vector<std::string>{c.line}, format, bytes, error))
        << c.line;
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
  }
}

// A file's encoding is known from its bytes alone, so a write must not give bytes that
// read as another encoding. Found by fuzzing a word list: "\xC2\xBF\x80n" (Windows-1252),
// lower-cased, was written as E2 BF 80 6E and read back as U+2FC0 followed by "n"; "\x9F\xFE"
// lower-cased became FF FE, a UTF-16 mark.
TEST(TextFileCodec, RefusesBytesThatWouldReadBackAsOtherText) {
  const std::string cp1252 = "\xC2\xBF\x80n";
  const std::string utf8 = "plain";
  const std::string utf16 = Utf16("<p>\nab", true, false);
  struct CCase {
    const char* name;
    const std::string& old;
    std::vector<std::string> lines;
    bool stored;
  };
  const std::vector<CCase> cases = {
      {"unchanged", cp1252, {"\xC3\x82\xC2\xBF\xE2\x82\xACn"}, true},
      {"lower-cased to UTF-8", cp1252, {"\xC3\xA2\xC2\xBF\xE2\x82\xACn"}, false},
      {"a-tilde then copyright", cp1252, {"\xC3\x83\xC2\xA9"}, false},
      {"y-diaeresis then thorn", cp1252, {"\xC3\xBF\xC3\xBEq\xC3\xA9"}, false},
      {"thorn then y-diaeresis", cp1252, {"\xC3\xBE\xC3\xBFq"}, false},
      {"pair split by a line end", cp1252, {"\xC3\x83", "\xC2\xA9"}, true},
      {"e-acute alone", cp1252, {"caf\xC3\xA9"}, true},
      {"ascii only", cp1252, {"plain"}, true},
      {"UTF-8 begins with a mark", utf8, {"\xEF\xBB\xBFword"}, false},
      {"UTF-8 mark later", utf8, {"word", "\xEF\xBB\xBF"}, true},
      {"NUL in UTF-8", utf8, {"a\0b"s}, false},
      {"NUL in Windows-1252", cp1252, {"\xC3\xA9\0"s}, false},
      {"UTF-8 looking like UTF-16", utf8, {"a\0b\0c\0"s}, false},
      {"UTF-16 without mark edited", utf16, {"<p>", "caf\xC3\xA9"}, true},
      {"UTF-16 without mark emptied", utf16, {}, true},
      {"UTF-16 without mark losing its ASCII", utf16, {"\xD0\x96\xD0\x96"}, false},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    CTextFileFormat format;
    Decode(c.old, &format);
    std::string bytes;
    std::string error;
    EXPECT_EQ(CTextFileCodec::Reencode(c.lines, c.old, bytes, error), c.stored) << error;
    if (c.stored) {
      EXPECT_EQ(Decode(bytes), c.lines);
      continue;
    }
    EXPECT_NE(error.find("read back"), std::string::npos) << error;
    EXPECT_FALSE(CTextFileCodec::Encode(c.lines, format, bytes, error));
  }
}

TEST(TextFileCodec, EndingsFollowTheFileWhenLinesAreAddedOrRemoved) {
  struct CCase {
    std::string old;
    std::vector<std::string> lines;
    std::string expected;
  };
  const std::vector<CCase> cases = {
      {"a\r\nb\r\n", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},  // added line: dominant
      {"a\r\nb\r\nc\n", {"a", "x", "c"}, "a\r\nx\r\nc\n"}, // same count: per line
      {"a\r\nb\r\nc\n", {"a", "c"}, "a\r\nc\r\n"},         // removed: dominant
      {"a\nb", {"a", "b", "c"}, "a\nb\nc"},                // no final newline kept
      {"", {"a"}, "a\n"},                                  // empty file
      {"x\ry", {}, ""},                                    // every line removed
      {"\xEF\xBB\xBFx\n", {}, "\xEF\xBB\xBF"},             // the mark stays
      {"caf\xE9\r\n", {"caf\xC3\xA9", "\xE2\x82\xAC"}, "caf\xE9\r\n\x80\r\n"},
  };
  for (const CCase& c : cases) {
    std::string bytes;
    std::string error;
    ASSERT_TRUE(CTextFileCodec::Reencode(c.lines, c.old, bytes, error)) << error;
    EXPECT_EQ(bytes, c.expected) << c.old;
  }
}

TEST(TextFileCodec, NewFileIsUtf8WithLfAndFinalNewline) {
  std::string bytes;
  std::string error;
  ASSERT_TRUE(CTextFileCodec::Encode(std::vector<std::string>{"caf\xC3\xA9", "b"},
                                     CTextFileFormat{}, bytes, error));
  EXPECT_EQ(bytes, "caf\xC3\xA9\nb\n");
}

TEST(TextFileCodec, DominantEndingBreaksTiesTowardsLf) {
  CTextFileFormat format;
  format.endings = {ELineEnding::CR, ELineEnding::CRLF, ELineEnding::CRLF, ELineEnding::None};
  EXPECT_EQ(format.DominantEnding(), ELineEnding::CRLF);
  format.endings = {ELineEnding::CR, ELineEnding::LF};
  EXPECT_EQ(format.DominantEnding(), ELineEnding::LF);
  format.endings = {};
  EXPECT_EQ(format.DominantEnding(), ELineEnding::LF);
  EXPECT_TRUE(format.HasFinalNewline());
}

TEST(TextFileCodec, OneLongLineWithoutEnding) {
  const std::string line(5 * 1024 * 1024, 'x');
  const std::vector<std::string> lines = Decode(line);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0].size(), line.size());
}

} // namespace
