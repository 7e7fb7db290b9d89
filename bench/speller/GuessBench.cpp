// Suggestions: the time Guess takes with findAll for misspellings of 4, 8 and 12
// letters against the built main dictionary and two word-list dictionaries, and the
// share of common misspellings (bench/data/common_misspellings.txt) whose intended
// correction is among the suggestions, beside Hunspell's suggest() on the same words.
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

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs Misspellings() {
  Pairs pairs;
  std::ifstream in(std::string(PAGELINT_BENCH_DATA_DIR) + "common_misspellings.txt");
  for (std::string line; std::getline(in, line);) {
    const auto arrow = line.find("->");
    if (line.empty() || line.front() == '#' || arrow == std::string::npos) {
      continue;
    }
    pairs.emplace_back(line.substr(0, arrow), line.substr(arrow + 2));
  }
  return pairs;
}

template <typename Suggest> void Quality(benchmark::State& state, Suggest&& suggest) {
  const Pairs pairs = Misspellings();
  if (pairs.empty()) {
    state.SkipWithError("bench/data/common_misspellings.txt is missing");
    return;
  }
  std::size_t found = 0;
  std::size_t total = 0;
  std::vector<std::string> suggestions;
  for (auto _ : state) {
    found = 0;
    total = 0;
    for (const auto& [wrong, right] : pairs) {
      suggest(wrong, suggestions);
      total += suggestions.size();
      found += std::find(suggestions.begin(), suggestions.end(), right) != suggestions.end();
    }
  }
  const auto count = static_cast<double>(pairs.size());
  state.counters["words"] = count;
  state.counters["found%"] = 100.0 * static_cast<double>(found) / count;
  state.counters["mean_suggestions"] = static_cast<double>(total) / count;
}

void PagelintQuality(benchmark::State& state) {
  if (!Speller().IsReady()) {
    state.SkipWithError("ZEB.fdc is missing from the program folder");
    return;
  }
  Quality(state, [](const std::string& word, std::vector<std::string>& out) {
    Speller().Guess(word, out);
  });
}

void HunspellQuality(benchmark::State& state) {
  if (!std::filesystem::exists(kAffix) || !std::filesystem::exists(kHunspellWords)) {
    state.SkipWithError("install hunspell-en-us");
    return;
  }
  Hunspell hunspell(kAffix, kHunspellWords);
  Quality(state, [&](const std::string& word, std::vector<std::string>& out) {
    out = hunspell.suggest(word);
  });
}

} // namespace

BENCHMARK_CAPTURE(GuessFindAll, letters4, std::string("thsi"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GuessFindAll, letters8, std::string("seperate"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GuessFindAll, letters12, std::string("accomodation"))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(PagelintQuality)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(HunspellQuality)->Iterations(1)->Unit(benchmark::kMillisecond);
