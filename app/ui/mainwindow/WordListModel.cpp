#include "mainwindow/WordListModel.h"

#include "checking/BadWordsList.h"

#include "mtcore/ReaderAccess.h"

#include <algorithm>
#include <numeric>

CWordListModel::CWordListModel(QObject* parent) : CCheckListModel(parent) {}

bool CWordListModel::IsBefore(const QString& a, const QString& b) {
  const int folded = QString::compare(a, b, Qt::CaseInsensitive);
  if (folded != 0) {
    return folded < 0;
  }
  return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

void CWordListModel::Fill(CBadWordsList& list) {
  std::vector<SRow> rows;
  {
    const CReaderAccess access(list);
    rows.reserve(static_cast<std::size_t>(list.GetWordCount()));
    CBadWordsList::POSITION position = list.GetHeadPosition();
    while (const CBadWord* word = list.GetNext(position)) {
      SRow& row = rows.emplace_back();
      row.text = word->GetWord();
      row.display = QString::fromStdString(row.text);
      if (word->GetDuplicate() == 1) {
        row.display += QLatin1String(kDuplicateSuffix);
        row.duplicate = 1;
      }
    }
  }
  // Sorting positions moves ints instead of rows.
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&rows](std::size_t a, std::size_t b) {
    return IsBefore(rows[a].display, rows[b].display);
  });
  std::vector<SRow> sorted;
  sorted.reserve(rows.size());
  for (const std::size_t index : order) {
    sorted.push_back(std::move(rows[index]));
  }
  SetRows(std::move(sorted));
}

int CWordListModel::FindDisplay(const QString& display) const {
  const std::vector<SRow>& rows = Rows();
  const auto it =
      std::lower_bound(rows.begin(), rows.end(), display, [](const SRow& row, const QString& text) {
        return IsBefore(row.display, text);
      });
  if (it == rows.end() || it->display != display) {
    return -1;
  }
  return static_cast<int>(it - rows.begin());
}
