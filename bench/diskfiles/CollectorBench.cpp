// Collection passes over a generated site of 100,000 files: files per second, and the
// peak memory of the process (getrusage) as a counter.
#include "diskfiles/DirScan.h"
#include "diskfiles/DiskFileList.h"
#include "diskfiles/FileCollector.h"
#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"

#include "PeakMemory.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
constexpr int kFolders = 100;
constexpr int kSubfolders = 10;
constexpr int kFilesPerSubfolder = 100; // 100 * 10 * 100 = 100,000 files

/// The generated site, made once for all benchmarks and removed at exit.
class GeneratedSite {
public:
  GeneratedSite() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pagelint-bench-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) {
      std::abort();
    }
    m_root = pattern + "/";
    for (int folder = 0; folder < kFolders; ++folder) {
      for (int sub = 0; sub < kSubfolders; ++sub) {
        const std::string dir =
            m_root + "section" + std::to_string(folder) + "/part" + std::to_string(sub) + "/";
        std::filesystem::create_directories(dir);
        for (int file = 0; file < kFilesPerSubfolder; ++file) {
          const char* extension = file % 10 == 0 ? ".css" : ".html";
          const std::string path = dir + "page" + std::to_string(file) + extension;
          const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
          if (fd < 0 || write(fd, "<p>x</p>", 8) != 8) {
            std::abort();
          }
          close(fd);
        }
      }
    }
  }
  ~GeneratedSite() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
  }
  GeneratedSite(const GeneratedSite&) = delete;
  GeneratedSite& operator=(const GeneratedSite&) = delete;

  const std::string& Root() const { return m_root; }
  static constexpr std::int64_t kFiles =
      static_cast<std::int64_t>(kFolders) * kSubfolders * kFilesPerSubfolder;

private:
  std::string m_root;
};

const GeneratedSite& Site() {
  static const GeneratedSite site;
  return site;
}

void BM_ScanPass(benchmark::State& state) {
  const std::string& root = Site().Root();
  const std::function<bool()> never = [] { return false; };
  const double before = PeakMemoryMiB();
  std::size_t found = 0;
  for (auto _ : state) {
    CDirScan scan(root, true, CExtensionSet({"htm", "html", "shtml", "xhtml"}), {});
    scan.Run(never);
    found = scan.GetFiles().size();
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * GeneratedSite::kFiles);
  state.counters["collected"] = static_cast<double>(found);
  state.counters["peak_MiB_before"] = before;
  state.counters["peak_MiB_after"] = PeakMemoryMiB();
}
BENCHMARK(BM_ScanPass)->Unit(benchmark::kMillisecond);

/// A whole collector pass, from Refresh to MSG_FC_DONE: into an empty list (every file
/// added through the factory), or over a list that is up to date already.
void BM_CollectorPass(benchmark::State& state) {
  const bool fresh = state.range(0) == 1;
  const std::string& root = Site().Root();
  int done = 0;
  CFunctionTarget window([&done](UINT message, WPARAM, LPARAM) {
    done += message == CFileCollector::MSG_FC_DONE ? 1 : 0;
  });
  CDiskFileList list;
  CFileCollector collector(root, true, {"htm", "html", "shtml", "xhtml"}, {}, &list,
                           window.GetSafeHwnd(), 0, false);
  const auto pass = [&] {
    const int before = done;
    collector.Refresh();
    CMessageLoop::PumpUntil([&] { return done > before; }, std::chrono::minutes(10));
    benchmark::DoNotOptimize(collector.TakeChanges());
  };
  const double before = PeakMemoryMiB();
  if (!fresh) {
    pass();
  }
  for (auto _ : state) {
    if (fresh) {
      state.PauseTiming();
      list.RemoveAll();
      state.ResumeTiming();
    }
    pass();
  }
  state.SetItemsProcessed(state.iterations() * GeneratedSite::kFiles);
  state.counters["listed"] = static_cast<double>(list.GetCount());
  state.counters["peak_MiB_before"] = before;
  state.counters["peak_MiB_after"] = PeakMemoryMiB();
}
BENCHMARK(BM_CollectorPass)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
