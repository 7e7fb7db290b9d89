#pragma once

#include "utilcore/InstalledApps.h"

#include <QWidget>

#include <map>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;

/// The Launch tab of the settings window: for each supported page extension the
/// program that opens (views) it and the program that modifies (edits) it, typed in,
/// chosen as a file, or picked among the desktop's installed applications for that type
/// (read in the background). Changes reach FileExtMgr only through Apply.
class CLaunchTab : public QWidget {
  Q_OBJECT

public:
  /// Selects `extension` when it is listed, else the first extension.
  CLaunchTab(const std::string& extension, QWidget* parent = nullptr);
  ~CLaunchTab() override;
  CLaunchTab(const CLaunchTab&) = delete;
  CLaunchTab& operator=(const CLaunchTab&) = delete;

  /// Gives FileExtMgr every viewer and editor the user changed.
  void Apply() const;

private:
  struct SApps {
    std::string viewer;
    std::string editor;
  };
  enum class ERole { Viewer, Editor };

  QWidget* MakeRoleFields(ERole role, const char* caption, const char* comboCaption,
                          const char* browseText);
  void ShowExtension();
  void StoreField(ERole role, const QString& text);
  void FillCombo(ERole role);
  void SyncCombo(ERole role);
  void PickInstalled(ERole role, int index);
  void Browse(ERole role);
  void InstalledRead(std::vector<CInstalledApps::SApp> apps);
  std::string CurrentExtension() const;
  QLineEdit* Field(ERole role) const;
  QComboBox* Combo(ERole role) const;
  static std::string SApps::*Member(ERole role);

  std::map<std::string, SApps> m_original;
  std::map<std::string, SApps> m_edited;
  std::vector<CInstalledApps::SApp> m_installed;
  bool m_installedRead = false;
  /// Set while the tab itself fills the fields, whose change signals are then not the
  /// user's edits.
  bool m_filling = false;

  QListWidget* m_extensions = nullptr;
  QLineEdit* m_viewer = nullptr;
  QLineEdit* m_editor = nullptr;
  QComboBox* m_viewerApps = nullptr;
  QComboBox* m_editorApps = nullptr;
};
