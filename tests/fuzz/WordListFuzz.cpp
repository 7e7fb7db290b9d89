// A word-list dictionary file (".dic" in UTF-8, UTF-16 or Windows-1252, Thunderbird's
// "persdict.dat") of any bytes: loading never crashes and gives a sorted, single,
// normalised list in which every word is found; a save then a load gives the same
// words, and a save that fails leaves the file as it was.
#include "fuzzkit/FuzzHome.h"

#include "dictionaries/CustomDictionary.h"
#include "utilcore/StringUtils.h"
#include "utilcore/TextArray.h"
#include "utilcore/TextFileCodec.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::vector<std::string> WordsOf(const CCustomDictionary& dictionary) {
  TextArray words;
  dictionary.GetWords(words);
  return words.Items();
}

bool IsBlank(const std::string& word) {
  return CStringUtils::TrimView(word).empty();
}

void CheckWords(const CCustomDictionary& dictionary) {
  const std::vector<std::string> words = WordsOf(dictionary);
  TextArray normal(words);
  CCustomDictionary::NormalizeWords(normal);
  FUZZ_REQUIRE(normal.Items() == words);
  for (const std::string& word : words) {
    FUZZ_REQUIRE(IsBlank(word) || dictionary.Contains(word));
  }
}

void CheckSaveAndLoad(const std::string& path, CCustomDictionary& dictionary,
                      std::string_view bytes) {
  if (!dictionary.Save()) {
    FUZZ_REQUIRE(CFuzzHome::ReadBytes(path) == bytes);
    return;
  }
  CCustomDictionary again(2, "Fuzzed", path);
  FUZZ_REQUIRE(again.Load());
  FUZZ_REQUIRE(WordsOf(again) == WordsOf(dictionary));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = CFuzzHome::Get().Folder("words") + "Fuzzed.dic";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CFuzzHome::WriteBytes(path, bytes);
  CCustomDictionary dictionary(1, "Fuzzed", path);
  // A binary file stays unloaded, so that no save can overwrite it.
  if (CTextFileCodec::DetectEncoding(bytes) == CTextFileCodec::EEncoding::Binary) {
    FUZZ_REQUIRE(!dictionary.Load());
    FUZZ_REQUIRE(CFuzzHome::ReadBytes(path) == bytes);
    return 0;
  }
  // Any other bytes are some text: only a file too large to read may fail.
  FUZZ_REQUIRE(dictionary.Load());
  CheckWords(dictionary);
  CheckSaveAndLoad(path, dictionary, bytes);
  return 0;
}
