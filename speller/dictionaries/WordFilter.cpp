#include "dictionaries/WordFilter.h"

#include <cstring>

namespace {

constexpr std::size_t kBitsPerWord = 16;

std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 32;
  x *= 0xD6E8FEB86659FD93ULL;
  return x ^ (x >> 32);
}

} // namespace

std::uint64_t CWordFilter::Hash(std::string_view bytes) {
  std::uint64_t hash = 0x9E3779B97F4A7C15ULL ^ bytes.size();
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, bytes.data() + i, sizeof chunk);
    hash = Mix(hash ^ chunk);
  }
  std::uint64_t tail = 0;
  for (std::size_t shift = 0; i < bytes.size(); ++i, shift += 8) {
    tail |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << shift;
  }
  return Mix(hash ^ tail ^ (std::uint64_t{1} << 63));
}

void CWordFilter::Reset(std::size_t words) {
  std::size_t blocks = 1;
  while (blocks * 64 < words * kBitsPerWord) {
    blocks *= 2;
  }
  m_blocks.assign(words == 0 ? 0 : blocks, 0);
  m_mask = blocks - 1;
}

void CWordFilter::Clear() {
  m_blocks.clear();
  m_blocks.shrink_to_fit();
  m_mask = 0;
}

// Two bits from the hash's top twelve, the block from its low bits: they do not overlap
// for any filter smaller than 2^52 blocks.
std::uint64_t CWordFilter::BitsOf(std::uint64_t hash) {
  return (std::uint64_t{1} << (hash >> 58)) | (std::uint64_t{1} << ((hash >> 52) & 63));
}

void CWordFilter::Mark(std::uint64_t hash) {
  if (m_blocks.empty()) {
    return;
  }
  m_blocks[hash & m_mask] |= BitsOf(hash);
}

bool CWordFilter::MayHold(std::uint64_t hash) const {
  if (m_blocks.empty()) {
    return true;
  }
  const std::uint64_t bits = BitsOf(hash);
  return (m_blocks[hash & m_mask] & bits) == bits;
}

std::size_t CWordFilter::Room() const {
  return m_blocks.size() * 64 / kBitsPerWord;
}
