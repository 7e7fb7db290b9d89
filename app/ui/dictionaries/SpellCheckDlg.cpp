#include "dictionaries/SpellCheckDlg.h"

#include "ui_SpellCheckDlg.h"

#include "spellcore/SpellChecker.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <string>

CSpellCheckDlg::CSpellCheckDlg(QWidget* parent, std::vector<int> dictionaryIds, HelpOpener help)
    : CShadedDialog(parent, std::move(help)), m_ui(std::make_unique<Ui::SpellCheckDlg>()),
      m_ids(std::move(dictionaryIds)) {
  m_ui->setupUi(this);
  m_ui->spellCheckButton->setEnabled(false);
  ShowResult(kIdle);
  m_ui->wordEdit->installEventFilter(this);
  connect(m_ui->wordEdit, &QLineEdit::textChanged, this, &CSpellCheckDlg::OnWordChanged);
  connect(m_ui->spellCheckButton, &QPushButton::clicked, this, &CSpellCheckDlg::OnSpellCheck);
  connect(m_ui->suggestionsList, &QListWidget::itemSelectionChanged, this, [this] {
    m_ui->copyButton->setEnabled(!m_ui->suggestionsList->selectedItems().isEmpty());
  });
  connect(m_ui->copyButton, &QPushButton::clicked, this, &CSpellCheckDlg::OnCopy);
  connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
  SetHelpTopic(m_ui->infoButton, kHelpTopic);
  ShadeButtons({m_ui->spellCheckButton, m_ui->copyButton, m_ui->infoButton, m_ui->closeButton});
  RememberShape(QStringLiteral("SpellCheck"));
  m_ui->wordEdit->setFocus();
}

CSpellCheckDlg::~CSpellCheckDlg() = default;

bool CSpellCheckDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_ui->wordEdit && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OnSpellCheck();
      return true;
    }
  }
  return CShadedDialog::eventFilter(watched, event);
}

void CSpellCheckDlg::ShowResult(EResult result) {
  m_ui->resultStack->setCurrentIndex(result);
  m_ui->copyButton->setVisible(result == kSuggestions);
}

void CSpellCheckDlg::OnWordChanged() {
  m_ui->spellCheckButton->setEnabled(!m_ui->wordEdit->text().isEmpty());
  ShowResult(kIdle);
}

void CSpellCheckDlg::OnSpellCheck() {
  CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return;
  }
  // Checked as typed: the user asks about exactly this text.
  const std::string word = m_ui->wordEdit->text().toStdString();
  const bool recognized = speller->LookUp(word, m_ids);
  ShowResult(recognized ? kRecognized : kSuggestions);
  m_ui->wordEdit->setFocus();
  m_ui->spellCheckButton->setEnabled(false);
  if (recognized) {
    return;
  }
  std::vector<std::string> suggestions;
  speller->Guess(word, m_ids, suggestions, true, false);
  QListWidget* list = m_ui->suggestionsList;
  list->setUpdatesEnabled(false);
  list->clear();
  for (const std::string& suggestion : suggestions) {
    list->addItem(QString::fromStdString(suggestion));
  }
  list->setUpdatesEnabled(true);
  m_ui->copyButton->setEnabled(!list->selectedItems().isEmpty());
}

void CSpellCheckDlg::OnCopy() {
  const QList<QListWidgetItem*> selected = m_ui->suggestionsList->selectedItems();
  if (!selected.isEmpty()) {
    QApplication::clipboard()->setText(selected.front()->text());
  }
}
