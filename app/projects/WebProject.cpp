#include "projects/WebProject.h"

#include "projects/HTMLFile.h"
#include "projects/ProjectMsgWnd.h"

#include "spellcore/SpellChecker.h"

#include "diskfiles/DiskFileListAccess.h"
#include "diskfiles/FileCollector.h"
#include "mtcore/DirMonitorThread.h"
#include "mtcore/MTWorkerThread.h"
#include "mtcore/ReaderAccess.h"
#include "mtcore/TimerThread.h"
#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/HTMLUtils.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <set>
#include <string_view>
#include <thread>

const UINT CWebProject::MSG_PROJECT_START =
    RegisterWindowMessageA("27FF44D7-15A6-4d83-A726-7FAC0E802DD4");
const UINT CWebProject::MSG_PROJECT_DIR_CHANGED =
    RegisterWindowMessageA("663307A8-3235-4a5b-8683-4226B32E4539");
const UINT CWebProject::MSG_PROJECT_COLLECT_BEGIN =
    RegisterWindowMessageA("9AEF0C75-0FCF-4f29-939E-CDFAC65FD6C9");
const UINT CWebProject::MSG_PROJECT_COLLECT_DONE =
    RegisterWindowMessageA("715DC0B4-854B-4449-BE3D-A0EF75728B6C");
const UINT CWebProject::MSG_PROJECT_WORDS_REMOVED =
    RegisterWindowMessageA("CD335B4D-45F4-4e67-977D-46064FC4BD93");

namespace {
constexpr std::uint32_t kStartDelayMs = 1450;
/// File names, folder names and last-write times.
constexpr std::uint32_t kDirChangeFilter = CDirMonitorThread::CHANGE_FILE_NAME |
                                           CDirMonitorThread::CHANGE_DIR_NAME |
                                           CDirMonitorThread::CHANGE_LAST_WRITE;
constexpr std::uint32_t kDirChangePeriodMs = 2000;
constexpr int kBackgroundPriority = -1;

/// A folder or link the collection left out: "{ID} - <path> - <reason>".
constexpr const char* kPlaceSkipped = "{2D5A8E93-41C7-4B0F-A6E2-97F1C3B5D840}";

std::string DescribeSkipped(const CDirScan::Skipped& place) {
  std::string text = CDirScan::DescribeSkip(place.reason);
  if (!place.detail.empty()) {
    text.append(": ").append(place.detail);
  }
  return text;
}

constexpr const char* kAddToDictionaryName = "ZEB Custom";
/// The site's own word list, at the root; no page extension, so never collected.
constexpr const char* kSiteWordsFileName = ".pagelint-words";
/// "- project name - dictionary name" follow: a saved name that no dictionary has.
constexpr const char* kMissingDictionaryLog = "{3220960F-9C57-4D24-932A-375F14483234}";
/// "- project name - N more dictionaries no longer exist": the missing names past
/// those logged one by one.
constexpr const char* kMoreMissingDictionariesLog = "{702161D4-23B5-48A3-BC3D-BF5A2B4DB480}";
constexpr const char* kNoWindowError =
    "Pagelint internal error: unable to start processing this project.";
constexpr const char* kNoRootError =
    "This project's local directory is no longer valid. If you moved or renamed the "
    "project's files, then select the new directory. If you deleted the project, you "
    "should consider deleting this project from Pagelint.";

void AppendUnlessPresent(std::vector<int>& ids, int id) {
  if (id != -1 && std::find(ids.begin(), ids.end(), id) == ids.end()) {
    ids.push_back(id);
  }
}

/// How many names a site's word list tries, the plain one first, when other
/// dictionaries have them: a user's word list may bear the name by chance.
constexpr int kSiteWordsNameTries = 20;

/// The `number`th name tried: "<name>", then "<name> (2)", "<name> (3)"...
std::string NumberedName(const std::string& name, int number) {
  return number < 2 ? name : name + " (" + std::to_string(number) + ")";
}

/// Calls `take` with each name to try until it returns a valid id; that id, or -1.
template <class Take> int FirstFreeName(const std::string& name, Take take) {
  for (int number = 1; number <= kSiteWordsNameTries; ++number) {
    if (const int id = take(NumberedName(name, number)); id != -1) {
      return id;
    }
  }
  return -1;
}
} // namespace

