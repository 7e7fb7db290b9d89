#pragma once

#include "projects/DocUi.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

/// The project settings window: a project's name and root directory. The other
/// settings (dictionaries, filters) pass through unchanged.
class CProjectSettingsDlg : public QDialog {
  Q_OBJECT

public:
  /// Shows `settings`; on OK they hold what the user chose.
  CProjectSettingsDlg(QWidget* parent, CDocUi::SProjectSettings& settings);

  /// Closes with OK when the name is free and the directory exists; otherwise says
  /// what is wrong and stays open.
  void accept() override;

private:
  void Browse();
  void UpdateOk();
  void Tell(const QString& text);

  CDocUi::SProjectSettings& m_settings;
  QLineEdit* m_name;
  QLineEdit* m_directory;
  QPushButton* m_ok = nullptr;
};
