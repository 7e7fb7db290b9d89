#pragma once

#include <QDialog>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// Lists the program's own libraries with their versions and paths, and the folders
/// where it keeps its settings and data.
class CLibraryInfoDlg : public QDialog {
  Q_OBJECT

public:
  struct SLibrary {
    std::string name;    ///< "libspellcore.so.1.0.0"
    std::string version; ///< "1.0.0"; empty when the file name carries none
    std::string path;
  };
  /// (caption, value) rows: folders and files.
  using Rows = std::vector<std::pair<std::string, std::string>>;

  CLibraryInfoDlg(QWidget* parent, const Rows& folders);

  /// The program's own libraries among the files mapped in `maps` (the text of
  /// /proc/self/maps), each once, in the order of their first mapping.
  static std::vector<SLibrary> FindOwnLibraries(std::string_view maps);
};
