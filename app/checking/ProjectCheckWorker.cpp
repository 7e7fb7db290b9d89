#include "checking/ProjectCheckWorker.h"

#include "checking/BadWordsList.h"
#include "checking/PageScanner.h"
#include "mtcore/MTWorkerThread.h"
#include "mtcore/ThreadNice.h"
#include "projects/HTMLFile.h"
#include "projects/HTMLFileList.h"

#include "diskfiles/DiskFileListAccess.h"
#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>
#include <numeric>
#include <span>
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

/// A page that could not be read or checked: "{ID} - <file> - <reason>".
constexpr const char* kPageSkipped = "{6E0B3C71-2A4F-4D8E-9B15-C7F3A2D84E06}";
/// A language of the run's text that none of the project's dictionaries is for.
constexpr const char* kLanguageUnchecked = "{3F8A2C5D-71B4-4E96-A0D3-9C6E15B7F248}";
/// The reason given for a page that is no text (NULs, mostly control characters).
constexpr const char* kBinaryPage = "binary file, skipped";

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
    CPageScanner::ReleaseBuffers();
    m_outOfMemory.store(true, std::memory_order_release);
    SkipFile(file != nullptr ? file->GetFullPath() : std::string(), "out of memory");
  }
}

bool CProjectCheckWorker::IsIncluded(const CHTMLFile* file) const {
  if (m_pageSelection != nullptr &&
      (file == nullptr || !m_pageSelection->contains(file->GetFullPath()))) {
    return false;
  }
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
  m_unchecked.Clear();
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
    LogUncheckedLanguages();
    Post(MSG_PROJECT_CHECK_DONE);
  }
}

void CProjectCheckWorker::CheckFilesInParallel() {
  // The helpers work inside this thread's reader access of the file list: taking it
  // themselves could deadlock behind a collector waiting for writer access.
  std::atomic<std::size_t> next{0};
  const std::vector<std::size_t> order = LargestFirst();
  // The helpers yield to the desktop exactly as the run's own thread does; each sets
  // its own nice value, since Linux keeps one per thread.
  const int nice = CThreadNice::OfCallingThread();
  std::vector<std::jthread> helpers;
  for (int k = 1; k < m_parallelism; ++k) {
    try {
      helpers.emplace_back([this, &next, &order, nice] {
        CThreadNice::SetForCallingThread(nice);
        CheckClaimedFiles(next, order);
      });
    } catch (const std::system_error&) {
      break; // fewer threads, same result
    }
  }
  CheckClaimedFiles(next, order);
  helpers.clear(); // joins
  if (!IsStopAsked()) {
    LogUncheckedLanguages();
    Post(MSG_PROJECT_CHECK_DONE);
  }
}

void CProjectCheckWorker::LogUncheckedLanguages() const {
  for (const CUncheckedLanguages::SLanguage& language : m_unchecked.Get()) {
    CAppLogger::LogFileError(kLanguageUnchecked, m_projectName,
                             CUncheckedLanguages::Describe(language));
  }
}

std::vector<std::size_t> CProjectCheckWorker::LargestFirst() const {
  // The largest pages go first, so that the run does not end with one thread on a
  // large page while the others wait; sizes not known count as 0, ties keep list order.
  const auto size = [this](std::size_t index) {
    const CDiskFile* file = m_fileList->GetAt(m_fileList->FindIndex(index));
    return file == nullptr ? std::int64_t{0} : std::max<std::int64_t>(file->GetSize(), 0);
  };
  std::vector<std::size_t> order(m_fileList->GetCount());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&size](std::size_t a, std::size_t b) { return size(a) > size(b); });
  return order;
}

void CProjectCheckWorker::CheckClaimedFiles(std::atomic<std::size_t>& next,
                                            const std::vector<std::size_t>& order) {
  while (!IsStopped()) {
    const std::size_t claim = next.fetch_add(1, std::memory_order_relaxed);
    if (claim >= order.size()) {
      return;
    }
    CheckFileGuarded(
        dynamic_cast<CHTMLFile*>(m_fileList->GetAt(m_fileList->FindIndex(order[claim]))));
  }
}

void CProjectCheckWorker::CheckProjectFile(CHTMLFile* file) {
  if (file == nullptr || !file->IsCheckPending() || !IsIncluded(file) || m_badWords == nullptr) {
    return;
  }
  const std::string path = file->GetFullPath();
  m_badWords->RemoveFileLocations(path);
  if (!CFileUtils::ReadFileContent(path, CPageScanner::Lines(), false, nullptr)) {
    const int error = errno;
    if (IsStopped()) {
      return;
    }
    if (error == EILSEQ) {
      // No text, so no words: left out on purpose, and again only once it changes.
      file->SetCheckPending(false);
      SkipFile(path, kBinaryPage, false);
      return;
    }
    if (error == ENOENT && CDirUtils::DoesDirExist(m_root)) {
      // Deleted since it was collected: nothing is left to check, and the next
      // collection drops it. A root that went too makes every page a gap.
      file->SetCheckPending(false);
      SkipFile(path, "deleted during the check", false);
      return;
    }
    SkipFile(path, CFileUtils::DescribeContentReadError(error));
    return;
  }
  if (IsStopped()) {
    return;
  }
  CPageScanner::ClearFindings();
  if (!MakeScanner().ScanFile()) {
    return;
  }
  RecordGathered(file);
  file->SetCheckPending(false);
  // Each file's message carries its own count, also when threads finish at once.
  Post(MSG_PROJECT_FILE_CHECKED, m_filesDone.fetch_add(1, std::memory_order_acq_rel) + 1);
}

void CProjectCheckWorker::RecordGathered(CHTMLFile* file) {
  m_unchecked.Add(CPageScanner::UncheckedWords());
  const std::span<CBadWordsList::SFileFindings> findings = CPageScanner::Findings();
  if (findings.empty() || file == nullptr) {
    return;
  }
  // Out of memory here ends the run (CheckFileGuarded): a page whose findings are lost
  // must not pass for checked.
  m_badWords->RecordFileFindings(file->GetPath(), file->GetName(), findings);
  CPageScanner::ClearFindings();
}

CPageScanner CProjectCheckWorker::MakeScanner() const {
  return CPageScanner(
      m_dictionaryIds, [this] { return IsStopped(); }, m_excerpts, m_codeSamples, m_attributeText,
      m_repeatedWords, m_wordShapes);
}

bool CProjectCheckWorker::ScanLine(const std::string& line, CHTMLFile* file, int lineIndex) {
  CPageScanner::ClearFindings();
  const bool clean = MakeScanner().ScanLine(line, &line, lineIndex);
  if (m_badWords != nullptr) {
    RecordGathered(file);
  }
  return clean;
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
  const auto count = [](int value) { return static_cast<WPARAM>(value < 0 ? 0 : value); };
  return (count(total) << kProgressShift) | count(done);
}
