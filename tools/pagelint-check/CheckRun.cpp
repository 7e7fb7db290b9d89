#include "pagelint-check/CheckRun.h"

#include "pagelint-check/DictionaryChoice.h"
#include "pagelint-check/ParallelSuggestions.h"
#include "pagelint-check/ReportFormats.h"
#include "pagelint-check/SavedProjects.h"
#include "pagelint-check/TerminalText.h"
#include "pagelint-check/WordsFormat.h"

#include "checking/BadWordsList.h"
#include "checking/ProjectCheckWorker.h"
#include "projects/WebProject.h"
#include "spellcore/SpellChecker.h"

#include "diskfiles/DiskFileListAccess.h"
#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileDescriptor.h"
#include "utilcore/FileUtils.h"
#include "utilcore/UserFolders.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <ostream>
#include <string_view>

namespace {
/// Below normal (nice 10), what a project that is not on screen always had.
constexpr int kCheckPriority = -2;

constexpr const char* kProgramName = "pagelint-check";
constexpr const char* kMainDictionaryFile = "ZEB.fdc";
constexpr int kMainDictionaryId = 0;
constexpr auto kPumpSlice = std::chrono::milliseconds(1000);

/// The speller for the duration of a run, created on and deleted by this thread.
class SpellerSession {
public:
  explicit SpellerSession(const std::string& appPath) : m_speller(CSpellChecker::GetInstance()) {
    if (m_speller != nullptr) {
      m_speller->SetAppPath(appPath);
    }
  }
  ~SpellerSession() { CSpellChecker::DeleteInstance(); }
  SpellerSession(const SpellerSession&) = delete;
  SpellerSession& operator=(const SpellerSession&) = delete;

  CSpellChecker* Get() const { return m_speller; }

private:
  CSpellChecker* m_speller;
};

/// Stops a project's threads before it goes, as its owner must.
class StoppedOnExit {
public:
  explicit StoppedOnExit(CWebProject& project) : m_project(project) {}
  ~StoppedOnExit() { m_project.StopProject(); }
  StoppedOnExit(const StoppedOnExit&) = delete;
  StoppedOnExit& operator=(const StoppedOnExit&) = delete;

private:
  CWebProject& m_project;
};

/// "pagelint-check: `message`" as one line that cannot disturb the terminal.
void WriteMessage(std::ostream& err, std::string_view message) {
  err << kProgramName << ": " << CTerminalText::Printable(message) << '\n';
}

/// An open that failed for want of file handles: then the file is not to blame, and
/// calling it unusable would send the user the wrong way.
bool IsOutOfHandles(int errnum) {
  return errnum == EMFILE || errnum == ENFILE;
}

bool IsOutOfHandlesFor(const std::string& path) {
  const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  return !file.IsValid() && IsOutOfHandles(errno);
}

std::string NoHandlesMessage(const std::string& path) {
  return "no file handles left: " + path + " cannot be opened";
}

/// The site folder as an absolute, link-free path ending in "/"; "" when it is not a
/// folder.
std::string CanonicalFolder(const std::string& given) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::canonical(given, error);
  if (error || !std::filesystem::is_directory(path, error) || error) {
    return {};
  }
  std::string folder = path.string();
  return CDirUtils::EnsureTrailingBackslash(folder);
}

} // namespace

CCheckRun::CCheckRun(CCheckOptions options, std::ostream& out, std::ostream& err, int progressFd)
    : m_options(std::move(options)), m_out(out), m_err(err),
      m_progress(progressFd < 0 ? CProgressBar(-1, false, 0) : CProgressBar(progressFd)),
      m_appPath(CDirUtils::GetAppPath()), m_dataDirectory(CSavedProjects::GetDataDirectory()),
      m_in(&std::cin) {}

CCheckRun::~CCheckRun() = default;

int CCheckRun::Fail(const std::string& message) {
  m_progress.Clear();
  WriteMessage(m_err, message);
  m_err.flush();
  return kExitError;
}

