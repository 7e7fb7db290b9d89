#include "ProjectSettingsDlg.h"

#include "MessageBoxService.h"

#include "utilcore/DirUtils.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr const char* kIntroduction =
    "To visually identify a web site project, enter the name below, then select the root "
    "directory of the project.";
constexpr const char* kNameTaken =
    "This project name is already used by another project.\n\nTo avoid confusion, Pagelint "
    "does not allow the same name to be used for two different projects.\n\nYou can either "
    "change this project's name, or press Cancel and change the other project's name (first).";
constexpr const char* kNoDirectory =
    "The project's directory no longer exists. Please select a different one.";
constexpr int kMinWidth = 480;

QLabel* Caption(const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text);
  label->setBuddy(buddy);
  return label;
}
} // namespace

CProjectSettingsDlg::CProjectSettingsDlg(QWidget* parent, CDocUi::SProjectSettings& settings)
    : QDialog(parent), m_settings(settings), m_name(new QLineEdit(this)),
      m_directory(new QLineEdit(this)) {
  setObjectName("projectSettingsDlg");
  const QString name = QString::fromStdString(settings.name);
  setWindowTitle(name.isEmpty() ? QStringLiteral("Project Settings")
                                : QStringLiteral("Project Settings for ") + name);
  m_name->setObjectName("nameEdit");
  m_name->setProperty("ctrlId", 6001);
  m_name->setText(name);
  m_directory->setObjectName("directoryEdit");
  m_directory->setProperty("ctrlId", 6004);
  m_directory->setText(QString::fromStdString(settings.rootDirectory));

  auto* browse = new QPushButton(QStringLiteral("B&rowse..."), this);
  browse->setObjectName("browseButton");
  connect(browse, &QPushButton::clicked, this, &CProjectSettingsDlg::Browse);
  auto* directoryRow = new QHBoxLayout;
  directoryRow->addWidget(m_directory, 1);
  directoryRow->addWidget(browse);

  auto* introduction = new QLabel(QString::fromUtf8(kIntroduction), this);
  introduction->setWordWrap(true);
  auto* form = new QFormLayout;
  form->addRow(Caption(QStringLiteral("&Name:"), m_name), m_name);
  form->addRow(Caption(QStringLiteral("&Directory:"), m_directory), directoryRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  m_ok = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &CProjectSettingsDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CProjectSettingsDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(introduction);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(kMinWidth);

  connect(m_name, &QLineEdit::textChanged, this, &CProjectSettingsDlg::UpdateOk);
  connect(m_directory, &QLineEdit::textChanged, this, &CProjectSettingsDlg::UpdateOk);
  UpdateOk();
}

void CProjectSettingsDlg::UpdateOk() {
  m_ok->setEnabled(!m_name->text().trimmed().isEmpty() && !m_directory->text().trimmed().isEmpty());
}

void CProjectSettingsDlg::Browse() {
  QString start = m_directory->text();
  if (start.isEmpty()) {
    start = QString::fromStdString(m_settings.newProjectDirectory);
  }
  const QString chosen = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Select the project's directory"), start);
  if (!chosen.isEmpty()) {
    m_directory->setText(chosen);
  }
}

void CProjectSettingsDlg::Tell(const QString& text) {
  CMessageBoxService::Ask(this, {windowTitle(), text, CMessageBoxService::EButtons::Ok, {}});
}

void CProjectSettingsDlg::accept() {
  const std::string name = m_name->text().trimmed().toStdString();
  const std::vector<std::string>& others = m_settings.otherNames;
  if (name.empty()) {
    m_name->setFocus();
    return;
  }
  if (std::find(others.begin(), others.end(), name) != others.end()) {
    m_name->setFocus();
    Tell(QString::fromUtf8(kNameTaken));
    return;
  }
  const std::string directory = m_directory->text().trimmed().toStdString();
  if (!CDirUtils::DoesDirExist(directory)) {
    m_directory->setFocus();
    Tell(QString::fromUtf8(kNoDirectory));
    return;
  }
  m_settings.name = name;
  m_settings.rootDirectory = directory;
  QDialog::accept();
}
