#pragma once

#include "checking/BadWordsList.h"
#include "checking/ProjectCheckWorker.h"
#include "checking/ProjectFilter.h"
#include "checking/ProjectOptions.h"
#include "checking/UncheckedLanguages.h"
#include "projects/CheckState.h"
#include "projects/HTMLFileList.h"
#include "projects/ProjectNaming.h"
#include "replace/UndoList.h"

#include "mtcore/WindowMessages.h"
#include "utilcore/TimingUtils.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CDirMonitorThread;
class CDiskFile;
class CFileCollector;
class CProjectMsgWnd;
class CReaderAccess;
class CTimerThread;

/// One web site project: its root folder, filters, dictionaries and findings, and the
/// threads that collect and check its files. Every member belongs to the thread that
/// created the project (the user interface thread) unless its comment says otherwise.
class CWebProject {
public:
  /// The start delay has elapsed (timer thread to the message window; lParam 0).
  static const UINT MSG_PROJECT_START;
  /// Something changed below the root (directory monitor to the message window).
  static const UINT MSG_PROJECT_DIR_CHANGED;
  /// A collection pass began (to the target window; wParam 0, lParam the project).
  static const UINT MSG_PROJECT_COLLECT_BEGIN;
  /// The file list is current (to the target window; wParam 0, lParam the project).
  static const UINT MSG_PROJECT_COLLECT_DONE;
  /// Removed files' findings were dropped (to the target window; lParam the project).
  static const UINT MSG_PROJECT_WORDS_REMOVED;

  /// The missing dictionaries named one by one in the log (and by pagelint-check); the
  /// rest are counted in one line.
  static constexpr std::size_t kMissingDictionariesListed = 10;
  /// After the project's name, the name of its site's own word list.
  static constexpr const char* kSiteWordsSuffix = " Site Words";

  /// Shows (true) or hides (false) the wait cursor around lengthy operations.
  using WaitCursorHook = std::function<void(bool show)>;

  /// Takes the add-to-dictionary and active dictionary ids from the speller, if any.
  CWebProject();
  /// Call StopProject first; deletes the file collector before the lists.
  ~CWebProject();
  CWebProject(const CWebProject&) = delete;
  CWebProject& operator=(const CWebProject&) = delete;

  const std::string& GetName() const { return m_name; }
  void SetName(std::string name) { m_name = std::move(name); }
  /// The site's root folder, ending in "/".
  const std::string& GetRootDirectory() const { return m_rootDirectory; }
  void SetRootDirectory(std::string root) { m_rootDirectory = std::move(root); }
  /// First the project data folder, then the full path of the project's data file.
  const std::string& GetDataPath() const { return m_dataPath; }
  void SetDataPath(std::string path) { m_dataPath = std::move(path); }

  /// Any thread.
  ECheckState GetCheckState() const { return m_checkState.load(std::memory_order_acquire); }
  void SetCheckState(ECheckState state) { m_checkState.store(state, std::memory_order_release); }
  /// Whether nothing is under way: no collection pass and no check run (a run that
  /// could not get its thread counts as over). User interface thread.
  bool IsIdle() const;
  /// Whether a check run ended since the project was created. Any thread.
  bool IsCheckedOnce() const { return m_checkedOnce.load(std::memory_order_acquire); }
  bool IsCurrent() const { return m_current; }
  void SetCurrent(bool current) { m_current = current; }
  /// Whole seconds the last check run took. Any thread.
  std::uint32_t GetElapsedSeconds() const {
    return m_elapsedSeconds.load(std::memory_order_acquire);
  }

  std::vector<int> GetActiveDictionaries() const { return m_activeDictionaries; }
  /// The dictionary that "Add To Dictionary" adds to; -1 for none.
  int GetAddToDictionaryId() const { return m_addToDictionaryId; }
  void SetAddToDictionaryId(int id) { m_addToDictionaryId = id; }
  /// The project's own ignore dictionary; -1 until known.
  int GetIgnoreId() const { return m_ignoreId; }
  /// The site's own word list (".pagelint-words" at the root); -1 until known.
  int GetSiteWordsId() const { return m_siteWordsId; }
  /// The name the site's own word list has in the program: "<project> Site Words".
  std::string GetSiteWordsName() const { return m_name + kSiteWordsSuffix; }
  /// The file of the site's own word list; empty while the project has no root.
  std::string GetSiteWordsPath() const;
  /// Registers the site's own word list with the speller and makes it one of the
  /// project's dictionaries; StartProject does it, an unstarted project calls it. When
  /// other dictionaries have the name, it is numbered: "<project> Site Words (2)".
  void UseSiteWordList();
  /// The window (the main view) that receives the project's progress messages.
  void SetTargetWindow(HWND window) { m_targetWindow = window; }

  /// The check options, saved with the project; a change counts from the next run.
  const CProjectOptions& GetOptions() const { return m_options; }
  void SetOptions(const CProjectOptions& options) { m_options = options; }

