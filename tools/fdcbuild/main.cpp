// zeb-fdc-build FOLDER: compiles FOLDER/Dictionary.txt and FOLDER/CommonWords.txt into
// FOLDER/ZEB.fdc, then loads the result and checks that it finds every listed word.
#include "dictionaries/MainDictionary.h"
#include "spellcore/SpellChecker.h"

#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Compiles through the speller itself, with FOLDER as its program folder.
bool BuildMainDictionary(const std::string& folder) {
  CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return false;
  }
  speller->SetAppPath(folder);
  const bool built = speller->BuildMainDictionary();
  CSpellChecker::DeleteInstance();
  return built;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zeb-fdc-build: %s\n", message.c_str());
  return EXIT_FAILURE;
}

// The word as the compiled file holds it, or "" when the format leaves it out.
std::string StoredForm(std::string word) {
  CStringUtils::Trim(word);
  return CMainDictionary::ToStoredWord(word) ? word : std::string();
}

// The compile keeps the order of the lines, and the search needs them in byte order.
bool IsSorted(const std::vector<std::string>& words, std::string& firstOutOfOrder) {
  std::string previous;
  for (const std::string& line : words) {
    const std::string word = StoredForm(line);
    if (word.empty()) {
      continue;
    }
    if (word < previous) {
      firstOutOfOrder = word;
      return false;
    }
    previous = word;
  }
  return true;
}

void PrintLog(const std::string& folder) {
  std::vector<std::string> lines;
  if (CFileUtils::ReadFileContent(folder + "zeb-fdc-build/zeb-fdc-build.log", lines)) {
    for (const std::string& line : lines) {
      std::fprintf(stderr, "  log: %s\n", line.c_str());
    }
  }
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zeb-fdc-build FOLDER\n"
                         "Compiles FOLDER/Dictionary.txt and FOLDER/CommonWords.txt into "
                         "FOLDER/ZEB.fdc.\n");
    return 2;
  }
  std::string folder = argv[1];
  CDirUtils::EnsureTrailingBackslash(folder);
  // The log, and the custom dictionaries the speller looks for at start-up, live in the
  // work folder: a build never reads or writes the user's settings or Wine prefix.
  ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  ::setenv("HOME", folder.c_str(), 1);
  ::setenv("WINEPREFIX", (folder + "no-wine").c_str(), 1);
  CAppLogger::SetAppName("zeb-fdc-build");

  std::vector<std::string> words;
  if (!CFileUtils::ReadFileContent(folder + CMainDictionary::kWordListName, words)) {
    return Fail("cannot read " + folder + CMainDictionary::kWordListName);
  }
  std::string outOfOrder;
  if (!IsSorted(words, outOfOrder)) {
    return Fail(std::string(CMainDictionary::kWordListName) + " is not sorted by bytes at \"" +
                outOfOrder + "\"");
  }
  if (!BuildMainDictionary(folder)) {
    PrintLog(folder);
    return Fail("compiling " + folder + CMainDictionary::kFileName + " failed");
  }

  CMainDictionary dictionary(0, folder + CMainDictionary::kFileName);
  if (!dictionary.Load()) {
    PrintLog(folder);
    return Fail("the compiled " + folder + CMainDictionary::kFileName + " does not load");
  }
  std::size_t stored = 0;
  std::size_t leftOut = 0;
  for (const std::string& line : words) {
    const std::string word = StoredForm(line);
    if (word.empty()) {
      leftOut += CStringUtils::IsEffectivelyEmpty(line) ? 0 : 1;
      continue;
    }
    if (!dictionary.Contains(word)) {
      return Fail("the compiled dictionary does not find \"" + word + "\"");
    }
    ++stored;
  }
  std::int64_t size = 0;
  CFileUtils::GetFileInfo(folder + CMainDictionary::kFileName, &size, nullptr);
  std::printf("zeb-fdc-build: %s%s: %zu words (%zu left out), %lld bytes\n", folder.c_str(),
              CMainDictionary::kFileName, stored, leftOut, static_cast<long long>(size));
  return EXIT_SUCCESS;
}
