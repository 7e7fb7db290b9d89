#include "checking/ProjectCheckWorker.h"

#include "checking/BadWordsList.h"
#include "mtcore/MTWorkerThread.h"
#include "projects/HTMLFile.h"
#include "projects/HTMLFileList.h"

#include "diskfiles/DiskFileListAccess.h"
#include "spellcore/SpellChecker.h"
#include "spellcore/SpellLookupScope.h"
#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/InternetUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/SystemUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>

const UINT CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN =
    RegisterWindowMessageA("BF879BBA-20FD-4413-95AD-89A65213F2B9");
const UINT CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED =
    RegisterWindowMessageA("F824F634-6922-44f5-82EE-4228E9796DB1");
const UINT CProjectCheckWorker::MSG_PROJECT_CHECK_DONE =
    RegisterWindowMessageA("00F58EEC-E32D-420e-AD29-0ABF9475CA6F");

CProjectCheckWorker::CProjectCheckWorker(LPARAM project, CHTMLFileList* fileList,
                                         CBadWordsList* badWords, HWND targetWindow,
                                         std::string root, std::vector<CProjectFilter> filters,
                                         std::vector<int> dictionaryIds, std::string projectName)
    : m_project(project), m_fileList(fileList), m_badWords(badWords), m_targetWindow(targetWindow),
      m_root(std::move(root)), m_filters(std::move(filters)),
      m_dictionaryIds(std::move(dictionaryIds)), m_projectName(std::move(projectName)),
      m_mutex(false, "zeb_plt_mutex") {}

CProjectCheckWorker::~CProjectCheckWorker() = default;

void CProjectCheckWorker::SetWorkerThread(CMTWorkerThread* thread) {
  if (thread != nullptr) {
    thread->AddStopEvent(m_stopEvents);
  }
  m_thread.store(thread, std::memory_order_release);
}

namespace {

/// A page that could not be read or checked: "{ID} - <file> - <reason>".
constexpr const char* kPageSkipped = "{6E0B3C71-2A4F-4D8E-9B15-C7F3A2D84E06}";

std::string DescribeReadFailure(int error) {
  if (error == EFBIG) {
    return "larger than " + std::to_string(CFileUtils::kMaxTextFileBytes / (1024 * 1024)) + " MiB";
  }
  if (error == EINVAL) {
    return "not a regular file";
  }
  return CSystemUtils::GetLastError(error);
}

constexpr const char* kMarkupBlocks[][2] = {
    {"<!--", "-->"}, {"<script", "/script>"}, {"<style", "/style>"}, {"<", ">"}};

/// One unrecognized word of the line being scanned: how often it was met and where
/// the search for its next occurrence goes on.
struct SOccurrence {
  std::string word;
  std::size_t searchFrom = 0;
};

/// Buffers one scanning thread reuses line after line, so that the scan allocates
/// nothing per word once they have grown.
struct SScanBuffers {
  /// A line's unrecognized words are few, and a short linear search beats hashing;
  /// past this many (a huge line of garbage) they go into a hash map instead, so the
  /// scan stays linear in the line.
  static constexpr std::size_t kLinearOccurrences = 16;

  std::string copy;
  std::string word;
  std::vector<CStringUtils::Span> spans;
  std::vector<SOccurrence> occurrences;
  std::size_t occurrenceCount = 0;
  std::unordered_map<std::string, std::size_t> manyOccurrences;
  std::vector<std::string> addresses;
  /// The lines of the file being checked, and copies of those with non-ASCII bytes as
  /// read (markup removal blanks characters, and columns count the characters).
  std::vector<std::string> lines;
  std::vector<std::string> originals;
  std::vector<unsigned char> hasOriginal;
  /// The file's findings by word, in first-found order: recorded in one go after it.
  std::vector<CBadWordsList::SFileFindings> fileWords;
  std::size_t fileWordCount = 0;
  std::unordered_map<std::string, std::size_t> fileWordIndex;

  void StartFile() {
    for (std::size_t k = 0; k < fileWordCount; ++k) {
      fileWords[k].locations.clear();
    }
    fileWordCount = 0;
    fileWordIndex.clear();
  }

  std::span<CBadWordsList::SFileFindings> FileFindings() {
    return std::span(fileWords).first(fileWordCount);
  }

  /// The locations gathered for `text` in the current file.
  std::vector<CBadWordLoc>& LocationsOf(const std::string& text) {
    const auto [entry, added] = fileWordIndex.try_emplace(text, fileWordCount);
    if (added) {
      if (fileWordCount == fileWords.size()) {
        fileWords.emplace_back();
      }
      fileWords[fileWordCount].text.assign(text);
      ++fileWordCount;
    }
    return fileWords[entry->second].locations;
  }

  void StartLine() {
    occurrenceCount = 0;
    manyOccurrences.clear();
  }

