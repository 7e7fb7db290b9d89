#pragma once

#include <QDialog>

#include <string>

class CPagelintSettings;
class QTabWidget;

/// The "Pagelint Settings" window: which programs view and edit each page type, the
/// background styles, sound, the project data folder, upgrades and the log. Its tabs
/// come in the order of ETab. However it closes, the tab shown last is kept and the
/// settings are saved.
class CAppConfigUI : public QDialog {
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
  CPagelintSettings& m_settings;
  QTabWidget* m_tabs = nullptr;
  bool m_stylesChanged = false;
};
