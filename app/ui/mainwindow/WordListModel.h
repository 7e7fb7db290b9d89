#pragma once

#include "mainwindow/CheckListModel.h"

class CBadWordsList;

/// The Unrecognized Words list: one checkable row per word of a project, sorted as a
/// sorted list box sorts (IsBefore). The rows are the view's word index: a row's
/// display text leads to the word it shows, which the view looks up in the project's
/// list whenever it acts on it, so a row never refers to a finding the check worker
/// has deleted meanwhile.
class CWordListModel : public CCheckListModel {
  Q_OBJECT

public:
  /// Appended to the text of a word whose record carries the duplicate flag.
  static constexpr const char* kDuplicateSuffix = " (duplicate)";

  explicit CWordListModel(QObject* parent = nullptr);

  /// Every word of `list` in one model reset; the list is walked once under its reader
  /// access.
  void Fill(CBadWordsList& list);
  /// Binary search of the sorted rows.
  int FindDisplay(const QString& display) const override;

  /// The order of the list: without regard to case first, then by the exact text so
  /// that words differing only in case keep a fixed order.
  static bool IsBefore(const QString& a, const QString& b);
};
