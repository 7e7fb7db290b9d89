#include "mainwindow/WordFilesPane.h"

#include "mainwindow/CountText.h"
#include "widgets/SelectingListView.h"

#include "checking/BadWordsList.h"
#include "projects/WebProject.h"

#include "mtcore/ReaderAccess.h"

#include <QLabel>

#include <utility>

CWordFilesPane::CWordFilesPane(CSelectingListView& list, QLabel& count, CCheckListModel& model)
    : m_list(list), m_count(count), m_model(model) {}

void CWordFilesPane::Clear() {
  m_count.setText(CountText(0));
  m_model.Clear();
  m_list.FitWidestEntry();
  m_list.setEnabled(false);
}

void CWordFilesPane::Fill(CWebProject& project, const std::string& word, int duplicate) {
  const QString remembered = m_list.ReadPlace().selected;
  m_list.setUpdatesEnabled(false);
  m_list.setEnabled(true);
  std::vector<CCheckListModel::SRow> rows;
  const bool found = ReadFiles(project, word, duplicate, rows);
  m_model.SetRows(std::move(rows));
  m_list.FitWidestEntry();
  if (!found) {
    m_list.setEnabled(false);
  } else if (!remembered.isEmpty()) {
    m_list.SelectRow(m_model.FindDisplay(remembered));
  }
  m_list.setUpdatesEnabled(true);
}

bool CWordFilesPane::ReadFiles(CWebProject& project, const std::string& word, int duplicate,
                               std::vector<CCheckListModel::SRow>& rows) {
  CBadWordsList& words = project.GetBadWordsList();
  const CReaderAccess access(words);
  const CBadWord* record = word.empty() ? nullptr : words.FindWord(word, duplicate);
  if (record == nullptr) {
    return false;
  }
  const std::string& root = project.GetRootDirectory();
  auto cursor = record->GetLocations().begin();
  while (cursor != record->GetLocations().end()) {
    std::string path = record->NextFile(cursor);
    CCheckListModel::SRow& row = rows.emplace_back();
    row.text = path.starts_with(root) ? path.substr(root.size()) : std::move(path);
    row.display = QString::fromStdString(row.text);
    row.checked = true;
  }
  return true;
}

void CWordFilesPane::ShowCount() {
  m_count.setText(CountText(m_model.GetCount()));
}

void CWordFilesPane::RemoveChecked() {
  for (int row = m_model.GetCount() - 1; row >= 0; --row) {
    if (m_model.IsChecked(row)) {
      m_list.RemoveRow(row, [this](int doomed) { m_model.RemoveRow(doomed); });
    }
  }
  m_list.FitWidestEntry();
  ShowCount();
}

const CCheckListModel::SRow* CWordFilesPane::SelectedFile() const {
  return m_model.GetRow(m_list.SelectedRow());
}

std::vector<std::string> CWordFilesPane::CheckedFiles() const {
  std::vector<std::string> files;
  for (int row = 0; row < m_model.GetCount(); ++row) {
    if (m_model.IsChecked(row)) {
      files.push_back(m_model.GetRow(row)->text);
    }
  }
  return files;
}

QString CWordFilesPane::Context(CWebProject& project, const std::string& word, int duplicate,
                                const std::string& file) {
  CBadWordsList& words = project.GetBadWordsList();
  const CReaderAccess access(words);
  const CBadWord* record = words.FindWord(word, duplicate);
  return record == nullptr
             ? QString()
             : QString::fromStdString(record->GetContextInFile(project.GetRootDirectory() + file));
}
