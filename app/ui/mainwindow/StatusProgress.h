#pragma once

#include <QString>

class QLabel;
class QProgressBar;
class QStatusBar;

/// The progress pane of the main window's status bar: a text and a bar, shown while a
/// project's files are collected or checked. The widgets belong to the status bar.
class CStatusProgress {
public:
  explicit CStatusProgress(QStatusBar* bar);

  /// Hides a pane that is showing, then shows one with `range` and `text`.
  void Show(int range, const QString& text);
  /// Shows the pane with (range, text) first when none is showing, then sets the
  /// position and the text.
  void Update(int position, int range, const QString& text);
  /// Removes the pane if it is showing, and a note.
  void Hide();
  /// Shows `text` alone in the pane's place (no bar) until the next Show or Hide.
  void ShowNote(const QString& text);
  bool IsShown() const { return m_shown; }

  QLabel* Label() const { return m_label; }
  QProgressBar* Bar() const { return m_progress; }

private:
  QLabel* m_label;
  QProgressBar* m_progress;
  bool m_shown = false;
};
