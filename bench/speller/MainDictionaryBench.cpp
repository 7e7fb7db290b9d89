// Lookups over the words of real English HTML pages (Debian's documentation packages
// debian-reference-en and python3.11-doc): the compiled main dictionary of the program
// folder against Hunspell's en_US dictionary, the desktop's en_GB read by nuspell as
// the speller reads it, and the cost of the common-word list's length.
#include "dictionaries/HunspellDictionary.h"
#include "dictionaries/HunspellFinder.h"
#include "dictionaries/MainDictionary.h"
#include "spellcore/SpellChecker.h"
#include "spellcore/SpellLookupScope.h"

#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/StringUtils.h"

#include <benchmark/benchmark.h>
#include <hunspell.hxx>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include <unistd.h>

namespace {

constexpr const char* kAffix = "/usr/share/hunspell/en_US.aff";
constexpr const char* kHunspellWords = "/usr/share/hunspell/en_US.dic";
constexpr int kMaxThreads = 2;

std::vector<std::string> CorpusPages() {
  std::vector<std::string> pages;
  CFileUtils::GetFileList("/usr/share/debian-reference/", {"html"}, false, pages);
  for (const char* folder : {"tutorial", "howto", "faq", "whatsnew"}) {
    CFileUtils::GetFileList(std::string("/usr/share/doc/python3.11/html/") + folder + "/", {"html"},
                            false, pages);
  }
  std::erase_if(pages, [](const std::string& page) {
    return page.find("/debian-reference/") != std::string::npos &&
           page.find(".en.html") == std::string::npos;
  });
  return pages;
}

// The words of a page as the checker sees them, crudely: scripts, styles, code blocks
// and tags removed, references decoded, punctuation and possessive endings trimmed.
void AppendPageWords(const std::string& page, std::vector<std::string>& tokens) {
  std::vector<std::string> lines;
  if (!CFileUtils::ReadFileContent(page, lines)) {
    return;
  }
  for (const auto& [start, end] : {std::pair{"<script", "</script>"},
                                   {"<style", "</style>"},
                                   {"<pre", "</pre>"},
                                   {"<!--", "-->"},
                                   {"<", ">"}}) {
    CStringUtils::ReplaceTextBlock(lines, start, end, " ", false);
  }
  TextArray words;
  for (std::string& line : lines) {
    CHTMLUtils::ReplaceHTMLReservedChars(line, false, false);
    CStringUtils::GetWords(line, words, true);
    for (std::string word : words) {
      if (CStringUtils::MatchLastChars(word, "'s", false) ||
          CStringUtils::MatchLastChars(word, "\xE2\x80\x99s", false)) {
        word.resize(word.size() - 2);
      }
      CStringUtils::TrimPunctuation(word, "", "");
      if (!CStringUtils::IsEffectivelyEmpty(word)) {
        tokens.push_back(std::move(word));
      }
    }
  }
}

const std::vector<std::string>& Tokens() {
  static const std::vector<std::string> tokens = [] {
    std::vector<std::string> all;
    for (const std::string& page : CorpusPages()) {
      AppendPageWords(page, all);
    }
    return all;
  }();
  return tokens;
}

const CMainDictionary& BuiltDictionary() {
  static const std::unique_ptr<CMainDictionary> dictionary = [] {
    auto built =
        std::make_unique<CMainDictionary>(0, CDirUtils::GetAppPath() + CMainDictionary::kFileName);
    built->Load();
    return built;
  }();
  return *dictionary;
}

bool Ready(benchmark::State& state) {
  if (Tokens().empty()) {
    state.SkipWithError("no corpus: install debian-reference-en and python3.11-doc");
    return false;
  }
  if (!BuiltDictionary().IsLoaded()) {
    state.SkipWithError("ZEB.fdc is missing from the program folder");
    return false;
  }
  return true;
}

template <typename Lookup> void LookUpAll(benchmark::State& state, Lookup&& lookUp) {
  const std::vector<std::string>& tokens = Tokens();
  std::size_t recognised = 0;
  for (auto _ : state) {
    recognised = 0;
    for (const std::string& token : tokens) {
      recognised += lookUp(token) ? 1 : 0;
    }
    benchmark::DoNotOptimize(recognised);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * tokens.size()));
  // Every thread looks up the same tokens: their shares are averaged, not added.
  state.counters["recognised%"] = benchmark::Counter(100.0 * static_cast<double>(recognised) /
                                                         static_cast<double>(tokens.size()),
                                                     benchmark::Counter::kAvgThreads);
}

