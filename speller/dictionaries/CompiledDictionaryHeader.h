#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

/// The 44-byte header of a compiled main dictionary ("ZEB.fdc"). In the file: the
/// version byte, the magic "ZEBdict" without terminator, then nine 32-bit
/// little-endian integers in the order of the members below. Offsets count from the
/// start of the file.
struct CompiledDictionaryHeader {
  static constexpr std::size_t kSize = 44;
  static constexpr std::uint8_t kVersion = 1;
  static constexpr std::string_view kMagic = "ZEBdict";
  static constexpr std::uint32_t kKeyLength = 6;
  static constexpr std::uint32_t kBlockSize = 512;
  static constexpr std::uint32_t kCommonOffset = kSize;
  /// The longest word a record can hold; a byte up to this value is a length byte.
  static constexpr std::uint32_t kMaxWordLength = 31;

  std::uint8_t m_version = kVersion;
  std::array<char, 7> m_magic{'Z', 'E', 'B', 'd', 'i', 'c', 't'};
  std::uint32_t m_wordsOffset = 0;
  /// The word stream's length, its terminating zero byte included.
  std::uint32_t m_wordsSize = 0;
  std::uint32_t m_indexOffset = 0;
  std::uint32_t m_indexCount = 0;
  std::uint32_t m_keyLength = kKeyLength;
  std::uint32_t m_blockSize = kBlockSize;
  std::uint32_t m_commonOffset = kCommonOffset;
  /// The common-word list's length, its terminating zero byte included.
  std::uint32_t m_commonSize = 0;
  std::uint32_t m_longestCommonWord = 0;

  /// The header as it is stored.
  std::array<unsigned char, kSize> ToBytes() const;
  /// Reads the header from the first kSize bytes of `bytes`.
  static CompiledDictionaryHeader FromBytes(const unsigned char* bytes);
};