int CCheckRun::Execute() {
  if (m_options.help || m_options.version) {
    if (m_options.help) {
      m_out << CCheckOptions::Usage();
    } else {
      m_out << kProgramName << ' ' << PAGELINT_VERSION << '\n';
    }
    m_out.flush();
    return m_out ? kExitClean : Fail("the output could not be written");
  }
  // The settings and dictionary folders are made inside the home folder when missing;
  // a home that is not there is a wrong HOME, not a folder to make.
  if (CUserFolders::IsHomeMissing()) {
    return Fail("the home folder " + CUserFolders::GetHomeDir() + " does not exist");
  }
  std::string error;
  if (!ResolveRoots(error)) {
    return Fail(error);
  }
  if (m_options.SelectsPages() && !ReadPageLines(error)) {
    return Fail(error);
  }
  // Which dictionaries --dictionary names is known once the speller runs.
  const bool listing = m_options.listProjects || m_options.listDictionaries;
  if (!listing && m_options.dictionaries.empty() && !HasMainDictionary(error)) {
    return Fail(error);
  }

  const SpellerSession speller(m_appPath);
  if (speller.Get() == nullptr) {
    return Fail("the speller could not be started");
  }
  if (m_options.listProjects) {
    return ListProjects();
  }
  if (m_options.listDictionaries) {
    return ListDictionaries(*speller.Get());
  }
  if (!ChooseDictionaries(*speller.Get(), error)) {
    return Fail(error);
  }
  if (UsesBuiltIn() && !m_options.dictionaries.empty() && !HasMainDictionary(error)) {
    return Fail(error);
  }
  // A main dictionary that is there but does not load would report every word.
  if (UsesBuiltIn() && !speller.Get()->LookUp("the", {0})) {
    const std::string path = m_appPath + kMainDictionaryFile;
    return Fail(IsOutOfHandlesFor(path) ? NoHandlesMessage(path)
                                        : "no main dictionary: " + path + " cannot be loaded");
  }

  m_target = std::make_unique<CFunctionTarget>(
      [this](UINT message, WPARAM, LPARAM lParam) { OnMessage(message, lParam); });
  const auto started = std::chrono::steady_clock::now();
  const bool checked = m_options.projectName.empty() ? CheckRoots(error) : CheckSavedProject(error);
  m_target.reset();
  m_progress.Clear();
  if (!checked) {
    return Fail(error);
  }
  // Never silent: text left unchecked is named once for each language, for all roots.
  for (const CUncheckedLanguages::SLanguage& language : m_report.GetUncheckedLanguages()) {
    Warn("warning: " + CUncheckedLanguages::Describe(language));
  }
  m_report.SetSeconds(
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  m_report.Sort();
  if (m_options.suggest) {
    AddSuggestions(*speller.Get());
  }
  PrintReport();
  if (!m_out) {
    return Fail("the report could not be written");
  }
  if (m_gaps > 0) {
    return Fail("incomplete: " + std::to_string(m_gaps) +
                (m_gaps == 1 ? " page or folder" : " pages or folders") + " could not be checked");
  }
  return m_report.GetOccurrenceCount() > 0 ? kExitFound : kExitClean;
}

bool CCheckRun::ResolveRoots(std::string& error) {
  for (const std::string& given : m_options.roots) {
    std::string folder = CanonicalFolder(given);
    if (folder.empty()) {
      error = "no such folder: " + given;
      return false;
    }
    m_report.AddRoot(given, std::move(folder));
  }
  return true;
}

bool CCheckRun::HasMainDictionary(std::string& error) const {
  const std::string path = m_appPath + kMainDictionaryFile;
  const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.IsValid() && IsOutOfHandles(errno)) {
    error = NoHandlesMessage(path);
    return false;
  }
  char first = 0;
  if (!file.IsValid() || ::read(file.Get(), &first, 1) != 1) {
    error = "no main dictionary: " + path + " is missing or unreadable";
    return false;
  }
  return true;
}

int CCheckRun::ListProjects() {
  for (const CSavedProjects::Entry& entry : CSavedProjects::List(m_dataDirectory)) {
    m_out << CTerminalText::Printable(entry.name) << '\t' << CTerminalText::Printable(entry.root)
          << '\n';
  }
  m_out.flush();
  return m_out ? kExitClean : Fail("the list could not be written");
}

int CCheckRun::ListDictionaries(const CSpellChecker& speller) {
  CDictionaryChoice::Write(CDictionaryChoice::List(speller), m_out);
  m_out.flush();
  return m_out ? kExitClean : Fail("the list could not be written");
}

