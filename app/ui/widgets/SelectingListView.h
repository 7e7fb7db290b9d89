#pragma once

#include <QListView>
#include <QString>

#include <functional>

/// A single-selection list that the program can select in without its choice passing
/// for the user's: UserSelectionChanged reports only the changes the program did not
/// make through this class, so a handler of it never runs inside the program's own
/// selecting. The list also scrolls as wide as its widest entry (FitWidestEntry).
class CSelectingListView : public QListView {
  Q_OBJECT

public:
  /// Where a list stands: the selected entry and its row, and the row at the top.
  struct SPlace {
    QString selected;
    int selectedRow = -1;
    int topRow = -1;
  };

  explicit CSelectingListView(QWidget* parent = nullptr);

  /// The selected row; -1 for none.
  int SelectedRow() const;
  /// Selects `row` and makes it current; none for a row out of range.
  void SelectRow(int row);
  /// The entry at `row`, or the last one when there are fewer; none for -1 or an empty
  /// list.
  void SelectNearest(int row);
  void Deselect();
  /// Takes out `row` through `remove` (the model's own removal) as a list box does: the
  /// other entries keep their selection, a removed one leaves none (a plain view would
  /// hand it to a neighbour).
  void RemoveRow(int row, const std::function<void(int row)>& remove);

  SPlace ReadPlace() const;
  /// Scrolls `row` to the top; nothing for a row out of range.
  void ScrollToTopRow(int row);
  /// Makes the horizontal extent fit the widest entry. Run after the entries change.
  void FitWidestEntry();

signals:
  /// The selection changed, and not through this class.
  void UserSelectionChanged();

protected:
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
  /// Set while the program selects; the selection changes then are not the user's.
  bool m_selecting = false;
};
