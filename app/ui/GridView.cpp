#include "GridView.h"

#include <QKeyEvent>

CGridView::CGridView(QWidget* parent) : QTableView(parent) {}

void CGridView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
  case Qt::Key_Return:
  case Qt::Key_Enter:
    if (state() != EditingState) {
      ActOnCurrentCell();
    }
    event->accept();
    return;
  case Qt::Key_Escape:
    event->accept();
    return;
  default:
    QTableView::keyPressEvent(event);
  }
}

void CGridView::ActOnCurrentCell() {
  const QModelIndex cell = currentIndex();
  if (!cell.isValid()) {
    return;
  }
  const Qt::ItemFlags flags = cell.flags();
  if (flags.testFlag(Qt::ItemIsEditable)) {
    edit(cell);
    return;
  }
  if (flags.testFlag(Qt::ItemIsUserCheckable) && flags.testFlag(Qt::ItemIsEnabled)) {
    const bool checked = cell.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    model()->setData(cell, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
  }
}
