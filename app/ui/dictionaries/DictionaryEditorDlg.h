#pragma once

#include "dictedit/WordFinder.h"
#include "widgets/ShadedDialog.h"

#include <memory>
#include <string>
#include <vector>

class CWordGridModel;
class QKeySequence;

namespace Ui {
class DictionaryEditorDlg;
}

/// Shows the words of one word-list dictionary in a grid and lets the user find, copy,
/// add, paste, edit and remove them. It works on a copy: OK writes the whole list back
/// at once, Cancel drops every change.
class CDictionaryEditorDlg : public CShadedDialog {
  Q_OBJECT

public:
  static constexpr const char* kEmptyText = "The dictionary is empty.";
  static constexpr const char* kHelpTopic = "HowTo/Dictionaries.htm#modify";
  static constexpr const char* kFindHelpTopic = "HowTo/Dictionaries.htm#find";
  /// What a clipboard entry that holds nothing reads as; such entries are skipped.
  static constexpr const char* kEmptyEntry = "~";

  /// The editor of dictionary `dictionaryId`, searching with `findOptions` at first.
  CDictionaryEditorDlg(QWidget* parent, int dictionaryId, const CWordFinder::SOptions& findOptions,
                       HelpOpener help);
  ~CDictionaryEditorDlg() override;
  CDictionaryEditorDlg(const CDictionaryEditorDlg&) = delete;
  CDictionaryEditorDlg& operator=(const CDictionaryEditorDlg&) = delete;

  /// The search options as the user last chose them.
  const CWordFinder::SOptions& FindOptions() const { return m_finder.Options(); }

  /// Saves the grid's words as the dictionary's words.
  void accept() override;

private:
  void BuildGrid();
  void AddShortcut(const QKeySequence& key, void (CDictionaryEditorDlg::*handler)());
  void LoadWords();

  void OnFind();
  void OnFindAgain();
  void OnCopy();
  void OnCut();
  void OnSelectAll();
  void OnAdd();
  void OnPaste();
  void OnRemove();
  void OnWordEdited(int row, const QString& text);

  /// Adds texts as words to the grid; focuses the first word added.
  void AddTexts(const std::vector<std::string>& texts);
  void FindNext();
  /// The find window; `message` says why it opens again.
  void OpenFind(const QString& message);

  /// The grid with rows: its commands on, `row` focused.
  void ShowRows(int row);
  /// The grid without rows: the message instead, its commands off.
  void ShowEmpty();
  void FocusRow(int row);
  /// The first and last row of the selection, else the focused row twice; -1 when none.
  std::pair<int, int> SelectedRows() const;
  void UpdateCellCommands();
  void UpdatePaste();
  std::vector<std::string> ClipboardEntries() const;

  std::unique_ptr<Ui::DictionaryEditorDlg> m_ui;
  CWordGridModel* m_model = nullptr;
  int m_id;
  CWordFinder m_finder;
};
