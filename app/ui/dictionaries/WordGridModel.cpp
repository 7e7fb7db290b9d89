#include "dictionaries/WordGridModel.h"

#include <algorithm>

CWordGridModel::CWordGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void CWordGridModel::SetWords(std::vector<std::string> words) {
  beginResetModel();
  m_words = CDictionaryWords(std::move(words));
  endResetModel();
}

std::vector<std::string> CWordGridModel::AddTexts(const std::vector<std::string>& texts) {
  std::vector<std::string> added = m_words.NewWords(texts);
  if (!added.empty()) {
    beginResetModel();
    m_words.Insert(added);
    endResetModel();
  }
  return added;
}

void CWordGridModel::RemoveRows(int first, int last) {
  last = std::min(last, rowCount() - 1);
  if (first < 0 || last < first) {
    return;
  }
  beginRemoveRows({}, first, last);
  m_words.RemoveRows(static_cast<std::size_t>(first), static_cast<std::size_t>(last));
  endRemoveRows();
  // The numbers of the rows below changed.
  if (first < rowCount()) {
    emit headerDataChanged(Qt::Vertical, first, rowCount() - 1);
  }
}

void CWordGridModel::ReplaceRow(int row, const std::string& text) {
  if (row < 0 || row >= rowCount()) {
    return;
  }
  beginResetModel();
  m_words.ReplaceRow(static_cast<std::size_t>(row), text);
  endResetModel();
}

int CWordGridModel::RowOf(const std::string& word) const {
  const auto& words = m_words.Words();
  const auto found = std::find(words.begin(), words.end(), word);
  return found == words.end() ? -1 : static_cast<int>(found - words.begin());
}

int CWordGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_words.Count());
}

int CWordGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 1;
}

QVariant CWordGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() ||
      (role != Qt::DisplayRole && role != Qt::EditRole)) {
    return {};
  }
  return QString::fromStdString(m_words.Words()[static_cast<std::size_t>(index.row())]);
}

QVariant CWordGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Vertical) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) {
    return section + 1;
  }
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
  }
  return {};
}

Qt::ItemFlags CWordGridModel::flags(const QModelIndex& index) const {
  // The space outside the rows (the root) is no cell to edit.
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool CWordGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) {
    return false;
  }
  emit WordEdited(index.row(), value.toString());
  return true;
}
