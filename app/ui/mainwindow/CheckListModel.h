#pragma once

#include <QAbstractListModel>
#include <QString>

#include <string>
#include <vector>

/// The rows of a list box whose entries carry check boxes, in the order given. Each row
/// keeps the bytes it stands for (a word, a path relative to a site's root) beside the
/// text it shows, so that what the program acts on never goes through a conversion.
/// A placeholder row shows a text and stands for nothing. Filled with one model reset.
class CCheckListModel : public QAbstractListModel {
  Q_OBJECT

public:
  struct SRow {
    std::string text; ///< what the row stands for; empty for a placeholder
    QString display;  ///< what the list shows
    bool checked = false;
    bool placeholder = false;
    int duplicate = 0; ///< a word row: the word's duplicate flag (a repeated word)
  };

  explicit CCheckListModel(QObject* parent = nullptr);

  /// Replaces every row at once.
  void SetRows(std::vector<SRow> rows);
  /// Leaves the single, uncheckable row `display`.
  void SetPlaceholder(const QString& display);
  void Clear();
  /// Removes one row; nothing for a row out of range.
  void RemoveRow(int row);

  int GetCount() const { return static_cast<int>(m_rows.size()); }
  bool IsValidRow(int row) const { return row >= 0 && row < GetCount(); }
  /// Null for a row out of range.
  const SRow* GetRow(int row) const;
  bool IsChecked(int row) const;
  /// Whether there is at least one row and every row is checked.
  bool AreAllChecked() const;
  bool IsAnyChecked() const;
  /// The first row showing `display`; -1 when none does.
  virtual int FindDisplay(const QString& display) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
  const std::vector<SRow>& Rows() const { return m_rows; }

private:
  std::vector<SRow> m_rows;
};