bool CCheckRun::ChooseDictionaries(const CSpellChecker& speller, std::string& error) {
  const std::vector<CDictionaryChoice::Entry> entries = CDictionaryChoice::List(speller);
  for (const std::string& name : m_options.dictionaries) {
    const int id = CDictionaryChoice::Resolve(entries, name);
    if (id < 0) {
      error = "unknown dictionary: " + name + " (see --list-dictionaries)";
      return false;
    }
    std::vector<int>& chosen =
        speller.GetDictionaryKind(id) == EDictionaryKind::kWordList ? m_chosenLists : m_chosenMains;
    if (std::find(chosen.begin(), chosen.end(), id) == chosen.end()) {
      chosen.push_back(id);
    }
  }
  const int loaded = WarnOfUnloadable(speller, m_chosenMains, "");
  // Only Hunspell dictionaries chosen and none loads: every word would be reported.
  if (!UsesBuiltIn() && loaded == 0) {
    error = "no main dictionary: no dictionary chosen with --dictionary could be loaded";
    return false;
  }
  return true;
}

bool CCheckRun::UsesBuiltIn() const {
  return m_chosenMains.empty() || std::find(m_chosenMains.begin(), m_chosenMains.end(),
                                            kMainDictionaryId) != m_chosenMains.end();
}

int CCheckRun::WarnOfUnloadable(const CSpellChecker& speller, const std::vector<int>& ids,
                                const std::string& user) {
  int loaded = 0;
  for (const int id : ids) {
    if (speller.GetDictionaryKind(id) != EDictionaryKind::kHunspell) {
      continue;
    }
    // The first look-up loads it; one that could not be loaded leaves it unsettled.
    bool settled = true;
    speller.LookUp("a", {id}, settled);
    if (settled) {
      ++loaded;
      continue;
    }
    std::string name;
    speller.GetDictionaryName(id, name);
    Warn("warning: " + (user.empty() ? std::string() : user + " ") + "the dictionary " + name +
         (user.empty() ? std::string(" could not be loaded") : ", which could not be loaded") +
         " (missing, unreadable or damaged files)");
  }
  return loaded;
}

bool CCheckRun::CheckRoots(std::string& error) {
  for (int root = 0; root < static_cast<int>(m_report.GetRoots().size()); ++root) {
    // An ad-hoc project: named after the folder, never started, so that it makes no
    // ignore dictionary in the user's dictionary folder.
    CWebProject project;
    const StoppedOnExit stopper(project);
    project.SetName(m_report.GetRoots()[root].given);
    project.SetRootDirectory(m_report.GetRoots()[root].directory);
    if (!m_options.dictionaries.empty()) {
      project.SetActiveDictionaries(CDictionaryChoice::Combine(*CSpellChecker::GetInstance(),
                                                               project.GetActiveDictionaries(),
                                                               m_chosenMains, m_chosenLists));
    }
    project.UseSiteWordList();
    WarnOfUnusedSiteWords(project);
    m_label = m_report.GetRoots()[root].given;
    if (m_options.SelectsPages() &&
        !SelectPages(project, m_report.GetRoots()[root].directory, error)) {
      return false;
    }
    if (!CheckProject(
            project, root, [&project] { project.RestartCollection(); }, error)) {
      return false;
    }
  }
  return true;
}

void CCheckRun::WarnOfUnusedSiteWords(const CWebProject& project) {
  if (project.GetSiteWordsId() != -1) {
    return;
  }
  const std::string path = project.GetSiteWordsPath();
  // A list the team wrote that silently counted for nothing would look like a fault.
  if (!path.empty() && CFileUtils::DoesFileExist(path)) {
    Warn("warning: the site word list " + path + " is not used: other dictionaries have " +
         project.GetSiteWordsName() + " and the names numbered after it");
  }
}

