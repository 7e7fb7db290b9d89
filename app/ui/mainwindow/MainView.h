#pragma once

#include "mainwindow/ProgressPresenter.h"
#include "projects/DocView.h"
#include "services/LaunchActions.h"

#include "replace/ReplaceCommand.h"
#include "widgets/MessageBoxService.h"

#include "mtcore/WindowMessages.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CCheckListModel;
class CDoc;
class CFocusedEditCommands;
class CFunctionTarget;
class CSelectingListView;
class CStatusProgress;
class CWebProject;
class CWordFilesPane;
class CWordListModel;
class CWordsPane;
class QStringListModel;

namespace Ui {
class MainView;
}

/// The main view: for the document's current project, the unrecognized words, the
/// suggestions for the selected word and the files that hold it, with the buttons that
/// ignore, add, replace and undo. It receives the projects' progress messages and the
/// speller's dictionary-change message through its message window. It wires the parts
/// together and carries out the buttons: the words and files lists are CWordsPane and
/// CWordFilesPane, the status bar's progress is CProgressPresenter's and the Edit
/// commands are CFocusedEditCommands'. User interface thread only.
class CMainView : public QWidget, public CDocView {
  Q_OBJECT

public:
  /// The single entry of the word list while a run goes on and words were found.
  static constexpr const char* kWordsShortly = "(words will be shown shortly...)";
  /// The single entry of the word list when there are no words.
  static constexpr const char* kNoWords = "(no unrecognized words found)";

  /// `doc` must outlive the view. `progress` is the frame's status pane; may be null.
  /// The message window exists from here on, so the document can hand it to the
  /// projects it loads.
  CMainView(CDoc& doc, CStatusProgress* progress, QWidget* parent = nullptr);
  ~CMainView() override;
  CMainView(const CMainView&) = delete;
  CMainView& operator=(const CMainView&) = delete;

  /// Once, after the document is loaded: shading, empty lists, and the speller's
  /// dictionary-change messages directed here.
  void OnInitialUpdate();
  /// CDoc::HINT_PROJECTS_CHANGED refills the view from the current project; other
  /// hints are ignored.
  void OnUpdate(int hint) override;
  /// The handle the projects and the speller post to (what CDocUi::GetFirstViewWindow
  /// returns).
  HWND GetMessageWindow() const override;
  /// Re-reads the shadings of the view (style 0) and its buttons (style 10).
  void ApplyBackgroundStyles();
  /// Has the speller build its suggestion index in the background, so that the first
  /// selected word does not wait for it; suggestions made before it is ready are made
  /// again once it is.
  void StartWordIndex();
  /// Called each time a project's words fill the word list.
  void SetWordsShownHook(std::function<void()> hook) { m_wordsShownHook = std::move(hook); }

  /// Where Settings, and View and Edit without a registered program, open the settings
  /// window; without one the Settings command is disabled.
  void SetSettingsWindow(CLaunchActions::FSettingsWindow open) {
    m_launch->SetSettingsWindow(std::move(open));
  }

  bool OnCommand(int id) override;
  std::optional<bool> IsCommandEnabled(int id) const override;

signals:
  /// A selection or field changed: what the commands may do may have changed too.
  void CommandStatesChanged();

protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void ConnectControls();
  void ConnectButtons();
  CWebProject* CurrentProject() const;
  /// The current project when `lParam` names it; null otherwise.
  CWebProject* ProjectOfMessage(LPARAM lParam) const;
  /// Whether the project's findings are being rebuilt (the word list is in flux).
  bool IsChecking(const CWebProject& project) const;

  // The lists.
  void ClearSelectionState();
  void FillWordList(CWebProject& project);
  void ShowWordPlaceholder(const char* text);
  void ShowWordCount(const CWebProject& project);
  void FillSuggestions(std::vector<std::string> suggestions);
  void FillFileList(CWebProject& project, const std::string& word, int duplicate);
  void OnWordSelected();
  /// The buttons and fields for acting on `word`.
  void OfferWord(const std::string& word, int duplicate);
  void OnSuggestionSelected();
  /// The selected word's suggestions made again, now with the speller's whole index.
  void OnWordIndexReady();
  void OnFileSelected();
  void OpenSelectedFile(CLaunchActions::EUse use);
  void UpdateReplace();
  /// The word of the selected entry; empty for none or a placeholder.
  std::string SelectedWord() const;

  // The buttons.
  void AddWordsToDictionary(int dictionaryId);
  void OnIgnore();
  void OnAddToDictionary();
  void OnReplace();
  /// The lists after a replacement that was carried out: without the word where every
  /// file of it changed, else without the changed files.
  void ShowReplaced(CWebProject& project, const CReplaceCommand::SOutcome& outcome, int wordRow,
                    bool allChecked);
  void OnUndo();
  /// Replace's and Undo's questions, asked over the view.
  CReplaceCommand::AskYesNo
  AskYesNo(CMessageBoxService::EButtons buttons = CMessageBoxService::EButtons::YesNo);
  /// Tells the user `text` in a message box titled `title`.
  void Tell(const QString& title, const std::string& text);

  // The messages.
  void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCheckBegin(CWebProject& project, WPARAM progress);
  void OnFileChecked(CWebProject& project, WPARAM progress);
  void OnCheckDone(CWebProject& project);
  void OnWordsRemoved(CWebProject& project);
  void OnDictionaryChanged(int dictionaryId);

  void ApplyButtonShade();
  void ApplyReadOnlyLook();

  CDoc& m_doc;
  CProgressPresenter m_progress;
  std::unique_ptr<Ui::MainView> m_ui;
  CWordListModel* m_words;
  QStringListModel* m_suggestions;
  CCheckListModel* m_files;
  std::unique_ptr<CWordsPane> m_wordsPane;
  std::unique_ptr<CWordFilesPane> m_filesPane;
  /// Set by Ignore and Add To Dictionary: the next dictionary-change message is theirs.
  bool m_swallowDictChange = false;
  std::function<void()> m_wordsShownHook;
  /// The suggestions shown were made while the speller's index was being built.
  bool m_suggestionsWithoutIndex = false;
  /// Set while a run's end is handled: its last message arrives before the worker's
  /// thread marks the project checked.
  bool m_runOver = false;
  /// Goes first: no message is handled while the view is taken apart.
  std::unique_ptr<CFunctionTarget> m_messages;
  std::unique_ptr<CLaunchActions> m_launch;
  std::unique_ptr<CFocusedEditCommands> m_editCommands;
};
