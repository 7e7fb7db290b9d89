#pragma once

#include <QString>

class QLabel;
class QProgressBar;
class QStatusBar;

/// The download pane of the main window's status bar: a text and a bar that follow a
/// download in the background. Hidden until added. The widgets belong to the status bar.
class CDownloadPane {
public:
  explicit CDownloadPane(QStatusBar* bar);

  /// Shows the pane with `text` for a download of `total` bytes (0: unknown).
  void Add(const QString& text, qint64 total);
  /// Shows how many bytes have arrived.
  void Update(qint64 received);
  /// Hides the pane.
  void Remove();
  bool IsShown() const { return m_shown; }

private:
  QLabel* m_label;
  QProgressBar* m_progress;
  qint64 m_total = 0;
  bool m_shown = false;
};
