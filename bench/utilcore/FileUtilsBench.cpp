// Reading and writing back a site's pages: the check worker reads every page, and a
// replacement writes each changed page once.
#include "utilcore/FileUtils.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string MakePage(bool latin1) {
  std::string page;
  for (int i = 0; i < 2000; ++i) {
    page += "<p class=\"body\">The quick brown fox jumps over the lazy dog, ";
    page += latin1 ? "caf\xE9" : "caf\xC3\xA9";
    page += " number " + std::to_string(i) + ".</p>\r\n";
  }
  return page;
}

std::string WritePage(const std::string& name, const std::string& bytes) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

void ReadPage(benchmark::State& state) {
  const std::string bytes = MakePage(state.range(0) != 0);
  const std::string path = WritePage("pagelint-bench-read.htm", bytes);
  std::vector<std::string> lines;
  for (auto _ : state) {
    CFileUtils::ReadFileContent(path, lines);
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
  ::unlink(path.c_str());
}
BENCHMARK(ReadPage)->Arg(0)->Arg(1);

void WritePageBack(benchmark::State& state) {
  const std::string bytes = MakePage(state.range(0) != 0);
  const std::string path = WritePage("pagelint-bench-write.htm", bytes);
  std::vector<std::string> lines;
  CFileUtils::ReadFileContent(path, lines);
  for (auto _ : state) {
    CFileUtils::WriteFileContent(path, lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
  ::unlink(path.c_str());
}
BENCHMARK(WritePageBack)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
