#include "programsettings/LaunchTab.h"

#include "diskfiles/FileExtMgr.h"
#include "utilcore/DirUtils.h"
#include "utilcore/HTMLUtils.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {
constexpr const char* kLooking = "Looking for installed applications...";
constexpr const char* kNoneInstalled = "No installed application is known for these pages";
constexpr const char* kChooseOne = "(choose an installed application)";
constexpr const char* kChooseProgram = "Choose the program";

QLabel* Caption(const char* text, QWidget* buddy, const char* name) {
  auto* label = new QLabel(QString::fromUtf8(text));
  label->setObjectName(QLatin1String(name));
  label->setBuddy(buddy);
  return label;
}

std::string Text(const QLineEdit* field) {
  return field->text().trimmed().toStdString();
}
} // namespace

CLaunchTab::CLaunchTab(const std::string& extension, QWidget* parent) : QWidget(parent) {
  setObjectName("launchTab");
  std::vector<std::string> extensions;
  CHTMLUtils::GetSupportedHTMLFiles(extensions, true);
  const FileExtMgr* manager = FileExtMgr::GetInstance();
  m_extensions = new QListWidget;
  m_extensions->setObjectName("extensionsList");
  for (const std::string& ext : extensions) {
    m_original[ext] = {manager->GetOpenerApp(ext, true), manager->GetEditorApp(ext, true)};
    m_extensions->addItem(QString::fromStdString(ext));
  }
  m_edited = m_original;
  m_extensions->setMaximumWidth(
      m_extensions->fontMetrics().horizontalAdvance(QLatin1String("xhtmlxhtml")) + 40);

  auto* fields = new QVBoxLayout;
  fields->addWidget(MakeRoleFields(ERole::Viewer, "To &open or view files of this type use:",
                                   "Installed &applications:", "Bro&wse..."));
  fields->addSpacing(12);
  fields->addWidget(MakeRoleFields(ERole::Editor, "To &modify files of this type use:",
                                   "Installed a&pplications:", "Brows&e..."));
  fields->addStretch(1);

  auto* list = new QVBoxLayout;
  list->addWidget(Caption("&File types:", m_extensions, "extensionsLabel"));
  list->addWidget(m_extensions, 1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(list);
  layout->addLayout(fields, 1);

  connect(m_extensions, &QListWidget::currentRowChanged, this, [this] { ShowExtension(); });
  const auto found = m_extensions->findItems(QString::fromStdString(extension), Qt::MatchExactly);
  m_extensions->setCurrentRow(found.isEmpty() ? 0 : m_extensions->row(found.front()));

  auto* watcher = new QFutureWatcher<std::vector<CInstalledApps::SApp>>(this);
  connect(watcher, &QFutureWatcher<std::vector<CInstalledApps::SApp>>::finished, this,
          [this, watcher] {
            watcher->deleteLater();
            InstalledRead(watcher->result());
          });
  watcher->setFuture(QtConcurrent::run(
      [folders = CInstalledApps::ApplicationFolders()] { return CInstalledApps::Read(folders); }));
}

CLaunchTab::~CLaunchTab() = default;

QWidget* CLaunchTab::MakeRoleFields(ERole role, const char* caption, const char* comboCaption,
                                    const char* browseText) {
  const bool viewer = role == ERole::Viewer;
  auto* field = new QLineEdit;
  field->setObjectName(viewer ? "viewerEdit" : "editorEdit");
  field->setClearButtonEnabled(true);
  auto* browse = new QPushButton(QString::fromUtf8(browseText));
  browse->setObjectName(viewer ? "viewerBrowseButton" : "editorBrowseButton");
  browse->setAutoDefault(false);
  auto* combo = new QComboBox;
  combo->setObjectName(viewer ? "viewerAppsCombo" : "editorAppsCombo");
  (viewer ? m_viewer : m_editor) = field;
  (viewer ? m_viewerApps : m_editorApps) = combo;

  auto* box = new QWidget;
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(Caption(caption, field, viewer ? "viewerLabel" : "editorLabel"), 0, 0, 1, 3);
  grid->addWidget(field, 1, 0, 1, 2);
  grid->addWidget(browse, 1, 2);
  grid->addWidget(Caption(comboCaption, combo, viewer ? "viewerAppsLabel" : "editorAppsLabel"), 2,
                  0);
  grid->addWidget(combo, 2, 1, 1, 2);
  grid->setColumnStretch(1, 1);

  connect(field, &QLineEdit::textChanged, this,
          [this, role](const QString& text) { StoreField(role, text); });
  connect(combo, &QComboBox::activated, this,
          [this, role](int index) { PickInstalled(role, index); });
  connect(browse, &QPushButton::clicked, this, [this, role] { Browse(role); });
  FillCombo(role);
  return box;
}

std::string CLaunchTab::CurrentExtension() const {
  const QListWidgetItem* item = m_extensions->currentItem();
  return item != nullptr ? item->text().toStdString() : std::string();
}

QLineEdit* CLaunchTab::Field(ERole role) const {
  return role == ERole::Viewer ? m_viewer : m_editor;
}

QComboBox* CLaunchTab::Combo(ERole role) const {
  return role == ERole::Viewer ? m_viewerApps : m_editorApps;
}

std::string CLaunchTab::SApps::*CLaunchTab::Member(ERole role) {
  return role == ERole::Viewer ? &SApps::viewer : &SApps::editor;
}

void CLaunchTab::ShowExtension() {
  const auto it = m_edited.find(CurrentExtension());
  m_filling = true;
  for (const ERole role : {ERole::Viewer, ERole::Editor}) {
    Field(role)->setText(it != m_edited.end() ? QString::fromStdString(it->second.*Member(role))
                                              : QString());
    Field(role)->setEnabled(it != m_edited.end());
    FillCombo(role);
  }
  m_filling = false;
}

void CLaunchTab::StoreField(ERole role, const QString& text) {
  SyncCombo(role);
  const auto it = m_edited.find(CurrentExtension());
  if (m_filling || it == m_edited.end()) {
    return;
  }
  it->second.*Member(role) = text.trimmed().toStdString();
}

void CLaunchTab::FillCombo(ERole role) {
  QComboBox* combo = Combo(role);
  combo->clear();
  const std::vector<CInstalledApps::SApp> handlers =
      CInstalledApps::HandlersOf(m_installed, CurrentExtension());
  if (handlers.empty()) {
    combo->addItem(QString::fromUtf8(m_installedRead ? kNoneInstalled : kLooking));
    combo->setEnabled(false);
    return;
  }
  combo->addItem(QString::fromUtf8(kChooseOne));
  for (const CInstalledApps::SApp& app : handlers) {
    const QString program = QString::fromStdString(app.program);
    combo->addItem(QString::fromStdString(app.name), program);
    combo->setItemData(combo->count() - 1, program, Qt::ToolTipRole);
  }
  combo->setEnabled(true);
  SyncCombo(role);
}

void CLaunchTab::SyncCombo(ERole role) {
  QComboBox* combo = Combo(role);
  const int index = combo->findData(QString::fromStdString(Text(Field(role))));
  combo->setCurrentIndex(index > 0 ? index : 0);
}

void CLaunchTab::PickInstalled(ERole role, int index) {
  const QString program = Combo(role)->itemData(index).toString();
  if (!program.isEmpty()) {
    Field(role)->setText(program);
  }
}

void CLaunchTab::Browse(ERole role) {
  const std::string current = CInstalledApps::FindProgram(Text(Field(role)));
  const QString chosen = QFileDialog::getOpenFileName(
      this, QString::fromUtf8(kChooseProgram),
      QString::fromStdString(current.empty() ? std::string("/usr/bin/")
                                             : CDirUtils::ParsePathFromFile(current)));
  if (!chosen.isEmpty()) {
    Field(role)->setText(chosen);
    Field(role)->setFocus();
  }
}

void CLaunchTab::InstalledRead(std::vector<CInstalledApps::SApp> apps) {
  m_installed = std::move(apps);
  m_installedRead = true;
  FillCombo(ERole::Viewer);
  FillCombo(ERole::Editor);
}

void CLaunchTab::Apply() const {
  FileExtMgr* manager = FileExtMgr::GetInstance();
  for (const auto& [extension, apps] : m_edited) {
    const SApps& original = m_original.at(extension);
    if (apps.viewer != original.viewer) {
      manager->SetOpenerApp(extension, apps.viewer, true, false);
    }
    if (apps.editor != original.editor) {
      manager->SetEditorApp(extension, apps.editor, true, false);
    }
  }
}
