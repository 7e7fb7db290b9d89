#include "checking/ProjectCheckWorker.h"

#include "checking/BadWordsList.h"
#include "mtcore/MTWorkerThread.h"
#include "projects/HTMLFile.h"
#include "projects/HTMLFileList.h"

#include "diskfiles/DiskFileListAccess.h"
#include "spellcore/SpellChecker.h"
#include "utilcore/FileUtils.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/InternetUtils.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>
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
  std::string copy;
  std::string word;
  std::vector<CStringUtils::Span> spans;
  std::vector<SOccurrence> occurrences;
  std::size_t occurrenceCount = 0;
  std::vector<std::string> addresses;
  /// The words recorded in the file being checked, to be sorted after it.
  std::vector<CBadWord*> recorded;

  SOccurrence& OccurrenceOf(const std::string& text) {
    for (std::size_t k = 0; k < occurrenceCount; ++k) {
      if (occurrences[k].word == text) {
        return occurrences[k];
      }
    }
    if (occurrenceCount == occurrences.size()) {
      occurrences.emplace_back();
    }
    SOccurrence& added = occurrences[occurrenceCount++];
    added.word.assign(text);
    added.searchFrom = 0;
    return added;
  }
};

SScanBuffers& ThreadBuffers() {
  thread_local SScanBuffers buffers;
  return buffers;
}

} // namespace

bool CProjectCheckWorker::IsStopped() const {
  const CMTWorkerThread* thread = GetWorkerThread();
  return thread == nullptr || thread->IsStopped();
}

bool CProjectCheckWorker::IsIncluded(const CHTMLFile* file) const {
  return CProjectFilter::IsFileIncluded(m_root, m_filters, file);
}

void CProjectCheckWorker::Post(UINT message) const {
  if (m_targetWindow != 0 && IsWindow(m_targetWindow)) {
    PostMessage(m_targetWindow, message, MakeProgressParam(GetTotalFiles(), GetFilesDone()),
                m_project);
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
    CheckProjectFile(dynamic_cast<CHTMLFile*>(m_fileList->GetNext(position)));
    if (IsStopped()) {
      return;
    }
  }
  Post(MSG_PROJECT_CHECK_DONE);
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
  if (!IsStopped()) {
    Post(MSG_PROJECT_CHECK_DONE);
  }
}

void CProjectCheckWorker::CheckClaimedFiles(std::atomic<std::size_t>& next) {
  const std::size_t count = m_fileList->GetCount();
  while (!IsStopped()) {
    const std::size_t index = next.fetch_add(1, std::memory_order_relaxed);
    if (index >= count) {
      return;
    }
    CheckProjectFile(dynamic_cast<CHTMLFile*>(m_fileList->GetAt(m_fileList->FindIndex(index))));
  }
}

void CProjectCheckWorker::CheckProjectFile(CHTMLFile* file) {
  if (file == nullptr || !file->IsCheckPending() || !IsIncluded(file) || m_badWords == nullptr) {
    return;
  }
  const std::string path = file->GetFullPath();
  m_badWords->RemoveFileLocations(path);
  std::vector<std::string> lines;
  // An unreadable or vanished file gives no lines and is checked as an empty file.
  CFileUtils::ReadFileContent(path, lines, false, nullptr);
  if (IsStopped()) {
    return;
  }
  for (const auto& block : kMarkupBlocks) {
    CStringUtils::ReplaceTextBlock(lines, block[0], block[1], "", true);
  }
  for (std::string& line : lines) {
    if (IsStopped()) {
      return;
    }
    CHTMLUtils::ReplaceHTMLReservedChars(line, false, true);
  }
  // References such as "&lt;b&gt;" decode to tags, which a browser shows as text but
  // which are still markup to remove here.
  CStringUtils::ReplaceTextBlock(lines, "<", ">", "", true);

  SScanBuffers& buffers = ThreadBuffers();
  buffers.recorded.clear();
  bool anyFinding = false;
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (IsStopped()) {
      return;
    }
    if (!ScanLine(lines[index], file, static_cast<int>(index))) {
      anyFinding = true;
    }
  }
  if (anyFinding && !SortRecordedLocations()) {
    return;
  }
  file->SetCheckPending(false);
  m_filesDone.fetch_add(1, std::memory_order_acq_rel);
  Post(MSG_PROJECT_FILE_CHECKED);
}

bool CProjectCheckWorker::SortRecordedLocations() {
  // Only the words found in this file gained locations; every other word's list is
  // still in the order its last sort left it.
  std::vector<CBadWord*>& recorded = ThreadBuffers().recorded;
  std::sort(recorded.begin(), recorded.end());
  recorded.erase(std::unique(recorded.begin(), recorded.end()), recorded.end());
  for (CBadWord* word : recorded) {
    if (IsStopped()) {
      return false;
    }
    m_badWords->SortLocations(word);
  }
  recorded.clear();
  return true;
}

bool CProjectCheckWorker::ScanLine(const std::string& line, CHTMLFile* file, int lineIndex) {
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
  buffers.occurrenceCount = 0;
  bool found = false;
  for (const CStringUtils::Span& span : buffers.spans) {
    if (IsStopped()) {
      return false;
    }
    buffers.word.assign(buffers.copy, span.start, span.length);
    if (!speller->PreprocessWord(buffers.word) || speller->LookUp(buffers.word, m_dictionaryIds)) {
      continue;
    }
    // The n-th unrecognized occurrence of a word is its n-th occurrence in the line:
    // searching on from the previous one keeps the scan linear in the line.
    SOccurrence& occurrence = buffers.OccurrenceOf(buffers.word);
    CStringUtils::Span match;
    if (!CStringUtils::FindOccurrenceFrom(buffers.copy, buffers.word, occurrence.searchFrom, true,
                                          match)) {
      occurrence.searchFrom = buffers.copy.size();
      continue;
    }
    occurrence.searchFrom = match.start + match.length;
    found = true;
    const int start = static_cast<int>(match.start);
    const int length = static_cast<int>(match.length);
    RecordBadWord(buffers.word, lineIndex, start, start + length,
                  CStringUtils::EllipsisSurroundingWord(line, start, length, 4), file);
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
  try {
    CBadWord* recorded = m_badWords->RecordLocation(word, file->GetPath(), file->GetName(),
                                                    lineIndex, start, end, std::move(context));
    ThreadBuffers().recorded.push_back(recorded);
  } catch (const std::bad_alloc&) {
    // Out of memory: the finding is lost, the scan goes on.
  }
}

void CProjectCheckWorker::SetParallelism(int threads) {
  m_parallelism = threads < 1 ? 1 : threads;
}

WPARAM CProjectCheckWorker::MakeProgressParam(int total, int done) {
  const auto high = static_cast<WPARAM>(static_cast<unsigned>(total) & 0xFFFFU);
  const auto low = static_cast<WPARAM>(static_cast<unsigned>(done) & 0xFFFFU);
  return (high << 16) | low;
}
