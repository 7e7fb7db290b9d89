#pragma once

#include "services/HelpLauncher.h"
#include "widgets/ShadedDialog.h"

#include <string>

class CLaunchTab;
class CPagelintSettings;
class CStylesTab;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

/// The "Pagelint Settings" window: which programs view and edit each page type, the
/// background styles, sound, the project data folder, upgrades and the log. Its tabs
/// come in the order of ETab. However it closes, the tab shown last is kept and the
/// settings are saved.
class CAppConfigUI : public CShadedDialog {
  Q_OBJECT

public:
  enum ETab { kLaunchTab = 0, kStylesTab, kSoundTab, kDataTab, kUpgradesTab, kLoggingTab };

  /// Opens on the Launch tab with `extension` (lower case, no dot) selected when it is
  /// not empty, else on the tab shown last.
  CAppConfigUI(CPagelintSettings& settings, QWidget* parent, const std::string& extension = {});
  ~CAppConfigUI() override;
  CAppConfigUI(const CAppConfigUI&) = delete;
  CAppConfigUI& operator=(const CAppConfigUI&) = delete;

  /// Whether the user changed a background style, so that the windows apply them anew.
  bool StylesChanged() const { return m_stylesChanged; }

  /// Keeps the tab shown and saves the settings, however the window closes.
  void done(int result) override;

private:
  QWidget* MakeSoundTab();
  QWidget* MakeDataTab();
  QWidget* MakeUpgradesTab();
  QLayout* MakeButtonRow();
  void BrowseDataFolder();
  void ShowInfo();
  /// Checks the data folder, creating it when it changed; false (and the user told why)
  /// when it cannot be used. `folder` gets the folder to keep.
  bool CheckDataFolder(std::string& folder);
  /// Applies every change; false, with nothing changed, when one cannot be made.
  bool ApplyChanges();

  CPagelintSettings& m_settings;
  CHelpLauncher m_help;
  QTabWidget* m_tabs = nullptr;
  CLaunchTab* m_launch = nullptr;
  CStylesTab* m_styles = nullptr;
  QCheckBox* m_welcome = nullptr;
  QLineEdit* m_dataFolder = nullptr;
  QCheckBox* m_upgrades = nullptr;
  QPushButton* m_info = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_ok = nullptr;
  bool m_stylesChanged = false;
};
