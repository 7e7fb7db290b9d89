#include "dictionaries/FindDlg.h"

#include "ui_FindDlg.h"

CFindDlg::CFindDlg(QWidget* parent, const SRequest& request, HelpOpener help)
    : CShadedDialog(parent, std::move(help)), m_ui(std::make_unique<Ui::FindDlg>()) {
  m_ui->setupUi(this);
  m_ui->promptText->setText(request.prompt);
  m_ui->messageText->setText(request.message);
  m_ui->messageText->setVisible(!request.message.isEmpty());
  m_ui->findEdit->setText(request.text);
  m_ui->findEdit->selectAll();
  m_ui->matchCaseCheck->setChecked(request.options.matchCase);
  m_ui->downRadio->setChecked(request.options.searchDown);
  m_ui->upRadio->setChecked(!request.options.searchDown);
  m_ui->stopAtEndCheck->setChecked(request.options.stopAtEnd);
  const auto updateFind = [this] {
    m_ui->findButton->setEnabled(!m_ui->findEdit->text().isEmpty());
  };
  connect(m_ui->findEdit, &QLineEdit::textChanged, this, updateFind);
  updateFind();
  connect(m_ui->findButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  SetHelpTopic(m_ui->infoButton, request.helpTopic);
  ShadeButtons({m_ui->findButton, m_ui->cancelButton, m_ui->infoButton});
  setFixedHeight(sizeHint().height());
}

CFindDlg::~CFindDlg() = default;

QString CFindDlg::Text() const {
  return m_ui->findEdit->text();
}

CWordFinder::SOptions CFindDlg::Options() const {
  return {m_ui->matchCaseCheck->isChecked(), m_ui->downRadio->isChecked(),
          m_ui->stopAtEndCheck->isChecked()};
}
