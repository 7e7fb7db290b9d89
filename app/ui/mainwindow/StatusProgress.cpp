#include "mainwindow/StatusProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

CStatusProgress::CStatusProgress(QStatusBar* bar)
    : m_label(new QLabel(bar)), m_progress(new QProgressBar(bar)) {
  m_label->setObjectName("progressText");
  m_progress->setObjectName("progressBar");
  m_progress->setTextVisible(false);
  m_progress->setMaximumWidth(200);
  bar->addPermanentWidget(m_label);
  bar->addPermanentWidget(m_progress);
  m_label->hide();
  m_progress->hide();
}

void CStatusProgress::Show(int range, const QString& text) {
  Hide();
  m_progress->setRange(0, range > 0 ? range : 1);
  m_progress->setValue(0);
  m_label->setText(text);
  m_label->show();
  m_progress->show();
  m_shown = true;
}

void CStatusProgress::Update(int position, int range, const QString& text) {
  if (!m_shown) {
    Show(range, text);
  }
  m_progress->setRange(0, range > 0 ? range : 1);
  m_progress->setValue(position);
  m_label->setText(text);
}

void CStatusProgress::ShowNote(const QString& text) {
  Hide();
  m_label->setText(text);
  m_label->show();
}

void CStatusProgress::Hide() {
  m_label->hide();
  if (!m_shown) {
    return;
  }
  m_progress->hide();
  m_shown = false;
}
