#include "utilcore/TextFileCodec.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

using EEncoding = CTextFileFormat::EEncoding;
using ELineEnding = CTextFileFormat::ELineEnding;

constexpr UChar32 kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80-0x9F. The five bytes the code page leaves undefined map to
// the C1 control of the same value, so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsUtf16(EEncoding encoding) {
  return encoding == EEncoding::Utf16LE || encoding == EEncoding::Utf16BE ||
         encoding == EEncoding::Utf16LENoBom || encoding == EEncoding::Utf16BENoBom;
}

bool IsLittleEndian(EEncoding encoding) {
  return encoding == EEncoding::Utf16LE || encoding == EEncoding::Utf16LENoBom;
}

bool IsUtf8(EEncoding encoding) {
  return encoding == EEncoding::Utf8 || encoding == EEncoding::Utf8Bom;
}

// Eight bytes at a time: a bit or a value in every byte of a word.
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kLowBits = 0x0101010101010101ULL;

// Length of the leading run of ASCII bytes, eight at a time; with kStopAtNul the run
// also ends at a NUL byte.
template <bool kStopAtNul = false> std::size_t AsciiPrefix(std::string_view text) {
  const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = begin + text.size();
  const auto* p = begin;
  for (; end - p >= 8; p += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    // A zero byte turns into 0xFF, with its high bit set, when one is taken away (a
    // borrow only marks bytes above a zero one).
    const std::uint64_t marked = kStopAtNul ? word | (word - kLowBits) : word;
    if ((marked & kHighBits) != 0) {
      break;
    }
  }
  while (p != end && *p < 0x80 && (!kStopAtNul || *p != 0)) {
    ++p;
  }
  return static_cast<std::size_t>(p - begin);
}

bool IsAscii(std::string_view text) {
  return AsciiPrefix(text) == text.size();
}

void AppendUtf8(std::string& out, UChar32 c) {
  char buffer[U8_MAX_LENGTH];
  std::int32_t length = 0;
  U8_APPEND_UNSAFE(buffer, length, c);
  out.append(buffer, static_cast<std::size_t>(length));
}

int FromCp1252(UChar32 c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    return c;
  }
  for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
    if (kCp1252High[i] == c) {
      return static_cast<int>(0x80 + i);
    }
  }
  return -1;
}

std::uint16_t UnitAt(std::string_view raw, std::size_t i, EEncoding encoding) {
  const auto b0 = static_cast<unsigned char>(raw[i]);
  const auto b1 = static_cast<unsigned char>(raw[i + 1]);
  return IsLittleEndian(encoding) ? static_cast<std::uint16_t>(b0 | (b1 << 8))
                                  : static_cast<std::uint16_t>((b0 << 8) | b1);
}

void AppendUnit(std::string& out, std::uint16_t unit, EEncoding encoding) {
  const auto high = static_cast<char>(unit >> 8);
  const auto low = static_cast<char>(unit & 0xFF);
  if (IsLittleEndian(encoding)) {
    out.push_back(low);
    out.push_back(high);
  } else {
    out.push_back(high);
    out.push_back(low);
  }
}

bool DecodeUtf16(std::string_view raw, EEncoding encoding, std::string& out) {
  bool exact = true;
  const std::size_t units = raw.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint16_t unit = UnitAt(raw, 2 * i, encoding);
    if (!U16_IS_SURROGATE(unit)) {
      AppendUtf8(out, unit);
      continue;
    }
    if (U16_IS_SURROGATE_LEAD(unit) && i + 1 < units) {
      const std::uint16_t trail = UnitAt(raw, 2 * (i + 1), encoding);
      if (U16_IS_TRAIL(trail)) {
        AppendUtf8(out, U16_GET_SUPPLEMENTARY(unit, trail));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, kReplacement);
    exact = false;
  }
  if (raw.size() % 2 != 0) {
    AppendUtf8(out, kReplacement);
    exact = false;
  }
  return exact;
}

void DecodeCp1252(std::string_view raw, std::string& out) {
  if (IsAscii(raw)) {
    out.append(raw);
    return;
  }
  for (const char ch : raw) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x80) {
      out.push_back(ch);
    } else if (byte < 0xA0) {
      AppendUtf8(out, kCp1252High[byte - 0x80]);
    } else {
      AppendUtf8(out, byte);
    }
  }
}

