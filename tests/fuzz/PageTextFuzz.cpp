// Any bytes as a page of a site, checked by the real check worker with the main
// dictionary. Every location it records must be one a replacement can use: inside the
// file's lines, and holding the word as a whole word in the page text of the whole file
// (markup may span lines). The replacement itself must then find every location.
#include "fuzzkit/FuzzKit.h"

#include "checking/BadWordsList.h"
#include "checking/ProjectCheckWorker.h"
#include "mtcore/MTWorkerThread.h"
#include "projects/HTMLFile.h"
#include "projects/HTMLFileList.h"
#include "replace/Replacer.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using fuzzkit::Require;

namespace {

constexpr LPARAM kProject = 0x5EB;

/// The site with its one page, the findings and an idle thread for the worker (a
/// stopped or missing thread would make the worker give up at once).
struct SSite {
  std::string root;
  std::string page;
  std::string backupFolder;
  std::string bytes; ///< what the page holds for this input
  CHTMLFileList files;
  CBadWordsList words;
  CHTMLFile* file = nullptr;
  std::unique_ptr<CMTWorkerThread> thread;
};

SSite& Site() {
  static SSite site;
  return site;
}

void CheckLocation(const std::vector<std::string>& pageLines, const std::string& word,
                   const CBadWordLoc& location) {
  Require(location.fileName == "page.htm", "the location names the page");
  Require(location.line >= 0 && static_cast<std::size_t>(location.line) < pageLines.size(),
          "the location's line lies in the file");
  std::string pageLine = pageLines[static_cast<std::size_t>(location.line)];
  Require(location.start >= 0 && location.start < location.end &&
              static_cast<std::size_t>(location.end) <= pageLine.size(),
          "0 <= start < end <= line length");
  Require(location.column >= 0 && location.column <= location.start &&
              location.column <= location.endColumn,
          "columns count characters up to the location");
  CProjectCheckWorker::BlankAddresses(pageLine);
  CStringUtils::Span found;
  const auto start = static_cast<std::size_t>(location.start);
  Require(CStringUtils::FindOccurrenceFrom(pageLine, word, start, true, found) &&
              found.start == start &&
              found.length == static_cast<std::size_t>(location.end - location.start),
          "the page text holds the word, as a whole word, at the location");
}

// Replaces the first word everywhere it was found: no location may be passed over.
void CheckReplacement(SSite& site, CBadWord& word) {
  word.SetReplacement("X");
  std::vector<std::string> backups;
  const SReplaceResult result =
      CReplacer::ReplaceInFiles(site.words, word, site.backupFolder, site.root.size(), {}, backups);
  Require(result.locationsSkipped == 0, "the replacement finds every location");
  // A Windows-1252 page whose only non-UTF-8 bytes were the word would read back as
  // UTF-8 afterwards: that write is refused, and the page must then be as it was.
  if (result.filesLeftUnchanged == 1) {
    Require(result.locationsReplaced == 0 && backups.empty() &&
                fuzzkit::ReadBytes(site.page) == site.bytes,
            "a page left unchanged keeps its bytes and has no backup");
    return;
  }
  Require(result.locationsReplaced == word.GetLocations().GetCount(),
          "the replacement replaces every location");
  Require(result.filesChanged == 1 && backups.size() == 1, "one file changed, one backup");
  for (const std::string& backup : backups) {
    std::string error;
    CFileUtils::DeleteFileA(backup, error);
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  fuzzkit::UsePrivateHome();
  CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
  // The speller's monitor threads must end before the process does.
  std::atexit([] { CSpellChecker::DeleteInstance(); });

  SSite& site = Site();
  site.root = fuzzkit::WorkFolder() + "site/";
  site.page = site.root + "page.htm";
  site.backupFolder = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/Pagelint_Backup/Site/";
  std::filesystem::create_directories(site.root);
  fuzzkit::WriteBytes(site.page, "");
  site.file = dynamic_cast<CHTMLFile*>(site.files.Add(site.page));
  Require(site.file != nullptr, "the page is listed");
  site.thread = std::make_unique<CMTWorkerThread>([](void*) { return 0U; }, nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SSite& site = Site();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  site.bytes = bytes;
  fuzzkit::WriteBytes(site.page, bytes);

  site.words.ClearWords();
  site.file->SetCheckPending(true);
  CProjectCheckWorker worker(kProject, &site.files, &site.words, 0, site.root, {},
                             std::vector<int>{0}, "Site");
  worker.SetWorkerThread(site.thread.get());
  worker.CheckProjectFile(site.file);
  Require(!site.file->IsCheckPending(), "the page was checked to its end");

  std::vector<std::string> pageLines;
  Require(CFileUtils::ReadFileContent(site.page, pageLines), "reading the page back");
  CProjectCheckWorker::MakePageText(pageLines, nullptr);
  CBadWord* first = nullptr;
  for (auto position = site.words.GetHeadPosition(); position != 0;) {
    CBadWord* word = site.words.GetNext(position);
    Require(word != nullptr && !word->GetWord().empty(), "a listed word has text");
    Require(word->GetLocations().GetCount() > 0, "a listed word has a location");
    for (const auto& location : word->GetLocations()) {
      CheckLocation(pageLines, word->GetWord(), *location);
    }
    first = first != nullptr ? first : word;
  }
  if (first != nullptr) {
    CheckReplacement(site, *first);
  }
  return 0;
}