void MainDictionary(benchmark::State& state) {
  if (!Ready(state)) {
    return;
  }
  const CMainDictionary& dictionary = BuiltDictionary();
  LookUpAll(state, [&](const std::string& token) { return dictionary.Contains(token); });
}

// What the check worker calls: CSpellChecker::LookUp with the main dictionary's id, under
// the registry's reader access. The speller starts with a private settings folder, so
// the user's own custom dictionaries play no part.
CSpellChecker* StartedSpeller() {
  static CSpellChecker* speller = [] {
    static const std::string settings = std::filesystem::temp_directory_path().string() +
                                        "/pagelint-bench-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(settings);
    ::setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
    ::setenv("WINEPREFIX", (settings + "no-wine").c_str(), 1);
    CSpellChecker* instance = CSpellChecker::GetInstance();
    if (instance != nullptr) {
      instance->SetAppPath(CDirUtils::GetAppPath());
    }
    return instance;
  }();
  return speller;
}

void SpellerLookUp(benchmark::State& state) {
  if (!Ready(state)) {
    return;
  }
  const CSpellChecker* speller = StartedSpeller();
  const std::vector<int> ids{0};
  LookUpAll(state, [&](const std::string& token) { return speller->LookUp(token, ids); });
}

// As the check worker looks words up: the dictionaries held once per line of words
// (kWordsPerLine, about a line of running text), not once per word.
constexpr std::size_t kWordsPerLine = 12;

void SpellerLookUpPerLine(benchmark::State& state) {
  if (!Ready(state)) {
    return;
  }
  const CSpellChecker* speller = StartedSpeller();
  const std::vector<int> ids{0};
  const std::vector<std::string>& tokens = Tokens();
  std::size_t recognised = 0;
  for (auto _ : state) {
    recognised = 0;
    for (std::size_t first = 0; first < tokens.size(); first += kWordsPerLine) {
      const CSpellLookupScope line(speller);
      const std::size_t last = std::min(tokens.size(), first + kWordsPerLine);
      for (std::size_t k = first; k < last; ++k) {
        recognised += speller->LookUp(tokens[k], ids) ? 1 : 0;
      }
    }
    benchmark::DoNotOptimize(recognised);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * tokens.size()));
}

// Hunspell's spell() changes the object, so each thread gets its own.
Hunspell* HunspellOfThread(int thread) {
  static std::array<std::unique_ptr<Hunspell>, kMaxThreads> spellers;
  static std::once_flag once;
  std::call_once(once, [] {
    if (std::filesystem::exists(kAffix) && std::filesystem::exists(kHunspellWords)) {
      for (auto& speller : spellers) {
        speller = std::make_unique<Hunspell>(kAffix, kHunspellWords);
      }
    }
  });
  return spellers[static_cast<std::size_t>(thread)].get();
}

void HunspellSpell(benchmark::State& state) {
  Hunspell* speller = HunspellOfThread(state.thread_index());
  if (speller == nullptr) {
    state.SkipWithError("install hunspell-en-us");
    return;
  }
  if (!Ready(state)) {
    return;
  }
  LookUpAll(state, [&](const std::string& token) { return speller->spell(token); });
}

// ---- The desktop's Hunspell en_GB through nuspell ---------------------------------------------

constexpr const char* kBritishName = "English (United Kingdom) en_GB";

// One dictionary for every thread, as the speller shares it.
const CHunspellDictionary* BritishDictionary() {
  static const std::unique_ptr<CHunspellDictionary> dictionary = [] {
    SHunspellFile file;
    file.dicPath = "/usr/share/hunspell/en_GB.dic";
    file.affPath = "/usr/share/hunspell/en_GB.aff";
    CHunspellFinder::Describe("en_GB", file);
    auto loaded = std::make_unique<CHunspellDictionary>(1, file.name, file);
    return loaded->Load() ? std::move(loaded) : nullptr;
  }();
  return dictionary.get();
}

void NuspellContains(benchmark::State& state) {
  const CHunspellDictionary* dictionary = BritishDictionary();
  if (dictionary == nullptr) {
    state.SkipWithError("install hunspell-en-gb");
    return;
  }
  if (!Ready(state)) {
    return;
  }
  LookUpAll(state, [&](const std::string& token) { return dictionary->Contains(token); });
}

