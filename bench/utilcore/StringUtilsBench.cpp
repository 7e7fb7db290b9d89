#include "utilcore/StringUtils.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A line of page text as the check worker sees it: markup blanked, one decoded
// reference followed by its fillers, a mix of ASCII and other letters.
const std::string kLine = "      Our caf\xC3\xA9 opens at 10:30 \xE2\x80\x94 don\xE2\x80\x99"
                          "\x1A\x1A\x1A\x1At miss the cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
                          "e, "
                          "only $4.50 (1,000 served) for every\xC2\xA0guest!      ";

void BM_GetWords(benchmark::State& state) {
  TextArray words;
  for (auto _ : state) {
    CStringUtils::GetWords(kLine, words, false);
    benchmark::DoNotOptimize(words.GetCount());
  }
}
BENCHMARK(BM_GetWords);

void BM_GetWordSpans(benchmark::State& state) {
  std::vector<CStringUtils::Span> spans;
  for (auto _ : state) {
    CStringUtils::GetWordSpans(kLine, spans, false);
    benchmark::DoNotOptimize(spans.data());
  }
}
BENCHMARK(BM_GetWordSpans);

void BM_MakeLowerAscii(benchmark::State& state) {
  std::string word;
  for (auto _ : state) {
    word = "Dictionary";
    CStringUtils::MakeLower(word);
    benchmark::DoNotOptimize(word.data());
  }
}
BENCHMARK(BM_MakeLowerAscii);

void BM_MakeLowerLatin(benchmark::State& state) {
  std::string word;
  for (auto _ : state) {
    word = "CR\xC3\x88ME";
    CStringUtils::MakeLower(word);
    benchmark::DoNotOptimize(word.data());
  }
}
BENCHMARK(BM_MakeLowerLatin);

void BM_FindOccurrenceIndex(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(CStringUtils::FindOccurrenceIndex(kLine, "guest", 1, true));
  }
}
BENCHMARK(BM_FindOccurrenceIndex);

} // namespace