  /// Where the search for the next occurrence of `text` in the line goes on.
  std::size_t& SearchFrom(const std::string& text) {
    if (!manyOccurrences.empty()) {
      return manyOccurrences.try_emplace(text, 0).first->second;
    }
    for (std::size_t k = 0; k < occurrenceCount; ++k) {
      if (occurrences[k].word == text) {
        return occurrences[k].searchFrom;
      }
    }
    if (occurrenceCount == kLinearOccurrences) {
      for (std::size_t k = 0; k < occurrenceCount; ++k) {
        manyOccurrences.emplace(occurrences[k].word, occurrences[k].searchFrom);
      }
      return manyOccurrences.try_emplace(text, 0).first->second;
    }
    if (occurrenceCount == occurrences.size()) {
      occurrences.emplace_back();
    }
    SOccurrence& added = occurrences[occurrenceCount++];
    added.word.assign(text);
    added.searchFrom = 0;
    return added.searchFrom;
  }
};

SScanBuffers& ThreadBuffers() {
  thread_local SScanBuffers buffers;
  return buffers;
}

bool IsAscii(std::string_view text) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, text.data() + i, sizeof chunk);
    if ((chunk & 0x8080808080808080ULL) != 0) {
      return false;
    }
  }
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

/// Keeps a copy of each line that holds non-ASCII bytes, before markup removal.
void KeepOriginals(SScanBuffers& buffers) {
  const std::size_t count = buffers.lines.size();
  buffers.hasOriginal.assign(count, 0);
  if (buffers.originals.size() < count) {
    buffers.originals.resize(count);
  }
  for (std::size_t k = 0; k < count; ++k) {
    if (!IsAscii(buffers.lines[k])) {
      buffers.originals[k].assign(buffers.lines[k]);
      buffers.hasOriginal[k] = 1;
    }
  }
}

} // namespace

bool CProjectCheckWorker::IsStopAsked() const {
  const CMTWorkerThread* thread = GetWorkerThread();
  return thread == nullptr || thread->IsStopped();
}

bool CProjectCheckWorker::IsStopped() const {
  return IsStopAsked() || RanOutOfMemory();
}

std::vector<SSkippedPage> CProjectCheckWorker::GetSkippedPages() const {
  const std::lock_guard guard(m_skippedMutex);
  return m_skipped;
}

void CProjectCheckWorker::SkipFile(const std::string& path, std::string reason, bool gap) {
  CAppLogger::LogFileError(kPageSkipped, path, reason);
  try {
    const std::lock_guard guard(m_skippedMutex);
    m_skipped.push_back({path, std::move(reason), gap});
  } catch (const std::bad_alloc&) {
    m_outOfMemory.store(true, std::memory_order_release); // the list cannot name it: give up
  }
  Post(MSG_PROJECT_FILE_CHECKED, m_filesDone.fetch_add(1, std::memory_order_acq_rel) + 1);
}

void CProjectCheckWorker::CheckFileGuarded(CHTMLFile* file) {
  try {
    CheckProjectFile(file);
  } catch (const std::bad_alloc&) {
    // The run ends rather than the program: what was found stays, and this page and
    // the unchecked rest are not claimed as checked.
    ThreadBuffers() = SScanBuffers();
    m_outOfMemory.store(true, std::memory_order_release);
    SkipFile(file != nullptr ? file->GetFullPath() : std::string(), "out of memory");
  }
}

bool CProjectCheckWorker::IsIncluded(const CHTMLFile* file) const {
  return CProjectFilter::IsFileIncluded(m_root, m_filters, file);
}

void CProjectCheckWorker::Post(UINT message) const {
  Post(message, GetFilesDone());
}

void CProjectCheckWorker::Post(UINT message, int filesDone) const {
  if (m_targetWindow != 0 && IsWindow(m_targetWindow)) {
    PostMessage(m_targetWindow, message, MakeProgressParam(GetTotalFiles(), filesDone), m_project);
  }
}

int CProjectCheckWorker::CountPendingFiles() const {
  int total = 0;
  for (CDiskFileList::POSITION position = m_fileList->GetHeadPosition(); position != 0;) {
    const auto* file = dynamic_cast<const CHTMLFile*>(m_fileList->GetNext(position));
    if (file != nullptr && IsIncluded(file) && file->IsCheckPending()) {
      ++total;
    }
  }
  return total;
}

void CProjectCheckWorker::Run() {
  if (m_badWords == nullptr || m_fileList == nullptr) {
    return;
  }
  try {
    RunFiles();
  } catch (const std::bad_alloc&) {
    // Outside any one page: the run ends, named by its project, and still reports it.
    m_outOfMemory.store(true, std::memory_order_release);
    CAppLogger::LogFileError(kPageSkipped, m_projectName, "out of memory");
    if (!IsStopAsked()) {
      Post(MSG_PROJECT_CHECK_DONE);
    }
  }
}

