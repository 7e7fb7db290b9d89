#pragma once

#include <QTableView>

/// A table that keeps Enter and Escape for itself, so that pressing them in a dialog's
/// grid edits the grid instead of closing the dialog: Enter opens the current cell's
/// editor (or lets its delegate act on it), Escape does nothing. Inside an open editor the
/// delegate already takes both keys (commit, cancel).
class CGridView : public QTableView {
  Q_OBJECT

public:
  explicit CGridView(QWidget* parent = nullptr);

protected:
  void keyPressEvent(QKeyEvent* event) override;
};
