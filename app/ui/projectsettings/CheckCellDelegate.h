#pragma once

#include <QStyledItemDelegate>

/// Draws a checkable cell as a check box or a radio button, centred in the cell, and
/// turns it by mouse (a click in the cell), Space or Enter. A radio is only ever set
/// by the user; clearing the others of its group is the owner's business. Cells that
/// are not checkable are drawn empty.
class CCheckCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

public:
  enum class EIndicator { CheckBox, Radio };

  CCheckCellDelegate(EIndicator indicator, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
  EIndicator m_indicator;
};
