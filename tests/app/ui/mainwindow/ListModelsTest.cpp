#include "GuiTestKit.h"

#include "mainwindow/CheckListModel.h"
#include "mainwindow/WordListModel.h"

#include "checking/BadWord.h"
#include "checking/BadWordsList.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Every change below runs under Qt's model tester, which aborts the program on any
// broken promise of the model (rows, indexes, signals around resets and removals).
using Tester = QAbstractItemModelTester;

std::vector<CCheckListModel::SRow> Rows(const std::vector<std::string>& texts) {
  std::vector<CCheckListModel::SRow> rows;
  for (const std::string& text : texts) {
    CCheckListModel::SRow& row = rows.emplace_back();
    row.text = text;
    row.display = QString::fromStdString(text);
  }
  return rows;
}

TEST(CheckListModel, KeepsItsPromisesThroughEveryChange) {
  guitest::Application();
  CCheckListModel model;
  const Tester tester(&model, Tester::FailureReportingMode::Fatal);

  model.SetRows(Rows({"index.html", "about/team.html", "news.html"}));
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_TRUE(model.setData(model.index(1), Qt::Checked, Qt::CheckStateRole));
  EXPECT_TRUE(model.IsChecked(1));
  EXPECT_TRUE(model.IsAnyChecked());
  EXPECT_FALSE(model.AreAllChecked());

  model.RemoveRow(0);
  model.RemoveRow(7); // out of range: nothing
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.GetRow(0)->text, "about/team.html");
  EXPECT_TRUE(model.IsChecked(0));

  model.SetPlaceholder("(no files)");
  ASSERT_EQ(model.rowCount(), 1);
  // A placeholder stands for nothing and cannot be checked.
  EXPECT_FALSE(model.flags(model.index(0)).testFlag(Qt::ItemIsUserCheckable));
  EXPECT_FALSE(model.setData(model.index(0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_FALSE(model.AreAllChecked());

  model.Clear();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(model.AreAllChecked());
  EXPECT_EQ(model.GetRow(0), nullptr);
}

TEST(WordListModel, SortsAsAListBoxAndMarksRepeats) {
  guitest::Application();
  CBadWordsList list;
  for (const char* text : {"zebra", "Apple", "apple", "mango"}) {
    list.AppendWord(std::make_unique<CBadWord>(text));
  }
  auto repeat = std::make_unique<CBadWord>("the");
  repeat->SetDuplicate(1);
  list.AppendWord(std::move(repeat));

  CWordListModel model;
  const Tester tester(&model, Tester::FailureReportingMode::Fatal);
  model.Fill(list);

  std::vector<QString> shown;
  for (int row = 0; row < model.rowCount(); ++row) {
    shown.push_back(model.data(model.index(row), Qt::DisplayRole).toString());
  }
  const std::vector<QString> expected = {"Apple", "apple", "mango", "the (duplicate)", "zebra"};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(model.GetRow(3)->text, "the");
  EXPECT_EQ(model.GetRow(3)->duplicate, 1);
  for (int row = 0; row < model.rowCount(); ++row) {
    EXPECT_EQ(model.FindDisplay(shown[static_cast<std::size_t>(row)]), row);
  }
  EXPECT_EQ(model.FindDisplay("the"), -1);

  // A second fill replaces every row in one reset.
  list.ClearWords();
  model.Fill(list);
  EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
