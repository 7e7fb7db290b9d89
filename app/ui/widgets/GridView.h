#pragma once

#include <QTableView>

/// A table that keeps Enter and Escape for itself, so that pressing them in a dialog's
/// grid edits the grid instead of closing the dialog: Enter opens the current cell's
/// editor (or lets its delegate act on it), Escape does nothing. Inside an open editor the
/// delegate already takes both keys (commit, cancel). A grid without rows can show a
/// message in their place.
class CGridView : public QTableView {
  Q_OBJECT

public:
  explicit CGridView(QWidget* parent = nullptr);

  /// Shown in the middle of the grid while its model has no rows; empty: nothing.
  void SetEmptyText(const QString& text);
  const QString& EmptyText() const { return m_emptyText; }
  /// Closes an open in-place editor without taking its text.
  void CancelEdit();

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  QString m_emptyText;
};
