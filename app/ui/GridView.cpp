#include "GridView.h"

#include <QKeyEvent>
#include <QPainter>

namespace {
constexpr int kEmptyTextMargin = 8;
} // namespace

CGridView::CGridView(QWidget* parent) : QTableView(parent) {}

void CGridView::SetEmptyText(const QString& text) {
  m_emptyText = text;
  viewport()->update();
}

void CGridView::CancelEdit() {
  if (state() != EditingState) {
    return;
  }
  if (QWidget* editor = indexWidget(currentIndex())) {
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void CGridView::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  if (m_emptyText.isEmpty() || (model() != nullptr && model()->rowCount(rootIndex()) > 0)) {
    return;
  }
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(viewport()->rect().adjusted(kEmptyTextMargin, kEmptyTextMargin,
                                               -kEmptyTextMargin, -kEmptyTextMargin),
                   Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
}

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