  const std::vector<CProjectFilter>& GetFilters() const { return m_filters; }
  void AddFilter(CProjectFilter filter) { m_filters.push_back(std::move(filter)); }
  void RemoveAllFilters() { m_filters.clear(); }

  CHTMLFileList& GetFileList() { return m_fileList; }
  const CHTMLFileList& GetFileList() const { return m_fileList; }
  CBadWordsList& GetBadWordsList() { return m_badWords; }
  const CBadWordsList& GetBadWordsList() const { return m_badWords; }
  /// The replacements that can be undone, most recent first; emptied by StopProject.
  CUndoList& GetUndoList() { return m_undoList; }
  const CUndoList& GetUndoList() const { return m_undoList; }
  /// Dictionary names read from the data file, resolved to ids by StartProject.
  std::vector<std::string>& GetLoadedDictionaryNames() { return m_loadedDictionaryNames; }
  const std::vector<std::string>& GetLoadedDictionaryNames() const {
    return m_loadedDictionaryNames;
  }
  /// The loaded names that named no dictionary when StartProject resolved them, each
  /// once, in the data file's order.
  const std::vector<std::string>& GetMissingDictionaryNames() const {
    return m_missingDictionaryNames;
  }
  /// The name of the project's own ignore dictionary.
  std::string GetIgnoreDictionaryName() const {
    return CProjectNaming::IgnoreDictionaryName(m_name);
  }
  /// The running or last worker; null before the first run and after a stop.
  CProjectCheckWorker* GetWorker() const { return m_worker.get(); }
  /// What the last collection and check run could not read: the pages and folders
  /// left out, each already logged.
  /// The words of the last run left unchecked, by language (none while no run was made).
  std::vector<CUncheckedLanguages::SLanguage> GetUncheckedLanguages() const;
  std::vector<SSkippedPage> GetSkippedPages() const;
  /// The handle of the project's message window; 0 when it has none.
  HWND GetMsgWindowHandle() const { return m_msgWindowHandle; }
  /// The message window object; null after StopProject.
  const CProjectMsgWnd* GetMsgWindow() const { return m_msgWindow.get(); }

  /// Whether no filter excludes the file.
  bool IsFileIncluded(const CDiskFile* file) const;
  /// "./" followed by the folder of the file at `index` relative to the root; "" when
  /// there is no such file.
  std::string RelativeDirAt(int index) const;
  /// Adds the ignore dictionary to `ids`; false (nothing changes) when the result is
  /// the current list, else takes it and marks every file pending.
  bool SetActiveDictionaries(std::vector<int> ids);

  /// Resolves the dictionaries and starts the start delay (none for the current
  /// project: it starts once the messages are next handled); false with the message
  /// for the user in `errorText` when the project cannot start.
  bool StartProject(std::string& errorText);
  /// Stops the worker and monitor, empties the lists and collects the files anew.
  void RestartCollection();
  /// Applies the finished collection pass's changes and starts a run when needed.
  void OnCollectionDone();
  /// Empties the findings and starts a check run over the pending files.
  void StartCheckWorker();
  /// Stops every activity of the project before it is removed; the file collector
  /// stays until destruction.
  void StopProject();

  /// Message window handlers.
  void OnProjectStart();
  void OnDirChanged(LPARAM project);
  /// Pages found changed outside a collection (a replacement that found its word
  /// moved): checked again at the next "Spell Check Again", which is offered now.
  void MarkChangedPages(const std::vector<std::string>& paths);
  /// A dictionary of the project changed: every page waits to be checked again, and
  /// the project is out of date once its findings are in, the run going on ending out
  /// of date too (its earlier pages were checked with the dictionary as it was), so
  /// that "Spell Check Again" is offered. User interface thread.
  void MarkDictionaryChanged();
  void OnCollectBegin();

  /// Takes the findings' reader access for a whole walk of the word list, until
  /// ReleaseHeldAccess (both on the same thread). Holding it twice keeps one access.
  void HoldReaderAccess();
  void ReleaseHeldAccess();