/// Shows the wait cursor for its scope.
class CWebProject::CWaitCursor {
public:
  explicit CWaitCursor(const WaitCursorHook& hook) : m_hook(hook) { Show(true); }
  ~CWaitCursor() { Show(false); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
  void Show(bool show) const {
    if (m_hook) {
      m_hook(show);
    }
  }

  const WaitCursorHook& m_hook;
};

CWebProject::CWebProject() : m_msgWindow(std::make_unique<CProjectMsgWnd>()) {
  TakeSpellerDictionaries();
}

CWebProject::~CWebProject() {
  // Normally StopProject ran already; no thread may outlive the lists it uses.
  StopProject();
  m_fileCollector.reset();
}

void CWebProject::TakeSpellerDictionaries() {
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return;
  }
  m_addToDictionaryId = speller->GetDictionaryID(kAddToDictionaryName);
  std::vector<int> ids;
  speller->GetDictionaries(ids, true, true);
  const std::string ignoreName = GetIgnoreDictionaryName();
  std::string name;
  for (const int id : ids) {
    speller->GetDictionaryName(id, name);
    if (name.empty()) {
      continue;
    }
    if (name == ignoreName) {
      m_ignoreId = id;
    } else if (CProjectNaming::IsIgnoreDictionaryName(name)) {
      continue; // another project's ignore dictionary
    } else if (speller->IsSiteWordList(id)) {
      continue; // another site's words
    }
    m_activeDictionaries.push_back(id);
  }
}

bool CWebProject::IsFileIncluded(const CDiskFile* file) const {
  return CProjectFilter::IsFileIncluded(m_rootDirectory, m_filters, file);
}

std::string CWebProject::RelativeDirAt(int index) const {
  const std::string fullPath = m_fileList.FullPathAt(index);
  if (fullPath.empty()) {
    return {};
  }
  std::string_view rest(fullPath);
  rest.remove_prefix(std::min(m_rootDirectory.size(), rest.size()));
  // A root written without its final "/" leaves one in front: never ".//".
  while (!rest.empty() && rest.front() == '/') {
    rest.remove_prefix(1);
  }
  return "./" + CDirUtils::ParsePathFromFile(std::string(rest));
}

bool CWebProject::SetActiveDictionaries(std::vector<int> ids) {
  if (m_ignoreId > 0) {
    AppendUnlessPresent(ids, m_ignoreId);
  }
  // The site's words belong to the site, as its ignore list belongs to the project.
  AppendUnlessPresent(ids, m_siteWordsId);
  if (ids == m_activeDictionaries) {
    return false;
  }
  m_activeDictionaries = std::move(ids);
  m_fileList.MarkAllPending();
  return true;
}

bool CWebProject::StartProject(std::string& errorText) {
  ResolveDictionaries();
  if (!EnsureMessageWindow()) {
    errorText = kNoWindowError;
    return false;
  }
  if (!CDirUtils::DoesDirExist(m_rootDirectory)) {
    errorText = kNoRootError;
    return false;
  }
  StopStartTimer(); // a second start replaces the delay under way
  // The project on screen starts once the event loop turns, right after the window
  // shows: its words are what the user waits for. The others keep the delay, so that
  // they do not compete with it for the disk.
  if (m_current && PostMessage(m_msgWindowHandle, MSG_PROJECT_START, 0, 0)) {
    return true;
  }
  m_startTimer = std::make_unique<CTimerThread>(MSG_PROJECT_START, m_msgWindowHandle, kStartDelayMs,
                                                true, false, 0);
  if (!m_startTimer->IsStarted()) {
    m_startTimer.reset();
    OnProjectStart();
  }
  return true;
}

