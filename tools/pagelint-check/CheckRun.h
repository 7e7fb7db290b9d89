#pragma once

#include "pagelint-check/CheckOptions.h"
#include "pagelint-check/CheckReport.h"
#include "pagelint-check/PageSelection.h"
#include "pagelint-check/ProgressBar.h"

#include "checking/SkippedPage.h"

#include "mtcore/WindowMessages.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CFunctionTarget;
class CSpellChecker;
class CWebProject;

/// One call of pagelint-check: starts the speller, checks each root (or the saved
/// project) through the program's own project pipeline, pumping the calling thread's
/// messages, and prints the report. Runs on the thread that creates it.
class CCheckRun {
public:
  static constexpr int kExitClean = 0;
  static constexpr int kExitFound = 1;
  static constexpr int kExitError = 2;
  /// Suggestions printed per word with --suggest, best first: a report line, not a menu.
  static constexpr std::size_t kMaxSuggestions = 10;

  /// `progressFd` receives the progress bar when it is a terminal (-1: none).
  CCheckRun(CCheckOptions options, std::ostream& out, std::ostream& err, int progressFd);
  ~CCheckRun();
  CCheckRun(const CCheckRun&) = delete;
  CCheckRun& operator=(const CCheckRun&) = delete;

  /// The program folder holding "ZEB.fdc" (default: this program's folder).
  void SetAppPath(std::string path) { m_appPath = std::move(path); }
  /// The folder of the saved projects (default: CSavedProjects::GetDataDirectory()).
  void SetDataDirectory(std::string path) { m_dataDirectory = std::move(path); }

  /// Where --files-from - reads the list (default: standard input).
  void SetInput(std::istream& in) { m_in = &in; }

  /// Does what the options ask; returns the exit status.
  int Execute();

  /// The findings of the last Execute, sorted.
  const CCheckReport& GetReport() const { return m_report; }

private:
  int Fail(const std::string& message);
  bool ResolveRoots(std::string& error);
  bool HasMainDictionary(std::string& error) const;
  int ListProjects();
  int ListDictionaries(const CSpellChecker& speller);
  /// Resolves the --dictionary names; false, with `error`, for a name that names none
  /// or when no main dictionary chosen loads. Warns of each chosen one that does not.
  bool ChooseDictionaries(const CSpellChecker& speller, std::string& error);
  /// Whether the check needs the built-in dictionary (no other main one was chosen).
  bool UsesBuiltIn() const;
  /// Warns of each Hunspell dictionary of `ids` that cannot be loaded, as used by
  /// `user` ("the project Site uses"); returns how many of them load.
  int WarnOfUnloadable(const CSpellChecker& speller, const std::vector<int>& ids,
                       const std::string& user);
  /// Reads the lines of --files-from and --pages; false, with `error`, when the list
  /// cannot be read.
  bool ReadPageLines(std::string& error);
  /// Resolves the listed pages against `root` and hands them to `project`; false, with
  /// `error`, for a page outside the root. Names each listed path that is no page.
  bool SelectPages(CWebProject& project, const std::string& root, std::string& error);
  /// Whether a place the collection left out matters to the run: with listed pages,
  /// only one that is or holds a listed page.
  bool Concerns(const std::string& place) const;
  /// Names each listed page that the collection did not find and no gap explains.
  void ReportUncollected(const CWebProject& project, const std::vector<SSkippedPage>& skipped);
  bool CheckRoots(std::string& error);
  bool CheckSavedProject(std::string& error);
  /// One line when the folder's own word list is there but could not be registered.
  void WarnOfUnusedSiteWords(const CWebProject& project);
  /// Warns of each saved dictionary name that names none; false, with `error`, when
  /// the started `project` does not use the main dictionary.
  bool HasProjectDictionaries(const CWebProject& project, std::string& error);
  /// Runs `project` (already started by `start`) until its check run ended.
  bool CheckProject(CWebProject& project, int root, const std::function<void()>& start,
                    std::string& error);
  /// Names on standard error what the project's run left out and counts the gaps.
  void ReportSkipped(const CWebProject& project);
  /// One line on standard error, below the progress bar.
  void Warn(const std::string& message);
  void OnMessage(UINT message, LPARAM lParam);
  void CollectFindings(CWebProject& project, int root);
  void AddSuggestions(CSpellChecker& speller);
  void PrintReport();

  CCheckOptions m_options;
  std::ostream& m_out;
  std::ostream& m_err;
  CProgressBar m_progress;
  std::string m_appPath;
  std::string m_dataDirectory;
  CCheckReport m_report;
  std::vector<std::vector<int>> m_rootDictionaries; ///< per root: the ids it was checked with
  std::vector<int> m_chosenMains; ///< --dictionary: built-in and Hunspell ones, as given
  std::vector<int> m_chosenLists; ///< --dictionary: word lists, as given
  std::unique_ptr<CFunctionTarget> m_target;
  std::istream* m_in;
  std::vector<std::string> m_pageLines;      ///< --files-from and --pages, as read
  std::optional<CPageSelection> m_selection; ///< set when only listed pages are checked

  // The project being checked and how far it got.
  CWebProject* m_project = nullptr;
  std::string m_label;
  bool m_collected = false;
  bool m_finished = false;
  /// Pages and folders left out by a reason that makes the check incomplete.
  int m_gaps = 0;
};
