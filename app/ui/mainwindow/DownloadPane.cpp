#include "mainwindow/DownloadPane.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include <algorithm>

namespace {
// A progress bar counts in int; bytes are shown in kibibytes.
constexpr qint64 kUnit = 1024;
constexpr int kBarWidth = 120;

int Units(qint64 bytes) {
  return static_cast<int>(bytes / kUnit);
}
} // namespace

CDownloadPane::CDownloadPane(QStatusBar* bar)
    : m_label(new QLabel(bar)), m_progress(new QProgressBar(bar)) {
  m_label->setObjectName("downloadText");
  m_progress->setObjectName("downloadBar");
  m_progress->setTextVisible(false);
  m_progress->setMaximumWidth(kBarWidth);
  bar->addPermanentWidget(m_label);
  bar->addPermanentWidget(m_progress);
  m_label->hide();
  m_progress->hide();
}

void CDownloadPane::Add(const QString& text, qint64 total) {
  m_total = total;
  // An unknown size shows the busy bar.
  m_progress->setRange(0, total > 0 ? Units(total) : 0);
  m_progress->setValue(0);
  m_label->setText(text);
  m_label->show();
  m_progress->show();
  m_shown = true;
}

void CDownloadPane::Update(qint64 received) {
  if (m_shown && m_total > 0) {
    m_progress->setValue(Units(std::min(received, m_total)));
  }
}

void CDownloadPane::Remove() {
  m_label->hide();
  m_progress->hide();
  m_shown = false;
}
