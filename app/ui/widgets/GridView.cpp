#include "widgets/GridView.h"

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
