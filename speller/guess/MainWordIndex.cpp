#include "guess/MainWordIndex.h"

#include "facade/DictionaryRegistry.h"
#include "guess/EditDistance.h"
#include "spellcore/Metaphone.h"
#include "utilcore/AppLogger.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <numeric>
#include <string_view>
#include <utility>

namespace {

/// "- <file> - <what>" follow: the commonness list could not be read, or some of it.
constexpr const char* kLogNoCommonness = "{B51F7A38-1B9D-466E-B8EA-158EC81F1C52}";
constexpr std::string_view kCodes = "0afhjklmnprstx";

/// Bits set in `value`, without the library call a processor without a popcount
/// instruction gets for std::popcount.
int CountBits(std::uint64_t value) {
  value -= (value >> 1) & 0x5555555555555555ULL;
  value = (value & 0x3333333333333333ULL) + ((value >> 2) & 0x3333333333333333ULL);
  value = (value + (value >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<int>((value * 0x0101010101010101ULL) >> 56);
}

/// Appends `first` plus the offset of each of the `count` signatures that differ from
/// `wanted` in at most `budget` bits.
void KeepClose(const std::uint64_t* signatures, std::size_t count, std::uint64_t wanted, int budget,
               std::uint32_t first, std::vector<std::uint32_t>& close) {
  for (std::size_t k = 0; k < count; ++k) {
    if (CountBits(signatures[k] ^ wanted) <= budget) {
      close.push_back(first + static_cast<std::uint32_t>(k));
    }
  }
}

#if defined(__x86_64__) || defined(__i386__)
// The same with the processor's own instruction: a search reads every word of about the
// misspelling's length, and this test is most of its time.
__attribute__((target("popcnt"))) void
KeepCloseByInstruction(const std::uint64_t* signatures, std::size_t count, std::uint64_t wanted,
                       int budget, std::uint32_t first, std::vector<std::uint32_t>& close) {
  for (std::size_t k = 0; k < count; ++k) {
    if (__builtin_popcountll(signatures[k] ^ wanted) <= budget) {
      close.push_back(first + static_cast<std::uint32_t>(k));
    }
  }
}

bool HasPopcount() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") != 0;
  }();
  return has;
}
#endif

void KeepCloseSignatures(const std::uint64_t* signatures, std::size_t count, std::uint64_t wanted,
                         int budget, std::uint32_t first, std::vector<std::uint32_t>& close) {
#if defined(__x86_64__) || defined(__i386__)
  if (HasPopcount()) {
    KeepCloseByInstruction(signatures, count, wanted, budget, first, close);
    return;
  }
#endif
  KeepClose(signatures, count, wanted, budget, first, close);
}

/// How often each letter a to z occurs, and (last) any other character.
using LetterCounts = std::array<int, 27>;

std::size_t LetterSlot(UChar32 c) {
  return c >= 'a' && c <= 'z' ? static_cast<std::size_t>(c - 'a') : 26;
}

LetterCounts CountLetters(const std::vector<UChar32>& chars) {
  LetterCounts counts{};
  for (const UChar32 c : chars) {
    ++counts[LetterSlot(c)];
  }
  return counts;
}

/// The letters by which `word`'s counts and `text`'s differ, summed. A listed word is
/// stored lower-cased, so its bytes are read as they are: the first byte of a character
/// outside a to z counts in the last slot, as that character does in `word`.
int CountsApart(const LetterCounts& word, std::string_view text) {
  LetterCounts counts = word;
  for (const char byte : text) {
    const auto value = static_cast<unsigned char>(byte);
    if ((value & 0xC0) != 0x80) {
      --counts[LetterSlot(value)];
    }
  }
  int apart = 0;
  for (const int count : counts) {
    apart += count < 0 ? -count : count;
  }
  return apart;
}

std::uint16_t Pack(const std::string& key) {
  std::uint16_t value = 0;
  for (const char code : key) {
    const std::size_t at = kCodes.find(code);
    value = static_cast<std::uint16_t>((value << 4) | (at == std::string_view::npos ? 0 : at + 1));
  }
  return value;
}

} // namespace

std::pair<std::uint16_t, std::uint16_t> CMainWordIndex::PackedKeys(std::string_view word) {
  const Metaphone keys{std::string(word)};
  return {Pack(keys.GetPrimaryKey()), Pack(keys.GetAlternateKey())};
}

std::uint64_t CMainWordIndex::Signature(const std::vector<UChar32>& chars) {
  std::uint64_t once = 0;
  std::uint64_t twice = 0;
  for (const UChar32 c : chars) {
    const std::uint64_t bit = std::uint64_t{1} << LetterSlot(c);
    twice |= once & bit;
    once |= bit;
  }
  return once | (twice << 32);
}

