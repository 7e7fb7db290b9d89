#include "projects/Doc.h"

#include "projects/DocUi.h"
#include "projects/ProjectNaming.h"
#include "projects/WebProject.h"
#include "replace/BackupFolders.h"

#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <algorithm>

namespace {

const std::vector<std::string> kDataFileExtensions{CProjectNaming::kDataFileExtension};

namespace LogId {
constexpr const char* kCreateDataDirFailed = "{85EF107E-F9B9-4FB2-8C96-2227669F77CD}";
constexpr const char* kMoveDataFileFailed = "{D5B1F639-BD0F-4BD7-94B5-E137F3F88B58}";
constexpr const char* kCopyDataFileFailed = "{2C0B98C7-EC32-4E2E-8D4D-296DA1A71BD2}";
} // namespace LogId

std::string RemoveProjectText(const std::string& name) {
  return "Pagelint is about to permanently remove the \"" + name +
         "\" project. Note that this will not affect the actual web site pages on the "
         "computer's disk drive; it only removes Pagelint's knowledge of the project."
         "\n\nContinue?";
}

std::string WithTrailingSlash(std::string path) {
  return CDirUtils::EnsureTrailingBackslash(path);
}

/// What the settings dialog shows of `project`, one of `projects`.
CDocUi::SProjectSettings SettingsOf(const CWebProject& project,
                                    const std::vector<std::unique_ptr<CWebProject>>& projects,
                                    const std::string& newProjectDirectory) {
  CDocUi::SProjectSettings settings;
  settings.name = project.GetName();
  settings.rootDirectory = project.GetRootDirectory();
  for (const auto& other : projects) {
    if (other.get() != &project) {
      settings.otherNames.push_back(other->GetName());
    }
  }
  settings.activeDictionaries = project.GetActiveDictionaries();
  settings.newProjectDirectory = newProjectDirectory;
  settings.addToDictionaryId = project.GetAddToDictionaryId();
  settings.filters = project.GetFilters();
  settings.options = project.GetOptions();
  return settings;
}

// Each of these takes one part of the dialog's result into the project and says
// whether that changed what a check finds.

bool ApplyDictionaries(CWebProject& project, const CDocUi::SProjectSettings& settings) {
  project.SetAddToDictionaryId(settings.addToDictionaryId);
  return project.SetActiveDictionaries(settings.activeDictionaries);
}

bool ApplyFilters(CWebProject& project, CDocUi::SProjectSettings& settings) {
  if (!settings.filtersChanged) {
    return false;
  }
  project.RemoveAllFilters();
  for (CProjectFilter& filter : settings.filters) {
    project.AddFilter(std::move(filter));
  }
  project.GetFileList().MarkAllPending();
  return true;
}

// An option changes what a check finds on every page, as a filter does.
bool ApplyOptions(CWebProject& project, const CProjectOptions& options) {
  if (options == project.GetOptions()) {
    return false;
  }
  project.SetOptions(options);
  project.GetFileList().MarkAllPending();
  return true;
}

} // namespace

