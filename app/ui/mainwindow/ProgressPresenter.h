#pragma once

#include "mtcore/WindowMessages.h"

#include <QString>

class CStatusProgress;
class CWebProject;

/// Tells the status bar's progress pane how a project's run goes: the collecting of its
/// files, then each checked file with the folder it is in, and at the end how many
/// pages the run could not check. The worker's counts are read whole, past 65,535.
/// Without a pane it shows nothing. User interface thread only.
class CProgressPresenter {
public:
  /// `pane` may be null; it must outlive the presenter.
  explicit CProgressPresenter(CStatusProgress* pane) : m_pane(pane) {}

  /// The project's files are being collected.
  void CollectBegin();
  /// Removes the pane and any note.
  void Hide();
  /// `progress` is the worker's wParam: the count of files and the index of the next.
  void CheckBegin(const CWebProject& project, WPARAM progress);
  void FileChecked(const CWebProject& project, WPARAM progress);
  /// The run ended: the pane goes, and a note counts the pages it could not check.
  void CheckDone(const CWebProject& project);

private:
  static QString CheckingText(const CWebProject& project, WPARAM progress);
  void NoteSkippedPages(const CWebProject& project);

  CStatusProgress* m_pane;
};
