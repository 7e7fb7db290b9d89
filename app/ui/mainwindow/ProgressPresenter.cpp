#include "mainwindow/ProgressPresenter.h"

#include "mainwindow/StatusProgress.h"

#include "checking/ProjectCheckWorker.h"
#include "projects/WebProject.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace {
/// Collecting has no count to show: the bar goes round a fixed range.
constexpr int kCollectRange = 100;
const char* const kFindingFilesText = "finding project files: ";
} // namespace

void CProgressPresenter::CollectBegin() {
  if (m_pane != nullptr) {
    m_pane->Show(kCollectRange, QString::fromLatin1(kFindingFilesText));
  }
}

void CProgressPresenter::Hide() {
  if (m_pane != nullptr) {
    m_pane->Hide();
  }
}

QString CProgressPresenter::CheckingText(const CWebProject& project, WPARAM progress) {
  const int done = CProjectCheckWorker::ProgressDone(progress);
  return QStringLiteral("spell-checking %1... ")
      .arg(QString::fromStdString(project.RelativeDirAt(done)));
}

void CProgressPresenter::CheckBegin(const CWebProject& project, WPARAM progress) {
  if (m_pane != nullptr) {
    m_pane->Show(CProjectCheckWorker::ProgressTotal(progress), CheckingText(project, progress));
  }
}

void CProgressPresenter::FileChecked(const CWebProject& project, WPARAM progress) {
  if (m_pane != nullptr) {
    m_pane->Update(CProjectCheckWorker::ProgressDone(progress),
                   CProjectCheckWorker::ProgressTotal(progress), CheckingText(project, progress));
  }
}

void CProgressPresenter::CheckDone(const CWebProject& project) {
  if (m_pane != nullptr) {
    m_pane->Hide();
    NoteSkippedPages(project);
  }
}

void CProgressPresenter::NoteSkippedPages(const CWebProject& project) {
  const std::vector<SSkippedPage> skipped = project.GetSkippedPages();
  const auto gaps = std::count_if(skipped.begin(), skipped.end(),
                                  [](const SSkippedPage& page) { return page.gap; });
  QStringList notes;
  // The log names each one; the user at least learns that the list is not the whole site.
  if (gaps > 0) {
    notes << (gaps == 1 ? QStringLiteral("1 page or folder could not be checked (see "
                                         "Pagelint.log)")
                        : QStringLiteral("%1 pages or folders could not be checked "
                                         "(see Pagelint.log)")
                              .arg(gaps));
  }
  // Text in a language none of the project's dictionaries is for was left out.
  const std::string unchecked = CUncheckedLanguages::DescribeAll(project.GetUncheckedLanguages());
  if (!unchecked.empty()) {
    notes << QString::fromStdString(unchecked);
  }
  if (!notes.isEmpty()) {
    m_pane->ShowNote(notes.join(QStringLiteral("; ")));
  }
}