bool CCheckRun::CheckSavedProject(std::string& error) {
  const std::vector<CSavedProjects::Entry> entries = CSavedProjects::List(m_dataDirectory);
  const CSavedProjects::Entry* entry = CSavedProjects::Find(entries, m_options.projectName);
  if (entry == nullptr) {
    error = "unknown project: " + m_options.projectName;
    return false;
  }
  std::unique_ptr<CWebProject> project = CSavedProjects::Load(entry->dataFile);
  if (project == nullptr) {
    error = "the project " + m_options.projectName + " could not be loaded";
    return false;
  }
  const StoppedOnExit stopper(*project);
  // The report and the SARIF base need an absolute, plain folder; a root that is no
  // folder is left as it is for StartProject to refuse.
  std::string root = CanonicalFolder(project->GetRootDirectory());
  if (root.empty()) {
    root = project->GetRootDirectory();
    CDirUtils::EnsureTrailingBackslash(root);
  }
  project->SetRootDirectory(root);
  m_report.AddRoot(root, root);
  m_label = project->GetName();
  // Refused before the project starts: a list that leads outside makes nothing.
  if (m_options.SelectsPages() && !SelectPages(*project, root, error)) {
    return false;
  }
  std::string startError;
  project->SetTargetWindow(m_target->GetSafeHwnd());
  if (!project->StartProject(startError)) {
    error = startError.empty() ? "the project could not be started" : startError;
    return false;
  }
  if (!HasProjectDictionaries(*project, error)) {
    return false;
  }
  // The program waits a moment after start-up; a command has no reason to.
  CWebProject* started = project.get();
  return CheckProject(
      *project, 0, [started] { started->OnProjectStart(); }, error);
}

bool CCheckRun::HasProjectDictionaries(const CWebProject& project, std::string& error) {
  // Every word of a dictionary that is gone would be flagged without a word of why;
  // past a few names, one line counts the rest.
  const std::vector<std::string>& missing = project.GetMissingDictionaryNames();
  const std::size_t listed = std::min(missing.size(), CWebProject::kMissingDictionariesListed);
  for (std::size_t i = 0; i < listed; ++i) {
    Warn("warning: the project " + project.GetName() + " uses the dictionary " + missing[i] +
         ", which does not exist");
  }
  if (const std::size_t rest = missing.size() - listed; rest > 0) {
    Warn("warning: the project " + project.GetName() + " uses " + std::to_string(rest) +
         " more dictionaries that do not exist");
  }
  const CSpellChecker& speller = *CSpellChecker::GetInstance();
  const std::vector<int> ids = project.GetActiveDictionaries();
  const int hunspellLoaded =
      WarnOfUnloadable(speller, ids, "the project " + project.GetName() + " uses");
  if (std::find(ids.begin(), ids.end(), kMainDictionaryId) != ids.end() || hunspellLoaded > 0) {
    return true;
  }
  const bool usesHunspell = std::any_of(ids.begin(), ids.end(), [&](int id) {
    return speller.GetDictionaryKind(id) == EDictionaryKind::kHunspell;
  });
  if (usesHunspell) {
    error = "no main dictionary: the dictionaries of the project " + project.GetName() +
            " could not be loaded";
    return false;
  }
  std::string mainName;
  speller.GetDictionaryName(kMainDictionaryId, mainName);
  error = "no main dictionary: the project " + project.GetName() + " does not use " + mainName;
  return false;
}

