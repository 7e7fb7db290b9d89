#include "spellcore/Metaphone.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Words that reach the long rule families (c, g, s, w) and one beyond ASCII.
const std::vector<std::string> kWords = {"character",    "michael",  "schneider",     "laugh",
                                         "filipowicz",   "gallegos", "rogier",        "raspberry",
                                         "spellchecker", "websites", "gar\xC3\xA7on", "the"};

// One object reused, as a caller keying a word list would do.
void BM_SetWord(benchmark::State& state) {
  Metaphone metaphone;
  for (auto _ : state) {
    for (const std::string& word : kWords) {
      metaphone.SetWord(word);
      benchmark::DoNotOptimize(metaphone.GetPrimaryKey().data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kWords.size()));
}
BENCHMARK(BM_SetWord);

void BM_Compare(benchmark::State& state) {
  const Metaphone smith("smith");
  const Metaphone schmidt("schmidt");
  for (auto _ : state) {
    benchmark::DoNotOptimize(smith == schmidt);
  }
}
BENCHMARK(BM_Compare);

} // namespace