std::string CWebProject::GetSiteWordsPath() const {
  if (m_rootDirectory.empty()) {
    return {};
  }
  std::string path = m_rootDirectory;
  CDirUtils::EnsureTrailingBackslash(path);
  return path + kSiteWordsFileName;
}

void CWebProject::UseSiteWordList() {
  CSpellChecker* speller = CSpellChecker::GetInstance();
  const std::string path = GetSiteWordsPath();
  if (speller == nullptr || path.empty()) {
    return;
  }
  m_siteWordsId = FirstFreeName(GetSiteWordsName(), [&](const std::string& name) {
    return speller->AddSiteWordList(name, path);
  });
  AppendUnlessPresent(m_activeDictionaries, m_siteWordsId);
}

void CWebProject::RenameSiteWordList() {
  CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr || m_siteWordsId == -1) {
    return;
  }
  FirstFreeName(GetSiteWordsName(), [&](const std::string& name) {
    return speller->RenameSiteWordList(m_siteWordsId, name) ? m_siteWordsId : -1;
  });
}

void CWebProject::ResolveDictionaries() {
  CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return;
  }
  // Registered before the saved names are resolved: they may name it.
  UseSiteWordList();
  if (!m_loadedDictionaryNames.empty()) {
    m_activeDictionaries.clear();
    m_missingDictionaryNames.clear();
    for (const std::string& name : m_loadedDictionaryNames) {
      // An unknown name keeps its place as -1, which no lookup uses; the words it held
      // will be flagged, so the log says why.
      const int id = speller->GetDictionaryID(name);
      if (id == -1 && std::find(m_missingDictionaryNames.begin(), m_missingDictionaryNames.end(),
                                name) == m_missingDictionaryNames.end()) {
        m_missingDictionaryNames.push_back(name);
      }
      m_activeDictionaries.push_back(id);
    }
    m_loadedDictionaryNames.clear();
    LogMissingDictionaries();
    AppendUnlessPresent(m_activeDictionaries, m_siteWordsId);
  }
  if (m_ignoreId == -1) {
    const std::string ignoreName = GetIgnoreDictionaryName();
    m_ignoreId = speller->GetDictionaryID(ignoreName);
    if (m_ignoreId == -1 && speller->AddCustomDictionary(ignoreName)) {
      m_ignoreId = speller->GetDictionaryID(ignoreName);
    }
    AppendUnlessPresent(m_activeDictionaries, m_ignoreId);
  }
  if (m_addToDictionaryId == -1) {
    m_addToDictionaryId = speller->GetDictionaryID(kAddToDictionaryName);
    AppendUnlessPresent(m_activeDictionaries, m_addToDictionaryId);
  }
}

void CWebProject::LogMissingDictionaries() const {
  const std::size_t listed = std::min(m_missingDictionaryNames.size(), kMissingDictionariesListed);
  for (std::size_t i = 0; i < listed; ++i) {
    CAppLogger::LogFileError(kMissingDictionaryLog, m_name, m_missingDictionaryNames[i]);
  }
  // However many a damaged file names, the log gets one line more.
  if (const std::size_t rest = m_missingDictionaryNames.size() - listed; rest > 0) {
    CAppLogger::LogFileError(kMoreMissingDictionariesLog, m_name,
                             std::to_string(rest) + " more dictionaries no longer exist");
  }
}

bool CWebProject::EnsureMessageWindow() {
  if (!m_msgWindow) {
    return false;
  }
  if (m_msgWindowHandle != 0 && IsWindow(m_msgWindowHandle)) {
    return true;
  }
  if (!IsWindow(m_msgWindow->GetSafeHwnd())) {
    // A destroyed target cannot come back: a fresh one of this thread takes its place.
    m_msgWindow = std::make_unique<CProjectMsgWnd>();
  }
  m_msgWindowHandle = m_msgWindow->CreateProjectWindow(this) ? m_msgWindow->GetSafeHwnd() : 0;
  return m_msgWindowHandle != 0;
}

