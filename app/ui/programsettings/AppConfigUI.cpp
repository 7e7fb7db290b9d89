#include "programsettings/AppConfigUI.h"

#include "programsettings/LaunchTab.h"
#include "programsettings/LogTab.h"
#include "programsettings/StylesTab.h"
#include "widgets/MessageBoxService.h"

#include "settings/PagelintSettings.h"
#include "utilcore/DirUtils.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>

namespace {
constexpr const char* kTitle = "Pagelint Settings";
constexpr const char* kShapeKey = "AppConfig";
constexpr const char* kMessageTitle = "Pagelint";
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 440;

// Background styles of the closing buttons and of the buttons on the tabs.
constexpr int kStyleTabButtons = 10;
constexpr int kStyleDialogButtons = 11;

constexpr std::array<const char*, 6> kTabTitles{"&Launch", "&Background styles", "&Sound",
                                                "&Data",   "&Upgrades",          "Lo&gging"};
constexpr const char* kLaunchTopic = "HowTo/Customize.htm#launch";
constexpr const char* kStylesTopic = "HowTo/Customize.htm#colors";
constexpr const char* kOtherTopic = "HowTo/Customize.htm";

constexpr const char* kSoundNote =
    "Pagelint greets you aloud when it starts, with the desktop's speech engine where one is "
    "installed.";
constexpr const char* kDataNote =
    "Pagelint reads its web site projects (\".plx\" files) from this folder when it starts, and "
    "keeps new projects here. Projects in another folder are not moved.";
constexpr const char* kUpgradesNote =
    "A minute after it starts, Pagelint asks its web site for a newer version of itself and of "
    "its dictionary. A new version is downloaded in the background and installed when Pagelint "
    "closes; a new dictionary is used from the next start.";
constexpr const char* kNotFullPath =
    "Please enter the full path of the folder for the Pagelint project data files, beginning "
    "with \"/\".";
constexpr const char* kCannotCreate =
    "The folder for the Pagelint project data files could not be created:\n\n%1\n\nPlease "
    "choose another folder.";

QLabel* Note(const char* text) {
  auto* note = new QLabel(QString::fromUtf8(text));
  note->setWordWrap(true);
  return note;
}

QWidget* OptionTab(const char* name, QCheckBox* option, const char* note) {
  auto* tab = new QWidget;
  tab->setObjectName(QLatin1String(name));
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(option);
  layout->addWidget(Note(note));
  layout->addStretch(1);
  return tab;
}

std::string WithSlash(std::string folder) {
  return CDirUtils::EnsureTrailingBackslash(folder);
}
} // namespace

CAppConfigUI::CAppConfigUI(CPagelintSettings& settings, QWidget* parent,
                           const std::string& extension)
    : CShadedDialog(parent, {}), m_settings(settings),
      m_help(CHelpLauncher::DefaultFolders(settings.GetApplicationPath())),
      m_tabs(new QTabWidget(this)) {
  setObjectName("appConfigUI");
  setWindowTitle(QString::fromUtf8(kTitle));
  m_tabs->setObjectName("configTabs");
  m_launch = new CLaunchTab(extension);
  m_styles = new CStylesTab;
  const std::array<QWidget*, kTabTitles.size()> pages{
      m_launch, m_styles, MakeSoundTab(), MakeDataTab(), MakeUpgradesTab(), new CLogTab};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    m_tabs->addTab(pages[i], QString::fromUtf8(kTabTitles[i]));
  }
  const int last = m_settings.configurationTab;
  m_tabs->setCurrentIndex(!extension.empty() || last < 0 || last >= m_tabs->count() ? kLaunchTab
                                                                                    : last);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs, 1);
  layout->addLayout(MakeButtonRow());
  ShadeButtons({m_ok, m_cancel, m_info}, kStyleDialogButtons);
  QList<QPushButton*> onTabs = m_tabs->findChildren<QPushButton*>();
  onTabs.removeIf(
      [](const QPushButton* button) { return button->objectName() == "previewButton"; });
  ShadeButtons(onTabs, kStyleTabButtons);

  resize(kDefaultWidth, kDefaultHeight);
  RememberShape(QLatin1String(kShapeKey));
  if (!extension.empty()) {
    m_launch->findChild<QWidget*>("extensionsList")->setFocus();
  }
}

CAppConfigUI::~CAppConfigUI() = default;

QWidget* CAppConfigUI::MakeSoundTab() {
  m_welcome = new QCheckBox(QStringLiteral("&Play a spoken welcome when Pagelint starts"));
  m_welcome->setObjectName("welcomeCheck");
  m_welcome->setChecked(m_settings.GetPlayWelcomeMsg());
  return OptionTab("soundTab", m_welcome, kSoundNote);
}

