#pragma once

#include "mainwindow/CheckListModel.h"

#include <QString>

#include <string>
#include <vector>

class CSelectingListView;
class CWebProject;
class QLabel;

/// The Files Containing Word list of the main view with its count: the files of a
/// project's site that hold one word, relative to the site's root, each with a check box.
/// Each reading of the findings looks the word up afresh under the list's reader access,
/// as a check may have deleted its record meanwhile. The widgets and the model belong to
/// the view. User interface thread only.
class CWordFilesPane {
public:
  CWordFilesPane(CSelectingListView& list, QLabel& count, CCheckListModel& model);

  /// No files, the list disabled, the count 0.
  void Clear();
  /// The files of `word` (with its duplicate flag), all checked; a file that was selected
  /// stays selected. Without the word in the findings the list is empty and disabled.
  void Fill(CWebProject& project, const std::string& word, int duplicate);
  /// Shows the number of files above the list.
  void ShowCount();
  /// Takes the checked files out of the list, and counts again.
  void RemoveChecked();

  /// The selected file; null for none.
  const CCheckListModel::SRow* SelectedFile() const;
  /// The checked files, relative to the site's root, in the list's order.
  std::vector<std::string> CheckedFiles() const;
  /// The text around `word` in `file` (relative to the root); empty without the word.
  static QString Context(CWebProject& project, const std::string& word, int duplicate,
                         const std::string& file);

private:
  /// The files of `word`, relative to the root where they are inside it; false without
  /// the word in the findings.
  static bool ReadFiles(CWebProject& project, const std::string& word, int duplicate,
                        std::vector<CCheckListModel::SRow>& rows);

  CSelectingListView& m_list;
  QLabel& m_count;
  CCheckListModel& m_model;
};
