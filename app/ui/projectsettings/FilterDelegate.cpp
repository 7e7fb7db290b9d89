#include "projectsettings/FilterDelegate.h"

#include "checking/ProjectFilter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTimer>

#include <array>
#include <utility>

namespace {
struct STypeText {
  std::int32_t type;
  const char* text;
};
constexpr std::array<STypeText, 3> kTypeTexts{{{CProjectFilter::SUB_DIRECTORY, "Sub-directory:"},
                                               {CProjectFilter::FILE, "File:"},
                                               {CProjectFilter::CUSTOM, "Custom:"}}};
} // namespace

CFilterDelegate::CFilterDelegate(FFillChoices fillChoices, QObject* parent)
    : QStyledItemDelegate(parent), m_fillChoices(std::move(fillChoices)) {}

std::int32_t CFilterDelegate::TypeOfText(const QString& text) {
  if (text == QLatin1String(kTypeTexts[0].text)) {
    return CProjectFilter::SUB_DIRECTORY;
  }
  if (text == QLatin1String(kTypeTexts[2].text)) {
    return CProjectFilter::CUSTOM;
  }
  return CProjectFilter::FILE;
}

QString CFilterDelegate::TextOfType(std::int32_t type) {
  for (const STypeText& entry : kTypeTexts) {
    if (entry.type == type) {
      return QLatin1String(entry.text);
    }
  }
  return {};
}

QComboBox* CFilterDelegate::MakeDropDown(QWidget* parent, bool editable) const {
  auto* box = new QComboBox(parent);
  box->setEditable(editable);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMaxVisibleItems(20);
  // A site's folders can be thousands: rows of one height are laid out at once.
  if (auto* list = qobject_cast<QListView*>(box->view())) {
    list->setUniformItemSizes(true);
  }
  // A choice from the list ends the edit at once, as a typed text does with Enter.
  // (Editors are made from a const member; their signals still belong to this delegate.)
  auto* self = const_cast<CFilterDelegate*>(this);
  connect(box, &QComboBox::activated, self, [self, box] {
    emit self->commitData(box);
    emit self->closeEditor(box);
  });
  return box;
}

QWidget* CFilterDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                       const QModelIndex& index) const {
  if (index.column() == kTypeColumn) {
    QComboBox* box = MakeDropDown(parent, false);
    for (const STypeText& entry : kTypeTexts) {
      box->addItem(QLatin1String(entry.text));
    }
    QTimer::singleShot(0, box, &QComboBox::showPopup);
    return box;
  }
  if (index.column() != kSpecificationColumn) {
    return nullptr;
  }
  const std::int32_t type = index.siblingAtColumn(kTypeColumn).data(kTypeRole).toInt();
  if (type != CProjectFilter::SUB_DIRECTORY && type != CProjectFilter::FILE) {
    return new QLineEdit(parent);
  }
  QComboBox* box = MakeDropDown(parent, true);
  if (m_fillChoices) {
    m_fillChoices(type, box);
  }
  QTimer::singleShot(0, box, &QComboBox::showPopup);
  return box;
}

void CFilterDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const QString text = index.data(Qt::EditRole).toString();
  if (auto* box = qobject_cast<QComboBox*>(editor)) {
    const int at = box->findText(text);
    if (at >= 0) {
      box->setCurrentIndex(at);
    }
    if (box->isEditable()) {
      box->setEditText(text);
    }
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void CFilterDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
  if (auto* box = qobject_cast<QComboBox*>(editor)) {
    const QString text = box->currentText();
    if (text != index.data(Qt::EditRole).toString()) {
      model->setData(index, text, Qt::EditRole);
    }
    return;
  }
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    if (line->text() != index.data(Qt::EditRole).toString()) {
      model->setData(index, line->text(), Qt::EditRole);
    }
    return;
  }
  QStyledItemDelegate::setModelData(editor, model, index);
}
