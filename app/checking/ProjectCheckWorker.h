#pragma once

#include "checking/PageScanner.h"
#include "checking/ProjectFilter.h"
#include "checking/SkippedPage.h"
#include "checking/UncheckedLanguages.h"
#include "mtcore/MTMutex.h"
#include "mtcore/MTWaitableCollection.h"
#include "mtcore/WindowMessages.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class CBadWordsList;
class CHTMLFile;
class CHTMLFileList;
class CMTWorkerThread;

/// One check run over a project's files: the record the project creates for each run
/// and the body its worker thread runs. Everything the run reads of the project is
/// copied at construction, so the user interface thread may change the project while
/// the run goes on. The lists are not owned and must outlive the run.
class CProjectCheckWorker {
public:
  /// Posted to the target window; wParam = MakeProgressParam(total, done), lParam = the
  /// project.
  static const UINT MSG_PROJECT_CHECK_BEGIN;
  static const UINT MSG_PROJECT_FILE_CHECKED;
  static const UINT MSG_PROJECT_CHECK_DONE;

  CProjectCheckWorker(LPARAM project, CHTMLFileList* fileList, CBadWordsList* badWords,
                      HWND targetWindow, std::string root, std::vector<CProjectFilter> filters,
                      std::vector<int> dictionaryIds, std::string projectName);
  ~CProjectCheckWorker();
  CProjectCheckWorker(const CProjectCheckWorker&) = delete;
  CProjectCheckWorker& operator=(const CProjectCheckWorker&) = delete;

  /// Stores the thread that runs this record (not owned: the project stops, waits for
  /// and deletes it before it deletes the record) and hands it the stop events.
  void SetWorkerThread(CMTWorkerThread* thread);
  CMTWorkerThread* GetWorkerThread() const { return m_thread.load(std::memory_order_acquire); }

  /// Checks every pending, included file once (worker thread).
  void Run();
  /// Checks one file when it is pending and included; clears its flag only after a
  /// complete scan.
  void CheckProjectFile(CHTMLFile* file);
  /// Looks up the words of one line of page text and records the unrecognized ones;
  /// true when the line yielded no finding and the scan was not stopped.
  bool ScanLine(const std::string& line, CHTMLFile* file, int lineIndex);
  /// Adds one finding of `word` in `file` to the bad-word list.
  void RecordBadWord(const std::string& word, int lineIndex, int start, int end,
                     std::string context, CHTMLFile* file);

  int GetTotalFiles() const { return m_totalFiles.load(std::memory_order_acquire); }
  /// Files dealt with so far: checked or skipped.
  int GetFilesDone() const { return m_filesDone.load(std::memory_order_acquire); }
  /// The pages of this run that could not be read or checked (each also logged); those
  /// that are gaps stay pending. Any thread.
  std::vector<SSkippedPage> GetSkippedPages() const;
  /// The words of this run left unchecked, by language: text in a language none of the
  /// project's dictionaries is for. Any thread.
  std::vector<CUncheckedLanguages::SLanguage> GetUncheckedLanguages() const {
    return m_unchecked.Get();
  }
  /// Whether the run ended early because memory ran out. Any thread.
  bool RanOutOfMemory() const { return m_outOfMemory.load(std::memory_order_acquire); }

  /// Threads that check files at once (the run's own thread included); 1, the default,
  /// checks the files one after the other in list order. Set before Run.
  void SetParallelism(int threads);
  /// Whether findings keep their excerpts (the default); set before Run.
  void SetExcerpts(CPageScanner::EExcerpts excerpts) { m_excerpts = excerpts; }
  /// Whether code samples are checked (the default) or left out; set before Run.
  void SetCodeSamples(CPageScanner::ECodeSamples codeSamples) { m_codeSamples = codeSamples; }
  /// Whether image descriptions and tooltips are checked (not by default); set before Run.
  void SetAttributeText(CPageScanner::EAttributeText attributeText) {
    m_attributeText = attributeText;
  }
  /// Only the files whose full paths `pages` holds are checked (null, the default:
  /// every file the filters let through); set before Run.
  void SetPageSelection(std::shared_ptr<const std::set<std::string>> pages) {
    m_pageSelection = std::move(pages);
  }
  /// Whether repeated words are reported (the default); set before Run.
  void SetRepeatedWords(CPageScanner::ERepeatedWords repeatedWords) {
    m_repeatedWords = repeatedWords;
  }
  /// The shapes of word left unchecked (none by default); set before Run.
  void SetWordShapes(CWordShapes wordShapes) { m_wordShapes = wordShapes; }