/// Shows the wait cursor while it lives.
class CDoc::CWaitCursor {
public:
  explicit CWaitCursor(CDocUi& ui) : m_ui(ui) { m_ui.ShowWaitCursor(true); }
  ~CWaitCursor() { m_ui.ShowWaitCursor(false); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
  CDocUi& m_ui;
};

CDoc::CDoc(CDocUi& ui, CDocSettings& settings)
    : m_ui(ui), m_settings(settings), m_appDirectory(CDirUtils::GetAppPath()) {}

CDoc::~CDoc() {
  if (!m_projects.empty()) {
    OnCloseDocument();
  }
}

bool CDoc::IsInProgramsFolder(const std::string& appDirectory) {
  const std::string programs = CDirUtils::GetSpecialFolder(CDirUtils::kProgramFiles);
  return !programs.empty() && CStringUtils::MatchFirstChars(appDirectory, programs, false);
}

bool CDoc::OnNewDocument() {
  // A second new document starts from nothing, as a fresh one would.
  FreeProjects();
  if (IsInProgramsFolder(m_appDirectory)) {
    MoveOldDataFiles(m_appDirectory);
  }
  LoadProjects();
  SortProjects();
  m_ui.RefreshProjectBar();
  PressCurrentProjectButton();
  return true;
}

void CDoc::MoveOldDataFiles(const std::string& fromDirectory) {
  const std::string& dataDir = m_settings.projectDataDirectory;
  if (CFileUtils::HasFile(dataDir, kDataFileExtensions, false, true, true, true)) {
    return;
  }
  std::vector<std::string> files;
  CFileUtils::GetFileList(fromDirectory, kDataFileExtensions, false, files, false, false, true);
  if (files.empty()) {
    return;
  }
  if (!CDirUtils::CreateDirectoryA(dataDir)) {
    CAppLogger::Log(LogId::kCreateDataDirFailed);
  }
  for (const std::string& file : files) {
    const std::string target =
        WithTrailingSlash(dataDir) + CFileUtils::ParseFileNameFromPath(file, true);
    std::string error;
    if (CFileUtils::MoveFileA(file, target, error)) {
      continue;
    }
    CAppLogger::LogWithError(LogId::kMoveDataFileFailed, error);
    if (!CFileUtils::CopyFileA(file, target, error)) {
      CAppLogger::LogWithError(LogId::kCopyDataFileFailed, error);
    }
  }
}

void CDoc::LoadProjects() {
  m_unreadDataFiles.clear();
  std::vector<std::string> files;
  CFileUtils::GetFileList(m_settings.projectDataDirectory, kDataFileExtensions, false, files, false,
                          false, true);
  for (const std::string& file : files) {
    auto project = std::make_unique<CWebProject>();
    project->SetDataPath(file);
    project->SetTargetWindow(m_ui.GetFirstViewWindow());
    if (project->LoadProject()) {
      m_projects.push_back(std::move(project));
    } else {
      // The file stays where it is: a damaged file may still be mended by hand.
      project->StopProject();
      m_unreadDataFiles.push_back(file);
    }
  }
}

void CDoc::FreeProjects() {
  m_current = nullptr;
  for (const auto& project : m_projects) {
    project->StopProject();
  }
  // Freed last first, the reverse of their creation.
  while (!m_projects.empty()) {
    m_projects.pop_back();
  }
}

void CDoc::OnCloseDocument() {
  FreeProjects();
  CBackupFolders::ClearBackupRoot(m_appDirectory);
}

void CDoc::StartAllProjects() {
  for (const auto& project : m_projects) {
    std::string errorText;
    project->StartProject(errorText);
    if (!errorText.empty()) {
      m_ui.MessageBox("Failed To Start " + project->GetName(), errorText, CDocUi::EButtons::Ok, {});
    }
  }
}

void CDoc::SortProjects() {
  std::stable_sort(m_projects.begin(), m_projects.end(), [](const auto& a, const auto& b) {
    return CStringUtils::CompareNoCase(a->GetName(), b->GetName()) < 0;
  });
}

void CDoc::PressCurrentProjectButton() {
  if (m_current != nullptr) {
    m_ui.PressProjectButton(ID_PROJECT_BUTTON_FIRST + GetProjectIndex(m_current));
  }
}

int CDoc::GetProjectIndex(const CWebProject* project) const {
  const auto it = std::find_if(m_projects.begin(), m_projects.end(),
                               [project](const auto& p) { return p.get() == project; });
  return it == m_projects.end() ? -1 : static_cast<int>(it - m_projects.begin());
}

CWebProject* CDoc::GetProject(int index) const {
  if (index < 0 || index >= GetProjectCount()) {
    return nullptr;
  }
  return m_projects[static_cast<std::size_t>(index)].get();
}

void CDoc::GetProjectNames(std::string& currentName, std::vector<std::string>& names) const {
  currentName = m_current != nullptr ? m_current->GetName() : std::string();
  names.clear();
  for (const auto& project : m_projects) {
    names.push_back(project->GetName());
  }
}

void CDoc::SelectProject(CWebProject* project) {
  if (project == nullptr) {
    return;
  }
  if (m_current != nullptr) {
    m_current->SetCurrent(false);
  }
  m_current = project;
  // Every project checks at the idle priority (see CWebProject): raising the current
  // one's again would need privileges, and lowering it would give nothing to the window.
  project->SetCurrent(true);
  PressCurrentProjectButton();
  m_ui.UpdateAllViews(HINT_PROJECTS_CHANGED);
}

void CDoc::OnDictionaryChanged(int dictionaryId) {
  for (const auto& project : m_projects) {
    if (project->GetWorker() == nullptr) {
      continue;
    }
    const std::vector<int> ids = project->GetActiveDictionaries();
    if (std::find(ids.begin(), ids.end(), dictionaryId) == ids.end()) {
      continue;
    }
    // The findings no longer follow the dictionary: like a changed page, that waits
    // for "Spell Check Again", which must then be offered.
    project->MarkDictionaryChanged();
  }
}

void CDoc::AddProject() {
  m_projects.push_back(std::make_unique<CWebProject>());
  CWebProject* project = m_projects.back().get();
  if (!m_settings.newProjectDirectory.empty()) {
    project->SetRootDirectory(WithTrailingSlash(m_settings.newProjectDirectory));
  }
  project->SetDataPath(m_settings.projectDataDirectory);
  project->SetTargetWindow(m_ui.GetFirstViewWindow());
  if (!EditProjectSettings(project)) {
    RemoveProject(project, false);
    return;
  }
  std::string errorText;
  project->StartProject(errorText);
  SortProjects();
  m_ui.RefreshProjectBar();
  PressCurrentProjectButton();
  SelectProject(project);
}

bool CDoc::RenameBackupFolder(const CWebProject& project, const std::string& newName) const {
  std::string error;
  const std::string& oldName = project.GetName();
  if (oldName.empty() ||
      !CBackupFolders::IsRootUsable(CBackupFolders::GetBackupRoot(m_appDirectory), error)) {
    return true; // no backups to move
  }
  const std::string from = CBackupFolders::GetBackupFolder(oldName, m_appDirectory);
  const std::string to = CBackupFolders::GetBackupFolder(newName, m_appDirectory);
  if (from == to) {
    return true;
  }
  // Two names can make one folder name ("a:b", "a?b"); another project's backups stay.
  for (const auto& other : m_projects) {
    if (other.get() != &project &&
        CBackupFolders::GetBackupFolder(other->GetName(), m_appDirectory) == to) {
      return false;
    }
  }
  // Otherwise a folder of the new name is a removed project's, out of every undo's
  // reach. Left in place it would block the move, and an undo could then bring its old
  // copies back.
  if (CDirUtils::DoesDirExist(to) && !CDirUtils::ClearDirectory(to, error, true, true, true)) {
    return false;
  }
  return !CDirUtils::DoesDirExist(from) || CDirUtils::RenameDirectory(from, to, error);
}

bool CDoc::EditProjectSettings(CWebProject* project) {
  if (project == nullptr) {
    return false;
  }
  CDocUi::SProjectSettings settings =
      SettingsOf(*project, m_projects, m_settings.newProjectDirectory);
  if (!m_ui.EditProjectSettings(settings)) {
    return false;
  }
  const bool nameChanged = ApplyName(*project, settings.name);
  const bool rootChanged = ApplyRoot(*project, settings.rootDirectory);
  const bool dictionariesChanged = ApplyDictionaries(*project, settings);
  const bool filtersChanged = ApplyFilters(*project, settings);
  const bool optionsChanged = ApplyOptions(*project, settings.options);
  const bool outOfDate = rootChanged || dictionariesChanged || filtersChanged || optionsChanged;
  if (!nameChanged && !outOfDate) {
    return false;
  }
  project->SaveProject(outOfDate);
  if (rootChanged) {
    m_ui.UpdateAllViews(HINT_PROJECTS_CHANGED);
  }
  return true;
}

bool CDoc::ApplyName(CWebProject& project, const std::string& name) {
  if (name == project.GetName()) {
    return false;
  }
  const bool backupsMoved = RenameBackupFolder(project, name);
  project.RenameProject(name);
  if (!backupsMoved) {
    project.GetUndoList().RemoveAll();
  }
  SortProjects();
  m_ui.RefreshProjectBar();
  PressCurrentProjectButton();
  return true;
}

bool CDoc::ApplyRoot(CWebProject& project, const std::string& rootDirectory) {
  const std::string root = WithTrailingSlash(rootDirectory);
  if (root == project.GetRootDirectory()) {
    return false;
  }
  project.SetRootDirectory(root);
  if (project.GetCheckState() != ECheckState::NotStarted) {
    project.RestartCollection();
  }
  m_settings.newProjectDirectory = CDirUtils::ParsePathFromFile(rootDirectory);
  if (m_settings.save) {
    m_settings.save();
  }
  return true;
}

void CDoc::RemoveProject(CWebProject* project, bool interactive) {
  const CWaitCursor wait(m_ui);
  const int index = GetProjectIndex(project);
  if (index < 0) {
    return;
  }
  if (project == m_current) {
    m_current = nullptr;
  }
  project->SetCurrent(false);
  std::unique_ptr<CWebProject> removed = std::move(m_projects[static_cast<std::size_t>(index)]);
  m_projects.erase(m_projects.begin() + index);

  if (interactive) {
    m_ui.RefreshProjectBar();
    if (!m_projects.empty()) {
      SelectProject(GetProject(std::min(index, GetProjectCount() - 1)));
    }
  }
  // Stops the project before its data file goes.
  removed->DeleteProjectData();
  removed.reset();
  if (interactive) {
    m_ui.UpdateAllViews(HINT_PROJECTS_CHANGED);
  }
}

void CDoc::ConfirmRemoveCurrent() {
  const int answer = m_ui.MessageBox("Remove Project", RemoveProjectText(m_current->GetName()),
                                     CDocUi::EButtons::YesNo, {});
  if (answer == CDocUi::kAnswerYes) {
    RemoveProject(m_current, true);
  }
}

void CDoc::CheckCurrentAgain() {
  m_current->StartCheckWorker();
  m_ui.UpdateAllViews(HINT_PROJECTS_CHANGED);
}

bool CDoc::IsCommandEnabled(int id) const {
  switch (id) {
  case ID_PROJECT_ADD:
    return true;
  case ID_PROJECT_REMOVE:
  case ID_PROJECT_SETTINGS:
  case ID_SPELL_CHECK_WORD:
    return m_current != nullptr;
  case ID_PROJECT_CHECK_AGAIN:
    return m_current != nullptr && m_current->GetCheckState() == ECheckState::OutOfDate;
  default:
    return id >= ID_DICTIONARY_FIRST && id <= ID_DICTIONARY_LAST;
  }
}

bool CDoc::OnCommand(int id) {
  if (!IsCommandEnabled(id)) {
    return false;
  }
  switch (id) {
  case ID_PROJECT_ADD:
    AddProject();
    break;
  case ID_PROJECT_REMOVE:
    ConfirmRemoveCurrent();
    break;
  case ID_PROJECT_SETTINGS:
    EditProjectSettings(m_current);
    break;
  case ID_PROJECT_CHECK_AGAIN:
    CheckCurrentAgain();
    break;
  case ID_SPELL_CHECK_WORD:
    m_ui.SpellCheckWord(m_current->GetActiveDictionaries());
    break;
  default:
    m_ui.EditDictionary(id - ID_DICTIONARY_FIRST);
    break;
  }
  return true;
}