void CProjectCheckWorker::RunFiles() {
  CDiskFileListAccess access(*m_fileList);
  m_totalFiles.store(CountPendingFiles(), std::memory_order_release);
  m_filesDone.store(0, std::memory_order_release);
  Post(MSG_PROJECT_CHECK_BEGIN);
  if (m_fileList->GetCount() == 0) {
    Post(MSG_PROJECT_CHECK_DONE);
    return;
  }
  if (m_parallelism > 1) {
    CheckFilesInParallel();
  } else {
    CheckFilesInOrder();
  }
}

void CProjectCheckWorker::CheckFilesInOrder() {
  for (CDiskFileList::POSITION position = m_fileList->GetHeadPosition(); position != 0;) {
    CheckFileGuarded(dynamic_cast<CHTMLFile*>(m_fileList->GetNext(position)));
    if (IsStopped()) {
      break;
    }
  }
  if (!IsStopAsked()) {
    Post(MSG_PROJECT_CHECK_DONE);
  }
}

void CProjectCheckWorker::CheckFilesInParallel() {
  // The helpers work inside this thread's reader access of the file list: taking it
  // themselves could deadlock behind a collector waiting for writer access.
  std::atomic<std::size_t> next{0};
  std::vector<std::jthread> helpers;
  for (int k = 1; k < m_parallelism; ++k) {
    try {
      helpers.emplace_back([this, &next] { CheckClaimedFiles(next); });
    } catch (const std::system_error&) {
      break; // fewer threads, same result
    }
  }
  CheckClaimedFiles(next);
  helpers.clear(); // joins
  if (!IsStopAsked()) {
    Post(MSG_PROJECT_CHECK_DONE);
  }
}

bool CProjectCheckWorker::MakePageText(std::vector<std::string>& lines,
                                       const CProjectCheckWorker* worker) {
  for (const auto& block : kMarkupBlocks) {
    CStringUtils::ReplaceTextBlock(lines, block[0], block[1], "", true);
  }
  for (std::string& line : lines) {
    if (worker != nullptr && worker->IsStopped()) {
      return false;
    }
    CHTMLUtils::ReplaceHTMLReservedChars(line, false, true);
  }
  // References such as "&lt;b&gt;" decode to tags, which a browser shows as text but
  // which are still markup to remove here.
  CStringUtils::ReplaceTextBlock(lines, "<", ">", "", true);
  return true;
}

void CProjectCheckWorker::CheckClaimedFiles(std::atomic<std::size_t>& next) {
  const std::size_t count = m_fileList->GetCount();
  while (!IsStopped()) {
    const std::size_t index = next.fetch_add(1, std::memory_order_relaxed);
    if (index >= count) {
      return;
    }
    CheckFileGuarded(dynamic_cast<CHTMLFile*>(m_fileList->GetAt(m_fileList->FindIndex(index))));
  }
}

void CProjectCheckWorker::CheckProjectFile(CHTMLFile* file) {
  if (file == nullptr || !file->IsCheckPending() || !IsIncluded(file) || m_badWords == nullptr) {
    return;
  }
  const std::string path = file->GetFullPath();
  m_badWords->RemoveFileLocations(path);
  SScanBuffers& buffers = ThreadBuffers();
  std::vector<std::string>& lines = buffers.lines;
  if (!CFileUtils::ReadFileContent(path, lines, false, nullptr)) {
    const int error = errno;
    if (IsStopped()) {
      return;
    }
    if (error == ENOENT && CDirUtils::DoesDirExist(m_root)) {
      // Deleted since it was collected: nothing is left to check, and the next
      // collection drops it. A root that went too makes every page a gap.
      file->SetCheckPending(false);
      SkipFile(path, "deleted during the check", false);
      return;
    }
    SkipFile(path, DescribeReadFailure(error));
    return;
  }
  if (IsStopped()) {
    return;
  }
  KeepOriginals(buffers);
  if (!MakePageText(lines, this)) {
    return;
  }

  buffers.StartFile();
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (IsStopped()) {
      return;
    }
    const std::string* original =
        buffers.hasOriginal[index] != 0 ? &buffers.originals[index] : nullptr;
    GatherLine(lines[index], original, static_cast<int>(index));
  }
  if (IsStopped()) {
    return;
  }
  RecordGathered(file);
  file->SetCheckPending(false);
  // Each file's message carries its own count, also when threads finish at once.
  Post(MSG_PROJECT_FILE_CHECKED, m_filesDone.fetch_add(1, std::memory_order_acq_rel) + 1);
}