void CWebProject::OnProjectStart() {
  if (!EnsureMessageWindow()) {
    return;
  }
  StopStartTimer();
  RestartCollection();
}

void CWebProject::RestartCollection() {
  const CWaitCursor waitCursor(m_waitCursorHook);
  StopWorker();
  StopDirMonitor();
  m_fileList.RemoveAll();
  m_badWords.ClearWords();
  if (!CDirUtils::DoesDirExist(m_rootDirectory) || !EnsureMessageWindow()) {
    return;
  }
  StartDirMonitor();
  SetCheckState(ECheckState::Collecting);
  if (!StartOrRefreshCollector()) {
    // No thread to collect (the failure is logged): a collection that never ends would
    // keep every caller waiting.
    StopDirMonitor();
    SetCheckState(ECheckState::NotStarted);
  }
}

void CWebProject::StartDirMonitor() {
  if (m_changeWatch == EChangeWatch::kUnwatched) {
    return;
  }
  auto monitor = std::make_unique<CDirMonitorThread>(
      m_rootDirectory, true, kDirChangeFilter, MSG_PROJECT_DIR_CHANGED, m_msgWindowHandle,
      kDirChangePeriodMs, reinterpret_cast<LPARAM>(this));
  if (!monitor->IsValid()) {
    return; // the project goes on without noticing changes
  }
  monitor->SetPriority(kBackgroundPriority);
  m_dirMonitor = std::move(monitor);
}

bool CWebProject::StartOrRefreshCollector() {
  // The collector posts to the window it was made with; a new window needs a new one.
  if (m_fileCollector && m_collectorWindow == m_msgWindowHandle) {
    m_fileCollector->SetDir(m_rootDirectory);
    m_fileCollector->Refresh();
    return true;
  }
  m_fileCollector.reset();
  std::vector<std::string> extensions;
  CHTMLUtils::GetSupportedHTMLFiles(extensions, true);
  auto collector = std::make_unique<CFileCollector>(m_rootDirectory, true, extensions,
                                                    std::vector<std::string>(), &m_fileList,
                                                    m_msgWindowHandle, 0, false);
  if (!collector->IsValid()) {
    return false;
  }
  collector->SetPriority(kBackgroundPriority);
  collector->Refresh();
  m_fileCollector = std::move(collector);
  m_collectorWindow = m_msgWindowHandle;
  return true;
}

void CWebProject::OnDirChanged(LPARAM project) {
  if (project == reinterpret_cast<LPARAM>(this) && m_fileCollector) {
    m_fileCollector->Refresh();
  }
}

void CWebProject::OnCollectBegin() {
  PostToTarget(MSG_PROJECT_COLLECT_BEGIN);
}

void CWebProject::OnCollectionDone() {
  // The state of a run still ending is the run's to set, and changes that wait for
  // "Spell Check Again" keep waiting: a pass that finds nothing new says nothing of
  // pages found changed before.
  ECheckState state = GetCheckState();
  while (state != ECheckState::Checking && state != ECheckState::OutOfDate &&
         !m_checkState.compare_exchange_weak(state, ECheckState::Collected)) {
  }
  if (!m_fileCollector) {
    return;
  }
  LogNewSkippedPlaces();
  const CFileChanges changes = m_fileCollector->TakeChanges();
  if (!changes.removed.empty()) {
    RemoveFindingsOf(changes.removed);
    PostToTarget(MSG_PROJECT_WORDS_REMOVED);
  }
  MarkPending(changes.modified);
  PostToTarget(MSG_PROJECT_COLLECT_DONE);
  if (changes.added.empty() && changes.modified.empty()) {
    return;
  }
  if (IsCheckedOnce()) {
    MarkOutOfDate();
    return;
  }
  StartCheckWorker();
}

void CWebProject::RemoveFindingsOf(const std::vector<std::string>& removedPaths) {
  bool listEmpty = false;
  {
    const CDiskFileListAccess access(m_fileList);
    listEmpty = m_fileList.GetCount() == 0;
  }
  if (listEmpty) {
    m_badWords.ClearWords();
    return;
  }
  for (const std::string& path : removedPaths) {
    m_badWords.RemoveFileLocations(path);
  }
}

