#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// Reads the bytes of an archived file from memory. Every read is checked against
/// the bytes that remain: a truncated or damaged archive raises CArchiveException
/// (with the file name given here) instead of reading past the end or allocating
/// what a bogus length asks for. The bytes must outlive the reader.
class CArchiveReader {
public:
  CArchiveReader(std::string_view bytes, std::string fileName);
  /// The reader keeps a view: a temporary would be gone before the first read.
  CArchiveReader(std::string&& bytes, std::string fileName) = delete;

  std::uint8_t ReadUInt8();
  std::uint16_t ReadUInt16();
  std::uint32_t ReadUInt32();
  std::uint64_t ReadUInt64();
  std::int32_t ReadInt32();
  std::int64_t ReadInt64();
  /// One byte; any value but 0 is true.
  bool ReadBool();
  double ReadDouble();
  /// An 8-bit string as it was written, or a string of 16-bit characters (the
  /// marker 0xFF 0xFFFE, then a length in 16-bit units) converted to UTF-8.
  std::string ReadString();
  /// ReadString, refused when the text is longer than `maxBytes` bytes of UTF-8: a
  /// length prefix beyond it is refused before any byte of the text is read.
  std::string ReadString(std::size_t maxBytes);
  /// A 32-bit element count, refused when the remaining bytes cannot hold that many
  /// elements of at least `elementMinBytes` bytes each (0 counts as 1).
  std::uint32_t ReadCount(std::size_t elementMinBytes);
  /// ReadCount, refused also above `maxCount`: a format's own bound on a list.
  std::uint32_t ReadCount(std::size_t elementMinBytes, std::uint32_t maxCount);
  /// Passes over `count` bytes.
  void Skip(std::size_t count);

  std::size_t GetOffset() const noexcept { return m_offset; }
  std::size_t GetRemaining() const noexcept { return m_bytes.size() - m_offset; }
  bool IsAtEnd() const noexcept { return m_offset == m_bytes.size(); }
  const std::string& GetFileName() const noexcept { return m_fileName; }

  /// Raises the format error of this archive; for readers that find a value they
  /// cannot accept.
  [[noreturn]] void ThrowFormatError(const std::string& message) const;

private:
  template <typename T> T ReadLittleEndian();
  /// The length part of a string prefix; sets `wide` for the 16-bit marker.
  std::uint32_t ReadStringLength(bool& wide);
  std::string ReadWideString(std::uint32_t units);
  [[noreturn]] void ThrowTooLong(std::size_t offset, std::size_t length,
                                 std::size_t maxBytes) const;
  void Require(std::size_t count) const;

  std::string_view m_bytes;
  std::string m_fileName;
  std::size_t m_offset = 0;
};