void CProjectCheckWorker::RecordGathered(CHTMLFile* file) {
  SScanBuffers& buffers = ThreadBuffers();
  if (buffers.fileWordCount == 0 || file == nullptr) {
    return;
  }
  // Out of memory here ends the run (CheckFileGuarded): a page whose findings are lost
  // must not pass for checked.
  m_badWords->RecordFileFindings(file->GetPath(), file->GetName(), buffers.FileFindings());
  buffers.StartFile();
}

bool CProjectCheckWorker::ScanLine(const std::string& line, CHTMLFile* file, int lineIndex) {
  ThreadBuffers().StartFile();
  const bool clean = GatherLine(line, &line, lineIndex);
  if (m_badWords != nullptr) {
    RecordGathered(file);
  }
  return clean;
}

bool CProjectCheckWorker::GatherLine(const std::string& line, const std::string* original,
                                     int lineIndex) {
  if (CStringUtils::IsEffectivelyEmpty(line)) {
    return true;
  }
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return true;
  }
  SScanBuffers& buffers = ThreadBuffers();
  buffers.copy.assign(line);
  BlankAddresses(buffers.copy);
  CStringUtils::GetWordSpans(buffers.copy, buffers.spans, false);
  buffers.StartLine();
  bool found = false;
  // One reader access for the line's look-ups instead of one per word. It keeps the
  // locking rules: inside it this thread takes only the dictionaries' reader access
  // again (re-entrant, also while a writer waits) and their load mutex, never a writer
  // access and never the bad-word list's lock (the findings are recorded after the
  // file). A dictionary change waits for at most the rest of one line.
  const CSpellLookupScope lookups(speller);
  for (const CStringUtils::Span& span : buffers.spans) {
    if (IsStopped()) {
      return false;
    }
    buffers.word.assign(buffers.copy, span.start, span.length);
    if (!speller->PreprocessWord(buffers.word) || speller->LookUp(buffers.word, m_dictionaryIds)) {
      continue;
    }
    // The n-th unrecognized occurrence of a word is its n-th occurrence in the line.
    // The search goes on from the previous one, and never starts before the word's own
    // token: an earlier match could only lie inside another token (looked up as another
    // word), and starting there keeps the scan linear in the line.
    std::size_t& searchFrom = buffers.SearchFrom(buffers.word);
    searchFrom = std::max(searchFrom, span.start);
    CStringUtils::Span match;
    if (!CStringUtils::FindOccurrenceFrom(buffers.copy, buffers.word, searchFrom, true, match)) {
      searchFrom = buffers.copy.size();
      continue;
    }
    searchFrom = match.start + match.length;
    found = true;
    CBadWordLoc& location = buffers.LocationsOf(buffers.word).emplace_back();
    location.line = lineIndex;
    location.start = static_cast<int>(match.start);
    location.end = static_cast<int>(match.start + match.length);
    location.context = CStringUtils::EllipsisSurroundingWord(line, location.start,
                                                             location.end - location.start, 4);
    if (original != nullptr && location.end <= static_cast<int>(original->size())) {
      location.column = CStringUtils::CountCharacters(*original, match.start);
      location.endColumn = CStringUtils::CountCharacters(*original, match.start + match.length);
    } else {
      // A plain ASCII line: one character per byte.
      location.column = location.start;
      location.endColumn = location.end;
    }
  }
  return !found;
}

void CProjectCheckWorker::BlankAddresses(std::string& line) {
  std::vector<std::string>& found = ThreadBuffers().addresses;
  found.clear();
  CInternetUtils::ParseEmailAddresses(line, found);
  CInternetUtils::ParseWebSiteAddresses(line, found);
  // Longest first: an e-mail address inside "mailto:x@y.fr" blanked first would leave
  // the rest of the web address unmatched, and "mailto:" would be checked as a word.
  std::stable_sort(found.begin(), found.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& address : found) {
    if (address.empty()) {
      continue;
    }
    for (std::size_t at = line.find(address); at != std::string::npos;
         at = line.find(address, at + address.size())) {
      line.replace(at, address.size(), address.size(), ' ');
    }
  }
}

void CProjectCheckWorker::RecordBadWord(const std::string& word, int lineIndex, int start, int end,
                                        std::string context, CHTMLFile* file) {
  if (m_badWords == nullptr || file == nullptr) {
    return;
  }
  CBadWord* recorded = m_badWords->RecordLocation(word, file->GetPath(), file->GetName(), lineIndex,
                                                  start, end, std::move(context));
  m_badWords->SortLocations(recorded);
}

void CProjectCheckWorker::SetParallelism(int threads) {
  m_parallelism = threads < 1 ? 1 : threads;
}

WPARAM CProjectCheckWorker::MakeProgressParam(int total, int done) {
  const auto high = static_cast<WPARAM>(static_cast<unsigned>(total) & 0xFFFFU);
  const auto low = static_cast<WPARAM>(static_cast<unsigned>(done) & 0xFFFFU);
  return (high << 16) | low;
}
