#include "mainwindow/CheckListModel.h"

#include <algorithm>
#include <utility>

CCheckListModel::CCheckListModel(QObject* parent) : QAbstractListModel(parent) {}

void CCheckListModel::SetRows(std::vector<SRow> rows) {
  beginResetModel();
  m_rows = std::move(rows);
  endResetModel();
}

void CCheckListModel::SetPlaceholder(const QString& display) {
  std::vector<SRow> rows(1);
  rows[0].display = display;
  rows[0].placeholder = true;
  SetRows(std::move(rows));
}

void CCheckListModel::Clear() {
  SetRows({});
}

void CCheckListModel::RemoveRow(int row) {
  if (!IsValidRow(row)) {
    return;
  }
  beginRemoveRows(QModelIndex(), row, row);
  m_rows.erase(m_rows.begin() + row);
  endRemoveRows();
}

const CCheckListModel::SRow* CCheckListModel::GetRow(int row) const {
  return IsValidRow(row) ? &m_rows[static_cast<std::size_t>(row)] : nullptr;
}

bool CCheckListModel::IsChecked(int row) const {
  const SRow* entry = GetRow(row);
  return entry != nullptr && entry->checked;
}

bool CCheckListModel::AreAllChecked() const {
  return !m_rows.empty() &&
         std::all_of(m_rows.begin(), m_rows.end(), [](const SRow& row) { return row.checked; });
}

bool CCheckListModel::IsAnyChecked() const {
  return std::any_of(m_rows.begin(), m_rows.end(), [](const SRow& row) { return row.checked; });
}

int CCheckListModel::FindDisplay(const QString& display) const {
  const auto it = std::find_if(m_rows.begin(), m_rows.end(),
                               [&display](const SRow& row) { return row.display == display; });
  return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

int CCheckListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : GetCount();
}

QVariant CCheckListModel::data(const QModelIndex& index, int role) const {
  const SRow* row = GetRow(index.row());
  if (row == nullptr) {
    return {};
  }
  switch (role) {
  case Qt::DisplayRole:
    return row->display;
  case Qt::CheckStateRole:
    if (row->placeholder) {
      return {};
    }
    return row->checked ? Qt::Checked : Qt::Unchecked;
  default:
    return {};
  }
}

bool CCheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !IsValidRow(index.row())) {
    return false;
  }
  SRow& row = m_rows[static_cast<std::size_t>(index.row())];
  if (row.placeholder) {
    return false;
  }
  const bool checked = value.toInt() == Qt::Checked;
  if (row.checked != checked) {
    row.checked = checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
  }
  return true;
}

Qt::ItemFlags CCheckListModel::flags(const QModelIndex& index) const {
  const SRow* row = GetRow(index.row());
  if (row == nullptr) {
    return Qt::NoItemFlags;
  }
  Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (!row->placeholder) {
    result |= Qt::ItemIsUserCheckable;
  }
  return result;
}
