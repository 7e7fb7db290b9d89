#include "utilcore/ArchiveWriter.h"

#include "utilcore/ArchiveException.h"

#include <bit>
#include <limits>
#include <utility>

namespace {
// Prefix thresholds of the archive string form.
constexpr std::size_t kShortLimit = 0xFF;
constexpr std::size_t kMediumLimit = 0xFFFE;
constexpr std::uint8_t kLongMarker = 0xFF;
constexpr std::uint16_t kWideMarker = 0xFFFF;
} // namespace

CArchiveWriter::CArchiveWriter(std::string fileName) : m_fileName(std::move(fileName)) {}

template <typename T> void CArchiveWriter::WriteLittleEndian(T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    m_bytes.push_back(static_cast<char>(static_cast<std::uint8_t>(value >> (8 * i))));
  }
}

void CArchiveWriter::WriteUInt8(std::uint8_t value) {
  m_bytes.push_back(static_cast<char>(value));
}
void CArchiveWriter::WriteUInt16(std::uint16_t value) {
  WriteLittleEndian(value);
}
void CArchiveWriter::WriteUInt32(std::uint32_t value) {
  WriteLittleEndian(value);
}
void CArchiveWriter::WriteUInt64(std::uint64_t value) {
  WriteLittleEndian(value);
}
void CArchiveWriter::WriteInt32(std::int32_t value) {
  WriteLittleEndian(static_cast<std::uint32_t>(value));
}
void CArchiveWriter::WriteInt64(std::int64_t value) {
  WriteLittleEndian(static_cast<std::uint64_t>(value));
}
void CArchiveWriter::WriteBool(bool value) {
  WriteUInt8(value ? 1 : 0);
}
void CArchiveWriter::WriteDouble(double value) {
  WriteLittleEndian(std::bit_cast<std::uint64_t>(value));
}

void CArchiveWriter::WriteCount(std::size_t count) {
  if (count > std::numeric_limits<std::uint32_t>::max()) {
    throw CArchiveException(m_fileName,
                            "Too many entries for the archive: " + std::to_string(count));
  }
  WriteUInt32(static_cast<std::uint32_t>(count));
}

void CArchiveWriter::WriteCount(std::size_t count, std::size_t maxCount) {
  if (count > maxCount) {
    throw CArchiveException(m_fileName, "Too many entries: " + std::to_string(count) +
                                            ", at most " + std::to_string(maxCount));
  }
  WriteCount(count);
}

void CArchiveWriter::WriteString(std::string_view text, std::size_t maxBytes) {
  if (text.size() > maxBytes) {
    throw CArchiveException(m_fileName, "Text too long: " + std::to_string(text.size()) +
                                            " bytes, at most " + std::to_string(maxBytes));
  }
  WriteString(text);
}

void CArchiveWriter::WriteString(std::string_view text) {
  const std::size_t length = text.size();
  if (length < kShortLimit) {
    WriteUInt8(static_cast<std::uint8_t>(length));
  } else if (length < kMediumLimit) {
    WriteUInt8(kLongMarker);
    WriteUInt16(static_cast<std::uint16_t>(length));
  } else if (length <= std::numeric_limits<std::uint32_t>::max()) {
    WriteUInt8(kLongMarker);
    WriteUInt16(kWideMarker);
    WriteUInt32(static_cast<std::uint32_t>(length));
  } else {
    throw CArchiveException(m_fileName,
                            "Text too long for the archive: " + std::to_string(length) + " bytes");
  }
  m_bytes.append(text);
}

std::string CArchiveWriter::TakeBytes() noexcept {
  return std::exchange(m_bytes, {});
}