bool CCheckRun::CheckProject(CWebProject& project, int root, const std::function<void()>& start,
                             std::string& error) {
  // Whatever an earlier project left queued is dropped before its address can be reused.
  CMessageLoop::PumpPending();
  m_project = &project;
  m_collected = false;
  m_finished = false;
  project.SetTargetWindow(m_target->GetSafeHwnd());
  project.SetCheckParallelism(m_options.EffectiveJobs());
  // Run from a terminal or a script, the check is the job at hand: below normal, as
  // before, rather than the program's idle priority.
  project.SetCheckPriority(kCheckPriority);
  // A page changed during the check is read as it is when its turn comes; watching the
  // folders for later changes cost a second walk of them all, a third of the time on a
  // site with a folder a page.
  project.SetChangeWatch(CWebProject::EChangeWatch::kUnwatched);
  // A flag turns its option on; a saved project that has one on keeps it either way.
  CProjectOptions options = project.GetOptions();
  options.skipCodeSamples = options.skipCodeSamples || m_options.skipCode;
  options.checkImageText = options.checkImageText || m_options.checkAttributes;
  options.reportRepeatedWords = options.reportRepeatedWords && !m_options.skipRepeats;
  options.ignoreUppercaseWords = options.ignoreUppercaseWords || m_options.ignoreUppercase;
  options.ignoreWordsWithNumbers = options.ignoreWordsWithNumbers || m_options.ignoreNumbers;
  project.SetOptions(options);
  // The text and words reports show no excerpt: building one for every finding would be
  // wasted.
  const bool excerpts = m_options.format == CCheckOptions::Format::Json ||
                        m_options.format == CCheckOptions::Format::Sarif;
  project.SetCheckExcerpts(excerpts ? CPageScanner::EExcerpts::kKept
                                    : CPageScanner::EExcerpts::kLeftOut);
  // The report puts every finding in its order once the check is done: keeping each
  // word's locations sorted meanwhile cost 4 % of the check's time.
  project.GetBadWordsList().SetLocationOrder(CBadWordsList::ELocationOrder::kAsRecorded);
  start();
  if (project.GetCheckState() != ECheckState::Collecting) {
    error = "the files of " + m_label + " could not be collected";
    return false;
  }
  // Collected with nothing to check, no run starts: the project is idle at once.
  const auto done = [&] { return m_finished || (m_collected && project.IsIdle()); };
  while (!CMessageLoop::PumpUntil(done, kPumpSlice)) {
  }
  m_project = nullptr;
  // A worker whose thread could not be made must not pass for a site without findings.
  const CProjectCheckWorker* worker = project.GetWorker();
  if (worker != nullptr && worker->GetWorkerThread() == nullptr) {
    error = "the check of " + m_label + " could not be started";
    return false;
  }
  if (worker != nullptr && worker->RanOutOfMemory()) {
    error = "out of memory while checking " + m_label;
    return false;
  }
  ReportSkipped(project);
  m_report.AddUncheckedLanguages(project.GetUncheckedLanguages());
  if (worker != nullptr) {
    // Only the pages really checked count: a skipped page is done but not checked.
    m_report.AddFilesChecked(worker->GetFilesDone() -
                             static_cast<int>(worker->GetSkippedPages().size()));
  }
  m_rootDictionaries.resize(m_report.GetRoots().size());
  m_rootDictionaries[static_cast<std::size_t>(root)] = project.GetActiveDictionaries();
  CollectFindings(project, root);
  return true;
}

bool CCheckRun::ReadPageLines(std::string& error) {
  m_pageLines = m_options.pages;
  if (m_options.filesFrom.empty()) {
    return true;
  }
  if (m_options.filesFrom == "-") {
    std::vector<std::string> lines = CPageSelection::ReadLines(*m_in);
    m_pageLines.insert(m_pageLines.end(), lines.begin(), lines.end());
    return true;
  }
  std::error_code typeError;
  if (std::filesystem::is_directory(m_options.filesFrom, typeError)) {
    error = "the list of pages " + m_options.filesFrom + " is a folder";
    return false;
  }
  std::ifstream file(m_options.filesFrom, std::ios::binary);
  if (!file) {
    error = "the list of pages " + m_options.filesFrom + " cannot be read";
    return false;
  }
  std::vector<std::string> lines = CPageSelection::ReadLines(file);
  if (file.bad()) {
    error = "the list of pages " + m_options.filesFrom + " cannot be read";
    return false;
  }
  m_pageLines.insert(m_pageLines.end(), lines.begin(), lines.end());
  return true;
}

bool CCheckRun::SelectPages(CWebProject& project, const std::string& root, std::string& error) {
  std::error_code cwdError;
  const std::string currentDir = std::filesystem::current_path(cwdError).string();
  m_selection.emplace();
  if (!m_selection->Resolve(root, cwdError ? root : currentDir, m_pageLines, error)) {
    return false;
  }
  for (const CPageSelection::SNotChecked& listed : m_selection->GetNotChecked()) {
    ++m_gaps;
    Warn("not checked: " + listed.given + " (" + listed.reason + ")");
  }
  project.SetPageSelection(m_selection->GetPaths());
  return true;
}

bool CCheckRun::Concerns(const std::string& place) const {
  if (!m_selection) {
    return true;
  }
  std::string folder = place;
  CDirUtils::EnsureTrailingBackslash(folder);
  return std::any_of(m_selection->GetPages().begin(), m_selection->GetPages().end(),
                     [&](const CPageSelection::SPage& page) {
                       return page.path == place || page.path.starts_with(folder);
                     });
}