QWidget* CAppConfigUI::MakeUpgradesTab() {
  m_upgrades = new QCheckBox(QStringLiteral("&Check for upgrades automatically"));
  m_upgrades->setObjectName("upgradesCheck");
  m_upgrades->setChecked(m_settings.GetAutomaticUpgrading());
  return OptionTab("upgradesTab", m_upgrades, kUpgradesNote);
}

QWidget* CAppConfigUI::MakeDataTab() {
  m_dataFolder =
      new QLineEdit(QString::fromStdString(m_settings.GetDocSettings().projectDataDirectory));
  m_dataFolder->setObjectName("dataFolderEdit");
  auto* browse = new QPushButton(QStringLiteral("Bro&wse..."));
  browse->setObjectName("dataBrowseButton");
  browse->setAutoDefault(false);
  auto* label = new QLabel(QStringLiteral("&Pagelint Project Data Files:"));
  label->setObjectName("dataFolderLabel");
  label->setBuddy(m_dataFolder);
  connect(browse, &QPushButton::clicked, this, &CAppConfigUI::BrowseDataFolder);

  auto* tab = new QWidget;
  tab->setObjectName("dataTab");
  auto* grid = new QGridLayout(tab);
  grid->addWidget(label, 0, 0, 1, 2);
  grid->addWidget(m_dataFolder, 1, 0);
  grid->addWidget(browse, 1, 1);
  grid->addWidget(Note(kDataNote), 2, 0, 1, 2);
  grid->setRowStretch(3, 1);
  return tab;
}

QLayout* CAppConfigUI::MakeButtonRow() {
  m_info = new QPushButton(QStringLiteral("&Info"));
  m_info->setObjectName("infoButton");
  m_cancel = new QPushButton(QStringLiteral("Cancel"));
  m_cancel->setObjectName("cancelButton");
  m_ok = new QPushButton(QStringLiteral("OK"));
  m_ok->setObjectName("okButton");
  m_info->setAutoDefault(false);
  m_cancel->setAutoDefault(false);
  m_ok->setDefault(true);
  m_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  m_cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  m_info->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
  m_info->setToolTip(QStringLiteral("How to customize Pagelint (F1)"));
  connect(m_info, &QPushButton::clicked, this, &CAppConfigUI::ShowInfo);
  connect(m_cancel, &QPushButton::clicked, this, &CAppConfigUI::reject);
  connect(m_ok, &QPushButton::clicked, this, &CAppConfigUI::accept);
  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, &CAppConfigUI::ShowInfo);

  auto* row = new QHBoxLayout;
  row->addWidget(m_info);
  row->addStretch(1);
  row->addWidget(m_ok);
  row->addWidget(m_cancel);
  return row;
}

void CAppConfigUI::BrowseDataFolder() {
  const QString chosen = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Pagelint Project Data Files"), m_dataFolder->text());
  if (!chosen.isEmpty()) {
    m_dataFolder->setText(QString::fromStdString(WithSlash(chosen.toStdString())));
  }
}

void CAppConfigUI::ShowInfo() {
  const int tab = m_tabs->currentIndex();
  m_help.Open(this, tab == kLaunchTab   ? kLaunchTopic
                    : tab == kStylesTab ? kStylesTopic
                                        : kOtherTopic);
}

bool CAppConfigUI::CheckDataFolder(std::string& folder) {
  const std::string& current = m_settings.GetDocSettings().projectDataDirectory;
  std::string typed = m_dataFolder->text().trimmed().toStdString();
  if (typed == current || (!typed.empty() && WithSlash(typed) == current)) {
    folder = current;
    return true;
  }
  QString problem;
  std::string error;
  if (typed.empty() || typed.front() != '/') {
    problem = QString::fromUtf8(kNotFullPath);
  } else if (!CDirUtils::CreateDirectoryA(WithSlash(typed), &error)) {
    problem = QString::fromUtf8(kCannotCreate).arg(QString::fromStdString(error));
  } else {
    folder = WithSlash(typed);
    return true;
  }
  m_tabs->setCurrentIndex(kDataTab);
  CMessageBoxService::Ask(this, {QString::fromUtf8(kMessageTitle), problem,
                                 CMessageBoxService::EButtons::Ok, QLatin1String(kOtherTopic)});
  m_dataFolder->setFocus();
  m_dataFolder->selectAll();
  return false;
}

bool CAppConfigUI::ApplyChanges() {
  std::string folder;
  if (!CheckDataFolder(folder)) {
    return false;
  }
  m_launch->Apply();
  m_stylesChanged = m_styles->Apply();
  m_settings.SetPlayWelcomeMsg(m_welcome->isChecked());
  m_settings.SetAutomaticUpgrading(m_upgrades->isChecked());
  m_settings.GetDocSettings().projectDataDirectory = folder;
  return true;
}

void CAppConfigUI::done(int result) {
  if (result == Accepted && !ApplyChanges()) {
    return;
  }
  m_settings.configurationTab = m_tabs->currentIndex();
  m_settings.Save();
  CShadedDialog::done(result);
}
