// hunspell_load_probe TAG...: loads the desktop's Hunspell dictionaries of the tags as
// the speller does and prints the process's resident memory before and after each, so
// that a dictionary's cost is measured in a process that holds nothing else (run it
// under /usr/bin/time -v for the kernel's own peak).
#include "dictionaries/HunspellDictionary.h"
#include "dictionaries/HunspellFinder.h"

#include "PeakMemory.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::vector<std::unique_ptr<CHunspellDictionary>> held;
  std::printf("start: peak %.1f MiB\n", PeakMemoryMiB());
  for (int i = 1; i < argc; ++i) {
    const std::string tag = argv[i];
    SHunspellFile file;
    file.dicPath = "/usr/share/hunspell/" + tag + ".dic";
    file.affPath = "/usr/share/hunspell/" + tag + ".aff";
    CHunspellFinder::Describe(tag, file);
    const double before = PeakMemoryMiB();
    const auto start = std::chrono::steady_clock::now();
    auto dictionary = std::make_unique<CHunspellDictionary>(i, file.name, file);
    if (!dictionary->Load()) {
      std::printf("%s: does not load\n", tag.c_str());
      return 1;
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: loaded in %.0f ms, peak %.1f -> %.1f MiB (+%.1f)\n", file.name.c_str(), ms,
                before, PeakMemoryMiB(), PeakMemoryMiB() - before);
    held.push_back(std::move(dictionary));
  }
  return 0;
}
