#include "AppConfigUI.h"

#include "settings/PagelintSettings.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

CAppConfigUI::CAppConfigUI(CPagelintSettings& settings, QWidget* parent,
                           const std::string& extension)
    : QDialog(parent), m_settings(settings), m_tabs(new QTabWidget(this)) {
  setObjectName("appConfigUI");
  setWindowTitle(QStringLiteral("Pagelint Settings"));
  for (const char* title :
       {"Launch", "Background styles", "Sound", "Data", "Upgrades", "Logging"}) {
    m_tabs->addTab(new QWidget, QString::fromLatin1(title));
  }
  const int last = m_settings.configurationTab;
  m_tabs->setCurrentIndex(!extension.empty() || last < 0 || last >= m_tabs->count() ? kLaunchTab
                                                                                    : last);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CAppConfigUI::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CAppConfigUI::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(buttons);
}

CAppConfigUI::~CAppConfigUI() = default;

void CAppConfigUI::done(int result) {
  m_settings.configurationTab = m_tabs->currentIndex();
  m_settings.Save();
  QDialog::done(result);
}
