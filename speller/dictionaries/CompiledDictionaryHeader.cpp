#include "dictionaries/CompiledDictionaryHeader.h"

namespace {

void PutUInt32(unsigned char* out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    *out++ = static_cast<unsigned char>(value >> shift);
  }
}

std::uint32_t GetUInt32(const unsigned char* in) {
  std::uint32_t value = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    value |= static_cast<std::uint32_t>(*in++) << shift;
  }
  return value;
}

// The integer fields in file order, shared by both directions so they cannot drift.
template <typename Header> auto IntegerFields(Header& header) {
  return std::array{&header.m_wordsOffset,  &header.m_wordsSize,  &header.m_indexOffset,
                    &header.m_indexCount,   &header.m_keyLength,  &header.m_blockSize,
                    &header.m_commonOffset, &header.m_commonSize, &header.m_longestCommonWord};
}

constexpr std::size_t kIntegersOffset = 8;

} // namespace

std::array<unsigned char, CompiledDictionaryHeader::kSize>
CompiledDictionaryHeader::ToBytes() const {
  std::array<unsigned char, kSize> bytes{};
  bytes[0] = m_version;
  for (std::size_t i = 0; i < m_magic.size(); ++i) {
    bytes[1 + i] = static_cast<unsigned char>(m_magic[i]);
  }
  unsigned char* out = bytes.data() + kIntegersOffset;
  for (const std::uint32_t* field : IntegerFields(*this)) {
    PutUInt32(out, *field);
    out += 4;
  }
  return bytes;
}

CompiledDictionaryHeader CompiledDictionaryHeader::FromBytes(const unsigned char* bytes) {
  CompiledDictionaryHeader header;
  header.m_version = bytes[0];
  for (std::size_t i = 0; i < header.m_magic.size(); ++i) {
    header.m_magic[i] = static_cast<char>(bytes[1 + i]);
  }
  const unsigned char* in = bytes + kIntegersOffset;
  for (std::uint32_t* field : IntegerFields(header)) {
    *field = GetUInt32(in);
    in += 4;
  }
  return header;
}
