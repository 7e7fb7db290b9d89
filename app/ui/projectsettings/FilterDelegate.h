#pragma once

#include <QStyledItemDelegate>

#include <cstdint>
#include <functional>

class QComboBox;

/// The in-place editors of the filters grid: a drop-down of the three filter types in
/// the type column; in the filter text column a drop-down of the site's folders or
/// pages (filled by the owner, perhaps later) or, for a custom filter, free text. Each
/// drop-down opens with its list shown.
class CFilterDelegate : public QStyledItemDelegate {
  Q_OBJECT

public:
  /// Puts the choices for a filter of `type` into `editor`.
  using FFillChoices = std::function<void(std::int32_t type, QComboBox* editor)>;

  /// The item data role that holds a row's filter type (on its type cell).
  static constexpr int kTypeRole = Qt::UserRole + 1;
  static constexpr int kTypeColumn = 0;
  static constexpr int kSpecificationColumn = 1;

  CFilterDelegate(FFillChoices fillChoices, QObject* parent);

  /// The type a type cell's text stands for: anything unknown is a file filter.
  static std::int32_t TypeOfText(const QString& text);
  /// The text of a filter type; empty for a type this program does not know.
  static QString TextOfType(std::int32_t type);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;

private:
  QComboBox* MakeDropDown(QWidget* parent, bool editable) const;

  FFillChoices m_fillChoices;
};
