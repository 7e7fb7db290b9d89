#include "utilcore/ArchiveReader.h"

#include "utilcore/ArchiveException.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <bit>
#include <limits>
#include <utility>

namespace {
constexpr std::uint8_t kLongMarker = 0xFF;
constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kLongLengthMarker = 0xFFFF;
constexpr UChar32 kReplacementChar = 0xFFFD;
} // namespace

CArchiveReader::CArchiveReader(std::string_view bytes, std::string fileName)
    : m_bytes(bytes), m_fileName(std::move(fileName)) {}

void CArchiveReader::ThrowFormatError(const std::string& message) const {
  throw CArchiveException(m_fileName, message);
}

void CArchiveReader::Require(std::size_t count) const {
  if (count > GetRemaining()) {
    ThrowFormatError("Unexpected end of file: " + std::to_string(count) +
                     " bytes needed at offset " + std::to_string(m_offset) + ", " +
                     std::to_string(GetRemaining()) + " left");
  }
}

template <typename T> T CArchiveReader::ReadLittleEndian() {
  Require(sizeof(T));
  T value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    const auto byte = static_cast<std::uint8_t>(m_bytes[m_offset + i]);
    value = static_cast<T>(value | static_cast<T>(static_cast<T>(byte) << (8 * i)));
  }
  m_offset += sizeof(T);
  return value;
}

std::uint8_t CArchiveReader::ReadUInt8() {
  return ReadLittleEndian<std::uint8_t>();
}
std::uint16_t CArchiveReader::ReadUInt16() {
  return ReadLittleEndian<std::uint16_t>();
}
std::uint32_t CArchiveReader::ReadUInt32() {
  return ReadLittleEndian<std::uint32_t>();
}
std::uint64_t CArchiveReader::ReadUInt64() {
  return ReadLittleEndian<std::uint64_t>();
}
std::int32_t CArchiveReader::ReadInt32() {
  return static_cast<std::int32_t>(ReadUInt32());
}
std::int64_t CArchiveReader::ReadInt64() {
  return static_cast<std::int64_t>(ReadUInt64());
}
bool CArchiveReader::ReadBool() {
  return ReadUInt8() != 0;
}
double CArchiveReader::ReadDouble() {
  return std::bit_cast<double>(ReadUInt64());
}

void CArchiveReader::Skip(std::size_t count) {
  Require(count);
  m_offset += count;
}

std::uint32_t CArchiveReader::ReadCount(std::size_t elementMinBytes) {
  return ReadCount(elementMinBytes, std::numeric_limits<std::uint32_t>::max());
}

std::uint32_t CArchiveReader::ReadCount(std::size_t elementMinBytes, std::uint32_t maxCount) {
  const std::size_t offset = m_offset;
  const std::uint32_t count = ReadUInt32();
  if (count > maxCount) {
    ThrowFormatError("Too many entries: " + std::to_string(count) + " at offset " +
                     std::to_string(offset) + ", at most " + std::to_string(maxCount));
  }
  const std::size_t minBytes = elementMinBytes == 0 ? 1 : elementMinBytes;
  if (count > GetRemaining() / minBytes) {
    ThrowFormatError("Bad count " + std::to_string(count) + " at offset " + std::to_string(offset) +
                     ": only " + std::to_string(GetRemaining()) + " bytes left");
  }
  return count;
}

std::uint32_t CArchiveReader::ReadStringLength(bool& wide) {
  const std::uint8_t shortLength = ReadUInt8();
  if (shortLength < kLongMarker) {
    return shortLength;
  }
  const std::uint16_t mediumLength = ReadUInt16();
  if (mediumLength == kWideMarker) {
    if (wide) {
      ThrowFormatError("Bad string length at offset " + std::to_string(m_offset - 3));
    }
    wide = true;
    return ReadStringLength(wide);
  }
  if (mediumLength != kLongLengthMarker) {
    return mediumLength;
  }
  return ReadUInt32();
}

std::string CArchiveReader::ReadString() {
  return ReadString(std::numeric_limits<std::size_t>::max());
}

std::string CArchiveReader::ReadString(std::size_t maxBytes) {
  const std::size_t offset = m_offset;
  bool wide = false;
  const std::uint32_t length = ReadStringLength(wide);
  // A 16-bit unit never gives less than one byte of UTF-8, so either length over the
  // bound is refused before the text is read.
  if (length > maxBytes) {
    ThrowTooLong(offset, length, maxBytes);
  }
  if (wide) {
    std::string text = ReadWideString(length);
    if (text.size() > maxBytes) {
      ThrowTooLong(offset, text.size(), maxBytes);
    }
    return text;
  }
  Require(length);
  std::string text(m_bytes.substr(m_offset, length));
  m_offset += length;
  return text;
}

void CArchiveReader::ThrowTooLong(std::size_t offset, std::size_t length,
                                  std::size_t maxBytes) const {
  ThrowFormatError("Text too long: " + std::to_string(length) + " bytes at offset " +
                   std::to_string(offset) + ", at most " + std::to_string(maxBytes));
}

std::string CArchiveReader::ReadWideString(std::uint32_t units) {
  const std::size_t byteCount = std::size_t{units} * 2;
  Require(byteCount);
  const std::string_view data = m_bytes.substr(m_offset, byteCount);
  m_offset += byteCount;

  const auto unitAt = [&data](std::size_t i) {
    return static_cast<UChar>(static_cast<std::uint8_t>(data[2 * i]) |
                              (static_cast<std::uint8_t>(data[2 * i + 1]) << 8));
  };
  std::string text;
  text.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    UChar32 c = unitAt(i);
    if (c < 0x80) {
      text.push_back(static_cast<char>(c));
      continue;
    }
    if (U16_IS_LEAD(c) && i + 1 < units && U16_IS_TRAIL(unitAt(i + 1))) {
      c = U16_GET_SUPPLEMENTARY(c, unitAt(i + 1));
      ++i;
    } else if (U16_IS_SURROGATE(c)) {
      // A lone half of a pair has no UTF-8 form.
      c = kReplacementChar;
    }
    std::uint8_t buffer[U8_MAX_LENGTH];
    std::int32_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, c);
    text.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
  }
  return text;
}
