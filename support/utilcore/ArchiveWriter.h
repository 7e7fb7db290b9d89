#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Builds the bytes of an archived file in memory: little-endian integers and
/// length-prefixed strings. Writing the file is the caller's (atomically, through
/// the file utilities), as is the leading 16-bit version number.
class CArchiveWriter {
public:
  /// `fileName` only names the file in error messages.
  explicit CArchiveWriter(std::string fileName = {});

  void WriteUInt8(std::uint8_t value);
  void WriteUInt16(std::uint16_t value);
  void WriteUInt32(std::uint32_t value);
  void WriteUInt64(std::uint64_t value);
  void WriteInt32(std::int32_t value);
  void WriteInt64(std::int64_t value);
  /// One byte, 0 or 1.
  void WriteBool(bool value);
  /// The 8 bytes of the IEEE-754 value.
  void WriteDouble(double value);
  /// The length prefix (1, 3 or 7 bytes), then the bytes without terminator.
  /// Throws CArchiveException for texts of 4 GiB and more.
  void WriteString(std::string_view text);
  /// WriteString, refused (nothing written) for a text longer than `maxBytes`: what a
  /// format's reader would refuse is never written.
  void WriteString(std::string_view text, std::size_t maxBytes);
  /// A 32-bit element count; throws CArchiveException above 0xFFFFFFFF.
  void WriteCount(std::size_t count);
  /// WriteCount, refused (nothing written) above `maxCount`.
  void WriteCount(std::size_t count, std::size_t maxCount);

  const std::string& GetBytes() const noexcept { return m_bytes; }
  /// Hands the bytes over and leaves the writer empty.
  std::string TakeBytes() noexcept;

private:
  template <typename T> void WriteLittleEndian(T value);

  std::string m_fileName;
  std::string m_bytes;
};
