#include "dictionaries/AddWordsDlg.h"

#include "dictedit/DictionaryWords.h"

#include "ui_AddWordsDlg.h"

#include "utilcore/StringUtils.h"

CAddWordsDlg::CAddWordsDlg(QWidget* parent, std::vector<std::string>& words, HelpOpener help)
    : CShadedDialog(parent, std::move(help)), m_ui(std::make_unique<Ui::AddWordsDlg>()),
      m_words(words) {
  m_ui->setupUi(this);
  m_ui->okButton->setEnabled(false);
  connect(m_ui->wordsEdit, &QPlainTextEdit::textChanged, this,
          [this] { m_ui->okButton->setEnabled(!CStringUtils::IsEffectivelyEmpty(Text())); });
  connect(m_ui->okButton, &QPushButton::clicked, this, &CAddWordsDlg::accept);
  connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  SetHelpTopic(m_ui->infoButton, kHelpTopic);
  ShadeButtons({m_ui->okButton, m_ui->cancelButton, m_ui->infoButton});
  RememberShape(QStringLiteral("AddWords"));
  m_ui->wordsEdit->setFocus();
}

CAddWordsDlg::~CAddWordsDlg() = default;

void CAddWordsDlg::accept() {
  // OK is the default button, reached by Enter anywhere but in the text.
  if (!m_ui->okButton->isEnabled()) {
    return;
  }
  m_words = CDictionaryWords::SplitTyped(Text());
  CShadedDialog::accept();
}

std::string CAddWordsDlg::Text() const {
  return m_ui->wordsEdit->toPlainText().toStdString();
}