template <typename Key>
void CMainWordIndex::AddKeyed(const std::vector<std::uint32_t>& byKey, Key key,
                              const std::pair<std::uint16_t, std::uint16_t>& keys,
                              std::vector<std::uint32_t>& matches) const {
  const auto below = [&](std::uint32_t k, std::uint16_t wanted) {
    return key(m_entries[k]) < wanted;
  };
  const auto above = [&](std::uint16_t wanted, std::uint32_t k) {
    return wanted < key(m_entries[k]);
  };
  for (const std::uint16_t wanted : {keys.first, keys.second}) {
    const auto from = std::lower_bound(byKey.begin(), byKey.end(), wanted, below);
    matches.insert(matches.end(), from, std::upper_bound(from, byKey.end(), wanted, above));
    if (keys.first == keys.second) {
      return;
    }
  }
}

void CMainWordIndex::IndexKeys() {
  const auto sortBy = [this](std::vector<std::uint32_t>& byKey, auto key) {
    byKey.resize(m_entries.size());
    std::iota(byKey.begin(), byKey.end(), 0U);
    std::sort(byKey.begin(), byKey.end(), [&](std::uint32_t a, std::uint32_t b) {
      return std::pair(key(m_entries[a]), a) < std::pair(key(m_entries[b]), b);
    });
  };
  sortBy(m_byPrimary, [](const SEntry& entry) { return entry.primary; });
  sortBy(m_byAlternate, [](const SEntry& entry) { return entry.alternate; });
}

bool CMainWordIndex::Build(CDictionaryRegistry& registry) {
  m_text.clear();
  m_entries.clear();
  // Only the copy holds the registry's lock: the keys are worked out after it, so a
  // build on a low-priority thread keeps a dictionary change waiting only briefly.
  const bool loaded = registry.ForEachMainWord([&](std::string_view word) {
    SEntry entry;
    entry.offset = static_cast<std::uint32_t>(m_text.size());
    entry.bytes = static_cast<std::uint8_t>(word.size());
    m_text.append(word);
    m_entries.push_back(entry);
  });
  if (!loaded || m_entries.empty()) {
    m_text.clear();
    m_entries.clear();
    return false;
  }
  std::vector<UChar32> chars;
  std::vector<std::uint64_t> signatures;
  signatures.reserve(m_entries.size());
  for (SEntry& entry : m_entries) {
    const std::string_view word = TextOf(entry);
    CEditDistance::LowerChars(word, chars);
    entry.chars = static_cast<std::uint8_t>(chars.size());
    std::tie(entry.primary, entry.alternate) = PackedKeys(word);
    signatures.push_back(Signature(chars));
  }
  // A search reads only the words of about the misspelling's length.
  std::vector<std::uint32_t> order(m_entries.size());
  std::iota(order.begin(), order.end(), 0U);
  std::stable_sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) {
    return m_entries[a].chars < m_entries[b].chars;
  });
  std::vector<SEntry> sorted;
  sorted.reserve(order.size());
  m_signatures.clear();
  m_signatures.reserve(order.size());
  for (const std::uint32_t k : order) {
    sorted.push_back(m_entries[k]);
    m_signatures.push_back(signatures[k]);
  }
  m_entries = std::move(sorted);
  m_lengthStarts.assign(std::size_t{m_entries.back().chars} + 2, m_entries.size());
  for (std::size_t k = m_entries.size(); k-- > 0;) {
    m_lengthStarts[m_entries[k].chars] = k;
  }
  for (std::size_t length = m_lengthStarts.size() - 1; length-- > 0;) {
    m_lengthStarts[length] = std::min(m_lengthStarts[length], m_lengthStarts[length + 1]);
  }
  m_byText.resize(m_entries.size());
  std::iota(m_byText.begin(), m_byText.end(), 0U);
  std::sort(m_byText.begin(), m_byText.end(), [this](std::uint32_t a, std::uint32_t b) {
    return TextOf(m_entries[a]) < TextOf(m_entries[b]);
  });
  IndexKeys();
  LoadCommonness(registry.GetMainDictionaryFolder() + kCommonnessName);
  return true;
}

const CMainWordIndex::SEntry* CMainWordIndex::FindEntry(std::string_view word) const {
  const auto found =
      std::lower_bound(m_byText.begin(), m_byText.end(), word,
                       [this](std::uint32_t k, auto text) { return TextOf(m_entries[k]) < text; });
  return found != m_byText.end() && TextOf(m_entries[*found]) == word ? &m_entries[*found]
                                                                      : nullptr;
}

CMainWordIndex::SEntry* CMainWordIndex::FindEntry(std::string_view word) {
  return const_cast<SEntry*>(std::as_const(*this).FindEntry(word));
}