// The facade with en_GB alone, as pagelint-check --dictionary en_GB asks it.
void SpellerLookUpBritish(benchmark::State& state) {
  if (!Ready(state)) {
    return;
  }
  const CSpellChecker* speller = StartedSpeller();
  const std::vector<int> ids{speller->GetDictionaryID(kBritishName)};
  if (ids.front() < 0) {
    state.SkipWithError("install hunspell-en-gb");
    return;
  }
  LookUpAll(state, [&](const std::string& token) { return speller->LookUp(token, ids); });
}

// ---- Length of the common-word list ---------------------------------------------------------

// The listed words of the corpus, most frequent first.
std::vector<std::string> RankedCorpusWords() {
  const CMainDictionary& dictionary = BuiltDictionary();
  std::unordered_map<std::string, int> counts;
  for (std::string token : Tokens()) {
    CStringUtils::MakeLower(token);
    if (CMainDictionary::ToStoredWord(token) && dictionary.Contains(token)) {
      ++counts[token];
    }
  }
  std::vector<std::pair<std::string, int>> ranked(counts.begin(), counts.end());
  std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
    return a.second > b.second || (a.second == b.second && a.first < b.first);
  });
  std::vector<std::string> words;
  for (const auto& entry : ranked) {
    words.push_back(entry.first);
  }
  return words;
}

// A folder holding dictionaries compiled with common-word lists of several lengths.
class CCommonListDictionaries {
public:
  CCommonListDictionaries() {
    std::string pattern = std::filesystem::temp_directory_path() / "zeb-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) {
      m_folder = pattern + "/";
    }
  }
  ~CCommonListDictionaries() {
    if (!m_folder.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(m_folder, ignored);
    }
  }
  CCommonListDictionaries(const CCommonListDictionaries&) = delete;
  CCommonListDictionaries& operator=(const CCommonListDictionaries&) = delete;

  /// The dictionary whose common-word list holds the `length` most frequent words.
  const CMainDictionary* Get(std::size_t length) {
    std::lock_guard lock(m_mutex);
    auto& dictionary = m_byLength[length];
    if (!dictionary && !m_folder.empty()) {
      dictionary = Compile(length);
    }
    return dictionary && dictionary->IsLoaded() ? dictionary.get() : nullptr;
  }

private:
  std::unique_ptr<CMainDictionary> Compile(std::size_t length) {
    const std::string folder = m_folder + std::to_string(length) + "/";
    std::string error;
    CDirUtils::CreateDirectoryA(folder);
    CFileUtils::CopyFileA(std::string(PAGELINT_SPELLER_DATA_DIR) + CMainDictionary::kWordListName,
                          folder + CMainDictionary::kWordListName, error);
    static const std::vector<std::string> ranked = RankedCorpusWords();
    std::vector<std::string> common(
        ranked.begin(),
        ranked.begin() + static_cast<std::ptrdiff_t>(std::min(length, ranked.size())));
    if (common.empty()) {
      common.push_back(" "); // a list needs a line; a blank one adds no word
    }
    CFileUtils::WriteFileContent(folder + CMainDictionary::kCommonListName, common);
    auto dictionary = std::make_unique<CMainDictionary>(0, folder + CMainDictionary::kFileName);
    if (dictionary->Save()) {
      dictionary->Load();
    }
    return dictionary;
  }

  std::string m_folder;
  std::mutex m_mutex;
  std::unordered_map<std::size_t, std::unique_ptr<CMainDictionary>> m_byLength;
};

void CommonListLength(benchmark::State& state) {
  if (!Ready(state)) {
    return;
  }
  static CCommonListDictionaries dictionaries;
  const CMainDictionary* dictionary = dictionaries.Get(static_cast<std::size_t>(state.range(0)));
  if (dictionary == nullptr) {
    state.SkipWithError("cannot compile a dictionary in the temporary folder");
    return;
  }
  LookUpAll(state, [&](const std::string& token) { return dictionary->Contains(token); });
}

BENCHMARK(MainDictionary)
    ->ThreadRange(1, kMaxThreads)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SpellerLookUp)->ThreadRange(1, kMaxThreads)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SpellerLookUpPerLine)
    ->ThreadRange(1, kMaxThreads)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(HunspellSpell)->ThreadRange(1, kMaxThreads)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(NuspellContains)
    ->ThreadRange(1, kMaxThreads)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SpellerLookUpBritish)
    ->ThreadRange(1, kMaxThreads)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CommonListLength)
    ->Arg(0)
    ->Arg(10)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond);

} // namespace