// Walks the code points of UTF-8 text; false at the first invalid sequence.
template <class Sink> bool ForEachCodePoint(std::string_view text, Sink&& sink) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int64_t>(text.size());
  std::int64_t i = 0;
  while (i < length) {
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    if (c < 0 || !sink(c)) {
      return false;
    }
  }
  return true;
}

bool EncodeCp1252(std::string_view utf8, std::string& out) {
  if (IsAscii(utf8)) {
    out.append(utf8);
    return true;
  }
  return ForEachCodePoint(utf8, [&out](UChar32 c) {
    const int byte = FromCp1252(c);
    if (byte < 0) {
      return false;
    }
    out.push_back(static_cast<char>(byte));
    return true;
  });
}

bool EncodeUtf16(std::string_view utf8, EEncoding encoding, std::string& out) {
  return ForEachCodePoint(utf8, [&out, encoding](UChar32 c) {
    if (U_IS_BMP(c)) {
      AppendUnit(out, static_cast<std::uint16_t>(c), encoding);
    } else {
      AppendUnit(out, U16_LEAD(c), encoding);
      AppendUnit(out, U16_TRAIL(c), encoding);
    }
    return true;
  });
}

const char* EncodingName(EEncoding encoding) {
  switch (encoding) {
  case EEncoding::Utf8:
  case EEncoding::Utf8Bom:
    return "UTF-8";
  case EEncoding::Utf16LE:
  case EEncoding::Utf16BE:
  case EEncoding::Utf16LENoBom:
  case EEncoding::Utf16BENoBom:
    return "UTF-16";
  case EEncoding::Windows1252:
    return "Windows-1252";
  case EEncoding::Binary:
    return "a binary file";
  }
  return "?";
}

/// Whether `bytes`, written as `encoding`, would be taken for another encoding (or for
/// a binary file) when read: an encoding is known from the bytes alone, so a UTF-8 file
/// without a mark must not begin with one, Windows-1252 text must not be valid UTF-8,
/// and no text may hold a NUL. Such a file would read back as other words (a
/// lower-cased "\xC2\xBF\x80" forms U+2FC0) or as none, so it is not written.
bool ReadsBackAsOtherText(std::string_view bytes, EEncoding encoding) {
  if (bytes.empty()) {
    return false; // no lines, whatever the encoding
  }
  const EEncoding read = CTextFileCodec::DetectEncoding(bytes);
  if (read == encoding) {
    return false;
  }
  // ASCII text reads the same as UTF-8.
  return encoding != EEncoding::Windows1252 || read != EEncoding::Utf8 || !IsAscii(bytes);
}

// What tells text from a binary file: no NUL character anywhere, and not more than a
// quarter control characters (other than tab, line feed, form feed and carriage return)
// among the first kSampleUnits code units. Text in any encoding read here uses next to
// none; a Windows-1252 file holding every byte but NUL once is 11 % control bytes.
constexpr std::size_t kSampleUnits = 4096;

bool IsControlUnit(std::uint16_t unit) {
  return (unit < 0x20 && unit != '\t' && unit != '\n' && unit != '\f' && unit != '\r') ||
         unit == 0x7F;
}

std::size_t CountControls(std::string_view bytes) {
  std::size_t controls = 0;
  for (const char c : bytes) {
    controls += IsControlUnit(static_cast<unsigned char>(c)) ? 1 : 0;
  }
  return controls;
}

bool IsMostlyControl(std::size_t controls, std::size_t units) {
  return controls * 4 > std::min(units, kSampleUnits);
}

// Over 8-bit text; a word of eight bytes none of which is below 0x20 or a DEL (most
// words of a page) is passed over whole.
bool IsMostlyControlBytes(std::string_view bytes) {
  const std::string_view sample = bytes.substr(0, kSampleUnits);
  std::size_t controls = 0;
  std::size_t i = 0;
  for (; i + 8 <= sample.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, sample.data() + i, sizeof word);
    const std::uint64_t del = word ^ (0x7F * kLowBits);
    if ((((word - 0x20 * kLowBits) | (del - kLowBits)) & ~word & kHighBits) != 0) {
      controls += CountControls(sample.substr(i, 8));
    }
  }
  return IsMostlyControl(controls + CountControls(sample.substr(i)), sample.size());
}