  /// The progress wParam: total in the high 32 bits, done in the low 32 (a site of
  /// more than 65,535 pages wrapped round in 16-bit halves). Negative counts are 0.
  static WPARAM MakeProgressParam(int total, int done);
  /// The counts MakeProgressParam packed.
  static int ProgressTotal(WPARAM progress) {
    return static_cast<int>((progress >> kProgressShift) & kProgressMask);
  }
  static int ProgressDone(WPARAM progress) { return static_cast<int>(progress & kProgressMask); }

private:
  static constexpr unsigned kProgressShift = 32;
  static constexpr WPARAM kProgressMask = 0x7FFFFFFF;
  static_assert(sizeof(WPARAM) >= 8, "the progress counts take 32 bits each");

  /// A stop was asked, or the run gave up (out of memory).
  bool IsStopped() const;
  /// Only a stop asked by the thread's owner: a run that gave up still reports its end.
  bool IsStopAsked() const;
  /// CheckProjectFile, turning a lack of memory into a skipped page and the run's end.
  void CheckFileGuarded(CHTMLFile* file);
  /// Counts the page as done without its findings, names it in the list and the log;
  /// `gap`: the page is still there and was not checked.
  void SkipFile(const std::string& path, std::string reason, bool gap = true);
  bool IsIncluded(const CHTMLFile* file) const;
  void Post(UINT message) const;
  void Post(UINT message, int filesDone) const;
  int CountPendingFiles() const;
  void RunFiles();
  void CheckFilesInOrder();
  void CheckFilesInParallel();
  /// One log line for each language of the run left unchecked.
  void LogUncheckedLanguages() const;
  /// The list's indexes, largest page first.
  std::vector<std::size_t> LargestFirst() const;
  /// Checks the files of `order` that no other thread claimed before.
  void CheckClaimedFiles(std::atomic<std::size_t>& next, const std::vector<std::size_t>& order);
  /// A scanner of pages for this run, stopping when the run does.
  CPageScanner MakeScanner() const;
  /// Moves the calling thread's findings of the current file into the bad-word list.
  void RecordGathered(CHTMLFile* file);

  const LPARAM m_project;
  CHTMLFileList* const m_fileList;
  CBadWordsList* const m_badWords;
  const HWND m_targetWindow;
  const std::string m_root;
  const std::vector<CProjectFilter> m_filters;
  std::shared_ptr<const std::set<std::string>> m_pageSelection;
  const std::vector<int> m_dictionaryIds;
  const std::string m_projectName;

  std::atomic<CMTWorkerThread*> m_thread{nullptr};
  std::atomic<int> m_totalFiles{0};
  std::atomic<int> m_filesDone{0};
  int m_parallelism = 1;
  CPageScanner::EExcerpts m_excerpts = CPageScanner::EExcerpts::kKept;
  CPageScanner::ECodeSamples m_codeSamples = CPageScanner::ECodeSamples::kChecked;
  CPageScanner::EAttributeText m_attributeText = CPageScanner::EAttributeText::kSkipped;
  CPageScanner::ERepeatedWords m_repeatedWords = CPageScanner::ERepeatedWords::kReported;
  CWordShapes m_wordShapes;
  std::atomic<bool> m_outOfMemory{false};
  CUncheckedLanguages m_unchecked;
  mutable std::mutex m_skippedMutex; ///< guards m_skipped
  std::vector<SSkippedPage> m_skipped;
  CMTMutex m_mutex;
  CMTWaitableCollection m_stopEvents;
};
