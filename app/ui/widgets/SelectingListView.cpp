#include "widgets/SelectingListView.h"

#include <QFontMetrics>
#include <QPersistentModelIndex>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

#include <algorithm>
#include <array>
#include <unordered_map>

namespace {

/// Lets a list of uniformly sized rows be as wide as its widest row: a uniform list
/// measures only its first row.
class CExtentDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void SetWidest(const QModelIndex& index) { m_widest = index; }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (m_widest.isValid() && m_widest != index) {
      size.setWidth(
          std::max(size.width(), QStyledItemDelegate::sizeHint(option, m_widest).width()));
    }
    return size;
  }

private:
  QPersistentModelIndex m_widest;
};

/// Text widths as the sum of the characters' advances: without kerning, but close enough
/// to pick the widest of 40,000 entries, which shaping each one would make slow.
class CAdvanceTable {
public:
  explicit CAdvanceTable(const QFont& font) : m_metrics(font) { m_ascii.fill(-1); }

  int Width(const QString& text) {
    int width = 0;
    for (const QChar character : text) {
      width += Advance(character);
    }
    return width;
  }

private:
  int Advance(QChar character) {
    const char16_t code = character.unicode();
    if (code < m_ascii.size()) {
      int& advance = m_ascii[code];
      if (advance < 0) {
        advance = m_metrics.horizontalAdvance(character);
      }
      return advance;
    }
    auto found = m_others.find(code);
    if (found == m_others.end()) {
      found = m_others.emplace(code, m_metrics.horizontalAdvance(character)).first;
    }
    return found->second;
  }

  QFontMetrics m_metrics;
  std::array<int, 128> m_ascii{};
  std::unordered_map<char16_t, int> m_others;
};

} // namespace

CSelectingListView::CSelectingListView(QWidget* parent) : QListView(parent) {
  setItemDelegate(new CExtentDelegate(this));
}

void CSelectingListView::selectionChanged(const QItemSelection& selected,
                                          const QItemSelection& deselected) {
  QListView::selectionChanged(selected, deselected);
  if (!m_selecting) {
    emit UserSelectionChanged();
  }
}

int CSelectingListView::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void CSelectingListView::SelectRow(int row) {
  const QScopedValueRollback<bool> quiet(m_selecting, true);
  const QModelIndex index = model()->index(row, 0);
  if (!index.isValid()) {
    clearSelection();
    return;
  }
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void CSelectingListView::SelectNearest(int row) {
  const int count = model()->rowCount();
  SelectRow(row < 0 || count == 0 ? -1 : std::min(row, count - 1));
}

void CSelectingListView::Deselect() {
  const QScopedValueRollback<bool> quiet(m_selecting, true);
  clearSelection();
}

void CSelectingListView::RemoveRow(int row, const std::function<void(int row)>& remove) {
  const int selected = SelectedRow();
  {
    const QScopedValueRollback<bool> quiet(m_selecting, true);
    remove(row);
  }
  SelectRow(selected == row ? -1 : (selected > row ? selected - 1 : selected));
}

CSelectingListView::SPlace CSelectingListView::ReadPlace() const {
  SPlace place;
  place.selectedRow = SelectedRow();
  if (place.selectedRow >= 0) {
    place.selected = model()->index(place.selectedRow, 0).data().toString();
  }
  place.topRow = indexAt(QPoint(1, 1)).row();
  return place;
}

void CSelectingListView::ScrollToTopRow(int row) {
  const QModelIndex index = model()->index(row, 0);
  if (index.isValid()) {
    scrollTo(index, QAbstractItemView::PositionAtTop);
  }
}

void CSelectingListView::FitWidestEntry() {
  auto* delegate = dynamic_cast<CExtentDelegate*>(itemDelegate());
  const QAbstractItemModel* rows = model();
  if (delegate == nullptr || rows == nullptr) {
    return; // another delegate was set: it measures its rows itself
  }
  CAdvanceTable advances(font());
  int widest = -1;
  int widestWidth = -1;
  for (int row = 0; row < rows->rowCount(); ++row) {
    const int width = advances.Width(rows->index(row, 0).data().toString());
    if (width > widestWidth) {
      widest = row;
      widestWidth = width;
    }
  }
  delegate->SetWidest(rows->index(widest, 0));
  doItemsLayout();
}