bool IsBinaryUtf16(std::string_view body, EEncoding encoding) {
  const std::size_t units = body.size() / 2;
  std::size_t controls = 0;
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint16_t unit = UnitAt(body, 2 * i, encoding);
    if (unit == 0) {
      return true;
    }
    controls += i < kSampleUnits && IsControlUnit(unit) ? 1 : 0;
  }
  return IsMostlyControl(controls, units);
}

// UTF-16 without a mark, known when at most a quarter of the first kSniffUnits units
// break the pattern of ASCII text: one byte zero (the high one, which tells the byte
// order), the other not. Utf8 when the bytes show no such pattern. Bytes that match
// hold NULs, so read as 8-bit text they would be binary anyway.
constexpr std::size_t kSniffUnits = 256;

EEncoding Utf16WithoutMark(std::string_view bytes) {
  const std::size_t units = std::min(bytes.size() / 2, kSniffUnits);
  if (units < 2) {
    return EEncoding::Utf8;
  }
  const std::size_t allowed = units / 4;
  std::size_t little = 0;
  std::size_t big = 0;
  for (std::size_t i = 0; i < units; ++i) {
    const bool evenZero = bytes[2 * i] == '\0';
    const bool oddZero = bytes[2 * i + 1] == '\0';
    little += !evenZero && oddZero ? 1 : 0;
    big += evenZero && !oddZero ? 1 : 0;
    if (i + 1 - little > allowed && i + 1 - big > allowed) {
      return EEncoding::Utf8; // ordinary 8-bit text ends up here within a few bytes
    }
  }
  return units - little <= allowed ? EEncoding::Utf16LENoBom : EEncoding::Utf16BENoBom;
}

// Length of the leading valid UTF-8 text; with kStopAtNul it also ends at a NUL byte,
// so that one walk finds both what is no UTF-8 and what is no text.
template <bool kStopAtNul> std::size_t Utf8TextPrefix(std::string_view text) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int64_t>(text.size());
  std::int64_t i = 0;
  while (i < length) {
    // Skip ASCII runs quickly; check each other sequence with ICU.
    i += static_cast<std::int64_t>(
        AsciiPrefix<kStopAtNul>(text.substr(static_cast<std::size_t>(i))));
    if (i == length || s[i] == 0) {
      break;
    }
    const std::int64_t start = i;
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    if (c < 0) {
      return static_cast<std::size_t>(start);
    }
  }
  return static_cast<std::size_t>(i);
}

/// Hands each line of the bytes after the byte order mark to `onLine`, in order, as a
/// CRawLine; nothing is gathered, so a page's lines are decoded as they are found.
template <typename OnLine>
void ForEachRawLine(std::string_view body, EEncoding encoding, OnLine&& onLine) {
  // Code units are 1 byte wide, or 2 for UTF-16 (a stray odd last byte stays in the
  // last line, where decoding flags it).
  const std::size_t width = IsUtf16(encoding) ? 2 : 1;
  const auto unitAt = [&](std::size_t i) -> std::uint16_t {
    return width == 2 ? UnitAt(body, i, encoding) : static_cast<unsigned char>(body[i]);
  };
  const std::size_t end = body.size() - body.size() % width;
  std::size_t start = 0;
  std::size_t i = 0;
  // The next CR and LF at or after i in 8-bit text, each found with one memchr pass
  // (find_first_of would test the set at every byte); most files hold no CR at all.
  std::size_t nextCr = 0;
  std::size_t nextLf = 0;
  const auto findFrom = [&](std::size_t& cached, char unit) {
    if (cached != std::string_view::npos && cached < i) {
      cached = body.find(unit, i);
    }
    return cached == std::string_view::npos ? end : cached;
  };
  while (i < end) {
    if (width == 1) {
      i = std::min(findFrom(nextCr, '\r'), findFrom(nextLf, '\n'));
      if (i >= end) {
        break;
      }
    }
    const std::uint16_t unit = unitAt(i);
    if (unit != '\n' && unit != '\r') {
      i += width;
      continue;
    }
    ELineEnding ending = unit == '\n' ? ELineEnding::LF : ELineEnding::CR;
    std::size_t after = i + width;
    if (unit == '\r' && after < end && unitAt(after) == '\n') {
      ending = ELineEnding::CRLF;
      after += width;
    }
    onLine(CTextFileCodec::CRawLine{body.substr(start, i - start), ending});
    start = i = after;
  }
  if (start < body.size()) {
    onLine(CTextFileCodec::CRawLine{body.substr(start), ELineEnding::None});
  }
}

} // namespace

