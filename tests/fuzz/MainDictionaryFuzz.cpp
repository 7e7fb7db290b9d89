// Any bytes as a compiled main dictionary: Load either refuses the file or maps it, and
// then no lookup may read outside it, whatever its offsets and counts claim.
#include "fuzzkit/FuzzHome.h"

#include "dictionaries/CompiledDictionaryHeader.h"
#include "dictionaries/MainDictionary.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

/// Words every run looks up: common ones, numbers (the number rule looks the rest of
/// the word up again), the longest storable word and longer ones, and odd bytes.
constexpr std::string_view kFixedWords[] = {"the",
                                            "a",
                                            "zebra",
                                            "Dictionary",
                                            "12th",
                                            "1,000.5-20",
                                            "3/4/2020",
                                            "42abc",
                                            "",
                                            "x",
                                            "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                                            "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                                            "caf\xC3\xA9",
                                            "\xFF\xFE",
                                            "don't",
                                            "     ",
                                            "9",
                                            "1."};

// Up to `limit` words cut out of the input: runs of printable bytes, so that a file's
// own words are asked for too.
template <typename Visit>
void ForEachInputWord(std::string_view bytes, std::size_t limit, Visit visit) {
  std::size_t begin = 0;
  for (std::size_t i = 0; i <= bytes.size() && limit > 0; ++i) {
    const bool printable = i < bytes.size() && bytes[i] > ' ' && bytes[i] < 0x7F;
    if (printable) {
      continue;
    }
    if (i > begin) {
      visit(bytes.substr(begin, std::min<std::size_t>(i - begin, 40)));
      --limit;
    }
    begin = i + 1;
  }
}

std::string AsciiUpper(std::string_view word) {
  std::string upper(word);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return upper;
}

// Lookups must stay inside the mapped file (the sanitizers watch that) and agree with
// each other whatever the file claims.
void LookUp(const CMainDictionary& dictionary, std::string_view word) {
  const bool listed = dictionary.Contains(word);
  FUZZ_REQUIRE_THAT(dictionary.Contains(AsciiUpper(word)) == listed,
                    "Contains ignores the case of ASCII letters");
  if (dictionary.MatchNumber(word, word.size())) {
    FUZZ_REQUIRE_THAT(listed, "a word the number rule accepts is contained");
  }
  if (word.size() >= CompiledDictionaryHeader::kKeyLength) {
    const CMainDictionary::BlockRange range = dictionary.FindBlockRange(word);
    FUZZ_REQUIRE_THAT(range.lo <= range.hi, "a block range never ends before it starts");
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  CFuzzHome::Get();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = CFuzzHome::Get().Folder("work") + CMainDictionary::kFileName;
  CFuzzHome::WriteBytes(path, bytes);

  CMainDictionary dictionary(0, path);
  if (!dictionary.Load()) {
    return 0;
  }
  for (std::string_view word : kFixedWords) {
    LookUp(dictionary, word);
  }
  ForEachInputWord(bytes, 64, [&dictionary](std::string_view word) { LookUp(dictionary, word); });
  return 0;
}
