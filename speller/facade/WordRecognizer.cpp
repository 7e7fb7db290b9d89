#include "facade/WordRecognizer.h"

#include "facade/Abbreviations.h"
#include "facade/DictionaryRegistry.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr int kMainDictionaryId = 0;

// Invisible inside a word and no part of its spelling: soft hyphen, zero-width
// non-joiner, zero-width joiner, word joiner.
constexpr std::array<std::string_view, 4> kJoiners = {"\xC2\xAD", "\xE2\x80\x8C", "\xE2\x80\x8D",
                                                      "\xE2\x81\xA0"};
// The hyphen-minus, U+2010 HYPHEN and U+2011 NON-BREAKING HYPHEN. Dashes are no
// joiners: they separate words.
constexpr std::array<std::string_view, 3> kHyphens = {"-", "\xE2\x80\x90", "\xE2\x80\x91"};

// The scans below pass over plain ASCII bytes without comparing: every joiner and
// every hyphen but "-" starts past ASCII.
constexpr bool StartsPastAscii(std::string_view sequence) {
  return !sequence.empty() && static_cast<unsigned char>(sequence.front()) >= 0x80;
}
static_assert(std::all_of(kJoiners.begin(), kJoiners.end(), StartsPastAscii));
static_assert(std::all_of(kHyphens.begin() + 1, kHyphens.end(), StartsPastAscii) &&
              kHyphens.front() == "-");

template <std::size_t N>
std::size_t LengthAt(std::string_view word, std::size_t i,
                     const std::array<std::string_view, N>& sequences) {
  for (const std::string_view sequence : sequences) {
    if (word.substr(i).starts_with(sequence)) {
      return sequence.size();
    }
  }
  return 0;
}

/// Two or more parts joined by single hyphens, each known on its own. An empty part
/// ("-foo", "foo--bar", "foo-") makes no compound.
bool IsKnownCompound(CDictionaryRegistry& registry, std::string_view word,
                     const std::vector<int>& ids, bool* settled) {
  std::size_t partStart = 0;
  bool joined = false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const auto byte = static_cast<unsigned char>(word[i]);
    if (byte != '-' && byte < 0x80) {
      continue;
    }
    const std::size_t hyphen = LengthAt(word, i, kHyphens);
    if (hyphen == 0) {
      continue;
    }
    const std::string_view part = word.substr(partStart, i - partStart);
    if (part.empty() || !registry.LookUp(part, ids, settled)) {
      return false;
    }
    joined = true;
    i += hyphen - 1;
    partStart = i + 1;
  }
  const std::string_view last = word.substr(partStart);
  return joined && !last.empty() && registry.LookUp(last, ids, settled);
}

/// `word` without its invisible joiners, in `buffer` when it held any.
std::string_view WithoutJoiners(std::string_view word, std::string& buffer) {
  std::size_t i = 0;
  while (i < word.size() &&
         (static_cast<unsigned char>(word[i]) < 0x80 || LengthAt(word, i, kJoiners) == 0)) {
    ++i;
  }
  if (i == word.size()) {
    return word;
  }
  buffer.assign(word.substr(0, i));
  while (i < word.size()) {
    const std::size_t joiner = LengthAt(word, i, kJoiners);
    if (joiner > 0) {
      i += joiner;
    } else {
      buffer.push_back(word[i++]);
    }
  }
  return buffer;
}

/// The list is English, as the main dictionary is. Without it, the other dictionaries
/// are asked about the word without its period, as they were before it was kept.
bool IsKnownAbbreviation(CDictionaryRegistry& registry, std::string_view word,
                         const std::vector<int>& ids, bool* settled) {
  if (!CAbbreviations::IsListed(word)) {
    return false;
  }
  return std::find(ids.begin(), ids.end(), kMainDictionaryId) != ids.end() ||
         registry.LookUp(word.substr(0, word.size() - 1), ids, settled);
}

} // namespace

bool CWordRecognizer::LookUp(CDictionaryRegistry& registry, std::string_view word,
                             const std::vector<int>& ids, bool* settled) {
  bool loaded = true;
  if (registry.LookUp(word, ids, &loaded)) {
    return true;
  }
  // A dictionary that did not load logs each time it is tried: once per word is
  // enough, and the caller asks again anyway.
  if (!loaded) {
    if (settled != nullptr) {
      *settled = false;
    }
    return false;
  }
  // The rare path: only words the dictionaries did not know get here.
  std::string buffer;
  const std::string_view visible = WithoutJoiners(word, buffer);
  if (visible.size() != word.size() && registry.LookUp(visible, ids, settled)) {
    return true;
  }
  return IsKnownAbbreviation(registry, visible, ids, settled) ||
         IsKnownCompound(registry, visible, ids, settled);
}