void CWebProject::MarkChangedPages(const std::vector<std::string>& paths) {
  if (paths.empty() || GetCheckState() == ECheckState::Checking) {
    return;
  }
  MarkPending(paths);
  if (IsCheckedOnce()) {
    MarkOutOfDate();
  }
}

void CWebProject::MarkDictionaryChanged() {
  m_fileList.MarkAllPending();
  MarkOutOfDate();
}

void CWebProject::MarkOutOfDate() {
  m_runOutOfDate.store(true);
  ECheckState state = GetCheckState();
  while ((state == ECheckState::Checked || state == ECheckState::Collected) &&
         !m_checkState.compare_exchange_weak(state, ECheckState::OutOfDate)) {
  }
}

void CWebProject::MarkPending(const std::vector<std::string>& modifiedPaths) {
  if (modifiedPaths.empty()) {
    return;
  }
  const CDiskFileListAccess access(m_fileList);
  for (const std::string& path : modifiedPaths) {
    if (auto* file = dynamic_cast<CHTMLFile*>(m_fileList.Find(path, false))) {
      file->SetCheckPending(true);
    }
  }
}

void CWebProject::StartCheckWorker() {
  StopWorker();
  // The new run reads every page and dictionary as they are now.
  m_runOutOfDate.store(false);
  m_badWords.ClearWords();
  // The findings of every file went, so every file is checked again.
  m_fileList.MarkAllPending();
  auto worker = std::make_unique<CProjectCheckWorker>(reinterpret_cast<LPARAM>(this), &m_fileList,
                                                      &m_badWords, m_targetWindow, m_rootDirectory,
                                                      m_filters, m_activeDictionaries, m_name);
  worker->SetParallelism(m_checkParallelism);
  worker->SetExcerpts(m_checkExcerpts);
  worker->SetPageSelection(m_pageSelection);
  worker->SetCodeSamples(m_options.skipCodeSamples ? CPageScanner::ECodeSamples::kSkipped
                                                   : CPageScanner::ECodeSamples::kChecked);
  worker->SetAttributeText(m_options.checkImageText ? CPageScanner::EAttributeText::kChecked
                                                    : CPageScanner::EAttributeText::kSkipped);
  worker->SetRepeatedWords(m_options.reportRepeatedWords ? CPageScanner::ERepeatedWords::kReported
                                                         : CPageScanner::ERepeatedWords::kLeftOut);
  worker->SetWordShapes(
      CWordShapes(m_options.ignoreUppercaseWords ? CWordShapes::EUppercase::kIgnored
                                                 : CWordShapes::EUppercase::kChecked,
                  m_options.ignoreWordsWithNumbers ? CWordShapes::ENumbers::kIgnored
                                                   : CWordShapes::ENumbers::kChecked));
  CProjectCheckWorker* record = worker.get();
  m_worker = std::move(worker);
  auto thread = std::make_unique<CMTWorkerThread>(
      [this, record](void*) { return RunCheck(*record); }, record, m_checkPriority);
  if (!thread->IsStarted()) {
    return; // nothing runs, so the state does not claim a run
  }
  m_workerThread = std::move(thread);
  record->SetWorkerThread(m_workerThread.get());
  SetCheckState(ECheckState::Checking);
}

unsigned CWebProject::RunCheck(CProjectCheckWorker& worker) {
  // The creating thread hands the record its thread object after the start.
  while (worker.GetWorkerThread() == nullptr) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  SetCheckState(ECheckState::Checking);
  m_checkTimer.Start();
  worker.Run();
  // Recorded before the state says "checked": a thread that sees that state must also
  // see the run counted and timed.
  m_checkedOnce.store(true, std::memory_order_release);
  m_elapsedSeconds.store(static_cast<std::uint32_t>(m_checkTimer.Stop() / 1000),
                         std::memory_order_release);
  // Changes collected during the run keep the project out of date.
  ECheckState state = GetCheckState();
  while (state != ECheckState::OutOfDate &&
         !m_checkState.compare_exchange_weak(state, ECheckState::Checked)) {
  }
  // Read only after the state says "checked": MarkOutOfDate sets the flag before it
  // looks at the state, so one of the two always sees the other.
  if (m_runOutOfDate.load()) {
    state = ECheckState::Checked;
    m_checkState.compare_exchange_strong(state, ECheckState::OutOfDate);
  }
  return 0;
}