void CCheckRun::ReportUncollected(const CWebProject& project,
                                  const std::vector<SSkippedPage>& skipped) {
  if (!m_selection) {
    return;
  }
  const CDiskFileListAccess access(project.GetFileList());
  for (const CPageSelection::SPage& page : m_selection->GetPages()) {
    if (project.GetFileList().Find(page.path, false) != nullptr) {
      continue;
    }
    const bool explained = std::any_of(skipped.begin(), skipped.end(), [&](const SSkippedPage& s) {
      return page.path == s.path || page.path.starts_with(s.path + '/');
    });
    if (!explained) {
      ++m_gaps;
      Warn("not checked: " + page.given + " (not found in the site)");
    }
  }
}

void CCheckRun::ReportSkipped(const CWebProject& project) {
  const std::vector<SSkippedPage> skipped = project.GetSkippedPages();
  ReportUncollected(project, skipped);
  for (const SSkippedPage& page : skipped) {
    if (!Concerns(page.path)) {
      continue;
    }
    if (page.gap) {
      ++m_gaps;
      Warn("not checked: " + page.path + " (" + page.reason + ")");
    } else {
      Warn("warning: " + page.path + ": " + page.reason);
    }
  }
}

void CCheckRun::Warn(const std::string& message) {
  m_progress.Clear();
  WriteMessage(m_err, message);
}

void CCheckRun::OnMessage(UINT message, LPARAM lParam) {
  if (m_project == nullptr || lParam != reinterpret_cast<LPARAM>(m_project)) {
    return;
  }
  if (message == CWebProject::MSG_PROJECT_COLLECT_DONE) {
    m_collected = true;
    return;
  }
  const CProjectCheckWorker* worker = m_project->GetWorker();
  if (message == CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN ||
      message == CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED) {
    if (worker != nullptr) {
      m_progress.Update(m_label, worker->GetFilesDone(), worker->GetTotalFiles());
    }
  } else if (message == CProjectCheckWorker::MSG_PROJECT_CHECK_DONE) {
    m_finished = true;
  }
}

void CCheckRun::CollectFindings(CWebProject& project, int root) {
  // The report takes the words as the check left them: a large site's findings are
  // never held twice, and no copy of them is made.
  m_report.TakeFindings(root, project.GetBadWordsList());
}

void CCheckRun::AddSuggestions(CSpellChecker& speller) {
  std::vector<CParallelSuggestions::SRequest> requests;
  std::vector<std::size_t> slots;
  for (std::size_t i = 0; i < static_cast<std::size_t>(m_report.GetWordCount()); ++i) {
    // A repeated word is a known one: the fix is removing it, not another spelling.
    if (m_report.GetWordKind(i) == CCheckReport::EKind::kRepeated) {
      continue;
    }
    // The dictionaries of the root where the word was found first.
    const auto root = static_cast<std::size_t>(m_report.GetWordRoot(i));
    if (root >= m_rootDictionaries.size()) {
      continue;
    }
    requests.push_back({std::string(m_report.GetWordText(i)), &m_rootDictionaries[root]});
    slots.push_back(i);
  }
  auto suggestions =
      CParallelSuggestions::Run(speller, requests, kMaxSuggestions, m_options.EffectiveJobs());
  for (std::size_t k = 0; k < slots.size(); ++k) {
    m_report.SetSuggestions(slots[k], std::move(suggestions[k]));
  }
}

void CCheckRun::PrintReport() {
  switch (m_options.format) {
  case CCheckOptions::Format::Text:
    CReportFormats::WriteText(m_report, m_options.suggest, m_options.summary, m_out);
    break;
  case CCheckOptions::Format::Json:
    CReportFormats::WriteJson(m_report, m_options.suggest, m_options.summary, m_out);
    break;
  case CCheckOptions::Format::Sarif:
    CReportFormats::WriteSarif(m_report, m_options.suggest, m_options.summary, PAGELINT_VERSION,
                               m_out);
    break;
  case CCheckOptions::Format::Words:
    CWordsFormat::Write(m_report, m_out);
    break;
  }
  m_out.flush();
}
