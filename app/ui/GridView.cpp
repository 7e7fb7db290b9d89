#include "GridView.h"

#include <QKeyEvent>

CGridView::CGridView(QWidget* parent) : QTableView(parent) {}

void CGridView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
  case Qt::Key_Return:
  case Qt::Key_Enter:
    // The cell's delegate sees the key first (a check cell toggles), else its
    // editor opens.
    if (state() != EditingState && currentIndex().isValid()) {
      edit(currentIndex(), EditKeyPressed, event);
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