bool CWebProject::IsIdle() const {
  const ECheckState state = GetCheckState();
  if (state == ECheckState::Collecting) {
    return false;
  }
  // A run keeps its thread until it ends; "out of date" may be set while it goes on.
  return m_workerThread == nullptr || m_workerThread->Wait(0);
}

std::vector<SSkippedPage> CWebProject::GetSkippedPages() const {
  std::vector<SSkippedPage> skipped;
  if (m_fileCollector) {
    for (const CDirScan::Skipped& place : m_fileCollector->GetSkipped()) {
      skipped.push_back({place.path, DescribeSkipped(place), CDirScan::IsGap(place.reason)});
    }
  }
  if (m_worker) {
    std::vector<SSkippedPage> pages = m_worker->GetSkippedPages();
    skipped.insert(skipped.end(), std::make_move_iterator(pages.begin()),
                   std::make_move_iterator(pages.end()));
  }
  return skipped;
}

std::vector<CUncheckedLanguages::SLanguage> CWebProject::GetUncheckedLanguages() const {
  return m_worker ? m_worker->GetUncheckedLanguages()
                  : std::vector<CUncheckedLanguages::SLanguage>();
}

void CWebProject::LogNewSkippedPlaces() {
  if (!m_fileCollector) {
    return;
  }
  std::set<std::string> logged;
  for (const CDirScan::Skipped& place : m_fileCollector->GetSkipped()) {
    std::string line = place.path + '\n' + DescribeSkipped(place);
    // A folder that stays unreadable is logged once, not at every pass.
    if (!m_loggedSkips.contains(line)) {
      CAppLogger::LogFileError(kPlaceSkipped, place.path, DescribeSkipped(place));
    }
    logged.insert(std::move(line));
  }
  m_loggedSkips = std::move(logged);
}

void CWebProject::StopWorker() {
  if (m_workerThread) {
    m_workerThread->Stop();
    m_workerThread->Wait(INFINITE);
    m_workerThread.reset();
  }
  m_worker.reset();
}

void CWebProject::StopStartTimer() {
  if (m_startTimer) {
    m_startTimer->Stop(INFINITE);
    m_startTimer.reset();
  }
}

void CWebProject::StopDirMonitor() {
  if (m_dirMonitor) {
    m_dirMonitor->Stop(INFINITE);
    m_dirMonitor.reset();
  }
}

void CWebProject::StopProject() {
  m_undoList.RemoveAll();
  ReleaseHeldAccess();
  if (m_msgWindow) {
    m_msgWindow->DisableDispatch();
  }
  StopStartTimer();
  StopWorker();
  StopDirMonitor();
  m_fileList.RemoveAll();
  m_badWords.ClearWords();
  m_msgWindow.reset();
  m_msgWindowHandle = 0;
}

void CWebProject::HoldReaderAccess() {
  if (!m_heldAccess) {
    m_heldAccess = std::make_unique<CReaderAccess>(m_badWords);
  }
}

void CWebProject::ReleaseHeldAccess() {
  m_heldAccess.reset();
}

int CWebProject::DefaultCheckParallelism() {
  const unsigned int cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

void CWebProject::SetWorkerPriority(int priority) {
  if (m_workerThread) {
    m_workerThread->SetPriority(priority);
  }
}

void CWebProject::PostToTarget(UINT message) const {
  PostMessage(m_targetWindow, message, 0, reinterpret_cast<LPARAM>(this));
}
