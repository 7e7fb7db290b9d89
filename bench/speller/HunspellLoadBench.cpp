// How long the speller takes to load the desktop's Hunspell dictionaries: both files
// read, checked and parsed by nuspell, as on a dictionary's first use. Memory is
// measured apart, by hunspell_load_probe, whose process holds nothing else.
#include "dictionaries/HunspellDictionary.h"
#include "dictionaries/HunspellFinder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

void HunspellLoad(benchmark::State& state, const std::string& tag) {
  SHunspellFile file;
  file.dicPath = "/usr/share/hunspell/" + tag + ".dic";
  file.affPath = "/usr/share/hunspell/" + tag + ".aff";
  if (!std::filesystem::exists(file.dicPath)) {
    state.SkipWithError(("install the hunspell package of " + tag).c_str());
    return;
  }
  CHunspellFinder::Describe(tag, file);
  for (auto _ : state) {
    CHunspellDictionary dictionary(1, file.name, file);
    if (!dictionary.Load()) {
      state.SkipWithError("the dictionary does not load");
      return;
    }
    benchmark::DoNotOptimize(dictionary.Contains("colour"));
  }
}

BENCHMARK_CAPTURE(HunspellLoad, en_GB, std::string("en_GB"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HunspellLoad, de_DE, std::string("de_DE"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HunspellLoad, en_US, std::string("en_US"))->Unit(benchmark::kMillisecond);

} // namespace
