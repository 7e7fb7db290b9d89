// Suggestions: the time Guess (findAll) and Suggest (ranked) take for misspellings of
// 4, 8 and 12 letters against the built main dictionary and two word-list
// dictionaries, and on two lists of misspellings (bench/data: common_misspellings.txt,
// real_misspellings.txt) the share whose intended correction is among the
// suggestions, first, and among the first five, beside Hunspell's suggest().
#include "spellcore/SpellChecker.h"

#include "utilcore/DirUtils.h"

#include <benchmark/benchmark.h>
#include <hunspell.hxx>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kAffix = "/usr/share/hunspell/en_US.aff";
constexpr const char* kHunspellWords = "/usr/share/hunspell/en_US.dic";

/// A speller in a throw-away home whose custom folder holds two word lists.
class CBenchSpeller {
public:
  CBenchSpeller() {
    std::string pattern = std::filesystem::temp_directory_path() / "guess-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      return;
    }
    m_home = pattern;
    ::setenv("HOME", m_home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (m_home + "/config").c_str(), 1);
    ::setenv("WINEPREFIX", (m_home + "/wine").c_str(), 1);
    const std::string folder = m_home + "/config/ZEB/Custom Dictionaries/";
    std::filesystem::create_directories(folder);
    WriteList(folder + "Site terms.dic", "pagelint", 600);
    WriteList(folder + "Names.dic", "zebulon", 600);
    m_speller = CSpellChecker::GetInstance();
    m_speller->SetAppPath(CDirUtils::GetAppPath());
    m_speller->GetDictionaries(m_ids, true, true);
  }
  ~CBenchSpeller() {
    CSpellChecker::DeleteInstance();
    if (!m_home.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(m_home, ignored);
    }
  }
  CBenchSpeller(const CBenchSpeller&) = delete;
  CBenchSpeller& operator=(const CBenchSpeller&) = delete;

  bool IsReady() const { return m_speller != nullptr && m_speller->LookUp("the", {0}); }
  void Guess(const std::string& word, std::vector<std::string>& out) {
    m_speller->Guess(word, m_ids, out, true, true);
  }
  void Suggest(const std::string& word, std::vector<std::string>& out) {
    m_speller->Suggest(word, m_ids, out);
  }

private:
  static void WriteList(const std::string& path, const std::string& stem, int count) {
    std::ofstream out(path);
    for (int i = 0; i < count; ++i) {
      out << stem << i << '\n';
    }
  }

  std::string m_home;
  CSpellChecker* m_speller = nullptr;
  std::vector<int> m_ids;
};

CBenchSpeller& Speller() {
  static CBenchSpeller speller;
  return speller;
}

void GuessFindAll(benchmark::State& state, const std::string& word) {
  if (!Speller().IsReady()) {
    state.SkipWithError("ZEB.fdc is missing from the program folder");
    return;
  }
  std::vector<std::string> suggestions;
  for (auto _ : state) {
    Speller().Guess(word, suggestions);
    benchmark::DoNotOptimize(suggestions.data());
  }
  state.counters["suggestions"] = static_cast<double>(suggestions.size());
}

void SuggestRanked(benchmark::State& state, const std::string& word) {
  if (!Speller().IsReady()) {
    state.SkipWithError("ZEB.fdc is missing from the program folder");
    return;
  }
  std::vector<std::string> suggestions;
  Speller().Suggest(word, suggestions); // builds the word index once, outside the timing
  for (auto _ : state) {
    Speller().Suggest(word, suggestions);
    benchmark::DoNotOptimize(suggestions.data());
  }
  state.counters["suggestions"] = static_cast<double>(suggestions.size());
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs Misspellings(const std::string& file) {
  Pairs pairs;
  std::ifstream in(std::string(PAGELINT_BENCH_DATA_DIR) + file);
  for (std::string line; std::getline(in, line);) {
    const auto arrow = line.find("->");
    if (line.empty() || line.front() == '#' || arrow == std::string::npos) {
      continue;
    }
    pairs.emplace_back(line.substr(0, arrow), line.substr(arrow + 2));
  }
  return pairs;
}

template <typename Suggest>
void Quality(benchmark::State& state, const std::string& file, Suggest&& suggest) {
  const Pairs pairs = Misspellings(file);
  if (pairs.empty()) {
    state.SkipWithError(("bench/data/" + file + " is missing").c_str());
    return;
  }
  std::size_t found = 0;
  std::size_t first = 0;
  std::size_t topFive = 0;
  std::size_t total = 0;
  std::vector<std::string> suggestions;
  for (auto _ : state) {
    found = first = topFive = total = 0;
    for (const auto& [wrong, right] : pairs) {
      suggest(wrong, suggestions);
      total += suggestions.size();
      const auto at = std::find(suggestions.begin(), suggestions.end(), right);
      found += at != suggestions.end();
      first += at == suggestions.begin() && at != suggestions.end();
      topFive += at != suggestions.end() && at - suggestions.begin() < 5;
    }
  }
  const auto count = static_cast<double>(pairs.size());
  state.counters["words"] = count;
  state.counters["found%"] = 100.0 * static_cast<double>(found) / count;
  state.counters["first%"] = 100.0 * static_cast<double>(first) / count;
  state.counters["top5%"] = 100.0 * static_cast<double>(topFive) / count;
  state.counters["mean_suggestions"] = static_cast<double>(total) / count;
}

/// One of the speller's ways to suggest, measured on the words of `file`.
using Ask = void (CBenchSpeller::*)(const std::string&, std::vector<std::string>&);
void PagelintQuality(benchmark::State& state, const std::string& file, Ask ask) {
  if (!Speller().IsReady()) {
    state.SkipWithError("ZEB.fdc is missing from the program folder");
    return;
  }
  Quality(state, file, [ask](const std::string& word, std::vector<std::string>& out) {
    (Speller().*ask)(word, out);
  });
}

void PagelintGuessQuality(benchmark::State& state, const std::string& file) {
  PagelintQuality(state, file, &CBenchSpeller::Guess);
}

void PagelintSuggestQuality(benchmark::State& state, const std::string& file) {
  PagelintQuality(state, file, &CBenchSpeller::Suggest);
}

void HunspellQuality(benchmark::State& state, const std::string& file) {
  if (!std::filesystem::exists(kAffix) || !std::filesystem::exists(kHunspellWords)) {
    state.SkipWithError("install hunspell-en-us");
    return;
  }
  Hunspell hunspell(kAffix, kHunspellWords);
  Quality(state, file, [&](const std::string& word, std::vector<std::string>& out) {
    out = hunspell.suggest(word);
  });
}

const std::string kCommon = "common_misspellings.txt";
const std::string kReal = "real_misspellings.txt";

} // namespace

BENCHMARK_CAPTURE(GuessFindAll, letters4, std::string("thsi"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GuessFindAll, letters8, std::string("seperate"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GuessFindAll, letters12, std::string("accomodation"))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SuggestRanked, letters4, std::string("thsi"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SuggestRanked, letters8, std::string("seperate"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SuggestRanked, letters12, std::string("accomodation"))
    ->Unit(benchmark::kMicrosecond);
// A word whose single edits find nothing of its length: the wider searches run.
BENCHMARK_CAPTURE(SuggestRanked, letters12_wider, std::string("acommodatoin"))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PagelintGuessQuality, common, kCommon)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PagelintSuggestQuality, common, kCommon)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HunspellQuality, common, kCommon)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PagelintGuessQuality, real, kReal)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PagelintSuggestQuality, real, kReal)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HunspellQuality, real, kReal)->Iterations(1)->Unit(benchmark::kMillisecond);
