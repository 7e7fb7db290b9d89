#include "GuiTestKit.h"

#include "dictionaries/WordGridModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Tester = QAbstractItemModelTester;

std::vector<std::string> Shown(const CWordGridModel& model) {
  std::vector<std::string> words;
  for (int row = 0; row < model.rowCount(); ++row) {
    words.push_back(model.data(model.index(row, 0), Qt::DisplayRole).toString().toStdString());
  }
  return words;
}

TEST(WordGridModel, KeepsItsPromisesThroughEveryChange) {
  guitest::Application();
  CWordGridModel model;
  const Tester tester(&model, Tester::FailureReportingMode::Fatal);

  model.SetWords({"apple", "cherry", "mango", "plum"});
  ASSERT_EQ(model.rowCount(), 4);

  EXPECT_EQ(model.AddTexts({"banana", "apple"}), std::vector<std::string>{"banana"});
  EXPECT_EQ(model.RowOf("banana"), 1);

  // Removing rows renumbers the rows below them.
  QSignalSpy renumbered(&model, &QAbstractItemModel::headerDataChanged);
  model.RemoveRows(1, 2);
  EXPECT_EQ(Shown(model), (std::vector<std::string>{"apple", "mango", "plum"}));
  EXPECT_EQ(renumbered.count(), 1);
  EXPECT_EQ(model.headerData(1, Qt::Vertical, Qt::DisplayRole).toInt(), 2);

  // Out-of-range and reversed requests change nothing.
  model.RemoveRows(5, 9);
  model.RemoveRows(2, 1);
  model.RemoveRows(-1, 0);
  model.ReplaceRow(3, "kiwi");
  EXPECT_EQ(model.rowCount(), 3);

  // The last rows, clamped to the end.
  model.RemoveRows(2, 99);
  EXPECT_EQ(Shown(model), (std::vector<std::string>{"apple", "mango"}));

  model.ReplaceRow(0, "zucchini");
  EXPECT_EQ(Shown(model), (std::vector<std::string>{"mango", "zucchini"}));
}

} // namespace
