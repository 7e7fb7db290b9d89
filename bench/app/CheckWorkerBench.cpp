#include "checking/BadWordsList.h"
#include "checking/ProjectCheckWorker.h"
#include "projects/HTMLFile.h"
#include "projects/HTMLFileList.h"
#include "replace/BackupFolders.h"
#include "replace/Replacer.h"
#include "replace/UndoReplace.h"

#include "diskfiles/DiskFileListAccess.h"
#include "mtcore/MTWorkerThread.h"
#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFiles = 200;

const char* const kProse[] = {
    "the",   "website",  "offers",      "pages",      "about",   "travel",  "and",
    "food",  "with",     "many",        "photos",     "of",      "coastal", "towns",
    "where", "visitors", "enjoy",       "fresh",      "seafood", "market",  "stalls",
    "open",  "early",    "every",       "morning",    "teh",     "recieve", "Pagelint",
    "(see",  "below),",  "don&rsquo;t", "caf&eacute;"};

/// A page of typical markup and prose, some 20 KB.
std::string MakePage(std::mt19937& random) {
  std::string page = "<!DOCTYPE html>\n<html><head><title>Travel notes</title>\n"
                     "<style>\nbody { font: 12px sans-serif; }\n</style>\n"
                     "<script>\nvar counter = 0; function tick() { counter++; }\n</script>\n"
                     "</head><body>\n<!-- navigation\n menu -->\n";
  while (page.size() < 20000) {
    page += "<p class=\"text\">";
    for (int k = 0; k < 14; ++k) {
      page += kProse[random() % std::size(kProse)];
      page += ' ';
    }
    page += "<a href=\"https://example.org/page\">more</a> or write to info@example.org</p>\n";
  }
  return page + "</body></html>\n";
}

/// A generated site in a temporary folder, removed at exit.
struct SSite {
  std::string root;
  std::uint64_t bytes = 0;

  SSite() {
    root = (std::filesystem::temp_directory_path() /
            ("pagelint_check_bench_" + std::to_string(getpid())))
               .string() +
           "/";
    std::filesystem::create_directories(root);
    std::mt19937 random(42);
    for (int k = 0; k < kFiles; ++k) {
      const std::string page = MakePage(random);
      std::ofstream(root + "page" + std::to_string(k) + ".htm", std::ios::binary) << page;
      bytes += page.size();
    }
  }
  ~SSite() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
};

const SSite& Site() {
  static const SSite site;
  return site;
}

void StartSpeller() {
  static const bool started = [] {
    CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
    return true;
  }();
  benchmark::DoNotOptimize(started);
}

void AddSiteFiles(CHTMLFileList& files) {
  for (int k = 0; k < kFiles; ++k) {
    files.Add(Site().root + "page" + std::to_string(k) + ".htm");
  }
}

void RunCheck(CHTMLFileList& files, CBadWordsList& words, int threads) {
  CMTWorkerThread idle([](void*) { return 0U; }, nullptr);
  files.MarkAllPending();
  words.ClearWords();
  CProjectCheckWorker worker(0, &files, &words, 0, Site().root, {}, {0}, "Bench");
  worker.SetWorkerThread(&idle);
  worker.SetParallelism(threads);
  worker.Run();
}

void CheckSite(benchmark::State& state) {
  StartSpeller();
  CHTMLFileList files;
  AddSiteFiles(files);
  CBadWordsList words;
  for (auto _ : state) {
    RunCheck(files, words, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(words.GetWordCount());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Site().bytes));
  state.counters["words"] = words.GetWordCount();
}

BENCHMARK(CheckSite)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

/// Replaces a word found in every page (about 30 places each), backups included; each
/// replacement is undone outside the timing, so every round starts from the same site.
/// With range(0) 1 the undo is timed instead.
void ReplaceAndUndo(benchmark::State& state) {
  StartSpeller();
  CHTMLFileList files;
  AddSiteFiles(files);
  CBadWordsList words;
  RunCheck(files, words, 2);
  CBadWord* word = words.FindWord("teh");
  if (word == nullptr) {
    state.SkipWithError("the site has no \"teh\"");
    return;
  }
  word->SetReplacement("the");
  const std::string folder = CBackupFolders::GetBackupFolder("Replace Bench", "/tmp/");
  const bool timeUndo = state.range(0) == 1;
  SReplaceResult result;
  for (auto _ : state) {
    std::vector<std::string> backups;
    if (timeUndo) {
      state.PauseTiming();
    }
    result = CReplacer::ReplaceInFiles(words, *word, folder, Site().root.size(), {}, backups);
    if (timeUndo) {
      state.ResumeTiming();
    } else {
      state.PauseTiming();
    }
    CUndoReplace::UndoReplacement(Site().root, "Replace Bench", backups);
    if (!timeUndo) {
      state.ResumeTiming();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Site().bytes));
  state.counters["files"] = result.filesChanged;
  state.counters["places"] = result.locationsReplaced;
  std::string ignored;
  CDirUtils::ClearDirectory(folder, ignored, true, true, true);
}

BENCHMARK(ReplaceAndUndo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

/// What clearing a big site's findings (a new check of the whole project) costs the
/// thread that asks for it, usually the user interface thread: 2,000,000 places of
/// 10,000 words in 20,000 pages.
void ClearBigList(benchmark::State& state) {
  std::vector<CBadWordsList::SFileFindings> findings(100);
  CBadWordsList words;
  for (auto _ : state) {
    state.PauseTiming();
    for (int page = 0; page < 20000; ++page) {
      for (std::size_t k = 0; k < findings.size(); ++k) {
        findings[k].text = "qzx" + std::to_string((page * 37 + k * 101) % 10000);
        findings[k].locations.resize(1);
        findings[k].locations[0].line = static_cast<int>(k);
        findings[k].locations[0].start = 4;
        findings[k].locations[0].end = 12;
      }
      words.RecordFileFindings("/site/part" + std::to_string(page / 100) + "/",
                               "page" + std::to_string(page) + ".html", findings);
    }
    state.ResumeTiming();
    words.ClearWords();
  }
}

BENCHMARK(ClearBigList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
