#include "GuiTestKit.h"

#include "widgets/SelectingListView.h"

#include <QFontMetrics>
#include <QStringListModel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

/// A list of five entries, "e0" to "e4", that counts the user's selection changes.
class SelectingListViewTest : public testing::Test {
protected:
  SelectingListViewTest() {
    guitest::Application();
    m_list.setModel(&m_model);
    QObject::connect(&m_list, &CSelectingListView::UserSelectionChanged, [this] {
      ++m_userChanges;
      if (m_onUser) {
        m_onUser();
      }
    });
  }

  QStringListModel m_model{{"e0", "e1", "e2", "e3", "e4"}};
  CSelectingListView m_list;
  int m_userChanges = 0;
  std::function<void()> m_onUser;
};

TEST_F(SelectingListViewTest, OnlyTheUsersChangesAreReportedAndAHandlerMaySelectAgain) {
  m_list.SelectRow(2);
  m_list.SelectNearest(9);
  m_list.Deselect();
  m_list.SelectRow(1);
  m_list.RemoveRow(1, [this](int row) { m_model.removeRow(row); });
  EXPECT_EQ(m_userChanges, 0);

  // A handler that moves the selection itself is not called again by its own move.
  m_onUser = [this] { m_list.SelectRow(0); };
  m_list.setFocus();
  m_list.selectionModel()->setCurrentIndex(m_model.index(2), QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(m_userChanges, 1);
  EXPECT_EQ(m_list.SelectedRow(), 0);
  m_onUser = nullptr;
  QTest::keyClick(&m_list, Qt::Key_Down);
  EXPECT_EQ(m_userChanges, 2);
  EXPECT_EQ(m_list.SelectedRow(), 1);
}

TEST_F(SelectingListViewTest, RemovingARowMovesTheSelectionAsAListBoxDoes) {
  struct SCase {
    int selected;
    int removed;
    int selectedAfter;
  };
  for (const SCase& c :
       {SCase{3, 1, 2}, SCase{3, 3, -1}, SCase{1, 3, 1}, SCase{-1, 0, -1}, SCase{4, 4, -1}}) {
    m_model.setStringList({"e0", "e1", "e2", "e3", "e4"});
    m_list.SelectRow(c.selected);
    m_list.RemoveRow(c.removed, [this](int row) { m_model.removeRow(row); });
    EXPECT_EQ(m_list.SelectedRow(), c.selectedAfter) << c.selected << " less " << c.removed;
  }
  EXPECT_EQ(m_userChanges, 0);
}

TEST_F(SelectingListViewTest, TheNearestEntryIsTheLastWhenThereAreFewer) {
  const std::vector<std::pair<int, int>> cases{{2, 2}, {4, 4}, {7, 4}, {-1, -1}};
  for (const auto& [asked, selected] : cases) {
    m_list.SelectRow(0);
    m_list.SelectNearest(asked);
    EXPECT_EQ(m_list.SelectedRow(), selected) << asked;
  }
  m_model.setStringList({});
  m_list.SelectNearest(0);
  EXPECT_EQ(m_list.SelectedRow(), -1);
}

TEST_F(SelectingListViewTest, EveryRowIsAsWideAsTheWidestEntry) {
  const QString wide(60, QChar('W'));
  m_model.setStringList({"a", "b", wide, "c"});
  m_list.setUniformItemSizes(true);
  m_list.FitWidestEntry();
  const int needed = QFontMetrics(m_list.font()).horizontalAdvance(wide);
  EXPECT_GE(m_list.sizeHintForIndex(m_model.index(0)).width(), needed);

  m_model.setStringList({"a", "b"});
  m_list.FitWidestEntry();
  EXPECT_LT(m_list.sizeHintForIndex(m_model.index(0)).width(), needed);
}

} // namespace
