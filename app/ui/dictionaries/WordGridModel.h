#pragma once

#include "dictedit/DictionaryWords.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

/// The dictionary editor's grid: one editable column of words, each row numbered
/// from 1 in the row header. Every change that re-sorts is one model reset, so a
/// dictionary of 100,000 words fills at once.
class CWordGridModel : public QAbstractTableModel {
  Q_OBJECT

public:
  explicit CWordGridModel(QObject* parent = nullptr);

  const std::vector<std::string>& Words() const { return m_words.Words(); }
  /// Shows `words` (sorted by the editor's order).
  void SetWords(std::vector<std::string> words);
  /// CDictionaryWords::AddTexts: the words added.
  std::vector<std::string> AddTexts(const std::vector<std::string>& texts);
  /// Removes the rows `first` to `last` (both included).
  void RemoveRows(int first, int last);
  /// CDictionaryWords::ReplaceRow.
  void ReplaceRow(int row, const std::string& text);
  /// The row of `word`, or -1.
  int RowOf(const std::string& word) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  /// Reports the edited text with WordEdited and changes nothing itself: the editor
  /// re-sorts once the in-place editor has gone.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
  void WordEdited(int row, const QString& text);

private:
  CDictionaryWords m_words;
};
