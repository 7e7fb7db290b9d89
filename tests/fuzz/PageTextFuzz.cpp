// Any bytes as a page of a site, checked by the real check worker with the main
// dictionary. Every location it records must be one a replacement can use: inside the
// file's lines, and holding the word as a whole word in the page text of the whole file
// (markup may span lines). The replacement itself must then find every location.
#include "fuzzkit/FuzzHome.h"

#include "checking/BadWordsList.h"
#include "checking/PageScanner.h"
#include "checking/ProjectCheckWorker.h"
#include "mtcore/MTWorkerThread.h"
#include "projects/HTMLFile.h"
#include "projects/HTMLFileList.h"
#include "replace/Replacer.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/TextFileCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
  FUZZ_REQUIRE_THAT(location.GetFileName() == "page.htm", "the location names the page");
  FUZZ_REQUIRE_THAT(location.line >= 0 &&
                        static_cast<std::size_t>(location.line) < pageLines.size(),
                    "the location's line lies in the file");
  std::string pageLine = pageLines[static_cast<std::size_t>(location.line)];
  FUZZ_REQUIRE_THAT(location.start >= 0 && location.start < location.end &&
                        static_cast<std::size_t>(location.end) <= pageLine.size(),
                    "0 <= start < end <= line length");
  FUZZ_REQUIRE_THAT(location.column >= 0 && location.column <= location.start &&
                        location.column <= location.endColumn,
                    "columns count characters up to the location");
  CPageScanner::BlankAddresses(pageLine);
  CStringUtils::Span found;
  const auto start = static_cast<std::size_t>(location.start);
  FUZZ_REQUIRE_THAT(CStringUtils::FindOccurrenceFrom(pageLine, word, start, true, found) &&
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
  FUZZ_REQUIRE_THAT(result.locationsSkipped == 0, "the replacement finds every location");
  // A Windows-1252 page whose only non-UTF-8 bytes were the word would read back as
  // UTF-8 afterwards: that write is refused, and the page must then be as it was.
  if (result.filesLeftUnchanged == 1) {
    FUZZ_REQUIRE_THAT(result.locationsReplaced == 0 && backups.empty() &&
                          CFuzzHome::ReadBytes(site.page) == site.bytes,
                      "a page left unchanged keeps its bytes and has no backup");
    return;
  }
  FUZZ_REQUIRE_THAT(result.locationsReplaced == word.GetLocations().GetCount(),
                    "the replacement replaces every location");
  FUZZ_REQUIRE_THAT(result.filesChanged == 1 && backups.size() == 1,
                    "one file changed, one backup");
  for (const std::string& backup : backups) {
    std::string error;
    CFileUtils::DeleteFileA(backup, error);
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  CFuzzHome::Get();
  CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
  // The speller's monitor threads must end before the process does.
  std::atexit([] { CSpellChecker::DeleteInstance(); });

  SSite& site = Site();
  site.root = CFuzzHome::Get().Folder("work") + "site/";
  site.page = site.root + "page.htm";
  site.backupFolder = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/Pagelint_Backup/Site/";
  std::filesystem::create_directories(site.root);
  CFuzzHome::WriteBytes(site.page, "");
  site.file = dynamic_cast<CHTMLFile*>(site.files.Add(site.page));
  FUZZ_REQUIRE_THAT(site.file != nullptr, "the page is listed");
  site.thread = std::make_unique<CMTWorkerThread>([](void*) { return 0U; }, nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SSite& site = Site();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  site.bytes = bytes;
  CFuzzHome::WriteBytes(site.page, bytes);

  site.words.ClearWords();
  site.file->SetCheckPending(true);
  CProjectCheckWorker worker(kProject, &site.files, &site.words, 0, site.root, {},
                             std::vector<int>{0}, "Site");
  worker.SetWorkerThread(site.thread.get());
  worker.CheckProjectFile(site.file);
  FUZZ_REQUIRE_THAT(!site.file->IsCheckPending(), "the page was checked to its end");

  if (CTextFileCodec::DetectEncoding(bytes) == CTextFileCodec::EEncoding::Binary) {
    FUZZ_REQUIRE_THAT(site.words.GetHeadPosition() == 0, "a binary page has no findings");
    return 0;
  }
  std::vector<std::string> pageLines;
  FUZZ_REQUIRE_THAT(CFileUtils::ReadFileContent(site.page, pageLines), "reading the page back");
  CPageScanner::MakePageText(pageLines, nullptr);
  CBadWord* first = nullptr;
  for (auto position = site.words.GetHeadPosition(); position != 0;) {
    CBadWord* word = site.words.GetNext(position);
    FUZZ_REQUIRE_THAT(word != nullptr && !word->GetWord().empty(), "a listed word has text");
    FUZZ_REQUIRE_THAT(word->GetLocations().GetCount() > 0, "a listed word has a location");
    for (const auto& location : word->GetLocations()) {
      CheckLocation(pageLines, word->GetWord(), location);
    }
    first = first != nullptr ? first : word;
  }
  if (first != nullptr) {
    CheckReplacement(site, *first);
  }
  return 0;
}