  /// Priority of the running worker's thread (0, -1, -2); nothing without a worker.
  /// Runs start at the idle priority, which Linux lets no unprivileged thread leave.
  void SetWorkerPriority(int priority);
  /// Threads of each new check run (default: one a core, DefaultCheckParallelism).
  void SetCheckParallelism(int threads) { m_checkParallelism = threads < 1 ? 1 : threads; }
  int GetCheckParallelism() const { return m_checkParallelism; }
  /// Priority of each new check run's threads, as for CMTKernel::SetPriority (default:
  /// kIdleCheckPriority, so that the window and the desktop come first).
  void SetCheckPriority(int priority) { m_checkPriority = priority; }
  int GetCheckPriority() const { return m_checkPriority; }
  /// Every checking thread of the program, the current project's too, runs only when
  /// nothing else wants the core; a run on every core still takes whatever is idle.
  static constexpr int kIdleCheckPriority = -15;
  /// One checking thread a core, at least one when the count is unknown.
  static int DefaultCheckParallelism();
  /// Which findings of new check runs keep their excerpts (default: each word's first in
  /// each page, the one the main view shows when a file is selected).
  void SetCheckExcerpts(CPageScanner::EExcerpts excerpts) { m_checkExcerpts = excerpts; }
  void SetWaitCursorHook(WaitCursorHook hook) { m_waitCursorHook = std::move(hook); }
  /// New check runs check only the files whose full paths `pages` holds (null, the
  /// default: every file); the filters still apply.
  void SetPageSelection(std::shared_ptr<const std::set<std::string>> pages) {
    m_pageSelection = std::move(pages);
  }
  /// Whether a collection also starts watching every folder below the root, so that
  /// pages changed later are checked again (the default). A check that runs once and
  /// ends, as pagelint-check's, has no later: watching would only walk each folder a
  /// second time.
  enum class EChangeWatch : std::uint8_t { kWatched, kUnwatched };
  void SetChangeWatch(EChangeWatch watch) { m_changeWatch = watch; }

  // The project data file (WebProjectFile.cpp).
  bool LoadProject();
  bool SaveProject(bool outOfDate);
  void RenameProject(const std::string& newName);
  void DeleteProjectData();
  /// The data file of a project named `name` in the project data folder.
  std::string GetDataFilePath(const std::string& name) const;

  /// CProjectNaming's rules, under the names the project has always given them.
  static std::string MakeIgnoreDictionaryName(const std::string& projectName) {
    return CProjectNaming::IgnoreDictionaryName(projectName);
  }
  static bool IsIgnoreDictionaryName(std::string_view name) {
    return CProjectNaming::IsIgnoreDictionaryName(name);
  }

private:
  class CWaitCursor;

  /// Gives the registered site word list the project's (new) name.
  void RenameSiteWordList();

  void TakeSpellerDictionaries();
  void ResolveDictionaries();
  void LogMissingDictionaries() const;
  bool EnsureMessageWindow();
  void StopWorker();
  void StopStartTimer();
  void StopDirMonitor();
  void StartDirMonitor();
  /// False when no collector thread could be started.
  bool StartOrRefreshCollector();
  void RemoveFindingsOf(const std::vector<std::string>& removedPaths);
  /// Logs the places the last collection pass left out that the one before did not.
  void LogNewSkippedPlaces();
  void MarkPending(const std::vector<std::string>& modifiedPaths);
  /// Makes the project out of date: at once after a run, else when the run going on
  /// ends, which until then stays "checking".
  void MarkOutOfDate();
  unsigned RunCheck(CProjectCheckWorker& worker);
  void PostToTarget(UINT message) const;

  // Written by the worker thread, read anywhere.
  std::atomic<ECheckState> m_checkState{ECheckState::NotStarted};
  std::atomic<bool> m_checkedOnce{false};
  std::atomic<std::uint32_t> m_elapsedSeconds{0};
  /// Something changed since the last run started (a page, or a dictionary), so that
  /// run ends out of date.
  std::atomic<bool> m_runOutOfDate{false};

  bool m_current = false;
  int m_addToDictionaryId = -1;
  int m_ignoreId = -1;
  int m_siteWordsId = -1;
  int m_checkParallelism = DefaultCheckParallelism();
  int m_checkPriority = kIdleCheckPriority;
  CPageScanner::EExcerpts m_checkExcerpts = CPageScanner::EExcerpts::kFirstInPage;
  EChangeWatch m_changeWatch = EChangeWatch::kWatched;
  HWND m_msgWindowHandle = 0;
  HWND m_collectorWindow = 0; ///< the window the file collector posts to
  HWND m_targetWindow = 0;
  std::vector<int> m_activeDictionaries;
  std::vector<CProjectFilter> m_filters;
  std::shared_ptr<const std::set<std::string>> m_pageSelection;
  CProjectOptions m_options;
  std::vector<std::string> m_loadedDictionaryNames;
  std::vector<std::string> m_missingDictionaryNames;
  std::string m_name;
  std::string m_rootDirectory;
  std::string m_dataPath;
  CTimingUtils m_checkTimer; ///< worker thread only
  WaitCursorHook m_waitCursorHook;
  CUndoList m_undoList;
  std::set<std::string> m_loggedSkips; ///< path and reason of each place logged

  // The threads use the lists, so they come after them and go before them.
  CHTMLFileList m_fileList;
  CBadWordsList m_badWords;
  std::unique_ptr<CReaderAccess> m_heldAccess;
  std::unique_ptr<CProjectMsgWnd> m_msgWindow;
  std::unique_ptr<CFileCollector> m_fileCollector;
  std::unique_ptr<CTimerThread> m_startTimer;
  std::unique_ptr<CProjectCheckWorker> m_worker;
  std::unique_ptr<CMTWorkerThread> m_workerThread; ///< runs m_worker; goes before it
  std::unique_ptr<CDirMonitorThread> m_dirMonitor;
};
