#include "mainwindow/WordsPane.h"

#include "mainwindow/CountText.h"
#include "mainwindow/WordListModel.h"

#include <QLabel>

CWordsPane::CWordsPane(CSelectingListView& list, QLabel& count, CWordListModel& model)
    : m_list(list), m_count(count), m_model(model) {}

void CWordsPane::Clear() {
  m_count.setText(CountText(0));
  m_model.Clear();
}

void CWordsPane::Fill(CBadWordsList& words) {
  const CSelectingListView::SPlace place = m_list.ReadPlace();
  m_list.setUpdatesEnabled(false);
  m_model.Fill(words);
  SelectAgain(place, true);
  m_list.ScrollToTopRow(place.topRow);
  m_list.setUpdatesEnabled(true);
  m_list.FitWidestEntry();
  m_list.setEnabled(true);
}

bool CWordsPane::SetPlaceholder(const char* text) {
  const CCheckListModel::SRow* only = m_model.GetRow(0);
  if (m_model.GetCount() == 1 && only->placeholder && only->display == text) {
    return false;
  }
  m_model.SetPlaceholder(QString::fromLatin1(text));
  m_list.FitWidestEntry();
  return true;
}

void CWordsPane::ShowCount(int count) {
  m_count.setText(CountText(count));
}

int CWordsPane::SelectedRow() const {
  return m_list.SelectedRow();
}

const CCheckListModel::SRow* CWordsPane::SelectedEntry() const {
  const CCheckListModel::SRow* entry = m_model.GetRow(m_list.SelectedRow());
  return entry == nullptr || entry->placeholder ? nullptr : entry;
}

std::string CWordsPane::SelectedWord() const {
  const CCheckListModel::SRow* entry = SelectedEntry();
  return entry == nullptr ? std::string() : entry->text;
}

int CWordsPane::SelectedDuplicate() const {
  const CCheckListModel::SRow* entry = SelectedEntry();
  return entry == nullptr ? 0 : entry->duplicate;
}

void CWordsPane::SelectAgain(const CSelectingListView::SPlace& place, bool orNearest) {
  const int row = m_model.FindDisplay(place.selected);
  if (row >= 0 || !orNearest) {
    m_list.SelectRow(row);
    return;
  }
  if (place.selectedRow >= 0) {
    m_list.SelectNearest(place.selectedRow);
  }
}

void CWordsPane::RemoveEntry(int row) {
  m_list.RemoveRow(row, [this](int doomed) { m_model.RemoveRow(doomed); });
}

void CWordsPane::TakeChosen(const std::function<bool(const CCheckListModel::SRow& entry)>& take) {
  const int selected = m_list.SelectedRow();
  for (int row = m_model.GetCount() - 1; row >= 0; --row) {
    const CCheckListModel::SRow* entry = m_model.GetRow(row);
    if ((row != selected && !entry->checked) || entry->placeholder) {
      continue;
    }
    if (take(*entry)) {
      RemoveEntry(row);
    }
  }
  m_list.SelectNearest(selected);
}
