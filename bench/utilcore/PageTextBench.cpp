#include "utilcore/HTMLUtils.h"
#include "utilcore/InternetUtils.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// Lines as the word scan sees them: most have no reference and no address.
const std::string kPlainLine =
    "The quick brown fox jumps over the lazy dog while the band plays on the green.";
const std::string kReferenceLine =
    "Caf&eacute; na&iuml;ve don&rsquo;t &ldquo;quoted&rdquo; &copy 2024 &#8212; x &lt;b&gt;";
const std::string kAddressLine =
    "Write to jean.dupont@exemple.fr or see https://example.org/a?b=c (and www.example.com).";

void DecodePageText(benchmark::State& state, const std::string& line) {
  for (auto _ : state) {
    std::string text = line;
    CHTMLUtils::ReplaceHTMLReservedChars(text, false, true);
    benchmark::DoNotOptimize(text.data());
  }
}

void DecodeWord(benchmark::State& state) {
  for (auto _ : state) {
    std::string word = "na&iuml;ve";
    CHTMLUtils::ReplaceHTMLReservedChars(word, true, false);
    benchmark::DoNotOptimize(word.data());
  }
}

void FindAddresses(benchmark::State& state, const std::string& line) {
  std::vector<std::string> found;
  for (auto _ : state) {
    found.clear();
    CInternetUtils::ParseEmailAddresses(line, found);
    CInternetUtils::ParseWebSiteAddresses(line, found);
    benchmark::DoNotOptimize(found.data());
  }
}

BENCHMARK_CAPTURE(DecodePageText, PlainLine, kPlainLine);
BENCHMARK_CAPTURE(DecodePageText, ReferenceLine, kReferenceLine);
BENCHMARK(DecodeWord);
BENCHMARK_CAPTURE(FindAddresses, PlainLine, kPlainLine);
BENCHMARK_CAPTURE(FindAddresses, AddressLine, kAddressLine);

} // namespace

