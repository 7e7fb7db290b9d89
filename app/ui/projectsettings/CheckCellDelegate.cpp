#include "projectsettings/CheckCellDelegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QStyle>

namespace {
QStyle* StyleOf(const QStyleOptionViewItem& option) {
  return option.widget != nullptr ? option.widget->style() : QApplication::style();
}

bool IsCheckable(const QModelIndex& index) {
  return index.flags().testFlag(Qt::ItemIsUserCheckable) &&
         index.data(Qt::CheckStateRole).isValid();
}

/// On a dark base the style's indicator outline nearly vanishes into the cell, so an
/// empty box or radio could not be seen: it gets a rim in the text colour, faded.
void DrawRimOnDarkBase(QPainter* painter, const QStyleOptionViewItem& option, const QRect& box,
                       bool radio) {
  constexpr int kDarkBase = 128;
  constexpr int kRimAlpha = 120;
  if (option.palette.color(QPalette::Base).lightness() >= kDarkBase) {
    return;
  }
  QColor rim = option.palette.color(QPalette::Text);
  rim.setAlpha(kRimAlpha);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, radio);
  painter->setPen(QPen(rim, 1));
  painter->setBrush(Qt::NoBrush);
  const QRect inner = box.adjusted(0, 0, -1, -1);
  if (radio) {
    painter->drawEllipse(inner);
  } else {
    painter->drawRect(inner);
  }
  painter->restore();
}

bool IsToggleKey(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) {
    return false;
  }
  switch (static_cast<const QKeyEvent*>(event)->key()) {
  case Qt::Key_Space:
  case Qt::Key_Select:
  case Qt::Key_Return:
  case Qt::Key_Enter:
    return true;
  default:
    return false;
  }
}

bool IsClick(const QEvent* event, const QRect& cell) {
  if (event->type() != QEvent::MouseButtonRelease) {
    return false;
  }
  const auto* mouse = static_cast<const QMouseEvent*>(event);
  return mouse->button() == Qt::LeftButton && cell.contains(mouse->position().toPoint());
}
} // namespace

CCheckCellDelegate::CCheckCellDelegate(EIndicator indicator, QObject* parent)
    : QStyledItemDelegate(parent), m_indicator(indicator) {}

void CCheckCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyleOptionViewItem cell = option;
  initStyleOption(&cell, index);
  QStyle* style = StyleOf(option);
  // The cell's background and focus frame without the item's own, left-aligned box.
  cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
  cell.text.clear();
  style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, option.widget);
  if (!IsCheckable(index)) {
    return;
  }
  QStyleOptionButton box;
  box.state = option.state & QStyle::State_Enabled;
  box.state |=
      index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
  const bool radio = m_indicator == EIndicator::Radio;
  const int width = style->pixelMetric(
      radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, &box, option.widget);
  const int height =
      style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight,
                         &box, option.widget);
  box.rect =
      QStyle::alignedRect(option.direction, Qt::AlignCenter, QSize(width, height), option.rect);
  style->drawPrimitive(radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &box,
                       painter, option.widget);
  DrawRimOnDarkBase(painter, option, box.rect, radio);
}

QSize CCheckCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  const QStyle* style = StyleOf(option);
  const int indicator =
      style->pixelMetric(m_indicator == EIndicator::Radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                          : QStyle::PM_IndicatorWidth,
                         nullptr, option.widget);
  const QSize text = QStyledItemDelegate::sizeHint(option, index);
  return {indicator + 2 * style->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4, text.height()};
}

bool CCheckCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                     const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (!IsCheckable(index) || !index.flags().testFlag(Qt::ItemIsEnabled)) {
    return false;
  }
  if (event->type() == QEvent::MouseButtonDblClick) {
    return true; // a cell without an editor: nothing to open
  }
  if (!IsToggleKey(event) && !IsClick(event, option.rect)) {
    return false;
  }
  const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
  if (m_indicator == EIndicator::Radio && checked) {
    return true; // a radio is cleared by choosing another
  }
  return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}
