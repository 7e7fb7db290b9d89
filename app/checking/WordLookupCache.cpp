#include "checking/WordLookupCache.h"

#include "checking/CodeTokens.h"

#include "spellcore/SpellChecker.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kFirstSlots = 1024;
constexpr int kTagShift = 40;

static_assert(CWordLookupCache::kMaxBytes <= std::size_t{1} << 22, "offsets take 22 bits");

std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 32;
  x *= 0xD6E8FEB86659FD93ULL;
  return x ^ (x >> 32);
}

std::uint64_t Load64(const char* bytes) {
  std::uint64_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

std::uint32_t Load32(const char* bytes) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

/// The bytes of a token shorter than eight, read by fixed-size loads that together
/// cover each of them (most tokens are this short).
std::uint64_t ShortKey(const char* bytes, std::size_t size) {
  if (size >= 4) {
    return Load32(bytes) | (std::uint64_t{Load32(bytes + size - 4)} << 32);
  }
  if (size == 0) {
    return 0;
  }
  const auto byte = [bytes](std::size_t at) {
    return std::uint64_t{static_cast<unsigned char>(bytes[at])};
  };
  return byte(0) | (byte(size / 2) << 8) | (byte(size - 1) << 16);
}

// Tokens are short: comparing them in place beats a call to memcmp.
bool SameBytes(const char* a, const char* b, std::size_t size) {
  for (; size >= 8; a += 8, b += 8, size -= 8) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    if (x != y) {
      return false;
    }
  }
  for (; size > 0; ++a, ++b, --size) {
    if (*a != *b) {
      return false;
    }
  }
  return true;
}

} // namespace

std::uint64_t CWordLookupCache::Hash(std::string_view token) {
  const char* bytes = token.data();
  const std::size_t size = token.size();
  std::uint64_t hash = 0x9E3779B97F4A7C15ULL ^ size;
  if (size < sizeof(std::uint64_t)) {
    return Mix(hash ^ ShortKey(bytes, size) ^ (std::uint64_t{1} << 63));
  }
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    hash = Mix(hash ^ Load64(bytes + i));
  }
  // The last bytes are read as the eight that end the token, overlapping those hashed
  // already: a fixed-size load instead of a call to copy a few bytes.
  return Mix(hash ^ Load64(bytes + size - 8) ^ (std::uint64_t{1} << 63));
}

void CWordLookupCache::Clear() {
  std::fill(m_slots.begin(), m_slots.end(), SSlot{});
  m_count = 0;
  m_arena.clear();
}

void CWordLookupCache::BeginLine(const std::vector<int>& ids) {
  if (!m_valid || ids != m_ids) {
    Clear();
    m_ids = ids;
    m_changeCount = CSpellChecker::GetChangeCount();
    m_valid = true;
    return;
  }
  CheckCount();
}

void CWordLookupCache::CheckCount() {
  const std::uint64_t count = CSpellChecker::GetChangeCount();
  if (count != m_changeCount) {
    Clear();
    m_changeCount = count;
  }
}

CWordLookupCache::SAnswer CWordLookupCache::LookUp(const CSpellChecker& speller,
                                                   std::string_view token) {
  CheckCount();
  const std::uint64_t hash = Hash(token);
  if (const SSlot* slot = Find(token, hash)) {
    return AnswerAt(*slot);
  }
  m_word.assign(token);
  m_pieces.clear();
  bool settled = true;
  EOutcome outcome = EOutcome::kSkipped;
  if (speller.PreprocessWord(m_word)) {
    outcome = speller.LookUp(m_word, m_ids, settled) ? EOutcome::kKnown : EOutcome::kUnknown;
  }
  if (outcome == EOutcome::kUnknown && CCodeTokens::IsCodeLike(m_word)) {
    m_pieces = CCodeTokens::UnknownPieces(speller, m_word, m_ids, settled);
    if (m_pieces.empty()) {
      outcome = EOutcome::kKnown;
    }
  }
  if (!settled || token.size() > kMaxLength || m_word.size() > kMaxLength ||
      m_pieces.size() > kMaxLength) {
    return {outcome, m_word, m_pieces};
  }
  return Remember(token, hash, outcome);
}

CWordLookupCache::SAnswer CWordLookupCache::AnswerAt(const SSlot& slot) const {
  const auto outcome = static_cast<EOutcome>(slot.outcome);
  if (outcome != EOutcome::kUnknown) {
    return {outcome, {}, {}};
  }
  const std::string_view arena(m_arena);
  const std::size_t wordAt = slot.offset + slot.tokenLength;
  const std::size_t piecesAt = wordAt + slot.wordLength;
  const auto piecesLength = static_cast<unsigned char>(arena[piecesAt]);
  return {outcome, arena.substr(wordAt, slot.wordLength), arena.substr(piecesAt + 1, piecesLength)};
}

const CWordLookupCache::SSlot* CWordLookupCache::Find(std::string_view token,
                                                      std::uint64_t hash) const {
  if (m_slots.empty()) {
    return nullptr;
  }
  const std::size_t mask = m_slots.size() - 1;
  const std::uint64_t tag = hash >> kTagShift;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const SSlot& slot = m_slots[at];
    if (slot.outcome == 0) {
      return nullptr;
    }
    if (slot.tag == tag && slot.tokenLength == token.size() &&
        SameBytes(m_arena.data() + slot.offset, token.data(), token.size())) {
      return &slot;
    }
  }
}

CWordLookupCache::SAnswer CWordLookupCache::Remember(std::string_view token, std::uint64_t hash,
                                                     EOutcome outcome) {
  const bool unknown = outcome == EOutcome::kUnknown;
  const std::string_view word = unknown ? m_word : std::string_view();
  const std::string_view pieces = unknown ? m_pieces : std::string_view();
  const std::size_t bytes = token.size() + word.size() + (unknown ? 1 + pieces.size() : 0);
  if (m_count == kMaxEntries || m_arena.size() + bytes > kMaxBytes) {
    Clear();
  }
  if ((m_count + 1) * 2 > m_slots.size()) {
    Grow();
  }
  // Room for the most the arena ever holds, taken once: growing it step by step copied
  // it each time and touched about twice the memory it ends up using.
  if (m_arena.capacity() < kMaxBytes) {
    m_arena.reserve(kMaxBytes);
  }
  SSlot slot{};
  slot.tag = hash >> kTagShift;
  slot.offset = m_arena.size();
  slot.tokenLength = token.size();
  slot.wordLength = word.size();
  slot.outcome = static_cast<std::uint64_t>(outcome);
  m_arena.append(token);
  if (unknown) {
    m_arena.append(word);
    m_arena.push_back(static_cast<char>(pieces.size()));
    m_arena.append(pieces);
  }
  Place(slot, hash);
  ++m_count;
  return AnswerAt(slot);
}

void CWordLookupCache::Grow() {
  std::vector<SSlot> old(std::max(kFirstSlots, m_slots.size() * 2));
  old.swap(m_slots);
  for (const SSlot& slot : old) {
    if (slot.outcome != 0) {
      Place(slot, Hash(std::string_view(m_arena).substr(slot.offset, slot.tokenLength)));
    }
  }
}

void CWordLookupCache::Place(const SSlot& slot, std::uint64_t hash) {
  const std::size_t mask = m_slots.size() - 1;
  std::size_t at = hash & mask;
  while (m_slots[at].outcome != 0) {
    at = (at + 1) & mask;
  }
  m_slots[at] = slot;
}