void CMainWordIndex::LoadCommonness(const std::string& path) {
  std::vector<std::string> lines;
  if (!CFileUtils::ReadFileContent(path, lines)) {
    CAppLogger::LogFileError(kLogNoCommonness, path, "missing or unreadable");
    return;
  }
  std::size_t damaged = 0;
  for (const std::string& line : lines) {
    const std::size_t tab = line.find('\t');
    int size = 0;
    const char* const end = line.data() + line.size();
    const bool read = tab != std::string::npos &&
                      std::from_chars(line.data() + tab + 1, end, size).ptr == end && size > 0 &&
                      size < 256;
    SEntry* entry = read ? FindEntry(std::string_view(line).substr(0, tab)) : nullptr;
    if (entry == nullptr) {
      damaged += line.empty() ? 0 : 1;
      continue;
    }
    entry->commonness = static_cast<std::uint8_t>(size);
  }
  if (damaged > 0) {
    CAppLogger::LogFileError(kLogNoCommonness, path,
                             std::to_string(damaged) + " lines neither a listed word nor a size");
  }
}

int CMainWordIndex::GetCommonness(std::string_view word) const {
  if (const SEntry* entry = FindEntry(word)) {
    return entry->commonness;
  }
  std::string lower(word);
  CStringUtils::MakeLower(lower);
  const SEntry* entry = FindEntry(lower);
  return entry != nullptr ? entry->commonness : 0;
}

std::pair<std::size_t, std::size_t> CMainWordIndex::EntriesNear(std::size_t chars,
                                                                int limit) const {
  const std::size_t last = m_lengthStarts.size() - 1;
  const std::size_t low = chars > static_cast<std::size_t>(limit) ? chars - limit : 0;
  const std::size_t high = chars + static_cast<std::size_t>(limit) + 1;
  return {m_lengthStarts[std::min(low, last)], m_lengthStarts[std::min(high, last)]};
}

void CMainWordIndex::AddIfNear(const SEntry& entry, const std::vector<UChar32>& chars, int limit,
                               std::vector<std::string>& found) const {
  thread_local std::vector<UChar32> other;
  const std::string_view text = TextOf(entry);
  if (entry.chars == entry.bytes) {
    // The list stores its words lower-cased: an ASCII word needs no case mapping.
    other.assign(text.begin(), text.end());
  } else {
    CEditDistance::LowerChars(text, other);
  }
  if (CEditDistance::IsWithin(chars, other, limit)) {
    found.emplace_back(TextOf(entry));
  }
}

void CMainWordIndex::FindSoundAlikes(std::string_view word, int limit,
                                     std::vector<std::string>& found) const {
  const auto keys = PackedKeys(word);
  if (keys.first == 0 && keys.second == 0) {
    return;
  }
  std::vector<UChar32> chars;
  CEditDistance::LowerChars(word, chars);
  std::vector<std::uint32_t> matches;
  AddKeyed(
      m_byPrimary, [](const SEntry& entry) { return entry.primary; }, keys, matches);
  AddKeyed(
      m_byAlternate, [](const SEntry& entry) { return entry.alternate; }, keys, matches);
  // In the entries' order, as a pass over them finds them.
  std::sort(matches.begin(), matches.end());
  matches.erase(std::unique(matches.begin(), matches.end()), matches.end());
  const auto [begin, end] = EntriesNear(chars.size(), limit);
  for (const std::uint32_t k : matches) {
    if (k >= begin && k < end) {
      AddIfNear(m_entries[k], chars, limit, found);
    }
  }
}

void CMainWordIndex::FindNear(std::string_view word, int limit,
                              std::vector<std::string>& found) const {
  if (limit < 0) {
    return;
  }
  std::vector<UChar32> chars;
  CEditDistance::LowerChars(word, chars);
  const std::uint64_t signature = Signature(chars);
  // Each edit flips at most two bits of the signature, and one that adds or drops a
  // character at most one: a word `apart` characters longer or shorter may differ in
  // 2 * limit - apart bits.
  std::vector<std::uint32_t> close;
  const std::size_t size = chars.size();
  const std::size_t last = m_lengthStarts.size() - 1;
  const auto reach = static_cast<std::size_t>(limit);
  for (std::size_t length = size > reach ? size - reach : 0;
       length <= size + reach && length < last; ++length) {
    const std::size_t begin = m_lengthStarts[length];
    const int apart = static_cast<int>(length > size ? length - size : size - length);
    KeepCloseSignatures(m_signatures.data() + begin, m_lengthStarts[length + 1] - begin, signature,
                        2 * limit - apart, static_cast<std::uint32_t>(begin), close);
  }
  // The letter counts change by two at most an edit; still far cheaper than the edits.
  const LetterCounts counts = CountLetters(chars);
  for (const std::uint32_t k : close) {
    if (CountsApart(counts, TextOf(m_entries[k])) <= 2 * limit) {
      AddIfNear(m_entries[k], chars, limit, found);
    }
  }
}
