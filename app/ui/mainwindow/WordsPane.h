#pragma once

#include "mainwindow/CheckListModel.h"
#include "widgets/SelectingListView.h"

#include <functional>
#include <string>

class CBadWordsList;
class CWordListModel;
class QLabel;

/// The Unrecognized Words list of the main view with its count: filled from a project's
/// findings keeping the selected word (or its place) and the scroll position, or a single
/// placeholder entry while there is nothing to pick. The widgets and the model belong to
/// the view. User interface thread only.
class CWordsPane {
public:
  CWordsPane(CSelectingListView& list, QLabel& count, CWordListModel& model);

  /// No entries, the count 0.
  void Clear();
  /// Every word of `words`; the list enabled.
  void Fill(CBadWordsList& words);
  /// Makes `text` the single entry unless it is already; true when the entries changed.
  bool SetPlaceholder(const char* text);
  void ShowCount(int count);

  int SelectedRow() const;
  /// The word of the selected entry; empty for none or a placeholder.
  std::string SelectedWord() const;
  /// The duplicate flag of the selected word (1: a repeated word), 0 without one.
  int SelectedDuplicate() const;
  /// Selects the entry of `place` again; when it is gone, with `orNearest` the entry now
  /// at its row (if one was selected), otherwise none.
  void SelectAgain(const CSelectingListView::SPlace& place, bool orNearest);

  /// Deletes an entry; the others keep their selection.
  void RemoveEntry(int row);
  /// Offers `take` the checked entries and the selected one, the last first; each one it
  /// takes leaves the list. Then the entry at the selected one's row is selected.
  void TakeChosen(const std::function<bool(const CCheckListModel::SRow& entry)>& take);

private:
  /// The selected entry unless it is a placeholder; null otherwise.
  const CCheckListModel::SRow* SelectedEntry() const;

  CSelectingListView& m_list;
  QLabel& m_count;
  CWordListModel& m_model;
};
