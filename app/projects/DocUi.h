#pragma once

#include "checking/ProjectFilter.h"
#include "checking/ProjectOptions.h"

#include "mtcore/WindowMessages.h"

#include <string>
#include <vector>

/// What the document asks of the user interface: message boxes, the project settings
/// dialog, the project bar, the views and the dictionary dialogs. The program's
/// windows implement it; the command-line checker and the tests give their own.
/// Called on the user interface thread only.
class CDocUi {
public:
  /// Answers of MessageBox.
  static constexpr int kAnswerYes = 1; ///< also OK
  static constexpr int kAnswerNo = 2;

  enum class EButtons { Ok, YesNo };

  /// What the project settings dialog shows, and on OK what it returns.
  struct SProjectSettings {
    std::string name;
    std::string rootDirectory;
    /// The other projects' names, which the name must differ from.
    std::vector<std::string> otherNames;
    std::vector<int> activeDictionaries;
    std::string newProjectDirectory;
    int addToDictionaryId = -1;
    std::vector<CProjectFilter> filters;
    /// Set by the dialog when the user changed the filters.
    bool filtersChanged = false;
    /// The project's check options; the dialog changes only those it shows.
    CProjectOptions options;
  };

  virtual ~CDocUi() = default;

  /// A modal message box; kAnswerYes for OK or Yes, kAnswerNo for No. `helpTopic`
  /// may be empty.
  virtual int MessageBox(const std::string& title, const std::string& text, EButtons buttons,
                         const std::string& helpTopic) = 0;
  /// The project settings dialog; true when closed with OK, with the results in
  /// `settings`.
  virtual bool EditProjectSettings(SProjectSettings& settings) = 0;
  /// Rebuilds the project bar from the document's projects.
  virtual void RefreshProjectBar() = 0;
  /// Shows the project bar's button of `commandId` pressed.
  virtual void PressProjectButton(int commandId) = 0;
  /// Tells every view that something changed (`hint` says what).
  virtual void UpdateAllViews(int hint) = 0;
  /// Shows (true) or hides (false) the wait cursor.
  virtual void ShowWaitCursor(bool show) = 0;
  /// The window of the document's first view; 0 when there is none.
  virtual HWND GetFirstViewWindow() const = 0;
  /// The dictionary editor of dictionary `id`.
  virtual void EditDictionary(int id) = 0;
  /// The spell-check-a-word dialog, checking against `activeDictionaries`.
  virtual void SpellCheckWord(std::vector<int> activeDictionaries) = 0;

protected:
  CDocUi() = default;
  CDocUi(const CDocUi&) = default;
  CDocUi& operator=(const CDocUi&) = default;
};
