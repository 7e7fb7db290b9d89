#include "dictionaries/CustomDictionary.h"
#include "facade/WordPreprocessor.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// A word list of the size of a well-used custom dictionary, made up of letter runs.
CCustomDictionary& TenThousandWords() {
  static CCustomDictionary dictionary(1, "bench", "/nonexistent/bench.dic");
  static const bool filled = [] {
    TextArray words;
    for (int i = 0; i < 10000; ++i) {
      std::string word;
      for (int n = i; n > 0 || word.size() < 4; n /= 26) {
        word += static_cast<char>('a' + n % 26);
      }
      words.Add(word);
    }
    words.Add("don\xE2\x80\x99t");
    dictionary.SetWords(words);
    return true;
  }();
  benchmark::DoNotOptimize(filled);
  return dictionary;
}

void LookUpAll(benchmark::State& state, const std::vector<std::string>& words) {
  const CCustomDictionary& dictionary = TenThousandWords();
  for (auto _ : state) {
    for (const std::string& word : words) {
      benchmark::DoNotOptimize(dictionary.Contains(word));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}

void BM_ContainsAscii(benchmark::State& state) {
  LookUpAll(state, {"Abcd", "zzzz", "Website", "qaaa", "don't"});
}
BENCHMARK(BM_ContainsAscii);

void BM_ContainsNonAscii(benchmark::State& state) {
  LookUpAll(state, {"Caf\xC3\xA9", "DON\xE2\x80\x99T", "na\xC3\xAFve"});
}
BENCHMARK(BM_ContainsNonAscii);

void BM_PreprocessWord(benchmark::State& state) {
  const std::vector<std::string> words = {"Hello,",
                                          "(see",
                                          "John\xE2\x80\x99s",
                                          "1024x768",
                                          "\xC2\xAE"
                                          "Brand\xE2\x84\xA2",
                                          "{PRODUCT_NAME}",
                                          "plain"};
  std::string word;
  for (auto _ : state) {
    for (const std::string& input : words) {
      word = input;
      benchmark::DoNotOptimize(CWordPreprocessor::PreprocessWord(word));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}
BENCHMARK(BM_PreprocessWord);

} // namespace