bool CTextFileCodec::IsValidUtf8(std::string_view text) {
  return Utf8TextPrefix<false>(text) == text.size();
}

CTextFileCodec::EEncoding CTextFileCodec::DetectEncoding(std::string_view bytes) {
  EEncoding utf16 = EEncoding::Utf8;
  if (bytes.starts_with("\xFF\xFE")) {
    utf16 = EEncoding::Utf16LE;
  } else if (bytes.starts_with("\xFE\xFF")) {
    utf16 = EEncoding::Utf16BE;
  } else {
    utf16 = Utf16WithoutMark(bytes);
  }
  if (IsUtf16(utf16)) {
    return IsBinaryUtf16(bytes.substr(ByteOrderMark(utf16).size()), utf16) ? EEncoding::Binary
                                                                           : utf16;
  }
  const std::size_t valid = Utf8TextPrefix<true>(bytes);
  if (valid < bytes.size()) {
    // At a NUL, or at the first byte that is no UTF-8: past it only a NUL still matters.
    if (bytes[valid] == '\0' ||
        std::memchr(bytes.data() + valid, 0, bytes.size() - valid) != nullptr) {
      return EEncoding::Binary;
    }
  }
  if (IsMostlyControlBytes(bytes)) {
    return EEncoding::Binary;
  }
  if (valid < bytes.size()) {
    return EEncoding::Windows1252;
  }
  return bytes.starts_with("\xEF\xBB\xBF") ? EEncoding::Utf8Bom : EEncoding::Utf8;
}

std::string_view CTextFileCodec::ByteOrderMark(EEncoding encoding) {
  switch (encoding) {
  case EEncoding::Utf8Bom:
    return "\xEF\xBB\xBF";
  case EEncoding::Utf16LE:
    return "\xFF\xFE";
  case EEncoding::Utf16BE:
    return "\xFE\xFF";
  default:
    return {};
  }
}

void CTextFileCodec::SplitLines(std::string_view body, EEncoding encoding,
                                std::vector<CRawLine>& lines) {
  ForEachRawLine(body, encoding, [&lines](const CRawLine& line) { lines.push_back(line); });
}

bool CTextFileCodec::DecodeLine(std::string_view raw, EEncoding encoding, std::string& out) {
  if (IsUtf8(encoding)) { // most lines of most sites
    out.append(raw);
    return true;
  }
  if (IsUtf16(encoding)) {
    return DecodeUtf16(raw, encoding, out);
  }
  if (encoding == EEncoding::Windows1252) {
    DecodeCp1252(raw, out);
    return true;
  }
  return false; // binary: nothing of it is text
}

bool CTextFileCodec::EncodeLine(std::string_view utf8, EEncoding encoding, std::string& out) {
  if (IsUtf16(encoding)) {
    return EncodeUtf16(utf8, encoding, out);
  }
  if (encoding == EEncoding::Windows1252) {
    return EncodeCp1252(utf8, out);
  }
  if (encoding == EEncoding::Binary || !IsValidUtf8(utf8)) {
    return false;
  }
  out.append(utf8);
  return true;
}

void CTextFileCodec::Decode(std::string_view bytes, std::vector<std::string>& lines,
                            CTextFileFormat& format) {
  DecodeInto(bytes, lines, lines.size(), format);
}

