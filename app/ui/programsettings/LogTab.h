#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

/// The Logging tab of the settings window: where the log file lies, a button that opens
/// it with the desktop's program for text files, and one that empties it once the user
/// agrees. Both act at once; the log is no setting that Cancel could take back.
class CLogTab : public QWidget {
  Q_OBJECT

public:
  explicit CLogTab(QWidget* parent = nullptr);

private:
  void OpenLog();
  void ClearLog();
  void Tell(const QString& text);

  QLineEdit* m_path = nullptr;
  QPushButton* m_open = nullptr;
  QPushButton* m_clear = nullptr;
};
