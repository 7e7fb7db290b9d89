#pragma once

#include "projects/DocSettings.h"

#include <memory>
#include <string>
#include <vector>

class CDocUi;
class CWebProject;

/// The document: owns the projects (kept sorted by name), loads them from their data
/// files, knows the current one and carries out the project commands. User interface
/// thread only.
class CDoc {
public:
  // Command ids.
  static constexpr int ID_DICTIONARY_FIRST = 45000; ///< + dictionary id: its editor
  static constexpr int ID_DICTIONARY_LAST = 45029;
  static constexpr int ID_SPELL_CHECK_WORD = 45032;
  static constexpr int ID_PROJECT_REMOVE = 45096;
  static constexpr int ID_PROJECT_ADD = 45097;
  static constexpr int ID_PROJECT_SETTINGS = 45098;
  static constexpr int ID_PROJECT_CHECK_AGAIN = 45099;
  /// The project bar's button of the project at index i has this id + i.
  static constexpr int ID_PROJECT_BUTTON_FIRST = 0xB000;
  /// The views' update hint for "the projects or the current project changed".
  static constexpr int HINT_PROJECTS_CHANGED = 100;

  /// `ui` and `settings` must outlive the document.
  CDoc(CDocUi& ui, CDocSettings& settings);
  /// Closes the document if that has not happened yet.
  ~CDoc();
  CDoc(const CDoc&) = delete;
  CDoc& operator=(const CDoc&) = delete;

  /// The program folder, where old versions kept their data files (default: the
  /// running program's folder).
  void SetApplicationDirectory(std::string directory) { m_appDirectory = std::move(directory); }

  /// Loads every project data file (after moving old ones over); starts nothing.
  bool OnNewDocument();
  /// The data files the last OnNewDocument could not load (each logged, unless empty),
  /// in the order found; they stay where they are.
  const std::vector<std::string>& GetUnreadDataFiles() const { return m_unreadDataFiles; }
  /// Stops and frees every project and empties the backup root.
  void OnCloseDocument();
  /// Starts each project; an error is shown as "Failed To Start <name>".
  void StartAllProjects();

  /// Makes `project` current (nothing for null).
  void SelectProject(CWebProject* project);
  void GetProjectNames(std::string& currentName, std::vector<std::string>& names) const;
  /// The project's position in the list; -1 when absent.
  int GetProjectIndex(const CWebProject* project) const;
  int GetProjectCount() const { return static_cast<int>(m_projects.size()); }
  /// Null for an index out of range.
  CWebProject* GetProject(int index) const;
  CWebProject* GetCurrentProject() const { return m_current; }

  /// A dictionary's words changed: the projects that use it check their files again.
  void OnDictionaryChanged(int dictionaryId);

  void AddProject();
  /// Runs the settings dialog for `project`; true when something was changed.
  bool EditProjectSettings(CWebProject* project);
  /// Removes the project and its data file (not its ignore dictionary or backups).
  void RemoveProject(CWebProject* project, bool interactive);

  /// Carries out a command; false when the id is not the document's or the command
  /// is disabled.
  bool OnCommand(int id);
  bool IsCommandEnabled(int id) const;

  /// Whether the program lies in the system's programs folder, which it cannot write.
  static bool IsInProgramsFolder(const std::string& appDirectory);
  /// Moves the data files an old version kept in `fromDirectory` into the project
  /// data folder, unless that folder holds data files already. Failures are logged.
  void MoveOldDataFiles(const std::string& fromDirectory);

private:
  class CWaitCursor;

  void LoadProjects();
  void FreeProjects();
  void SortProjects();
  void PressCurrentProjectButton();
  /// Moves a renamed project's backups to its new folder; false when they could not
  /// follow (its undo entries would then restore the wrong copies or none).
  bool RenameBackupFolder(const CWebProject& project, const std::string& newName) const;
  // The settings dialog's name and root taken into the project; false when unchanged.
  bool ApplyName(CWebProject& project, const std::string& name);
  bool ApplyRoot(CWebProject& project, const std::string& rootDirectory);
  void ConfirmRemoveCurrent();
  void CheckCurrentAgain();

  CDocUi& m_ui;
  CDocSettings& m_settings;
  std::string m_appDirectory;
  std::vector<std::unique_ptr<CWebProject>> m_projects;
  std::vector<std::string> m_unreadDataFiles;
  CWebProject* m_current = nullptr;
};