void CTextFileCodec::DecodeInto(std::string_view bytes, std::vector<std::string>& lines,
                                std::size_t first, CTextFileFormat& format) {
  format.encoding = DetectEncoding(bytes);
  format.endings.clear();
  first = std::min(first, lines.size());
  std::size_t next = first;
  // A binary file is not split at all: its "lines" could cost many times its size.
  if (format.encoding != EEncoding::Binary) {
    // Each line is decoded as it is found: a list of the lines first was as large as a
    // quarter of the page, memory touched for nothing.
    ForEachRawLine(bytes.substr(ByteOrderMark(format.encoding).size()), format.encoding,
                   [&](const CRawLine& raw) {
                     if (next == lines.size()) {
                       lines.emplace_back();
                     }
                     std::string& text = lines[next++];
                     text.clear();
                     DecodeLine(raw.bytes, format.encoding, text);
                     format.endings.push_back(raw.ending);
                   });
  }
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(next), lines.end());
}

bool CTextFileCodec::Encode(std::span<const std::string> lines, const CTextFileFormat& format,
                            std::string& bytes, std::string& error) {
  return EncodeLines(lines, format.encoding, format.endings, {}, bytes, error);
}

bool CTextFileCodec::Reencode(std::span<const std::string> lines, std::string_view oldBytes,
                              std::string& bytes, std::string& error) {
  const EEncoding encoding = DetectEncoding(oldBytes);
  std::vector<CRawLine> raw;
  SplitLines(oldBytes.substr(ByteOrderMark(encoding).size()), encoding, raw);
  std::vector<ELineEnding> endings;
  endings.reserve(raw.size());
  for (const CRawLine& line : raw) {
    endings.push_back(line.ending);
  }
  return EncodeLines(lines, encoding, endings, raw, bytes, error);
}

bool CTextFileCodec::CanReuseRaw(const std::string& line, const CRawLine& raw, EEncoding encoding) {
  if (IsUtf8(encoding)) {
    return line == raw.bytes;
  }
  if (!IsUtf16(encoding)) {
    return false; // Windows-1252 maps every byte both ways: encoding gives the same bytes
  }
  std::string decoded;
  return !DecodeLine(raw.bytes, encoding, decoded) && decoded == line;
}

bool CTextFileCodec::EncodeLines(std::span<const std::string> lines, EEncoding encoding,
                                 const std::vector<ELineEnding>& oldEndings,
                                 std::span<const CRawLine> oldRaw, std::string& bytes,
                                 std::string& error) {
  if (encoding == EEncoding::Binary) {
    error = "a binary file is not written as text";
    return false;
  }
  CTextFileFormat old;
  old.endings = oldEndings;
  const bool sameCount = lines.size() == oldEndings.size();
  const ELineEnding dominant = old.DominantEnding();
  const bool finalNewline = old.HasFinalNewline();

  bytes.clear();
  bytes.append(ByteOrderMark(encoding));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (i < oldRaw.size() && CanReuseRaw(line, oldRaw[i], encoding)) {
      bytes.append(oldRaw[i].bytes);
    } else if (!EncodeLine(line, encoding, bytes)) {
      error = "line " + std::to_string(i + 1) + " cannot be stored in " + EncodingName(encoding);
      return false;
    }
    ELineEnding ending = dominant;
    if (sameCount) {
      ending = oldEndings[i];
    } else if (i + 1 == lines.size() && !finalNewline) {
      ending = ELineEnding::None;
    }
    AppendEnding(ending, encoding, bytes);
  }
  if (ReadsBackAsOtherText(bytes, encoding)) {
    error = std::string("the text would not read back as ") + EncodingName(encoding);
    return false;
  }
  return true;
}

void CTextFileCodec::AppendEnding(ELineEnding ending, EEncoding encoding, std::string& out) {
  const auto append = [&](char c) {
    if (IsUtf16(encoding)) {
      AppendUnit(out, static_cast<std::uint16_t>(c), encoding);
    } else {
      out.push_back(c);
    }
  };
  if (ending == ELineEnding::CR || ending == ELineEnding::CRLF) {
    append('\r');
  }
  if (ending == ELineEnding::LF || ending == ELineEnding::CRLF) {
    append('\n');
  }
}
