#include "PlaceholderView.h"

#include "projects/Doc.h"
#include "projects/WebProject.h"

#include <QLabel>
#include <QVBoxLayout>

CPlaceholderView::CPlaceholderView(CDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_text(new QLabel(this)),
      m_window([this](UINT message, WPARAM, LPARAM) { OnMessage(message); }) {
  setObjectName("placeholderView");
  m_text->setObjectName("projectState");
  m_text->setAlignment(Qt::AlignCenter);
  m_text->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_text);
  ShowState();
}

void CPlaceholderView::OnUpdate(int hint) {
  if (hint == CDoc::HINT_PROJECTS_CHANGED) {
    ShowState();
  }
}

void CPlaceholderView::OnMessage(UINT message) {
  if (message == CProjectCheckWorker::MSG_PROJECT_CHECK_DONE ||
      message == CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN ||
      message == CWebProject::MSG_PROJECT_COLLECT_BEGIN) {
    ShowState();
  }
}

void CPlaceholderView::ShowState() {
  const CWebProject* project = m_doc.GetCurrentProject();
  if (project == nullptr) {
    m_text->setText(QStringLiteral("No web site project is selected."));
    return;
  }
  const QString name = QString::fromStdString(project->GetName());
  if (!project->IsIdle() || !project->IsCheckedOnce()) {
    m_text->setText(name + QStringLiteral(": spell-checking..."));
    return;
  }
  m_text->setText(
      name +
      QStringLiteral(": %1 unrecognized words").arg(project->GetBadWordsList().GetWordCount()));
}
