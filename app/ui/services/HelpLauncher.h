#pragma once

#include <string>
#include <vector>

class QWidget;

/// Opens help topics ("index.htm", "Support.htm#privacy", ...): HTML pages shipped with
/// the program, shown in the user's browser.
class CHelpLauncher {
public:
  /// Looks for the pages in `folders` (each ending in "/"), in order.
  explicit CHelpLauncher(std::vector<std::string> folders);

  /// Where a program in `appDirectory` finds its pages: "help/" beside it, the
  /// installed "share/pagelint/help/" (the program lies in "lib/pagelint/"), then the
  /// source tree's "docs/help/".
  static std::vector<std::string> DefaultFolders(const std::string& appDirectory);

  /// The topic's page as a file address, its "#part" kept; empty when no folder holds
  /// the page.
  std::string FindTopic(const std::string& topic) const;
  /// Opens the topic in the browser. When the page is missing, or the browser cannot
  /// be started, the user is told so.
  void Open(QWidget* parent, const std::string& topic) const;

private:
  std::vector<std::string> m_folders;
};
